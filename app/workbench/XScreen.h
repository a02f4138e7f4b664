#pragma once
// The desktop picture taken when an error is handled, kept as a JPEG in the
// scratch folder for the error report.
#include "app/Exporta.h"
#include "suite/Formulario.h"

#include <QString>

namespace orvessa { class USAlphaImage; }

namespace qeltrano {

// A hidden window: it is never shown, it only lends its image control to
// the capture and unloads itself when the capture is done.
class QELTRANO_EXPORT XScreen : public orvessa::Formulario {
    Q_OBJECT
public:
    explicit XScreen(QWidget* dono = nullptr);
    ~XScreen() override;

    // Grabs the desktop, writes it as a bitmap and then as a JPEG in the
    // scratch folder. The JPEG's full path, or "" when any step failed. The
    // bitmap is left beside it.
    QString PrintScreenEx();

    orvessa::USAlphaImage* imgScreen() const { return imgScreen_; }

private:
    orvessa::USAlphaImage* imgScreen_;
};

// One capture on a fresh window, released afterwards.
QELTRANO_EXPORT QString PrintScreenEx();

}  // namespace qeltrano
