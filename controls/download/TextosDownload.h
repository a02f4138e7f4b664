#pragma once
// The download control's texts: the HTTP status table and the progress line.
#include "platform/Arredondamento.h"

#include <QString>

namespace kestrane {

// The warning for a status of the table; "" for any other status.
QString TextoStatusHttp(int status);

// Basic's CLng and CInt: halves to the even neighbour.
using plataforma::ArredondarPar;

// "hh:mm:ss" of the seconds rounded as Basic's CInt does (halves to even),
// a negative count as its size; "00:00:00" past what a 16-bit count holds or
// for a value that is no number.
QString FormatarTempo(double segundos);

// The transfer line: with the total when the size is known, the short form
// without it.
QString TextoProgresso(qlonglong recebidos, qlonglong tamanho, double kbps, double restanteSegundos);

}  // namespace kestrane
