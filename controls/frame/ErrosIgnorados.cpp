#include "controls/frame/ErrosIgnorados.h"

#include "platform/ErroExecucao.h"

#include <QByteArray>

namespace kestrane {

void RegistrarErroIgnorado(const char* procedimento)
{
    plataforma::RegistrarErroIgnorado(QByteArray("Kestrane: ").append(procedimento).constData());
}

}  // namespace kestrane
