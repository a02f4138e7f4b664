#pragma once
// The error-report window: asks the user's e-mail address and mails the
// pending error report with the desktop picture to support; on closing it
// runs the update check.
#include "app/Exporta.h"
#include "suite/Formulario.h"

#include <array>

namespace orvessa {
class USButton;
class USLabel;
class USTextBox;
}  // namespace orvessa

namespace qeltrano {

class QELTRANO_EXPORT FRelatorioErros : public orvessa::Formulario {
    Q_OBJECT
public:
    explicit FRelatorioErros(QWidget* dono = nullptr);
    ~FRelatorioErros() override;

    // The address check: one "@", a point, only letters, digits, ".", "-",
    // "_", no empty label, and a top-level label of the domain list.
    static bool ValidarEmail(const QString& endereco);
    // The domain list: generic words, then the two-letter country codes.
    static QString ListaDominios();

    // The block appended to the report: platform (the distribution's pretty
    // name), kernel major.minor and patch number.
    static QString BlocoSistemaOperacional(const QString& plataforma, const QString& versaoKernel);

    orvessa::USButton* USBtn(int indice) const { return USBtn_.at(size_t(indice)); }
    orvessa::USTextBox* txtEmail() const { return txtEmail_; }

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancelar, int modo) override;
    void Form_Unload() override;
    bool eventFilter(QObject* alvo, QEvent* evento) override;

private:
    void USBtn_Click(int Index);
    void Enviar(bool silencioso);

    std::array<orvessa::USButton*, 2> USBtn_{};
    orvessa::USTextBox* txtEmail_ = nullptr;
    bool enviando_ = false;
};

// The single window, created on first use; null again once it unloads.
QELTRANO_EXPORT FRelatorioErros* FormRelatorioErros();

// Lets the central error handler show this window for the errors it cannot
// classify. Called once at start-up.
QELTRANO_EXPORT void InstalarRelatorioErros();

}  // namespace qeltrano
