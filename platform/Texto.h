#pragma once
// Text helpers the whole program shares, so each rule is written once.
#include "platform/Exporta.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace plataforma {

// Drops blanks (U+0020) at both ends, nothing else: tabs and line breaks
// are part of the text.
PLATAFORMA_EXPORT QString Trim(const QString& texto);
// The same rule on a view, for callers that need no string of their own.
PLATAFORMA_EXPORT QStringView Trim(QStringView texto);

// The text after the first `inicio` up to the first `fim` that follows it,
// both found without regard to case; "" when either is missing.
PLATAFORMA_EXPORT QString TextoEntre(const QString& texto, const QString& inicio, const QString& fim);

// Windows-1252 ("ANSI") to text. Every byte gives a character: the five the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control of the same value.
PLATAFORMA_EXPORT QString DecodificarWindows1252(const QByteArray& bytes);

// Text to Windows-1252; nullopt when some character has no byte there.
PLATAFORMA_EXPORT std::optional<QByteArray> CodificarWindows1252(const QString& texto);

// Bytes in the charset iconv knows by that name; nullopt when iconv does not
// know it or the bytes are not valid in it.
PLATAFORMA_EXPORT std::optional<QString> DecodificarCharset(const QByteArray& charset, const QByteArray& bytes);

}  // namespace plataforma
