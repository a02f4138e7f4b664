#pragma once
// The library's type information and class id, shared by its entry points
// and the Checkout class.
#include "checkout/Exporta.h"
#include "platform/TipoBiblioteca.h"

namespace vendalo {

inline constexpr const char* LibidVendalo = "E4AE1C89-1C11-4798-9F06-52548D966174";
inline constexpr const char* ClsidCheckout = "1702F85C-180C-4080-9121-6A4C5E2EC1C2";
inline constexpr const char* IidCheckout = "3413B975-7FFA-4CA5-89A2-9AB1C198829C";

VENDALO_EXPORT const plataforma::BibliotecaTipo& Tipos();

}  // namespace vendalo
