#pragma once
// The verified payment data written into a transaction file, one key per
// getter, in the sections "Pagador", "Endereço de cobranca", "Recebedor" and
// "Pagamento" (payments numbered from 1: "TotalPago1", "TotalPago2"...).
#include "checkout/ConsultaPagamento.h"
#include "checkout/Exporta.h"

#include <QString>

namespace vendalo {

// The four sections are replaced whole: nothing of an earlier transaction
// (a "Data2" of a query with two payments) stays beside this one.
VENDALO_EXPORT void GravarDadosPagamento(const QString& arquivo, const ConsultaLida& dados);
// Removes the four sections, for a transaction with no verified data.
VENDALO_EXPORT void RemoverDadosPagamento(const QString& arquivo);

}  // namespace vendalo
