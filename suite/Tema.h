#pragma once
#include "suite/Exporta.h"

class QApplication;
class QWidget;

namespace orvessa {

// The one skin: a style sheet built from the suite's appearance colours.
ORVESSA_EXPORT void AplicarTema(QWidget* janela);
ORVESSA_EXPORT void AplicarTemaAplicacao(QApplication& app);
// Qt's own texts (buttons, dialogs) in Brazilian Portuguese.
ORVESSA_EXPORT void CarregarTraducoes(QApplication& app);

// Twips <-> pixels at the screen's logical DPI (1440 twips an inch).
ORVESSA_EXPORT double PixelsParaTwipsX(double px);
ORVESSA_EXPORT double PixelsParaTwipsY(double px);
ORVESSA_EXPORT double TwipsParaPixelsX(double twips);
ORVESSA_EXPORT double TwipsParaPixelsY(double twips);

}  // namespace orvessa
