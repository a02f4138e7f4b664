#pragma once
// Whether the machine has a way out to the Internet, asked without sending
// a packet. Needs no widgets, so the HTTP client and the utility object
// share it.
#include "suite/Exporta.h"

#include <functional>

namespace orvessa {

// An interface that is up, not loopback, with a routable address, and a
// default route through it.
ORVESSA_EXPORT bool ConexaoInternetAtiva();
// Tests answer in its place; an empty function asks the system again.
ORVESSA_EXPORT void DefinirVerificadorConexao(std::function<bool()> verificador);

}  // namespace orvessa
