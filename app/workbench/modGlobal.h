#pragma once
#include "app/Exporta.h"
#include "app/workbench/modComum.h"          // DefinirEmExecucao, EmExecucao
#include "app/workbench/nucleo/Aleatorio.h"  // Randomize, Rnd

namespace qeltrano {

// Start: seed the random generator, show the main window modeless.
QELTRANO_EXPORT void Main();


}  // namespace qeltrano
