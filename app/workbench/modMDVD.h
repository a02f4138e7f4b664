#pragma once
// The SubRip and MicroDVD readers. Each row (LinhaLegenda) is
// start TAB end TAB text, the lines of one text joined by "|".
#include "app/Exporta.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace qeltrano {

struct Leitura {
    bool ok = false;
    QStringList linhas;
    // 1-based number of the MicroDVD line that lacks its braces (0 otherwise).
    int linhaFalha = 0;
    QString erro;   // why the file could not be read
};

// `respirar` lets the window process its events; it is called every few
// hundred rows, not every row.
QELTRANO_EXPORT Leitura LerArquivoSRT(const QString& caminho, const std::function<void()>& respirar = {});
QELTRANO_EXPORT Leitura LerArquivoMDVD(const QString& caminho, const std::function<void()>& respirar = {});

QELTRANO_EXPORT Leitura LerLinhasSRT(const QStringList& linhas);
QELTRANO_EXPORT Leitura LerLinhasMDVD(const QStringList& linhas);

// A block counter: optional blanks, an optional sign, digits with at most
// one decimal separator, an optional exponent, optional blanks.
QELTRANO_EXPORT bool PareceNumero(const QString& texto);

}  // namespace qeltrano
