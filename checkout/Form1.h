#pragma once
// The quantity screen: quantity times the unit value, then the payer screen.
#include "checkout/Exporta.h"
#include "checkout/Tela.h"

class QLabel;
namespace orvessa {
class USButton;
class USForm;
class USTextBox;
}  // namespace orvessa

namespace vendalo {

class VENDALO_EXPORT Form1 : public TelaCheckout {
    Q_OBJECT
public:
    explicit Form1(QWidget* dono = nullptr);

    // This thread's instance, made on first use.
    static Form1* Instancia();
    // Shows this thread's instance modally; returns when it closes.
    static void AbrirModal();

    orvessa::USForm* USFormEx() const { return USFormEx_; }
    orvessa::USTextBox* txtQuantidade() const { return txtQuantidade_; }
    QLabel* lblValor() const { return lblValor_; }
    orvessa::USButton* Btn() const { return Btn_; }

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void AtualizarValor();
    void Btn_Click();

    orvessa::USForm* USFormEx_ = nullptr;
    orvessa::USTextBox* txtQuantidade_ = nullptr;
    QLabel* lblValor_ = nullptr;
    orvessa::USButton* Btn_ = nullptr;
};

}  // namespace vendalo
