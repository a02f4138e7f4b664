#pragma once
// The update assistant: shows the offered version and, on request,
// downloads its installer with the control library's download control,
// starts it silently and ends every running copy of the program.
#include "app/Exporta.h"
#include "suite/Formulario.h"

#include <array>
#include <functional>

namespace orvessa {
class USAnimatedImage;
class USButton;
class USForm;
class USLabel;
class USProgressBar;
}  // namespace orvessa

namespace qeltrano {

class QELTRANO_EXPORT XTelaAssistenteAtualizacoes : public orvessa::Formulario {
    Q_OBJECT
public:
    // Builds the window with its download control, created from the control
    // library by class id. Throws ErroExecucao (429, 339) when the library
    // is not registered or its file cannot be loaded.
    explicit XTelaAssistenteAtualizacoes(QWidget* dono = nullptr);
    ~XTelaAssistenteAtualizacoes() override;

    // Shows the window modally and returns, once it has closed, false only
    // when the user discarded the update.
    bool Atualizar();

    // "@@.@.@@" filled from the right, then trimmed: "1306" -> "1.3.06".
    static QString FormatarVersaoOferecida(const QString& versao);

    QString ArquivoInstalador() const { return ArquivoInstalador_; }
    bool RecusouAtualizacao() const { return RecusouAtualizacao_; }

    orvessa::USForm* USForm1() const { return USForm1_; }
    orvessa::USLabel* Label1(int indice) const;
    orvessa::USLabel* lbl(int indice) const;
    orvessa::USButton* USBtn(int indice) const;
    orvessa::USProgressBar* XPProgress() const { return XPProgress_; }
    orvessa::USLabel* lblDownload() const { return lblDownload_; }
    orvessa::USAnimatedImage* USAnimatedImage1() const { return USAnimatedImage1_; }
    QObject* DownloadCls1() const { return DownloadCls1_; }

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancelar, int modo) override;
    void Form_Unload() override;
    // Shown or activated: the pointer is the plain arrow again.
    void showEvent(QShowEvent* evento) override;
    void changeEvent(QEvent* evento) override;

private slots:
    void DownloadCls1_Erros(const QString& Mensagem, int Codigo);
    void DownloadCls1_Progresso(int Porcentagem, const QString& Mensagem);
    void DownloadCls1_Concluido();

private:
    void USBtn_Click(int indice);
    void IniciarInstalador(const QString& instalador);
    void Abandonar();

    orvessa::USForm* USForm1_ = nullptr;
    std::array<orvessa::USLabel*, 3> Label1_{};
    std::array<orvessa::USLabel*, 3> lbl_{};
    std::array<orvessa::USButton*, 2> USBtn_{};
    orvessa::USProgressBar* XPProgress_ = nullptr;
    orvessa::USLabel* lblDownload_ = nullptr;
    orvessa::USAnimatedImage* USAnimatedImage1_ = nullptr;
    QObject* DownloadCls1_ = nullptr;

    bool RecusouAtualizacao_ = false;
    QString ArquivoInstalador_;
    bool baixando_ = false;
    // The user closed the window while the download ran.
    bool fechamentoPedido_ = false;
};

// The single assistant, created on first use; null again once it unloads.
// Like FormSobre(), throws ErroExecucao (429, 339) when the download
// control's library is not registered or cannot be loaded.
QELTRANO_EXPORT XTelaAssistenteAtualizacoes* FormAssistenteAtualizacoes();

// How every running copy of the program is ended once the installer runs
// (the argument is the image name with ".exe"). Tests replace it so that no
// process they did not start is ended; null restores the real end.
QELTRANO_EXPORT void DefinirEncerramentoInstancias(std::function<void(const QString& imagem)> encerrar);

}  // namespace qeltrano
