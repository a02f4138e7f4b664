#pragma once
// The payer and payment screen: payer, billing address, payment option and
// card data, each field kept in the payer-data store as it is typed; its
// button sends the payment instruction.
#include "checkout/Exporta.h"
#include "checkout/Tela.h"

#include <array>

class QLabel;
namespace orvessa {
class USButton;
class USComboBox;
class USForm;
class USOptionButton;
class USTextBox;
}  // namespace orvessa

namespace vendalo {

class VENDALO_EXPORT Form2 : public TelaCheckout {
    Q_OBJECT
public:
    // Field numbers of the payer-data store.
    enum CampoForm2 {
        CampoResponsavel = 0, CampoCep, CampoLogradouro, CampoNumero, CampoComplemento, CampoBairro,
        CampoMunicipio, CampoUf, CampoTelefoneFixo, CampoEmail, CampoNomeImpresso, CampoNascimentoTitular,
        CampoCPFTitular, CampoTelefoneTitular, CampoNumeroCartao, CampoCodigoSeguranca, CampoValidadeCartao,
        TotalCamposForm2
    };

    explicit Form2(QWidget* dono = nullptr);
    ~Form2() override;

    // This thread's instance, made on first use with `dono` as owner.
    static Form2* Instancia(QWidget* dono);
    // Shows this thread's instance modally; returns when it closes.
    static void AbrirModal(QWidget* dono);

    bool AguardandoResposta() const { return AguardandoResposta_; }

    // The text box of a stored field; null for the state list (field 7).
    orvessa::USTextBox* CaixaCampo(int campo) const;
    orvessa::USComboBox* txtUf() const { return txtUf_; }
    orvessa::USComboBox* txtCartao() const { return txtCartao_; }
    orvessa::USTextBox* txtParcelas() const { return txtParcelas_; }
    orvessa::USOptionButton* btnOpcao(int indice) const;
    orvessa::USButton* Btn() const { return Btn_; }
    orvessa::USForm* USFormEx() const { return USFormEx_; }
    QLabel* lblValorTotal() const { return lblValorTotal_; }

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancelar, int modo) override;
    void Form_Unload() override;

private:
    void MontarTela();
    void SelecionarOpcaoPagamento(int opcao);
    void CarregarDadosCartao();
    void HabilitarCamposCartao(bool desabilitar, int opcao);
    void Btn_Click();
    bool VerificarCampos();
    int OpcaoSelecionada() const;

    orvessa::USForm* USFormEx_ = nullptr;
    std::array<orvessa::USTextBox*, TotalCamposForm2> caixas_{};
    orvessa::USComboBox* txtUf_ = nullptr;
    orvessa::USComboBox* txtCartao_ = nullptr;
    orvessa::USTextBox* txtParcelas_ = nullptr;
    std::array<orvessa::USOptionButton*, 3> btnOpcao_{};
    orvessa::USButton* Btn_ = nullptr;
    QLabel* lblValorTotal_ = nullptr;

    bool AguardandoResposta_ = false;
    bool CarregandoTela_ = false;
};

}  // namespace vendalo
