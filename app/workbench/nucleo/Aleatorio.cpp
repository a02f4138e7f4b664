#include "app/workbench/nucleo/Aleatorio.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace qeltrano {

namespace {
// A fixed seed until Randomize, as the runtime's generator starts.
std::mt19937_64& Gerador()
{
    static std::mt19937_64 gerador{0x5eed};
    return gerador;
}
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

}  // namespace qeltrano
