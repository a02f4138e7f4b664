#include "checkout/Form1.h"

#include "checkout/Form2.h"
#include "checkout/SemErros.h"
#include "checkout/Valores.h"
#include "checkout/modGlobal.h"
#include "platform/Arredondamento.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"

#include <QGridLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cmath>

namespace vendalo {

Form1::Form1(QWidget* dono) : TelaCheckout(QStringLiteral("Form1"), dono)
{
    USFormEx_ = new orvessa::USForm(this);
    USFormEx_->setObjectName(QStringLiteral("USFormEx"));
    USFormEx_->DefinirCaption(QStringLiteral("Pagamento seguro MOIP - Etapa 1 de 3"));

    auto* lblQuantidade = new QLabel(QStringLiteral("Quantidade:"), this);
    txtQuantidade_ = new orvessa::USTextBox(this);
    txtQuantidade_->setObjectName(QStringLiteral("txtQuantidade"));
    txtQuantidade_->setMaxLength(5);
    txtQuantidade_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), txtQuantidade_));
    txtQuantidade_->DefinirTexto(QStringLiteral("1"));
    lblQuantidade->setBuddy(txtQuantidade_);
    orvessa::BalaoAviso::AplicarConvencao(txtQuantidade_);

    auto* lblTituloValor = new QLabel(QStringLiteral("Valor total (R$):"), this);
    lblValor_ = new QLabel(this);
    lblValor_->setObjectName(QStringLiteral("lblValor"));
    lblValor_->setTextFormat(Qt::PlainText);
    QFont negrito = lblValor_->font();
    negrito.setBold(true);
    negrito.setPointSizeF(negrito.pointSizeF() * 1.3);
    lblValor_->setFont(negrito);

    Btn_ = new orvessa::USButton(QStringLiteral("Prosseguir com o pagamento"), this);
    Btn_->setObjectName(QStringLiteral("Btn"));
    Btn_->DefinirToolTipTitle(QStringLiteral("Próximo"));
    Btn_->DefinirToolTipDescription(QStringLiteral("Clique neste botão para continuar"));
    Btn_->setDefault(true);

    // The balloon convention above already hides a balloon on every change.
    connect(txtQuantidade_, &QLineEdit::textChanged, this,
            [this] { SemErros("Form1.txtQuantidade_Change", [this] { AtualizarValor(); }); });
    connect(Btn_, &QAbstractButton::clicked, this, [this] { SemErros("Form1.Btn_Click", [this] { Btn_Click(); }); });

    auto* campos = new QGridLayout;
    campos->setContentsMargins(24, 20, 24, 8);
    campos->setHorizontalSpacing(12);
    campos->setVerticalSpacing(10);
    campos->addWidget(lblQuantidade, 0, 0);
    campos->addWidget(txtQuantidade_, 0, 1);
    campos->addWidget(lblTituloValor, 1, 0);
    campos->addWidget(lblValor_, 1, 1);
    campos->setColumnStretch(1, 1);

    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(0, 0, 0, 16);
    janela->setSpacing(8);
    janela->addWidget(USFormEx_);
    janela->addLayout(campos);
    janela->addStretch(1);
    janela->addWidget(Btn_, 0, Qt::AlignHCenter);
    setFixedSize(380, 220);
}

Form1* Form1::Instancia()
{
    ParametrosCheckout& p = Parametros();
    if (!p.form1)
        p.form1 = new Form1();
    return p.form1;
}

void Form1::AbrirModal()
{
    Instancia()->orvessa::Formulario::ExibirModal();
}

void Form1::Form_Load()
{
    SemErros("Form1.Form_Load", [this] {
        const ParametrosCheckout& p = Parametros();
        DefinirFundo(CarregarFundo(p.App_DiretorioImagens, p.App_Img001, QStringLiteral("001.jpg")));
    });
    SemErros("Form1.Form_Load", [this] { AtualizarValor(); });
    SemErros("Form1.Form_Load", [this] { USFormEx_->AplicarTema(); });
}

void Form1::Form_Unload()
{
    orvessa::BalaoAviso::Instancia().OcultarBalao();
    ParametrosCheckout& p = Parametros();
    if (p.form1 == this)
        p.form1 = nullptr;
    deleteLater();
}

void Form1::AtualizarValor()
{
    // A text that is no number keeps the amount shown.
    bool ok = false;
    const double quantidade = txtQuantidade_->Texto().trimmed().toDouble(&ok);
    if (!ok)
        return;
    lblValor_->setText(FormatarValor(quantidade * Parametros().MOIP_ValorUnitario));
}

void Form1::Btn_Click()
{
    const double quantidade = txtQuantidade_->Valor();
    if (quantidade == 0) {
        orvessa::BalaoAviso::Instancia().ExibirBalao(QStringLiteral("Atenção!"), QStringLiteral("Informe a quantidade."),
                                                     txtQuantidade_, 2, 0, 0xE1FFFF, 0);
        return;
    }
    ParametrosCheckout& p = Parametros();
    p.QuantidadeItens = int(plataforma::ArredondarPar(quantidade));
    // The amount as shown, already rounded to cents.
    if (const std::optional<double> total = LerValor(lblValor_->text()))
        p.ValorTotal = *total;
    Form2::AbrirModal(this);
    // The fold-up after a payment, also where no window manager hands the
    // activation back to this screen.
    if (Parametros().FecharTelas)
        Descarregar();
}

}  // namespace vendalo
