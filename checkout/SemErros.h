#pragma once
// The checkout's ignored errors (public members, screen handlers): nothing
// reaches the host or the event loop, and what was caught still shows up in
// the log with the procedure's name.
#include <QtGlobal>
#include <exception>

namespace vendalo {

template <typename Funcao>
void SemErros(const char* membro, Funcao&& funcao)
{
    try {
        funcao();
    } catch (const std::exception& e) {
        qWarning("Vendalo: %s: %s", membro, e.what());
    } catch (...) {
        qWarning("Vendalo: %s: erro inesperado", membro);
    }
}

}  // namespace vendalo
