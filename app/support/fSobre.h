#pragma once
// The about box: product, platform line, version and the maker's web site.
#include "app/Exporta.h"
#include "suite/Formulario.h"

#include <array>

class QLabel;
namespace orvessa {
class USButton;
class USForm;
class USLabel;
}  // namespace orvessa

namespace qeltrano {

class QELTRANO_EXPORT fSobre : public orvessa::Formulario {
    Q_OBJECT
public:
    // Builds the window with its status bar, created from the control
    // library by class id. Throws ErroExecucao (429, 339) when the library
    // is not registered or its file cannot be loaded.
    explicit fSobre(QWidget* dono = nullptr);
    ~fSobre() override;

    // "1.0" and "05" for version 1.0.5.
    static QString TextoVersao(int major, int minor);
    static QString TextoRevisao(int revision);

    orvessa::USForm* USForm1() const { return USForm1_; }
    orvessa::USLabel* lblVersao(int indice) const;
    QLabel* lblSite() const { return lblSite_; }
    orvessa::USButton* btnSair() const { return btnSair_; }
    QWidget* StatusBarEx1() const { return StatusBarEx1_; }

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_KeyDown(int& codigo, Qt::KeyboardModifiers modificadores) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    bool eventFilter(QObject* alvo, QEvent* evento) override;

private:
    void lblSite_MouseMove();
    void lblSite_Click();
    void SublinharSite(bool sublinhar);

    orvessa::USForm* USForm1_ = nullptr;
    std::array<orvessa::USLabel*, 2> lblVersao_{};
    QLabel* lblSite_ = nullptr;
    orvessa::USButton* btnSair_ = nullptr;
    QWidget* StatusBarEx1_ = nullptr;
};

// The single about box, created on first use; null again once it unloads.
QELTRANO_EXPORT fSobre* FormSobre();

// The about command: shows the box modeless, owned by `dono`, unless it is
// already loaded. Errors building the box (its status bar's library missing
// or moved) reach the caller as ErroExecucao.
QELTRANO_EXPORT void ExibirSobre(QWidget* dono);

}  // namespace qeltrano
