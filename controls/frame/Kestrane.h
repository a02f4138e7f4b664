#pragma once
// The library's type information and class ids, shared by its entry points
// and its controls.
#include "platform/TipoBiblioteca.h"

namespace kestrane {

inline constexpr const char* ClsidCStatusBar = "9D23CF34-7580-4AF9-B9A3-F46AE7F2A5CE";
inline constexpr const char* ClsidCInfoPanel = "21EBF5DD-E224-43D4-A2CE-9DC87B52CB00";
inline constexpr const char* ClsidCDownload = "0A55F8E9-8B8E-4F8A-8701-49675D629595";
inline constexpr const char* ClsidCTabLetras = "5D6D7152-1FAC-4493-93DB-D2D1DA3C5D5B";

const plataforma::BibliotecaTipo& Tipos();

}  // namespace kestrane
