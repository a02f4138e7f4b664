#include "controls/frame/ErrosIgnorados.h"

#include "platform/ErroExecucao.h"

#include <QtGlobal>
#include <exception>

namespace kestrane {

void RegistrarErroIgnorado(const char* procedimento)
{
    try {
        throw;
    } catch (const plataforma::ErroExecucao& e) {
        qWarning("Kestrane: %s: erro %ld ignorado: %s", procedimento, e.Numero(), qPrintable(e.Descricao()));
    } catch (const std::exception& e) {
        qWarning("Kestrane: %s: erro ignorado: %s", procedimento, e.what());
    } catch (...) {
        qWarning("Kestrane: %s: erro ignorado", procedimento);
    }
}

}  // namespace kestrane
