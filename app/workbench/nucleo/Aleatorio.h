#pragma once
// The runtime's random source: Randomize seeds it from the clock, Rnd draws.
#include "app/workbench/nucleo/Exporta.h"

namespace qeltrano {

NUCLEO_EXPORT void Randomize();
// A uniform fraction in [0, 1).
NUCLEO_EXPORT double Rnd();

}  // namespace qeltrano
