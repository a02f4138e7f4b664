#pragma once
// One subtitle as the readers give it, the grids hold it and the writer
// writes it. Kept as fields, so a text may hold any character (TAB too).
#include <QString>
#include <QStringList>

namespace qeltrano {

struct LinhaLegenda {
    QString inicio;
    QString fim;
    QString texto;   // the lines of one text joined by "|"

    bool operator==(const LinhaLegenda&) const = default;
    // The grid's three cells: start, end, text.
    QStringList Celulas() const { return {inicio, fim, texto}; }
};

}  // namespace qeltrano
