#pragma once
// One subtitle text through the translation cache and the online endpoint.
#include "app/workbench/nucleo/Exporta.h"

#include <QString>

namespace qeltrano {

// The text as the endpoint's query expects it: a blank becomes "+", every
// other character below "0" becomes "%" and two upper-case hexadecimal
// digits ("%0A", "%26"), everything from "0" up (accented letters too) stays
// as it is; the HTTP client percent-encodes non-ASCII as UTF-8 on the wire.
NUCLEO_EXPORT QString CodificarTextoTraducao(const QString& texto);

// The text after the first `inicio` up to the first `fim` that follows it,
// both found without regard to case; "" when either is missing.
NUCLEO_EXPORT QString ExtrairEntre(const QString& texto, const QString& inicio, const QString& fim);

// Translates one text: from the cache when `usarOffline` (the main window's
// option "Usar tradução off-line quando disponível") and the cache is open,
// otherwise from the endpoint (GET, then once more as a form POST), and
// stores the answer in the cache. A failed request gives the text with its
// blanks trimmed, so a run never stops on the network; a cache error is
// thrown as plataforma::ErroExecucao for the caller's handler.
NUCLEO_EXPORT QString TraduzirTexto(const QString& texto, const QString& idiomaOrigem,
                                      const QString& idiomaDestino, bool usarOffline);

}  // namespace qeltrano
