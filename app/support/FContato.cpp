#include "app/support/FContato.h"

#include "app/Configuracao.h"
#include "app/support/InformacoesComputador.h"
#include "app/support/clsSendMail.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/Componentes.h"
#include "platform/Configuracoes.h"
#include "platform/ErroExecucao.h"
#include "suite/Dialogos.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"
#include "suite/DialogoArquivo.h"
#include "suite/Utilitarios.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>
#include <memory>

namespace qeltrano {

namespace {

constexpr const char* ClsidStatusBar = "9D23CF34-7580-4AF9-B9A3-F46AE7F2A5CE";
constexpr const char* ClsidInfoPanel = "21EBF5DD-E224-43D4-A2CE-9DC87B52CB00";
const QString kSecao = QStringLiteral("Principal");
const QString kUltimoAnexo = QStringLiteral("Último arquivo anexo");

QPointer<FContato>& Instancia()
{
    static QPointer<FContato> instancia;
    return instancia;
}

orvessa::Utilitarios& Util()
{
    return orvessa::Utilitarios::Instancia();
}

QWidget* Controle(const char* clsid, const QString& nome, QWidget* pai)
{
    QObject* objeto = plataforma::Componentes::CriarObjeto(QString::fromLatin1(clsid), pai);
    auto* widget = qobject_cast<QWidget*>(objeto);
    if (!widget) {
        delete objeto;
        throw plataforma::ErroExecucao::ComponenteNaoCriado();
    }
    widget->setObjectName(nome);
    return widget;
}

orvessa::USLabel* Rotulo(const QString& texto, QWidget* pai)
{
    auto* rotulo = new orvessa::USLabel(pai);
    rotulo->setWordWrap(true);
    rotulo->DefinirCaption(texto);
    return rotulo;
}

orvessa::USTextBox* Caixa(const QString& nome, QWidget* pai)
{
    auto* caixa = new orvessa::USTextBox(pai);
    caixa->setObjectName(nome);
    return caixa;
}

}  // namespace

FContato::FContato(QWidget* dono) : orvessa::Formulario(QStringLiteral("FContato"), dono)
{
    // First, so that a missing control library stops the opening before
    // anything else is built.
    PanelX1_ = Controle(ClsidInfoPanel, QStringLiteral("PanelX1"), this);
    StatusBarEx1_ = Controle(ClsidStatusBar, QStringLiteral("StatusBarEx1"), this);

    Formulario_ = new orvessa::USForm(this);
    Formulario_->setObjectName(QStringLiteral("Formulario"));

    txtNome_ = Caixa(QStringLiteral("txtNome"), this);
    txtEmail_ = Caixa(QStringLiteral("txtEmail"), this);
    txtTelefone_ = Caixa(QStringLiteral("txtTelefone"), this);
    txtTipo_ = new orvessa::USComboBox(this);
    txtTipo_->setObjectName(QStringLiteral("txtTipo"));
    txtAssunto_ = Caixa(QStringLiteral("txtAssunto"), this);
    txtMensagem_ = new orvessa::USTextBoxEx(this);
    txtMensagem_->setObjectName(QStringLiteral("txtMensagem"));
    txtMensagem_->setMinimumHeight(110);
    txtAnexo_ = Caixa(QStringLiteral("txtAnexo"), this);
    txtAnexo_->setReadOnly(true);
    for (QWidget* caixa : {static_cast<QWidget*>(txtNome_), static_cast<QWidget*>(txtEmail_),
                           static_cast<QWidget*>(txtAssunto_), static_cast<QWidget*>(txtMensagem_)})
        orvessa::BalaoAviso::AplicarConvencao(caixa);

    struct Botao {
        const char* legenda;
        const char* titulo;
        const char* descricao;
    };
    const Botao botoes[4] = {{"&Enviar", "Enviar", "Enviar mensagem"},
                             {"Sa&ir", "Sair", "Fechar este formulário"},
                             {"", "Anexar arquivo", "Clique neste botão para anexar um arquivo"},
                             {"", "", "Clique neste botão para excluir o arquivo anexado"}};
    for (int i = 0; i < 4; ++i) {
        auto* botao = new orvessa::USButton(QString::fromUtf8(botoes[i].legenda), this);
        botao->setObjectName(QStringLiteral("USBtn_%1").arg(i));
        botao->DefinirToolTipTitle(QString::fromUtf8(botoes[i].titulo));
        botao->DefinirToolTipDescription(QString::fromUtf8(botoes[i].descricao));
        connect(botao, &QAbstractButton::clicked, this, [this, i] { USBtn_Click(i); });
        USBtn_[size_t(i)] = botao;
    }
    // The attachment buttons are pictures: no caption fits their width.
    USBtn_[2]->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    USBtn_[3]->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    for (int i : {2, 3})
        USBtn_[size_t(i)]->setFixedWidth(36);
    for (int i : {0, 1})
        USBtn_[size_t(i)]->setMinimumWidth(96);

    pgbTotal_ = new orvessa::USProgressBar(this);
    pgbTotal_->setObjectName(QStringLiteral("pgbTotal"));
    pgbTotal_->setVisible(false);

    auto* campos = new QGridLayout;
    campos->setHorizontalSpacing(10);
    campos->setVerticalSpacing(3);
    campos->addWidget(Rotulo(QStringLiteral("Qual é o seu nome?"), this), 0, 0, 1, 2);
    campos->addWidget(txtNome_, 1, 0, 1, 2);
    campos->addWidget(Rotulo(QStringLiteral("Qual é o seu e-mail?"), this), 2, 0);
    campos->addWidget(Rotulo(QStringLiteral("Qual é o seu tefefone?"), this), 2, 1);
    campos->addWidget(txtEmail_, 3, 0);
    campos->addWidget(txtTelefone_, 3, 1);
    campos->addWidget(Rotulo(QStringLiteral("Tipo:"), this), 4, 0);
    campos->addWidget(Rotulo(QStringLiteral("Assunto:"), this), 4, 1);
    campos->addWidget(txtTipo_, 5, 0);
    campos->addWidget(txtAssunto_, 5, 1);
    campos->addWidget(Rotulo(QStringLiteral("Mensagem:"), this), 6, 0, 1, 2);
    campos->addWidget(txtMensagem_, 7, 0, 1, 2);
    campos->addWidget(Rotulo(QStringLiteral("Quer anexar um arquivo? (São permitidos apenas arquivos do Word, Excel, "
                                            "PDF, ZIP e arquios de imagem):"),
                             this),
                      8, 0, 1, 2);
    auto* linhaAnexo = new QHBoxLayout;
    linhaAnexo->setSpacing(4);
    linhaAnexo->addWidget(txtAnexo_, 1);
    linhaAnexo->addWidget(USBtn_[2]);
    linhaAnexo->addWidget(USBtn_[3]);
    campos->addLayout(linhaAnexo, 9, 0, 1, 2);
    campos->setColumnStretch(0, 1);
    campos->setColumnStretch(1, 1);
    campos->setRowStretch(7, 1);

    auto* rodape = new QHBoxLayout;
    rodape->addWidget(pgbTotal_, 1);
    rodape->addStretch(0);
    rodape->addSpacing(12);
    rodape->addWidget(USBtn_[0]);
    rodape->addWidget(USBtn_[1]);

    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(16, 12, 16, 10);
    corpo->setSpacing(8);
    corpo->addWidget(PanelX1_);
    auto* titulo = Rotulo(QStringLiteral("<b>Preencha os campos abaixo:</b>"), this);
    corpo->addWidget(titulo);
    corpo->addLayout(campos, 1);
    corpo->addLayout(rodape);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(0);
    raiz->addWidget(Formulario_);
    raiz->addLayout(corpo, 1);
    raiz->addWidget(StatusBarEx1_);
    resize(560, 640);
}

FContato::~FContato()
{
    if (Instancia() == this)
        Instancia() = nullptr;
}

void FContato::Form_Load()
{
    try {
        Formulario_->DefinirCaption(QStringLiteral("Fale conosco - Enviar e-mail para o suporte técnico"));
        plataforma::Componentes::DefinirPropriedade(
            PanelX1_, QStringLiteral("Texto"),
            QStringLiteral("<b>Dica</b>: Se preferir, você pode enviar um e-mail para <c=&H000040C0&>") +
                Config().EnderecoSuportePublico +
                QStringLiteral("</c>. O nosso suporte funciona de segunda à sexta das 8h30 às 17h30."));
        for (const char* item : {"DÚVIDA", "SUGESTÃO", "RECLAMAÇÃO", "OUTRO"})
            txtTipo_->AdicionarItem(QString::fromUtf8(item), QString());
        txtTipo_->DefinirIndiceSelecionado(0);
        CarregarPosicao(this);
        Formulario_->AplicarTema();
    } catch (...) {
        TratarExcecao(Name(), QStringLiteral("Form_Load"));
    }
}

void FContato::showEvent(QShowEvent* evento)
{
    // Form_Activate.
    DefinirPonteiroTela(Ponteiro::Padrao);
    orvessa::Formulario::showEvent(evento);
}

void FContato::Form_KeyDown(int& codigo, Qt::KeyboardModifiers)
{
    try {
        TratarTecla(this, codigo);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("FContato.Form_KeyDown"));
    }
}

void FContato::Form_QueryUnload(bool& cancelar, int)
{
    try {
        if (!MailObj_)
            return;
        // The send is still running: it may only be abandoned, and the form
        // closes when it has ended.
        cancelar = true;
        const int resposta = Util().CaixaMensagem(
            QStringLiteral("<b>Atenção</b>: Para sair, você precisa cancelar o envio do e-mail atual.<br><br>Deseja "
                           "realmente abandonar o envio do e-mail?"),
            orvessa::EstiloMensagem::PerguntaSimNaoExclamacao, NomeProduto());
        if (resposta == orvessa::Resposta::Sim && MailObj_)
            MailObj_->Cancelar();
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("FContato.Form_QueryUnload"));
    }
}

void FContato::Form_Unload()
{
    try {
        // Unloaded by force (every window closing) while a send runs.
        if (MailObj_)
            MailObj_->Cancelar();
        orvessa::BalaoAviso::Instancia().OcultarBalao();
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("FContato.Form_Unload"));
    }
    if (Instancia() == this)
        Instancia() = nullptr;
    deleteLater();
}

bool FContato::Validar()
{
    struct Regra {
        bool falhou;
        QWidget* controle;
        const char* texto;
    };
    const Regra regras[] = {
        {txtNome_->TamanhoTexto() == 0, txtNome_, "Informe o seu nome."},
        {txtEmail_->TamanhoTexto() == 0, txtEmail_, "Informe o seu e-mail."},
        {!txtEmail_->EmailValido(), txtEmail_, "E-mail inválido."},
        {txtAssunto_->TamanhoTexto() == 0, txtAssunto_, "Informe o assunto da mensagem."},
        {txtMensagem_->Texto().trimmed().isEmpty(), txtMensagem_, "Descreva a mensagem."},
    };
    for (const Regra& regra : regras) {
        if (!regra.falhou)
            continue;
        orvessa::BalaoAviso::Instancia().ExibirBalao(QStringLiteral("Atenção!"), QString::fromUtf8(regra.texto),
                                                     regra.controle, 2, 0, 0xE1FFFF, 0);
        return false;
    }
    return true;
}

QString FContato::MensagemContato(const QString& nome, const QString& email, const QString& telefone,
                                  const QString& mensagem, InformacoesComputador& info)
{
    // Unknown memory stays blank rather than reading as "0 bytes".
    bool numero = false;
    const double memoria = info.Sistema_TotalMemoriaFisica().toDouble(&numero);
    const QStringList linhas{
        QStringLiteral("Nome: ") + nome,
        QStringLiteral("E-mail: ") + email,
        QStringLiteral("Telefone: ") + telefone,
        QString(),
        mensagem.trimmed(),
        QString(),
        QStringLiteral("INFORMAÇÕES DO COMPUTADOR"),
        QString(),
        QStringLiteral("Nome da placa mãe: ") + info.PlacaMae_Nome(),
        QStringLiteral("Serial da placa mãe: ") + info.PlacaMae_Serial(),
        QStringLiteral("Versão da placa mãe: ") + info.PlacaMae_Versao(),
        QStringLiteral("Nome do processador: ") + info.Processador_Nome(),
        QStringLiteral("Descrição do processador: ") + info.Processador_Descricao(),
        QStringLiteral("Versão da bios: ") + info.Bios_Versao(),
        QStringLiteral("Nome do sistema: ") + info.Sistema_Nome(),
        QStringLiteral("Fabricante do sistema: ") + info.Sistema_Fabricante(),
        QStringLiteral("Modelo do sistema: ") + info.Sistema_Modelo(),
        QStringLiteral("Total de memória física: ") + (numero ? Util().FormatarTamanho(memoria) : QString()),
    };
    return linhas.join(QStringLiteral("\r\n"));
}

void FContato::MailObj_Progresso(long Percentual)
{
    pgbTotal_->DefinirValue(int(Percentual));
}

void FContato::EnviarMensagem()
{
    if (!Validar())
        return;
    if (Util().CaixaMensagem(QStringLiteral("Confirma o envio do e-mail?"),
                             orvessa::EstiloMensagem::PerguntaSimNaoExclamacao,
                             NomeProduto()) != orvessa::Resposta::Sim)
        return;
    USBtn_[0]->DefinirHabilitado(false);
    pgbTotal_->setVisible(true);

    InformacoesComputador info;
    const QString corpo = MensagemContato(txtNome_->Texto(), txtEmail_->Texto(), txtTelefone_->Texto(),
                                          txtMensagem_->Texto(), info);
    QPointer<FContato> eu(this);
    // Owned by this call, not by the form: a form unloaded by force while
    // the send runs must not take the object out from under it.
    auto dono = std::make_unique<clsSendMail>();
    clsSendMail* mail = dono.get();
    MailObj_ = mail;
    connect(mail, &clsSendMail::Progresso, this, &FContato::MailObj_Progresso);
    const QString assunto =
        ObterTituloVersao() + QStringLiteral(" - ") + txtTipo_->Texto() + QStringLiteral(" - ") + txtAssunto_->Texto();
    const Configuracao& config = Config();
    const bool enviado = mail->EnviarEmail(
        config.CaixaSuporte, config.CaixaSuporte, config.CaixaSuporte, config.CaixaSuporte, assunto, corpo,
        config.HostRelaySmtp, config.PortaRelaySmtp, config.LoginRelaySmtp,
        Util().Decifrar(config.SenhaRelaySmtpCifrada, QString()), QString(), QString(), true, false, false, false,
        txtEmail_->Texto(), txtAnexo_->Texto(), true);
    if (!eu)
        return;

    if (enviado) {
        Util().CaixaMensagem(QStringLiteral("Agradecemos pelo envio da sua mensagem. Se necessário entraremos em "
                                            "contato com você através do e-mail informado."),
                             orvessa::EstiloMensagem::Informacao, NomeProduto());
    } else if (mail->EnvioCancelado()) {
        Util().CaixaMensagemAviso(QStringLiteral("<b>Atenção</b>: O envio da mensagem foi cancelado pelo usuário."),
                                  orvessa::EstiloMensagem::Exclamacao, NomeProduto());
    } else if (Util().CaixaMensagemAviso(QStringLiteral("<b>Atenção</b>: Ocorreu um erro ao enviar o email. Você "
                                                        "gostaria de visualizar o arquivo de log?"),
                                         orvessa::EstiloMensagem::PerguntaSimNaoExclamacao,
                                         NomeProduto()) == orvessa::Resposta::Sim) {
        Util().AbrirArquivo(mail->ArquivoLogErro());
    }
    if (!eu)
        return;
    MailObj_ = nullptr;
    Descarregar();
}

void FContato::EscolherAnexo()
{
    orvessa::DialogoArquivo dialogo;
    dialogo.DiretorioInicial = plataforma::GetSetting(NomeProduto(), kSecao, kUltimoAnexo, QString());
    dialogo.OpcoesDialogo = orvessa::DialogoArquivo::OpcoesPadrao | orvessa::DialogoArquivo::OFN_OVERWRITEPROMPT;
    dialogo.FiltroArquivos =
        QStringLiteral("Arquivos Word, Excel, PDF, ZIP e imagem|*.doc;*.docx;*.xls;*.xlsx;*.pdf;*.jpg;*.png;*.gif;*.zip");
    dialogo.ExibirDialogo(orvessa::DialogoArquivo::Abrir, QStringLiteral("::. Abrir arquivo"), this);
    if (!dialogo.DialogoCancelado() && !dialogo.NomeArquivoEscolhido().trimmed().isEmpty()) {
        QCoreApplication::processEvents();
        plataforma::SaveSetting(NomeProduto(), kSecao, kUltimoAnexo, dialogo.DiretorioInicial);
        txtAnexo_->DefinirTexto(dialogo.NomeArquivoEscolhido().trimmed());
    }
    QCoreApplication::processEvents();
}

void FContato::RemoverAnexo()
{
    if (txtAnexo_->TamanhoTexto() == 0)
        return;
    if (Util().CaixaMensagemAviso(QStringLiteral("<b>Atenção</b>: Confirma a exclusão do arquivo anexo?"),
                                  orvessa::EstiloMensagem::PerguntaSimNaoExclamacao,
                                  NomeProduto()) == orvessa::Resposta::Sim)
        txtAnexo_->DefinirTexto(QString());
}

void FContato::USBtn_Click(int Index)
{
    try {
        switch (Index) {
        case 0: EnviarMensagem(); break;
        case 1: Descarregar(); break;
        case 2: EscolherAnexo(); break;
        case 3: RemoverAnexo(); break;
        default: break;
        }
    } catch (...) {
        TratarExcecao(Name(), QStringLiteral("USBtn_Click(%1)").arg(Index));
    }
}

FContato* FormContato()
{
    QPointer<FContato>& instancia = Instancia();
    if (!instancia)
        instancia = new FContato(nullptr);
    return instancia;
}

void ExibirContato(QWidget* dono)
{
    QPointer<FContato>& instancia = Instancia();
    if (instancia && instancia->Carregado())
        return;
    if (!instancia)
        instancia = new FContato(dono);
    else if (instancia->parentWidget() != dono)
        instancia->setParent(dono, instancia->windowFlags());
    instancia->ExibirModal();
}

}  // namespace qeltrano
