#include "checkout/Form2.h"

#include "checkout/modGlobal.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"

#include <QVBoxLayout>

namespace vendalo {

Form2::Form2(QWidget* dono) : TelaCheckout(QStringLiteral("Form2"), dono)
{
    MontarTela();
}

Form2::~Form2() = default;

void Form2::MontarTela()
{
    USFormEx_ = new orvessa::USForm(this);
    USFormEx_->setObjectName(QStringLiteral("USFormEx"));
    USFormEx_->DefinirCaption(QStringLiteral("Pagamento seguro MOIP - Etapa 2 de 3"));
    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(0, 0, 0, 0);
    janela->addWidget(USFormEx_);
}

Form2* Form2::Instancia(QWidget* dono)
{
    ParametrosCheckout& p = Parametros();
    if (!p.form2)
        p.form2 = new Form2(dono);
    return p.form2;
}

void Form2::AbrirModal(QWidget* dono)
{
    Instancia(dono)->orvessa::Formulario::ExibirModal();
}

orvessa::USTextBox* Form2::CaixaCampo(int campo) const
{
    return campo >= 0 && campo < TotalCamposForm2 ? caixas_[size_t(campo)] : nullptr;
}

orvessa::USOptionButton* Form2::btnOpcao(int indice) const
{
    return indice >= 0 && indice < 3 ? btnOpcao_[size_t(indice)] : nullptr;
}

void Form2::Form_Load() {}

void Form2::Form_QueryUnload(bool& cancelar, int)
{
    if (AguardandoResposta_) {
        Parametros().Finalizar = true;
        cancelar = true;
    }
}

void Form2::Form_Unload()
{
    orvessa::BalaoAviso::Instancia().OcultarBalao();
    ParametrosCheckout& p = Parametros();
    if (p.form2 == this)
        p.form2 = nullptr;
    deleteLater();
}

void Form2::SelecionarOpcaoPagamento(int) {}
void Form2::CarregarDadosCartao() {}
void Form2::HabilitarCamposCartao(bool, int) {}
void Form2::Btn_Click() {}
bool Form2::VerificarCampos() { return false; }
int Form2::OpcaoSelecionada() const { return 0; }

}  // namespace vendalo
