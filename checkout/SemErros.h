#pragma once
// The public members' error convention: nothing reaches the host, and what
// was caught still shows up in the log.
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
