#pragma once
#include "app/Exporta.h"
#include "suite/Formulario.h"

namespace qeltrano {

// The splash window. It has no load code, so its own loaded flag never
// turns true: Carregado reads False even while it is shown.
class QELTRANO_EXPORT FSplash : public orvessa::Formulario {
    Q_OBJECT
public:
    FSplash();
    bool Carregado() const { return false; }
};

QELTRANO_EXPORT FSplash* FormSplash();

}  // namespace qeltrano
