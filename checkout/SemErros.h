#pragma once
// The checkout's ignored errors (public members, screen handlers): nothing
// reaches the host or the event loop, and what was caught still shows up in
// the log with the procedure's name.
#include "platform/ErroExecucao.h"

#include <QByteArray>

namespace vendalo {

template <typename Funcao>
void SemErros(const char* membro, Funcao&& funcao)
{
    try {
        funcao();
    } catch (...) {
        plataforma::RegistrarErroIgnorado(QByteArray("Vendalo: ").append(membro).constData());
    }
}

}  // namespace vendalo
