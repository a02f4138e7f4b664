#include "checkout/Form3.h"

#include "checkout/Configuracao.h"
#include "checkout/SemErros.h"
#include "checkout/Valores.h"
#include "checkout/modGlobal.h"
#include "suite/Controles.h"
#include "suite/Dialogos.h"
#include "suite/Utilitarios.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace vendalo {

namespace {

const QString kVerde = QStringLiteral("<c=&H00007000&>");
const QString kVermelho = QStringLiteral("<c=&H000000C0&>");
const QString kLaranja = QStringLiteral("<c=&H000060C0&>");

QLabel* Rotulo(const QString& texto, QWidget* pai)
{
    auto* rotulo = new QLabel(texto, pai);
    rotulo->setTextFormat(Qt::PlainText);
    return rotulo;
}

QLabel* Valor(const char* nome, QWidget* pai)
{
    auto* rotulo = Rotulo(QString(), pai);
    rotulo->setObjectName(QLatin1String(nome));
    QFont negrito = rotulo->font();
    negrito.setBold(true);
    rotulo->setFont(negrito);
    return rotulo;
}

// The line that names the host's support address; "" when it gave none.
QString LinhaSuporte(const QString& frase)
{
    const QString suporte = Parametros().App_EmailSuporte.trimmed();
    if (suporte.isEmpty())
        return QString();
    return QStringLiteral("<br>") + frase + QStringLiteral(": <u>") + TextoLiteral(suporte) + QStringLiteral("</u>");
}

}  // namespace

QString TextoLiteral(const QString& texto)
{
    // The tag language has no escape; a zero-width space after "<" keeps
    // every tag from matching while the text reads the same.
    QString literal = texto;
    literal.replace(QLatin1Char('<'), QStringLiteral("<\u200B"));
    return literal;
}

QString NomeOpcaoPagamento(int opcao)
{
    switch (opcao) {
    case 0: return QStringLiteral("CARTÃO DE CRÉDITO");
    case 1: return QStringLiteral("DÉBITO EM CONTA");
    case 2: return QStringLiteral("BOLETO");
    default: return QString();
    }
}

Form3::Form3(QWidget* dono) : TelaCheckout(QStringLiteral("Form3"), dono)
{
    USFormEx_ = new orvessa::USForm(this);
    USFormEx_->setObjectName(QStringLiteral("USFormEx"));
    USFormEx_->DefinirCaption(QStringLiteral("Pagamento seguro MOIP - Etapa 3 de 3"));

    lblQuantidade_ = Valor("lblQuantidade", this);
    lblValor_ = Valor("lblValor", this);
    lblOpcao_ = Valor("lblOpcao", this);

    prgProcessando_ = new orvessa::USProgressBar(this);
    prgProcessando_->setObjectName(QStringLiteral("prgProcessando"));
    prgProcessando_->setTextVisible(false);
    prgProcessando_->setFixedHeight(14);

    lblResultado_ = new orvessa::USLabel(this);
    lblResultado_->setObjectName(QStringLiteral("lblResultado"));
    lblResultado_->setWordWrap(true);
    lblResultado_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblResultado_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblResultado_->setMinimumHeight(90);

    btnAbrirEndereco_ = new orvessa::USButton(QStringLiteral("Abrir boleto"), this);
    btnAbrirEndereco_->setObjectName(QStringLiteral("btnAbrirEndereco"));
    btnAbrirEndereco_->DefinirToolTipTitle(QStringLiteral("Pagamento"));
    btnAbrirEndereco_->DefinirToolTipDescription(QStringLiteral("Abre no navegador o endereço para o pagamento"));
    btnAbrirEndereco_->hide();

    Btn_ = new orvessa::USButton(QStringLiteral("Fechar"), this);
    Btn_->setObjectName(QStringLiteral("Btn"));
    Btn_->DefinirToolTipTitle(QStringLiteral("Fechar"));
    Btn_->DefinirToolTipDescription(QStringLiteral("Clique neste botão para fechar esta janela"));

    connect(btnAbrirEndereco_, &QAbstractButton::clicked, this, [this] {
        if (!endereco_.isEmpty())
            orvessa::Utilitarios::Instancia().AbrirURL(endereco_);
    });
    connect(Btn_, &QAbstractButton::clicked, this, [this] { close(); });

    auto* resumo = new QGridLayout;
    resumo->setContentsMargins(24, 16, 24, 4);
    resumo->setHorizontalSpacing(12);
    resumo->setVerticalSpacing(6);
    resumo->addWidget(Rotulo(QStringLiteral("Quantidade:"), this), 0, 0);
    resumo->addWidget(lblQuantidade_, 0, 1);
    resumo->addWidget(Rotulo(QStringLiteral("Valor total (R$):"), this), 1, 0);
    resumo->addWidget(lblValor_, 1, 1);
    resumo->addWidget(Rotulo(QStringLiteral("Forma de pagamento:"), this), 2, 0);
    resumo->addWidget(lblOpcao_, 2, 1);
    resumo->setColumnStretch(1, 1);

    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(24, 4, 24, 0);
    corpo->setSpacing(8);
    corpo->addWidget(prgProcessando_);
    corpo->addWidget(lblResultado_, 1);

    auto* botoes = new QHBoxLayout;
    botoes->setContentsMargins(24, 0, 24, 0);
    botoes->addStretch(1);
    botoes->addWidget(btnAbrirEndereco_);
    botoes->addWidget(Btn_);

    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(0, 0, 0, 16);
    janela->setSpacing(8);
    janela->addWidget(USFormEx_);
    janela->addLayout(resumo);
    janela->addLayout(corpo, 1);
    janela->addLayout(botoes);
    setFixedSize(460, 340);
}

Form3::~Form3() = default;

Form3* Form3::Instancia(QWidget* dono)
{
    ParametrosCheckout& p = Parametros();
    auto* tela = qobject_cast<Form3*>(p.form3.data());
    if (!tela) {
        tela = new Form3(dono);
        p.form3 = tela;
    }
    return tela;
}

void Form3::Exibir()
{
    // The page starts once the screen is up, so the busy bar shows first;
    // loading the screen alone starts nothing.
    QTimer::singleShot(0, this, [this] {
        if (Carregado() && isVisible() && estado_ == Estado::Parado)
            IniciarPagamento();
    });
    ExibirModal();
}

void Form3::Form_Load()
{
    const ParametrosCheckout& p = Parametros();
    SemErros("Form3.Form_Load", [&] {
        if (p.MOIP_OmitirTelaInicial)
            USFormEx_->DefinirCaption(QStringLiteral("Pagamento seguro MOIP - Etapa 2 de 2"));
        DefinirFundo(CarregarFundo(p.App_DiretorioImagens, p.App_Img003, QStringLiteral("003.jpg")));
        lblQuantidade_->setText(QString::number(p.QuantidadeItens));
        lblValor_->setText(FormatarValor(p.ValorTotal));
        lblOpcao_->setText(NomeOpcaoPagamento(p.OpcaoPagamento));
    });
    SemErros("Form3.Form_Load", [this] { USFormEx_->AplicarTema(); });
}

void Form3::IniciarPagamento()
{
    ParametrosCheckout& p = Parametros();
    // Only a stop asked for during this screen's own wait counts.
    p.Finalizar = false;
    estado_ = Estado::Processando;
    endereco_.clear();
    btnAbrirEndereco_->hide();
    prgProcessando_->setRange(0, 0);
    prgProcessando_->show();
    lblResultado_->DefinirCaption(
        QStringLiteral("<b>Processando o pagamento...</b><br>Aguarde a resposta da operadora e não feche esta "
                       "janela."));

    const ConfiguracaoCheckout& c = ConfigCheckout();
    const QUrl endereco =
        EnderecoPagina(p.App_ModoDesenvolvedor ? c.HostPaginaSandbox : c.HostPagina, p.ParametrosPagina);
    if (!pagina_) {
        pagina_ = new PaginaPagamento(this);
        connect(pagina_, &PaginaPagamento::Concluido, this, &Form3::PaginaConcluida);
    }
    if (!vigia_) {
        vigia_ = new QTimer(this);
        vigia_->setInterval(200);
        connect(vigia_, &QTimer::timeout, this, &Form3::VigiarFinalizar);
    }
    vigia_->start();
    pagina_->Iniciar(endereco, p.OpcaoPagamento, c.TempoLimitePaginaMs);
}

void Form3::VigiarFinalizar()
{
    if (Parametros().Finalizar && pagina_ && pagina_->Trabalhando())
        pagina_->Interromper();
}

void Form3::PaginaConcluida(const ResultadoPagina& resultado)
{
    if (vigia_)
        vigia_->stop();
    resultado_ = resultado;
    prgProcessando_->setRange(0, 1);
    prgProcessando_->setValue(1);
    prgProcessando_->hide();

    if (resultado.desfecho != DesfechoPagina::Aprovado) {
        if (resultado.desfecho != DesfechoPagina::Recusado)
            qWarning("Vendalo: página de pagamento: %s", qPrintable(resultado.motivo));
        // Without the page's answer the payment may have gone through.
        if (resultado.desfecho == DesfechoPagina::SemResposta || resultado.desfecho == DesfechoPagina::Interrompido)
            MostrarIndeterminado(resultado.motivo);
        else
            MostrarFalha(resultado.motivo);
        emit ResultadoExibido();
        return;
    }

    ParametrosCheckout& p = Parametros();
    p.PagamentoProcessado = true;
    p.FecharTelas = true;
    estado_ = Estado::Aprovado;

    const RespostaPagina& r = resultado.resposta;
    QString texto;
    if (StatusPedeEndereco(r.Status)) {
        endereco_ = r.Url;
        const bool boleto = p.OpcaoPagamento == 2;
        btnAbrirEndereco_->DefinirCaption(boleto ? QStringLiteral("Abrir boleto")
                                                 : QStringLiteral("Abrir página do banco"));
        btnAbrirEndereco_->show();
        texto = kVerde
                + (boleto ? QStringLiteral("<b>Boleto gerado com sucesso.</b></c><br>Clique em \"Abrir boleto\" para "
                                           "imprimir e pagar o boleto.")
                          : QStringLiteral("<b>Débito em conta iniciado.</b></c><br>Clique em \"Abrir página do "
                                           "banco\" para concluir o pagamento."));
    } else if (r.Status.compare(QLatin1String("EmAnalise"), Qt::CaseInsensitive) == 0) {
        texto = kVerde + QStringLiteral("<b>Pagamento recebido e em análise.</b></c><br>Você será avisado quando a "
                                        "análise terminar.");
    } else {
        texto = kVerde + QStringLiteral("<b>Pagamento aprovado!</b></c>");
    }
    if (!r.Mensagem.isEmpty())
        texto += QStringLiteral("<br>") + TextoLiteral(r.Mensagem);
    if (!r.CodigoMoIP.isEmpty())
        texto += QStringLiteral("<br>Código do pagamento: <b>") + TextoLiteral(r.CodigoMoIP) + QStringLiteral("</b>");
    lblResultado_->DefinirCaption(texto);
    Btn_->DefinirCaption(QStringLiteral("Concluir"));
    emit ResultadoExibido();
}

void Form3::MostrarFalha(const QString& motivo)
{
    estado_ = Estado::Falhou;
    lblResultado_->DefinirCaption(kVermelho + QStringLiteral("<b>O pagamento não foi realizado.</b></c><br>")
                                  + TextoLiteral(motivo)
                                  + LinhaSuporte(QStringLiteral("Em caso de dúvida, entre em contato com o suporte")));
}

void Form3::MostrarIndeterminado(const QString& motivo)
{
    estado_ = Estado::Indeterminado;
    lblResultado_->DefinirCaption(
        kLaranja + QStringLiteral("<b>Não foi possível saber se o pagamento foi realizado.</b></c><br>")
        + TextoLiteral(motivo)
        + QStringLiteral("<br>Antes de tentar de novo, verifique se o pagamento foi processado, para não "
                         "pagar duas vezes.")
        + LinhaSuporte(QStringLiteral("Para saber a situação do pagamento, entre em contato com o suporte")));
}

void Form3::Form_QueryUnload(bool& cancelar, int)
{
    if (!pagina_ || !pagina_->Trabalhando())
        return;
    const int resposta = orvessa::Utilitarios::Instancia().CaixaMensagem(
        QStringLiteral("<b>Atenção</b>: O pagamento ainda está sendo processado. Deseja mesmo fechar esta janela e "
                       "interromper a espera pela resposta?"),
        orvessa::EstiloMensagem::PerguntaSimNaoPadraoNao, ConfigCheckout().TituloAplicacao);
    if (resposta != orvessa::Resposta::Sim) {
        cancelar = true;
        return;
    }
    // The answer may have come while the question was open.
    if (pagina_->Trabalhando())
        pagina_->Interromper();
}

void Form3::Form_Activate()
{
    RestaurarPonteiro();
}

void Form3::Form_Unload()
{
    if (vigia_)
        vigia_->stop();
    if (pagina_ && pagina_->Trabalhando())
        pagina_->Interromper();
    ParametrosCheckout& p = Parametros();
    if (p.form3 == this)
        p.form3 = nullptr;
    deleteLater();
}

}  // namespace vendalo
