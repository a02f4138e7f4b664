#pragma once
// Writing the translation grid back as a SubRip or MicroDVD file.
#include "app/workbench/nucleo/Exporta.h"
#include "app/workbench/nucleo/LinhaLegenda.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace qeltrano {

// Writes UTF-16 LE with a byte-order mark, lines ended by CR LF, through a
// save file: a failed save leaves an earlier file at `caminho` whole.
// formato is "SRT" or "mDVD"; `linha(r)` gives row r (0-based) and
// `progresso(r)` is called after each row. False with the reason in erro on
// any failure.
NUCLEO_EXPORT bool EscreverLegenda(const QString& caminho, const QString& formato, int total,
                                     const std::function<LinhaLegenda(int)>& linha,
                                     const std::function<void(int)>& progresso, QString* erro);

// The same bytes, in memory; empty for a format that has no writer.
NUCLEO_EXPORT QByteArray MontarLegenda(const QString& formato, const QList<LinhaLegenda>& linhas);

}  // namespace qeltrano
