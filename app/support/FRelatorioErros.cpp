#include "app/support/FRelatorioErros.h"

#include "app/support/XTelaAssistenteAtualizacoes.h"
#include "app/support/clsSendMail.h"
#include "app/support/modUpdates.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/Configuracoes.h"
#include "platform/ErroExecucao.h"
#include "platform/Texto.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"
#include "suite/Dialogos.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QRegularExpression>
#include <QSysInfo>
#include <QVBoxLayout>

namespace qeltrano {

namespace {

const QString kSecao = QStringLiteral("Principal");
const QString kChaveEmail = QStringLiteral("E-mail");

QPointer<FRelatorioErros>& Instancia()
{
    static QPointer<FRelatorioErros> instancia;
    return instancia;
}

// The window's steps skip what fails and go on; the reason is still told.
template <typename Passo>
void Ignorando(Passo&& passo)
{
    try {
        passo();
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("FRelatorioErros"));
    }
}

}  // namespace

QString FRelatorioErros::ListaDominios()
{
    return QStringLiteral(
        "AERO BIZ COM COOP EDU GOV INFO INT MIL MUSEUM NAME NET ORG PRO "
        "AC AD AE AF AG AI AL AM AN AO AQ AR AS AT AU AW AZ BA BB BD BE BF BG BH BI BJ BM BN BO BR BS BT BV BW "
        "BY BZ CA CC CD CF CG CH CI CK CL CM CN CO CR CU CV CX CY CZ DE DJ DK DM DO DZ EC EE EG ER ES ET FI FJ "
        "FK FM FO FR GA GB GD GE GF GG GH GI GL GM GN GP GQ GR GS GT GU GW GY HK HM HN HR HT HU ID IE IL IM IN "
        "IO IQ IR IS IT JE JM JO JP KE KG KH KI KM KN KP KR KW KY KZ LA LB LC LI LK LR LS LT LU LV LY MA MC MD "
        "MG MH MK ML MM MN MO MP MQ MR MS MT MU MV MW MX MY MZ NA NC NE NF NG NI NL NO NP NR NU NZ OM PA PE PF "
        "PG PH PK PL PM PN PR PS PT PW PY QA RE RO RU RW SA SB SC SD SE SG SH SI SJ SK SL SM SN SO SR ST SV SY "
        "SZ TC TD TF TG TH TJ TK TM TN TO TP TR TT TV TW TZ UA UG UK UM US UY UZ VA VC VE VG VI VN VU WF WS YE "
        "YT YU ZA ZM ZW");
}

bool FRelatorioErros::ValidarEmail(const QString& endereco)
{
    const QString e = plataforma::Trim(endereco);
    if (e.isEmpty())
        return false;
    if (e.split(QLatin1Char('@')).size() != 2 || !e.contains(QLatin1Char('.')))
        return false;
    if (e.startsWith(QLatin1Char('@')) || e.endsWith(QLatin1Char('@')) || e.contains(QLatin1String("@.")) ||
        e.contains(QLatin1String(".@")))
        return false;
    if (e.startsWith(QLatin1Char('.')) || e.endsWith(QLatin1Char('.')) || e.contains(QLatin1String("..")))
        return false;
    for (QChar c : e) {
        const char16_t u = c.unicode();
        const bool valido = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                            u == u'.' || u == u'@' || u == u'-' || u == u'_';
        if (!valido)
            return false;
    }
    // Whole words: a stray letter such as "C" is no top-level domain.
    const QString rotulo = e.toUpper().section(QLatin1Char('.'), -1);
    static const QStringList dominios = ListaDominios().split(QLatin1Char(' '));
    return dominios.contains(rotulo);
}

QString FRelatorioErros::BlocoSistemaOperacional(const QString& plataforma, const QString& versaoKernel)
{
    static const QRegularExpression numeros(QStringLiteral("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?"));
    const QRegularExpressionMatch m = numeros.match(versaoKernel.trimmed());
    // The revision is always a number: 0 when the text gives none.
    QString versao, revisao = QStringLiteral("0");
    if (m.hasMatch()) {
        // Written from the text, never through a float: 6.10 stays 6.10.
        versao = m.captured(1) + QLatin1Char('.') + m.captured(2);
        if (!m.captured(3).isEmpty())
            revisao = m.captured(3);
    }
    const QString fim = QStringLiteral("\r\n");
    return fim + QStringLiteral("Informações do Sistema Operacional:") + fim + QStringLiteral("Plataforma: ") +
           plataforma + fim + QStringLiteral("Versão: ") + versao + fim + QStringLiteral("Revisão: ") + revisao;
}

FRelatorioErros::FRelatorioErros(QWidget* dono) : orvessa::Formulario(QStringLiteral("FRelatorioErros"), dono)
{
    setWindowTitle(NomeProduto() + QStringLiteral(" - Relatório de erros"));
    auto* aviso = new orvessa::USLabel(this);
    aviso->setObjectName(QStringLiteral("lblAviso"));
    aviso->setWordWrap(true);
    aviso->DefinirCaption(QStringLiteral(
        "<b>O aplicativo encontrou um erro e será finalizado.</b><br><br>Um relatório com os detalhes do erro "
        "e uma imagem da tela será enviado ao suporte técnico. Informe o seu e-mail para que possamos entrar "
        "em contato com você, se necessário."));
    auto* rotulo = new orvessa::USLabel(this);
    rotulo->setWordWrap(false);
    rotulo->DefinirCaption(QStringLiteral("Qual é o seu e-mail?"));
    txtEmail_ = new orvessa::USTextBox(this);
    txtEmail_->setObjectName(QStringLiteral("txtEmail"));
    rotulo->setBuddy(txtEmail_);
    // A help balloon while the field is empty; typing, leaving or clicking
    // hides it, as every validated box does.
    orvessa::BalaoAviso::AplicarConvencao(txtEmail_);
    txtEmail_->installEventFilter(this);

    const char* legendas[2] = {"&Enviar", "&Sair"};
    for (int i = 0; i < 2; ++i) {
        USBtn_[size_t(i)] = new orvessa::USButton(QString::fromUtf8(legendas[i]), this);
        USBtn_[size_t(i)]->setObjectName(QStringLiteral("USBtn_%1").arg(i));
        USBtn_[size_t(i)]->setMinimumWidth(96);
        connect(USBtn_[size_t(i)], &QAbstractButton::clicked, this, [this, i] { USBtn_Click(i); });
    }
    USBtn_[0]->setDefault(true);

    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    botoes->addWidget(USBtn_[0]);
    botoes->addWidget(USBtn_[1]);
    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(18, 16, 18, 14);
    raiz->setSpacing(8);
    raiz->addWidget(aviso);
    raiz->addSpacing(6);
    raiz->addWidget(rotulo);
    raiz->addWidget(txtEmail_);
    raiz->addSpacing(6);
    raiz->addLayout(botoes);
    raiz->addStretch(1);
    raiz->setSizeConstraint(QLayout::SetFixedSize);
    aviso->setFixedWidth(424);
}

FRelatorioErros::~FRelatorioErros()
{
    if (Instancia() == this)
        Instancia() = nullptr;
}

void FRelatorioErros::Form_Load()
{
    Ignorando([this] {
        txtEmail_->DefinirTexto(plataforma::GetSetting(NomeProduto(), kSecao, kChaveEmail, QString()));
    });
    Ignorando([] {
        TextoRelatorioErros += BlocoSistemaOperacional(QSysInfo::prettyProductName(), QSysInfo::kernelVersion());
    });
    Ignorando([this] {
        adjustSize();
        CarregarPosicao(this);
    });
}

void FRelatorioErros::Enviar(bool silencioso)
{
    Ignorando([this] {
        USBtn_[0]->setEnabled(false);
        USBtn_[1]->setEnabled(false);
    });
    Ignorando([] { orvessa::BalaoAviso::Instancia().OcultarBalao(); });
    Ignorando([this, silencioso] {
        enviando_ = true;
        clsSendMail mail;
        mail.EnviarRelatorioErros(txtEmail_->Texto(), ArquivoCapturaTela, silencioso);
    });
    enviando_ = false;
    Ignorando([this] { Descarregar(); });
}

void FRelatorioErros::USBtn_Click(int Index)
{
    Ignorando([this, Index] {
        if (Index == 0) {
            const QString email = plataforma::Trim(txtEmail_->Texto());
            if (!ValidarEmail(email)) {
                orvessa::Dialogos::ExibirCaixaSistema(QStringLiteral("Por favor informe o e-mail para contato."),
                                                      orvessa::EstiloMensagem::Exclamacao, QStringLiteral("Atenção!"));
                return;
            }
            plataforma::SaveSetting(NomeProduto(), kSecao, kChaveEmail, email);
            Enviar(false);
        } else if (Index == 1) {
            Enviar(true);
        }
    });
}

bool FRelatorioErros::eventFilter(QObject* alvo, QEvent* evento)
{
    // Not again for the focus a closing balloon hands back, nor while it shows.
    if (alvo == txtEmail_ && evento->type() == QEvent::FocusIn && txtEmail_->Texto().trimmed().isEmpty() &&
        static_cast<QFocusEvent*>(evento)->reason() != Qt::PopupFocusReason &&
        orvessa::BalaoAviso::Instancia().ControleBalao() != txtEmail_) {
        Ignorando([this] {
            orvessa::BalaoAviso::Instancia().ExibirBalao(
                QStringLiteral("Atenção!"),
                QStringLiteral("Informe o seu e-mail para que o suporte técnico possa responder a você."), txtEmail_, 2,
                0, 0xE1FFFF, 0);
        });
    }
    return orvessa::Formulario::eventFilter(alvo, evento);
}

// The window closes only once the report has gone (the send ends by its
// time-out at the latest); closing it under the send would unload it twice.
void FRelatorioErros::Form_QueryUnload(bool& cancelar, int)
{
    if (enviando_)
        cancelar = true;
}

void FRelatorioErros::Form_Unload()
{
    Ignorando([] { orvessa::BalaoAviso::Instancia().OcultarBalao(); });
    Ignorando([] {
        if (VerificarAtualizacoes(QStringLiteral("002"), true))
            FormAssistenteAtualizacoes()->Atualizar();
    });
    // The next error builds a fresh window.
    if (Instancia() == this)
        Instancia() = nullptr;
    deleteLater();
}

FRelatorioErros* FormRelatorioErros()
{
    QPointer<FRelatorioErros>& instancia = Instancia();
    if (!instancia)
        instancia = new FRelatorioErros(nullptr);
    return instancia;
}

void InstalarRelatorioErros()
{
    DefinirExibicaoRelatorio([] { FormRelatorioErros()->ExibirModal(); });
}

}  // namespace qeltrano
