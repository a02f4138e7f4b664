#pragma once
// The verified payment data written into a transaction file, one key per
// getter, in the sections "Pagador", "Endereço de cobranca", "Recebedor" and
// "Pagamento" (payments numbered from 1: "TotalPago1", "TotalPago2"...).
#include "checkout/ConsultaPagamento.h"
#include "checkout/Exporta.h"

#include <QString>

namespace vendalo {

VENDALO_EXPORT void GravarDadosPagamento(const QString& arquivo, const ConsultaLida& dados);

}  // namespace vendalo
