#include "app/support/XTelaAssistenteAtualizacoes.h"

#include "Versao.h"
#include "app/support/modUpdates.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/ArquivoConfiavel.h"
#include "platform/Componentes.h"
#include "platform/ErroExecucao.h"
#include "suite/Dialogos.h"
#include "suite/Controles.h"
#include "suite/Utilitarios.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QProcess>
#include <QVBoxLayout>

#include <unistd.h>

namespace qeltrano {
namespace {

// The download control of the control library, by its class id.
constexpr const char* ClsidDownload = "0A55F8E9-8B8E-4F8A-8701-49675D629595";
constexpr int DispidCancelar = 0x60030007;
constexpr int DispidBaixar = 0x60030006;
constexpr int EventoErros = 1;
constexpr int EventoProgresso = 2;
constexpr int EventoConcluido = 3;

QPointer<XTelaAssistenteAtualizacoes>& Instancia()
{
    static QPointer<XTelaAssistenteAtualizacoes> instancia;
    return instancia;
}

// What the last assistant decided, for Atualizar when its window is
// already gone by the time the modal loop returns.
bool& UltimaRecusa()
{
    static bool recusou = false;
    return recusou;
}

std::function<void(const QString&)>& Encerramento()
{
    static std::function<void(const QString&)> encerrar;
    return encerrar;
}

orvessa::USLabel* Rotulo(const QString& nome, int indice, QWidget* pai)
{
    auto* rotulo = new orvessa::USLabel(pai);
    rotulo->setObjectName(nome);
    rotulo->setProperty("Index", indice);
    rotulo->setWordWrap(false);
    return rotulo;
}

// An installer the maker's updater fetched may lack the executable bit;
// only a file of this user's own is given it.
bool TornarExecutavel(const QString& arquivo)
{
    const QFile::Permissions atuais = QFile::permissions(arquivo);
    const QFile::Permissions execucao = QFile::ExeOwner | QFile::ExeUser;
    if ((atuais & execucao) == execucao)
        return true;
    if (QFileInfo(arquivo).ownerId() != ::geteuid())
        return false;
    return QFile::setPermissions(arquivo, atuais | execucao);
}

}  // namespace

XTelaAssistenteAtualizacoes::XTelaAssistenteAtualizacoes(QWidget* dono)
    : orvessa::Formulario(QStringLiteral("XTelaAssistenteAtualizacoes"), dono)
{
    // First, so that a missing or moved control library stops the opening
    // before anything else is built.
    DownloadCls1_ = plataforma::Componentes::CriarObjeto(QString::fromLatin1(ClsidDownload), this);
    if (!DownloadCls1_)
        throw plataforma::ErroExecucao::ComponenteNaoCriado();
    DownloadCls1_->setObjectName(QStringLiteral("DownloadCls1"));
    // Invisible at run time, as the control is meant to be.
    if (auto* controle = qobject_cast<QWidget*>(DownloadCls1_))
        controle->hide();
    connect(DownloadCls1_, plataforma::Componentes::AssinaturaEvento(DownloadCls1_, EventoErros), this,
            SLOT(DownloadCls1_Erros(QString,int)));
    connect(DownloadCls1_, plataforma::Componentes::AssinaturaEvento(DownloadCls1_, EventoProgresso), this,
            SLOT(DownloadCls1_Progresso(int,QString)));
    connect(DownloadCls1_, plataforma::Componentes::AssinaturaEvento(DownloadCls1_, EventoConcluido), this,
            SLOT(DownloadCls1_Concluido()));

    USForm1_ = new orvessa::USForm(this);
    USForm1_->setObjectName(QStringLiteral("USForm1"));

    const QString legendas[] = {QStringLiteral("Atualização publicada em:"), QStringLiteral("Versão Instalada:"),
                                QStringLiteral("Versão Web:")};
    auto* grade = new QGridLayout;
    grade->setContentsMargins(24, 18, 24, 6);
    grade->setHorizontalSpacing(12);
    grade->setVerticalSpacing(8);
    for (int i = 0; i < 3; ++i) {
        Label1_[size_t(i)] = Rotulo(QStringLiteral("Label1"), i, this);
        Label1_[size_t(i)]->DefinirCaption(legendas[i]);
        lbl_[size_t(i)] = Rotulo(QStringLiteral("lbl"), i, this);
        QFont negrito = lbl_[size_t(i)]->font();
        negrito.setBold(true);
        lbl_[size_t(i)]->setFont(negrito);
        grade->addWidget(Label1_[size_t(i)], i, 0, Qt::AlignRight | Qt::AlignVCenter);
        grade->addWidget(lbl_[size_t(i)], i, 1, Qt::AlignLeft | Qt::AlignVCenter);
    }
    grade->setColumnStretch(1, 1);

    USAnimatedImage1_ = new orvessa::USAnimatedImage(this);
    USAnimatedImage1_->setObjectName(QStringLiteral("USAnimatedImage1"));
    USAnimatedImage1_->setFixedSize(28, 28);
    USAnimatedImage1_->hide();

    XPProgress_ = new orvessa::USProgressBar(this);
    XPProgress_->setObjectName(QStringLiteral("XPProgress"));
    XPProgress_->setFixedHeight(14);
    XPProgress_->hide();

    lblDownload_ = new orvessa::USLabel(this);
    lblDownload_->setObjectName(QStringLiteral("lblDownload"));
    lblDownload_->setWordWrap(true);
    lblDownload_->setMinimumHeight(lblDownload_->fontMetrics().height() * 2);

    const QString legendasBotao[] = {QStringLiteral("&Instalar a atualização"),
                                     QStringLiteral("&Descartar a atualização")};
    const QString dicas[] = {QStringLiteral("Clique neste botão para instalar a atualização"),
                             QStringLiteral("Clique neste botão para descartar a atualização (Não recomendado)")};
    for (int i = 0; i < 2; ++i) {
        auto* botao = new orvessa::USButton(legendasBotao[i], this);
        botao->setObjectName(QStringLiteral("USBtn"));
        botao->setProperty("Index", i);
        botao->DefinirToolTipTitle(QStringLiteral("Atualização "));
        botao->DefinirToolTipDescription(dicas[i]);
        botao->setMinimumWidth(170);
        connect(botao, &QAbstractButton::clicked, this, [this, i] { USBtn_Click(i); });
        USBtn_[size_t(i)] = botao;
    }

    auto* andamento = new QHBoxLayout;
    andamento->setContentsMargins(24, 4, 24, 0);
    andamento->setSpacing(10);
    andamento->addWidget(USAnimatedImage1_, 0, Qt::AlignVCenter);
    andamento->addWidget(XPProgress_, 1, Qt::AlignVCenter);

    auto* texto = new QHBoxLayout;
    texto->setContentsMargins(24, 2, 24, 0);
    texto->addWidget(lblDownload_, 1);

    auto* botoes = new QHBoxLayout;
    botoes->setContentsMargins(24, 6, 24, 16);
    botoes->addStretch(1);
    botoes->addWidget(USBtn_[0]);
    botoes->addWidget(USBtn_[1]);

    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(0, 0, 0, 0);
    janela->setSpacing(0);
    janela->addWidget(USForm1_);
    janela->addLayout(grade);
    janela->addLayout(andamento);
    janela->addLayout(texto);
    janela->addStretch(1);
    janela->addLayout(botoes);

    setFixedSize(480, 250);
}

XTelaAssistenteAtualizacoes::~XTelaAssistenteAtualizacoes()
{
    if (Instancia() == this)
        Instancia() = nullptr;
}

QString XTelaAssistenteAtualizacoes::FormatarVersaoOferecida(const QString& versao)
{
    // Each "@" takes a character from the right; what the mask cannot hold
    // stays in front, and free places on the left become blanks.
    const QString mascara = QStringLiteral("@@.@.@@");
    QString saida;
    qsizetype fonte = versao.size() - 1;
    for (qsizetype i = mascara.size() - 1; i >= 0; --i) {
        if (mascara[i] == u'@')
            saida.prepend(fonte >= 0 ? versao[fonte--] : QChar(u' '));
        else
            saida.prepend(mascara[i]);
    }
    if (fonte >= 0)
        saida.prepend(versao.left(fonte + 1));
    return saida.trimmed();
}

orvessa::USLabel* XTelaAssistenteAtualizacoes::Label1(int indice) const
{
    return indice >= 0 && indice < 3 ? Label1_[size_t(indice)] : nullptr;
}

orvessa::USLabel* XTelaAssistenteAtualizacoes::lbl(int indice) const
{
    return indice >= 0 && indice < 3 ? lbl_[size_t(indice)] : nullptr;
}

orvessa::USButton* XTelaAssistenteAtualizacoes::USBtn(int indice) const
{
    return indice >= 0 && indice < 2 ? USBtn_[size_t(indice)] : nullptr;
}

bool XTelaAssistenteAtualizacoes::Atualizar()
{
    try {
        QPointer<XTelaAssistenteAtualizacoes> eu(this);
        UltimaRecusa() = false;
        ExibirModal();
        return !(eu ? RecusouAtualizacao_ : UltimaRecusa());
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(QStringLiteral("XTelaAssistenteAtualizacoes"), QStringLiteral("Atualizar"), e.Numero(),
                   e.Descricao(), e.Linha());
    }
    return !UltimaRecusa();
}

void XTelaAssistenteAtualizacoes::Form_Load()
{
    try {
        USForm1_->DefinirCaption(NomeProduto() + QStringLiteral(" - Assistente de atualizações"));
        lbl_[0]->DefinirCaption(DataVersaoDisponivel);
        lbl_[1]->DefinirCaption(TextoVersao(versao::Major, versao::Minor, versao::Revision));
        lbl_[2]->DefinirCaption(FormatarVersaoOferecida(VersaoDisponivel));
        const auto& util = orvessa::Utilitarios::Instancia();
        ArquivoInstalador_ = util.DiretorioTemporario() + QLatin1Char('/') + NomeProduto() + QLatin1Char('_') +
                             util.GerarAleatorio(QStringLiteral("."), 4, 99);
        CarregarPosicao(this);
        USForm1_->AplicarTema();
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(Name(), QStringLiteral("Form_Load"), e.Numero(), e.Descricao(), e.Linha());
    }
}

void XTelaAssistenteAtualizacoes::showEvent(QShowEvent* evento)
{
    orvessa::Formulario::showEvent(evento);
    DefinirPonteiroTela(Ponteiro::Padrao);
}

void XTelaAssistenteAtualizacoes::changeEvent(QEvent* evento)
{
    orvessa::Formulario::changeEvent(evento);
    if (evento->type() == QEvent::ActivationChange && isActiveWindow())
        DefinirPonteiroTela(Ponteiro::Padrao);
}

// Closing the window while the installer downloads cancels the download;
// the window then closes through the control's cancel report.
void XTelaAssistenteAtualizacoes::Form_QueryUnload(bool& cancelar, int modo)
{
    if (!baixando_ || modo != 0)
        return;
    cancelar = true;
    fechamentoPedido_ = true;
    try {
        plataforma::Componentes::ChamarMetodo(DownloadCls1_, DispidCancelar);
    } catch (const plataforma::ErroExecucao& e) {
        qWarning("O download não pôde ser cancelado: %s", e.what());
    }
}

void XTelaAssistenteAtualizacoes::Form_Unload()
{
    UltimaRecusa() = RecusouAtualizacao_;
    if (Instancia() == this)
        Instancia() = nullptr;
    deleteLater();
}

void XTelaAssistenteAtualizacoes::USBtn_Click(int indice)
{
    try {
        if (indice == 0) {
            USAnimatedImage1_->show();
            XPProgress_->show();
            USBtn_[0]->hide();
            USBtn_[1]->hide();
            // An offer from the maker's updater names an installer already
            // on disk and no address to download from. It runs only while
            // no one else can have changed it; otherwise the download below
            // fails for want of an address and says so.
            if (UrlAtualizacao.trimmed().isEmpty() && !ArquivoAtualizacaoLocal.trimmed().isEmpty()) {
                QString motivo;
                const QString local = plataforma::CaminhoConfiavel(ArquivoAtualizacaoLocal, &motivo);
                if (!local.isEmpty()) {
                    IniciarInstalador(local);
                    return;
                }
                qWarning("O instalador deixado pelo updater não será executado: %s", qPrintable(motivo));
            }
            QPointer<XTelaAssistenteAtualizacoes> eu(this);
            baixando_ = true;
            plataforma::Componentes::ChamarMetodo(DownloadCls1_, DispidBaixar, {UrlAtualizacao, ArquivoInstalador_});
            if (eu)
                baixando_ = false;
        } else if (indice == 1) {
            RecusouAtualizacao_ = true;
            Descarregar();
        }
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(Name(), QStringLiteral("USBtn_Click(%1)").arg(indice), e.Numero(), e.Descricao(), e.Linha());
    }
}

void XTelaAssistenteAtualizacoes::DownloadCls1_Progresso(int Porcentagem, const QString& Mensagem)
{
    try {
        XPProgress_->DefinirValue(Porcentagem);
        lblDownload_->DefinirCaption(Mensagem);
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(Name(), QStringLiteral("DownloadCls1_Progresso(%1)").arg(Porcentagem), e.Numero(), e.Descricao(),
                   e.Linha());
    }
}

void XTelaAssistenteAtualizacoes::DownloadCls1_Erros(const QString& Mensagem, int Codigo)
{
    // The window closes at the first failure; the control's later passes
    // must not show their failures again.
    if (!Carregado())
        return;
    try {
        // The user closed the window: a stop asked for is no failure.
        if (fechamentoPedido_) {
            Abandonar();
            return;
        }
        orvessa::Utilitarios::Instancia().CaixaMensagemAviso(
            QStringLiteral("<b>Atenção</b>: Erro ao efetuar o download:<br>") + Mensagem, orvessa::EstiloMensagem::Critico, NomeProduto());
        orvessa::Utilitarios::Instancia().AbrirURL(UrlAtualizacao);
        // Nothing is left to wait for: the rest of the download stops.
        plataforma::Componentes::ChamarMetodo(DownloadCls1_, DispidCancelar);
        Descarregar(true);
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(Name(), QStringLiteral("DownloadCls1_Erros(%1)").arg(Codigo), e.Numero(), e.Descricao(), e.Linha());
    }
}

void XTelaAssistenteAtualizacoes::DownloadCls1_Concluido()
{
    try {
        // Finished in the moment the user closed the window: nothing starts.
        if (fechamentoPedido_) {
            Abandonar();
            return;
        }
        IniciarInstalador(ArquivoInstalador_);
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(Name(), QStringLiteral("DownloadCls1_Concluido"), e.Numero(), e.Descricao(), e.Linha());
    }
}

// Starts the installer silently in the scratch folder; once it runs, every
// copy of the program ends, this one included, so that nothing holds the
// files it replaces. When it cannot start, the program goes on.
void XTelaAssistenteAtualizacoes::IniciarInstalador(const QString& instalador)
{
    const QString pasta = orvessa::Utilitarios::Instancia().DiretorioTemporario();
    bool iniciado = false;
    if (QFileInfo(instalador).isFile() && TornarExecutavel(instalador))
        iniciado = QProcess::startDetached(instalador, {QStringLiteral("/SILENT")}, pasta);
    if (iniciado) {
        const QString imagem = ObterNomeExecutavel() + QStringLiteral(".exe");
        if (Encerramento())
            Encerramento()(imagem);
        else
            orvessa::Utilitarios::Instancia().EncerrarProcesso(imagem);
    } else {
        qWarning("O instalador da atualização não pôde ser iniciado: %s", qPrintable(instalador));
    }
    Descarregar(true);
}

// No file of an abandoned download stays behind, whatever the control left.
void XTelaAssistenteAtualizacoes::Abandonar()
{
    orvessa::Utilitarios::Instancia().ExcluirArquivo(ArquivoInstalador_);
    Descarregar(true);
}

XTelaAssistenteAtualizacoes* FormAssistenteAtualizacoes()
{
    QPointer<XTelaAssistenteAtualizacoes>& instancia = Instancia();
    if (!instancia)
        instancia = new XTelaAssistenteAtualizacoes(nullptr);
    return instancia;
}

void DefinirEncerramentoInstancias(std::function<void(const QString& imagem)> encerrar)
{
    Encerramento() = std::move(encerrar);
}

}  // namespace qeltrano
