#include "app/workbench/modGlobal.h"

#include "app/workbench/fPrincipal.h"
#include "app/workbench/modErros.h"
#include "platform/ErroExecucao.h"

#include <chrono>
#include <random>

namespace qeltrano {

namespace {
std::mt19937_64& Gerador()
{
    static std::mt19937_64 gerador{0x5eed};
    return gerador;
}
bool emExecucao = false;
}  // namespace

void Randomize()
{
    Gerador().seed(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                   static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

double Rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(Gerador());
}

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
