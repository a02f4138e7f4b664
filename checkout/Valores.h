#pragma once
// Amounts as the checkout shows and sends them, whatever the process locale.
#include "checkout/Exporta.h"

#include <QString>
#include <optional>

namespace vendalo {

// "1.234,50": Brazilian thousands and decimal separators, two decimals.
VENDALO_EXPORT QString FormatarValor(double valor);
// The amount a text shown by FormatarValor (or typed the Brazilian way)
// stands for; nullopt when it is not a number.
VENDALO_EXPORT std::optional<double> LerValor(const QString& texto);
// The shortest decimal form with "." ("1234.5", "19.9", "12"), as the
// payment service reads amounts.
VENDALO_EXPORT QString ValorParaServico(double valor);

}  // namespace vendalo
