#pragma once
#include "app/Exporta.h"

#include <QColor>
#include <QList>
#include <QString>

namespace orvessa { class USComboBox; }

namespace qeltrano {

struct Idioma {
    const char* nome;
    const char* codigo;
};

// The 49 languages after the two head items, in list order.
QELTRANO_EXPORT const QList<Idioma>& IdiomasComuns();
// The colour of the head items (&H9C321F, blue-green-red).
QELTRANO_EXPORT QColor CorIdiomasPrincipais();

// Fills the source and target lists and selects the first item of each.
QELTRANO_EXPORT void CarregarIdiomas(orvessa::USComboBox* origem, orvessa::USComboBox* destino);

}  // namespace qeltrano
