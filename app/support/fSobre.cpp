#include "app/support/fSobre.h"

#include "Versao.h"
#include "app/Configuracao.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/Componentes.h"
#include "platform/ErroExecucao.h"
#include "suite/Controles.h"
#include "suite/Utilitarios.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>

namespace qeltrano {
namespace {

// The status bar of the control library, by its class id.
constexpr const char* ClsidStatusBar = "9D23CF34-7580-4AF9-B9A3-F46AE7F2A5CE";

QPointer<fSobre>& Instancia()
{
    static QPointer<fSobre> instancia;
    return instancia;
}

orvessa::USLabel* Rotulo(const QString& nome, const QString& marcado, QWidget* pai)
{
    auto* rotulo = new orvessa::USLabel(pai);
    rotulo->setObjectName(nome);
    rotulo->setWordWrap(false);
    rotulo->DefinirCaption(marcado);
    return rotulo;
}

QFont Fonte(QFont base, double pontos, bool negrito)
{
    base.setPointSizeF(pontos);
    base.setBold(negrito);
    return base;
}

}  // namespace

fSobre::fSobre(QWidget* dono) : orvessa::Formulario(QStringLiteral("fSobre"), dono)
{
    // First, so that a missing or moved control library stops the opening
    // before anything else is built.
    QObject* barra = plataforma::Componentes::CriarObjeto(QString::fromLatin1(ClsidStatusBar), this);
    StatusBarEx1_ = qobject_cast<QWidget*>(barra);
    if (!StatusBarEx1_) {
        delete barra;
        throw plataforma::ErroExecucao::ComponenteNaoCriado();
    }
    StatusBarEx1_->setObjectName(QStringLiteral("StatusBarEx1"));

    setMouseTracking(true);

    USForm1_ = new orvessa::USForm(this);
    USForm1_->setObjectName(QStringLiteral("USForm1"));

    auto* icone = new orvessa::USAlphaImage(this);
    icone->setObjectName(QStringLiteral("imgProduto"));
    icone->DefinirImagem(QImage(QStringLiteral(":/icones/EXEICON-64.png")));
    icone->setFixedSize(72, 72);
    icone->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* lblProduto = Rotulo(QStringLiteral("lblProduto"), NomeProduto(), this);
    lblProduto->setFont(Fonte(font(), 17, true));
    lblProduto->setStyleSheet(QStringLiteral("color: #2F6FB5;"));
    auto* lblDescricao =
        Rotulo(QStringLiteral("lblDescricao"), QStringLiteral("Tradutor de legendas SubRip e MicroDVD"), this);
    auto* lblPlataforma =
        Rotulo(QStringLiteral("lblPlataforma"), QStringLiteral("Desenvolvido para Windows 32/64 Bits"), this);
    lblPlataforma->setStyleSheet(QStringLiteral("color: #5A5A5A;"));

    auto* lblTituloVersao = Rotulo(QStringLiteral("lblTituloVersao"), QStringLiteral("Versão"), this);
    lblVersao_[0] = Rotulo(QStringLiteral("lblVersao"), QString(), this);
    lblVersao_[0]->setProperty("Index", 0);
    lblVersao_[0]->setFont(Fonte(font(), 10, true));
    auto* lblTituloRevisao = Rotulo(QStringLiteral("lblTituloRevisao"), QStringLiteral("revisão"), this);
    lblVersao_[1] = Rotulo(QStringLiteral("lblVersao"), QString(), this);
    lblVersao_[1]->setProperty("Index", 1);
    lblVersao_[1]->setFont(Fonte(font(), 10, true));

    lblSite_ = new QLabel(this);
    lblSite_->setObjectName(QStringLiteral("lblSite"));
    lblSite_->setTextFormat(Qt::PlainText);
    lblSite_->setTextInteractionFlags(Qt::NoTextInteraction);
    lblSite_->setCursor(Qt::PointingHandCursor);
    lblSite_->setMouseTracking(true);
    lblSite_->setStyleSheet(QStringLiteral("color: #1F66C1;"));
    lblSite_->installEventFilter(this);

    auto* lblFabricante =
        Rotulo(QStringLiteral("lblFabricante"), QStringLiteral("© ") + Config().NomeFabricante, this);
    lblFabricante->setStyleSheet(QStringLiteral("color: #7A7A7A;"));

    btnSair_ = new orvessa::USButton(QStringLiteral("&Fechar"), this);
    btnSair_->setObjectName(QStringLiteral("btnSair"));
    btnSair_->setMinimumWidth(96);
    connect(btnSair_, &QAbstractButton::clicked, this, [this] {
        try {
            Descarregar();
        } catch (...) {
            RegistrarErroIgnorado(QStringLiteral("fSobre.btnSair_Click"));
        }
    });

    auto* linhaVersao = new QHBoxLayout;
    linhaVersao->setSpacing(6);
    linhaVersao->addWidget(lblTituloVersao, 0, Qt::AlignBaseline);
    linhaVersao->addWidget(lblVersao_[0], 0, Qt::AlignBaseline);
    linhaVersao->addSpacing(6);
    linhaVersao->addWidget(lblTituloRevisao, 0, Qt::AlignBaseline);
    linhaVersao->addWidget(lblVersao_[1], 0, Qt::AlignBaseline);
    linhaVersao->addStretch(1);

    auto* textos = new QVBoxLayout;
    textos->setSpacing(4);
    textos->addWidget(lblProduto);
    textos->addWidget(lblDescricao);
    textos->addWidget(lblPlataforma);
    textos->addSpacing(10);
    textos->addLayout(linhaVersao);
    textos->addSpacing(4);
    textos->addWidget(lblSite_, 0, Qt::AlignLeft);
    textos->addStretch(1);

    auto* corpo = new QHBoxLayout;
    corpo->setContentsMargins(20, 18, 20, 8);
    corpo->setSpacing(16);
    corpo->addWidget(icone, 0, Qt::AlignTop);
    corpo->addLayout(textos, 1);

    auto* rodape = new QHBoxLayout;
    rodape->setContentsMargins(20, 4, 20, 14);
    rodape->addWidget(lblFabricante, 0, Qt::AlignVCenter);
    rodape->addStretch(1);
    rodape->addWidget(btnSair_);

    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(0, 0, 0, 0);
    janela->setSpacing(0);
    janela->addWidget(USForm1_);
    janela->addLayout(corpo, 1);
    janela->addLayout(rodape);
    janela->addWidget(StatusBarEx1_);

    setFixedSize(440, 230 + StatusBarEx1_->sizeHint().height());
}

fSobre::~fSobre()
{
    if (Instancia() == this)
        Instancia() = nullptr;
}

QString fSobre::TextoVersao(int major, int minor)
{
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

QString fSobre::TextoRevisao(int revision)
{
    return QStringLiteral("%1").arg(revision, 2, 10, QLatin1Char('0'));
}

orvessa::USLabel* fSobre::lblVersao(int indice) const
{
    return indice >= 0 && indice < static_cast<int>(lblVersao_.size()) ? lblVersao_[static_cast<size_t>(indice)]
                                                                        : nullptr;
}

void fSobre::Form_Load()
{
    try {
        USForm1_->DefinirCaption(QStringLiteral("Sobre o Qeltrano"));
        lblVersao_[0]->DefinirCaption(TextoVersao(versao::Major, versao::Minor));
        lblVersao_[1]->DefinirCaption(TextoRevisao(versao::Revision));
        lblSite_->setText(Config().SiteFabricante);
        CarregarPosicao(this);
        USForm1_->AplicarTema();
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fSobre.Form_Load"));
    }
}

void fSobre::Form_Unload()
{
    // The next opening builds a fresh box.
    if (Instancia() == this)
        Instancia() = nullptr;
    deleteLater();
}

void fSobre::Form_KeyDown(int& codigo, Qt::KeyboardModifiers)
{
    try {
        TratarTecla(this, codigo);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fSobre.Form_KeyDown"));
    }
}

void fSobre::SublinharSite(bool sublinhar)
{
    QFont fonte = lblSite_->font();
    if (fonte.underline() == sublinhar)
        return;
    fonte.setUnderline(sublinhar);
    lblSite_->setFont(fonte);
}

void fSobre::lblSite_MouseMove()
{
    try {
        SublinharSite(true);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fSobre.lblSite_MouseMove"));
    }
}

void fSobre::lblSite_Click()
{
    try {
        orvessa::Utilitarios::Instancia().AbrirURL(Config().SiteFabricante);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fSobre.lblSite_Click"));
    }
}

// Anywhere on the form but the link.
void fSobre::mouseMoveEvent(QMouseEvent* evento)
{
    try {
        SublinharSite(false);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fSobre.mouseMoveEvent"));
    }
    orvessa::Formulario::mouseMoveEvent(evento);
}

bool fSobre::eventFilter(QObject* alvo, QEvent* evento)
{
    if (alvo == lblSite_) {
        switch (evento->type()) {
        case QEvent::MouseMove:
            lblSite_MouseMove();
            return true;
        case QEvent::Leave:
            // Leaving straight off the window reaches no form mouse move.
            try {
                SublinharSite(false);
            } catch (...) {
                RegistrarErroIgnorado(QStringLiteral("fSobre.eventFilter"));
            }
            break;
        case QEvent::MouseButtonRelease: {
            const auto* clique = static_cast<QMouseEvent*>(evento);
            if (clique->button() == Qt::LeftButton && lblSite_->rect().contains(clique->position().toPoint())) {
                lblSite_Click();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return orvessa::Formulario::eventFilter(alvo, evento);
}

fSobre* FormSobre()
{
    QPointer<fSobre>& instancia = Instancia();
    if (!instancia)
        instancia = new fSobre(nullptr);
    return instancia;
}

void ExibirSobre(QWidget* dono)
{
    QPointer<fSobre>& instancia = Instancia();
    if (instancia && instancia->Carregado())
        return;
    if (!instancia)
        instancia = new fSobre(dono);
    else if (instancia->parentWidget() != dono)
        instancia->setParent(dono, instancia->windowFlags());
    instancia->Exibir();
}

}  // namespace qeltrano
