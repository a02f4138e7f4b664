#pragma once
#include "platform/Exporta.h"

#include <QImage>

namespace plataforma {

// The whole desktop as it looks now (every screen, at its place in the
// virtual desktop). A null image when nothing could be grabbed.
PLATAFORMA_EXPORT QImage CapturarAreaTrabalho();

}  // namespace plataforma
