#pragma once
// One rule for a mail address a user types: the form's check and the mail
// sender both ask it, so an address the form accepts can always be sent.
#include "suite/Exporta.h"

#include <QString>

namespace orvessa {

// Blanks at both ends aside, a dot-atom local part of the characters mail
// allows there (letters, digits and !#$%&'*+/=?^_`{|}~-, the apostrophe
// included), one "@", and a domain of at least two host labels ending in an
// alphabetic one. Nothing that could end a header or an envelope address
// passes: line breaks, blanks, angle brackets, commas, quotes.
ORVESSA_EXPORT bool EnderecoEmailValido(const QString& endereco);

}  // namespace orvessa
