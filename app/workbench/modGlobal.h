#pragma once
#include "app/Exporta.h"

class QApplication;

namespace qeltrano {

// Start: seed the random generator, show the main window modeless.
QELTRANO_EXPORT void Main();

// Rnd: a uniform fraction in [0, 1) from the generator Main seeded.
QELTRANO_EXPORT double Rnd();

}  // namespace qeltrano
