#pragma once
// The runtime's rounding of a Double to a whole number (CLng, CInt, Val into
// an integer): halves go to the even neighbour, whatever rounding mode the
// host left the thread in.
#include <cfenv>
#include <cmath>

namespace plataforma {

inline double ArredondarPar(double valor)
{
    const int modo = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double inteiro = std::nearbyint(valor);
    std::fesetround(modo);
    return inteiro;
}

}  // namespace plataforma
