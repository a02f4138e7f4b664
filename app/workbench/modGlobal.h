#pragma once
#include "app/Exporta.h"
#include "app/workbench/nucleo/Aleatorio.h"

namespace qeltrano {

// Start: seed the random generator, show the main window modeless.
QELTRANO_EXPORT void Main();

// Set while the application's own event loop runs, so closing the last
// window ends it (and nothing quits a test's event loops).
QELTRANO_EXPORT void DefinirEmExecucao(bool executando);
QELTRANO_EXPORT bool EmExecucao();

}  // namespace qeltrano
