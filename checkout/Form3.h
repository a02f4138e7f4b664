#pragma once
// The outcome screen: the summary of the order, the payment page driven in
// a hidden browser while a busy bar runs, then the result. A bank slip or a
// debit offers the address to pay at.
#include "checkout/Exporta.h"
#include "checkout/PaginaPagamento.h"
#include "checkout/Tela.h"

class QLabel;
class QTimer;
namespace orvessa {
class USButton;
class USForm;
class USLabel;
class USProgressBar;
}  // namespace orvessa

namespace vendalo {

class VENDALO_EXPORT Form3 : public TelaCheckout {
    Q_OBJECT
    // For a host that looks at the screen late bound: 0 idle, 1 working,
    // 2 approved, 3 failed, 4 not known (the page never answered).
    Q_PROPERTY(int EstadoPagamento READ EstadoPagamento)
    Q_PROPERTY(QString EnderecoPagamento READ EnderecoPagamento)
public:
    enum class Estado { Parado, Processando, Aprovado, Falhou, Indeterminado };

    explicit Form3(QWidget* dono = nullptr);
    ~Form3() override;

    // This thread's instance, made on first use with `dono` as owner.
    static Form3* Instancia(QWidget* dono);
    // Shows the screen modally and returns when it closes.
    void Exibir();

    Estado EstadoAtual() const { return estado_; }
    int EstadoPagamento() const { return int(estado_); }
    const ResultadoPagina& Resultado() const { return resultado_; }
    // The address a slip or a debit is paid at; "" otherwise.
    QString EnderecoPagamento() const { return endereco_; }

    orvessa::USForm* USFormEx() const { return USFormEx_; }
    QLabel* lblQuantidade() const { return lblQuantidade_; }
    QLabel* lblValor() const { return lblValor_; }
    QLabel* lblOpcao() const { return lblOpcao_; }
    orvessa::USProgressBar* prgProcessando() const { return prgProcessando_; }
    orvessa::USLabel* lblResultado() const { return lblResultado_; }
    orvessa::USButton* btnAbrirEndereco() const { return btnAbrirEndereco_; }
    orvessa::USButton* Btn() const { return Btn_; }

signals:
    // The outcome is on the screen (tests and hosts may look).
    void ResultadoExibido();

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancelar, int modo) override;
    void Form_Unload() override;
    // Pointer back to normal only: after a success this screen shows its
    // outcome (and the slip's address) until the buyer closes it, also when
    // another window was active meanwhile.
    void Form_Activate() override;

private:
    void IniciarPagamento();
    void PaginaConcluida(const ResultadoPagina& resultado);
    void MostrarFalha(const QString& motivo);
    void MostrarIndeterminado(const QString& motivo);
    void VigiarFinalizar();

    orvessa::USForm* USFormEx_ = nullptr;
    QLabel* lblQuantidade_ = nullptr;
    QLabel* lblValor_ = nullptr;
    QLabel* lblOpcao_ = nullptr;
    orvessa::USProgressBar* prgProcessando_ = nullptr;
    orvessa::USLabel* lblResultado_ = nullptr;
    orvessa::USButton* btnAbrirEndereco_ = nullptr;
    orvessa::USButton* Btn_ = nullptr;
    PaginaPagamento* pagina_ = nullptr;
    QTimer* vigia_ = nullptr;

    Estado estado_ = Estado::Parado;
    ResultadoPagina resultado_;
    QString endereco_;
};

// The text shown as it is inside marked-up text: a "<" of the page's
// message can never open a tag.
VENDALO_EXPORT QString TextoLiteral(const QString& texto);

// "CARTÃO DE CRÉDITO", "DÉBITO EM CONTA", "BOLETO".
VENDALO_EXPORT QString NomeOpcaoPagamento(int opcao);

}  // namespace vendalo
