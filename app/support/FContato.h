#pragma once
// The contact form: the user writes to technical support; the message goes
// with a block of computer information, and the send shows its progress and
// can be cancelled.
#include "app/Exporta.h"
#include "app/support/clsSendMail.h"
#include "suite/Formulario.h"

#include <QPointer>
#include <array>

namespace orvessa {
class USButton;
class USComboBox;
class USForm;
class USProgressBar;
class USTextBox;
class USTextBoxEx;
}  // namespace orvessa

namespace qeltrano {

class InformacoesComputador;

class QELTRANO_EXPORT FContato : public orvessa::Formulario {
    Q_OBJECT
public:
    // Builds the form with its info panel and status bar, created from the
    // control library by class id. Throws ErroExecucao (429, 339) when the
    // library is not registered or its file cannot be loaded.
    explicit FContato(QWidget* dono = nullptr);
    ~FContato() override;

    // The mail's body: the user's fields, the message trimmed, then the
    // computer block. Lines end with CR LF, the last one does not.
    static QString MensagemContato(const QString& nome, const QString& email, const QString& telefone,
                                   const QString& mensagem, InformacoesComputador& info);

    // The skinned frame (the form's "Formulario" control).
    orvessa::USForm* Moldura() const { return Formulario_; }
    orvessa::USTextBox* txtNome() const { return txtNome_; }
    orvessa::USTextBox* txtEmail() const { return txtEmail_; }
    orvessa::USTextBox* txtTelefone() const { return txtTelefone_; }
    orvessa::USComboBox* txtTipo() const { return txtTipo_; }
    orvessa::USTextBox* txtAssunto() const { return txtAssunto_; }
    orvessa::USTextBoxEx* txtMensagem() const { return txtMensagem_; }
    orvessa::USTextBox* txtAnexo() const { return txtAnexo_; }
    orvessa::USButton* USBtn(int indice) const { return USBtn_.at(size_t(indice)); }
    orvessa::USProgressBar* pgbTotal() const { return pgbTotal_; }
    QWidget* PanelX1() const { return PanelX1_; }
    QWidget* StatusBarEx1() const { return StatusBarEx1_; }
    // The send running now; null when none is.
    clsSendMail* MailObj() const { return MailObj_; }

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancelar, int modo) override;
    void Form_Unload() override;
    void Form_KeyDown(int& codigo, Qt::KeyboardModifiers modificadores) override;
    void showEvent(QShowEvent* evento) override;

private:
    void USBtn_Click(int Index);
    void EnviarMensagem();
    void EscolherAnexo();
    void RemoverAnexo();
    bool Validar();
    void MailObj_Progresso(long Percentual);

    orvessa::USForm* Formulario_ = nullptr;
    orvessa::USTextBox* txtNome_ = nullptr;
    orvessa::USTextBox* txtEmail_ = nullptr;
    orvessa::USTextBox* txtTelefone_ = nullptr;
    orvessa::USComboBox* txtTipo_ = nullptr;
    orvessa::USTextBox* txtAssunto_ = nullptr;
    orvessa::USTextBoxEx* txtMensagem_ = nullptr;
    orvessa::USTextBox* txtAnexo_ = nullptr;
    std::array<orvessa::USButton*, 4> USBtn_{};
    orvessa::USProgressBar* pgbTotal_ = nullptr;
    QWidget* PanelX1_ = nullptr;
    QWidget* StatusBarEx1_ = nullptr;
    QPointer<clsSendMail> MailObj_;
};

// The single form, created on first use; null again once it unloads.
QELTRANO_EXPORT FContato* FormContato();

// The contact command: shows the form modally, owned by `dono`, unless one
// is already loaded. Errors building it reach the caller as ErroExecucao.
QELTRANO_EXPORT void ExibirContato(QWidget* dono);

}  // namespace qeltrano
