#pragma once
// How a subtitle file's bytes become lines of text. Detection and both
// readers go through here, so they always see the same lines.
#include "app/workbench/nucleo/Exporta.h"

#include <QByteArray>
#include <QString>
#include <QList>
#include <QStringList>
#include <QStringView>

namespace qeltrano {

// The lines of a text as views into it: an open splits once and allocates
// no string per line.
using LinhasTexto = QList<QStringView>;

struct TextoArquivo {
    bool ok = false;
    QString erro;        // why the file could not be read (ok == false)
    QString texto;       // the decoded file
    LinhasTexto linhas;  // views into texto: valid while texto lives unchanged
};

// Reads and decodes the whole file. A missing file, a folder or a file we
// may not read gives ok == false with the reason in erro.
NUCLEO_EXPORT TextoArquivo LerLinhasArquivo(const QString& caminho);

// A byte-order mark (UTF-8, UTF-16 or UTF-32, either byte order) decides
// and is dropped.
// Without one, bytes that are valid UTF-8 are UTF-8, anything else is
// Windows-1252 (every byte maps to a character, so nothing is lost).
NUCLEO_EXPORT QString DecodificarTexto(const QByteArray& bytes);

// CR LF, LF and a lone CR each end a line. A final line end does not start
// another (empty) line; an empty text has no lines.
NUCLEO_EXPORT LinhasTexto DividirLinhasTexto(QStringView texto);
// The same lines as strings of their own.
NUCLEO_EXPORT QStringList DividirLinhas(const QString& texto);
NUCLEO_EXPORT LinhasTexto VistasDe(const QStringList& linhas);

}  // namespace qeltrano
