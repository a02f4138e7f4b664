#pragma once
// The SubRip and MicroDVD readers: rows of start, end and text, the lines
// of one text joined by "|".
#include "app/workbench/nucleo/Exporta.h"
#include "app/workbench/nucleo/LinhaLegenda.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

namespace qeltrano {

struct Leitura {
    bool ok = false;
    QList<LinhaLegenda> linhas;
    // 1-based number of the MicroDVD line that lacks its braces (0 otherwise).
    int linhaFalha = 0;
    QString erro;   // why the file could not be read
};

// `respirar` lets the window process its events; it is called every few
// hundred rows, not every row.
NUCLEO_EXPORT Leitura LerArquivoSRT(const QString& caminho, const std::function<void()>& respirar = {});
NUCLEO_EXPORT Leitura LerArquivoMDVD(const QString& caminho, const std::function<void()>& respirar = {});

// The same over lines already decoded, so an open reads the file once.
// SubRip: a counter line starts a block, and so does a time line met
// where a counter is awaited (many tools write no counters).
NUCLEO_EXPORT Leitura LerLinhasSRT(const QList<QStringView>& linhas, const std::function<void()>& respirar = {});
NUCLEO_EXPORT Leitura LerLinhasMDVD(const QList<QStringView>& linhas, const std::function<void()>& respirar = {});
NUCLEO_EXPORT Leitura LerLinhasSRT(const QStringList& linhas, const std::function<void()>& respirar = {});
NUCLEO_EXPORT Leitura LerLinhasMDVD(const QStringList& linhas, const std::function<void()>& respirar = {});

// "-->" at position 14 (1-based): what detection calls a SubRip time line.
NUCLEO_EXPORT bool LinhaDeTempoSRT(QStringView linha);

// A block counter: optional blanks, an optional sign, digits with at most
// one decimal separator, an optional exponent, optional blanks.
NUCLEO_EXPORT bool PareceNumero(QStringView texto);

}  // namespace qeltrano
