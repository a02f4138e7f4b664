#include "app/workbench/modGlobal.h"

#include "app/workbench/fPrincipal.h"
#include "app/workbench/modErros.h"
#include "platform/ErroExecucao.h"

namespace qeltrano {

namespace {
bool emExecucao = false;
}  // namespace

void DefinirEmExecucao(bool executando)
{
    emExecucao = executando;
}

bool EmExecucao()
{
    return emExecucao;
}

void Main()
{
    try {
        Randomize();
        FormPrincipal()->Exibir();
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(QStringLiteral("modGlobal"), QStringLiteral("Main"), e.Numero(), e.Descricao(), e.Linha());
    }
}

}  // namespace qeltrano
