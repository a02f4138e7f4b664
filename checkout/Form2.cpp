#include "checkout/Form2.h"

#include "checkout/Configuracao.h"
#include "checkout/Form3.h"
#include "checkout/Instrucao.h"
#include "checkout/SemErros.h"
#include "checkout/Valores.h"
#include "checkout/modGlobal.h"
#include "platform/Texto.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"
#include "suite/Dialogos.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace vendalo {
namespace {

struct Instituicao {
    const char* texto;  // UTF-8
    const char* chave;
};

// Two blanks after the dash in the card rows, as the service's page lists them.
constexpr Instituicao ListaBandeiras[] = {
    {"CARTÃO DE CRÉDITO -  AMERICAN EXPRESS", "AmericanExpress"},
    {"CARTÃO DE CRÉDITO -  DINERS", "Diners"},
    {"CARTÃO DE CRÉDITO -  HIPERCARD", "Hipercard"},
    {"CARTÃO DE CRÉDITO -  MASTERCARD", "Mastercard"},
    {"CARTÃO DE CRÉDITO -  VISA", "Visa"},
};

constexpr Instituicao ListaBancos[] = {
    {"DÉBITO EM CONTA - BANCO DO BRASIL", "BancoDoBrasil"},
    {"DÉBITO EM CONTA - BRADESCO", "Bradesco"},
    {"DÉBITO EM CONTA - BANRISUL", "Banrisul"},
    {"DÉBITO EM CONTA - ITAÚ", "Itau"},
};

constexpr const char* Estados[] = {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT", "PA",
                                   "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};

struct CaixaDefinicao {
    const char* nome;
    const char* rotulo;  // UTF-8
    int comprimento;     // 0: no limit
};

// Fields 0-16 of the store; 7 is the state list.
constexpr CaixaDefinicao Caixas[] = {
    {"txtResponsavelPagamento", "Responsável pelo pagamento:", 80},
    {"txtCep", "CEP:", 9},
    {"txtLogradouro", "Logradouro:", 80},
    {"txtNumero", "Número:", 10},
    {"txtComplemento", "Complemento:", 40},
    {"txtBairro", "Bairro:", 50},
    {"txtMunicipio", "Município:", 50},
    {"txtUf", "UF:", 0},
    {"txtTelefoneFixo", "Telefone fixo:", 20},
    {"txtEmail", "E-mail:", 100},
    {"txtNomeImpressoCartao", "Nome impresso no cartão:", 50},
    {"txtDataNascimentoTitular", "Data de nascimento do titular:", 10},
    {"txtCPFTitular", "CPF do titular:", 14},
    {"txtTelefoneTitular", "Telefone do titular:", 20},
    {"txtNumeroCartao", "Número do cartão:", 19},
    {"txtCodigoSegurancaCartao", "Código de segurança:", 4},
    {"txtValidadeCartao", "Validade (MM/AA)", 7},
};

void MostrarBalao(const QString& mensagem, QWidget* controle)
{
    orvessa::BalaoAviso::Instancia().ExibirBalao(QStringLiteral("Atenção!"), mensagem, controle, 2, 0, 0xE1FFFF, 0);
}

void Aviso(const QString& mensagem)
{
    orvessa::Utilitarios::Instancia().CaixaMensagemAviso(mensagem, orvessa::EstiloMensagem::Exclamacao,
                                                         ConfigCheckout().TituloAplicacao);
}

void MarcarCartao(QWidget* controle)
{
    controle->setProperty("Tag", QStringLiteral("T"));
}

// The busy pointer of a pending request, restored on every way out.
class PonteiroOcupado {
public:
    PonteiroOcupado() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~PonteiroOcupado() { QApplication::restoreOverrideCursor(); }
    PonteiroOcupado(const PonteiroOcupado&) = delete;
    PonteiroOcupado& operator=(const PonteiroOcupado&) = delete;
};

}  // namespace

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

    QLabel* rotulos[TotalCamposForm2] = {};
    for (int i = 0; i < TotalCamposForm2; ++i) {
        const CaixaDefinicao& d = Caixas[i];
        rotulos[i] = new QLabel(QString::fromUtf8(d.rotulo), this);
        if (i == CampoUf)
            continue;
        auto* caixa = new orvessa::USTextBox(this);
        caixa->setObjectName(QString::fromLatin1(d.nome));
        if (d.comprimento > 0)
            caixa->setMaxLength(d.comprimento);
        if (i >= CampoNomeImpresso)
            MarcarCartao(caixa);
        rotulos[i]->setBuddy(caixa);
        orvessa::BalaoAviso::AplicarConvencao(caixa);
        caixas_[size_t(i)] = caixa;
        // Every change is stored at once, restores included.
        connect(caixa, &QLineEdit::textChanged, this, [i](const QString& texto) {
            SemErros("Form2.txtCampo_Change", [&] { GravarDadoSalvo(i, texto); });
        });
    }
    caixas_[CampoCodigoSeguranca]->setEchoMode(QLineEdit::Password);

    txtUf_ = new orvessa::USComboBox(this);
    txtUf_->setObjectName(QStringLiteral("txtUf"));
    rotulos[CampoUf]->setBuddy(txtUf_);
    connect(txtUf_, &QComboBox::currentIndexChanged, this, [this] {
        SemErros("Form2.txtUf_Change", [this] {
            if (!CarregandoTela_)
                GravarDadoSalvo(CampoUf, txtUf_->Texto());
        });
    });

    txtCartao_ = new orvessa::USComboBox(this);
    txtCartao_->setObjectName(QStringLiteral("txtCartao"));
    MarcarCartao(txtCartao_);
    // Also raised when the option refills the list: the card fields then
    // follow the newly selected row.
    connect(txtCartao_, &QComboBox::currentIndexChanged, this, [this] {
        SemErros("Form2.txtCartao_Click", [this] {
            if (!CarregandoTela_)
                CarregarDadosCartao();
        });
    });

    txtParcelas_ = new orvessa::USTextBox(this);
    txtParcelas_->setObjectName(QStringLiteral("txtParcelas"));
    txtParcelas_->setMaxLength(2);
    txtParcelas_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), txtParcelas_));
    txtParcelas_->DefinirTexto(QStringLiteral("1"));
    MarcarCartao(txtParcelas_);
    orvessa::BalaoAviso::AplicarConvencao(txtParcelas_);
    auto* lblParcelas = new QLabel(QStringLiteral("Parcelas:"), this);
    lblParcelas->setBuddy(txtParcelas_);
    auto* lblCartao = new QLabel(QStringLiteral("Bandeira ou banco:"), this);
    lblCartao->setBuddy(txtCartao_);

    static const char* const Opcoes[] = {"CARTÃO DE CRÉDITO", "DÉBITO EM CONTA", "BOLETO"};
    auto* grupo = new QButtonGroup(this);
    auto* linhaOpcoes = new QHBoxLayout;
    linhaOpcoes->setSpacing(18);
    for (int i = 0; i < 3; ++i) {
        auto* opcao = new orvessa::USOptionButton(this);
        opcao->setObjectName(QStringLiteral("btnOpcao"));
        opcao->setProperty("Index", i);
        opcao->setText(QString::fromUtf8(Opcoes[i]));
        grupo->addButton(opcao, i);
        btnOpcao_[size_t(i)] = opcao;
        linhaOpcoes->addWidget(opcao);
        connect(opcao, &QAbstractButton::clicked, this, [this, i] {
            SemErros("Form2.btnOpcao_Click", [this, i] { SelecionarOpcaoPagamento(i); });
        });
    }
    linhaOpcoes->addStretch(1);
    btnOpcao_[0]->setChecked(true);

    Btn_ = new orvessa::USButton(QStringLiteral("Prosseguir com o pagamento"), this);
    Btn_->setObjectName(QStringLiteral("Btn"));
    Btn_->DefinirToolTipTitle(QStringLiteral("Próximo"));
    Btn_->DefinirToolTipDescription(QStringLiteral("Clique neste botão para continuar"));
    connect(Btn_, &QAbstractButton::clicked, this, [this] { SemErros("Form2.Btn_Click", [this] { Btn_Click(); }); });

    auto adicionar = [&](QGridLayout* grade, int linha, int coluna, int campo, int largura = 1) {
        grade->addWidget(rotulos[campo], linha, coluna);
        QWidget* controle = campo == CampoUf ? static_cast<QWidget*>(txtUf_) : caixas_[size_t(campo)];
        grade->addWidget(controle, linha, coluna + 1, 1, largura);
    };

    auto* pagador = new QGroupBox(QStringLiteral("Dados do pagador"), this);
    auto* gPagador = new QGridLayout(pagador);
    gPagador->setHorizontalSpacing(8);
    gPagador->setVerticalSpacing(6);
    adicionar(gPagador, 0, 0, CampoResponsavel, 3);
    adicionar(gPagador, 1, 0, CampoEmail, 3);
    adicionar(gPagador, 2, 0, CampoCep);
    adicionar(gPagador, 2, 2, CampoTelefoneFixo);
    adicionar(gPagador, 3, 0, CampoLogradouro, 3);
    adicionar(gPagador, 4, 0, CampoNumero);
    adicionar(gPagador, 4, 2, CampoComplemento);
    adicionar(gPagador, 5, 0, CampoBairro);
    adicionar(gPagador, 5, 2, CampoMunicipio);
    adicionar(gPagador, 6, 0, CampoUf);
    gPagador->setColumnStretch(1, 1);
    gPagador->setColumnStretch(3, 1);

    auto* pagamento = new QGroupBox(QStringLiteral("Forma de pagamento"), this);
    auto* gPagamento = new QGridLayout(pagamento);
    gPagamento->setHorizontalSpacing(8);
    gPagamento->setVerticalSpacing(6);
    gPagamento->addLayout(linhaOpcoes, 0, 0, 1, 4);
    gPagamento->addWidget(lblCartao, 1, 0);
    gPagamento->addWidget(txtCartao_, 1, 1, 1, 3);
    adicionar(gPagamento, 2, 0, CampoNomeImpresso, 3);
    adicionar(gPagamento, 3, 0, CampoNumeroCartao);
    adicionar(gPagamento, 3, 2, CampoValidadeCartao);
    adicionar(gPagamento, 4, 0, CampoCodigoSeguranca);
    gPagamento->addWidget(lblParcelas, 4, 2);
    gPagamento->addWidget(txtParcelas_, 4, 3);
    adicionar(gPagamento, 5, 0, CampoNascimentoTitular);
    adicionar(gPagamento, 6, 0, CampoCPFTitular);
    adicionar(gPagamento, 6, 2, CampoTelefoneTitular);
    auto* notaTitular = new QLabel(
        QStringLiteral("Pessoa física deve informar: Data de nascimento, cpf e telefone do titular do cartão. "
                       "Algumas operadoras utilizam essas informações para análise de risco."),
        this);
    notaTitular->setWordWrap(true);
    notaTitular->setStyleSheet(QStringLiteral("color: #5A5A5A;"));
    gPagamento->addWidget(notaTitular, 7, 0, 1, 4);
    gPagamento->setColumnStretch(1, 1);
    gPagamento->setColumnStretch(3, 1);

    auto* notaCampos = new QLabel(
        QStringLiteral("Todos so campos devem ser preenchidos. Para garantir que o seu pagamento será aceito, "
                       "verifique a ortografia e informações inseridas no formulário."),
        this);
    notaCampos->setWordWrap(true);
    notaCampos->setStyleSheet(QStringLiteral("color: #5A5A5A;"));

    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(16, 10, 16, 0);
    corpo->setSpacing(8);
    corpo->addWidget(pagador);
    corpo->addWidget(pagamento);
    corpo->addWidget(notaCampos);

    // What the buyer is about to pay, beside the button that pays it.
    lblValorTotal_ = new QLabel(this);
    lblValorTotal_->setObjectName(QStringLiteral("lblValorTotal"));
    lblValorTotal_->setTextFormat(Qt::PlainText);
    QFont negrito = lblValorTotal_->font();
    negrito.setBold(true);
    lblValorTotal_->setFont(negrito);
    auto* rodape = new QHBoxLayout;
    rodape->setContentsMargins(16, 0, 16, 0);
    rodape->addWidget(lblValorTotal_);
    rodape->addStretch(1);
    rodape->addWidget(Btn_);

    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(0, 0, 0, 14);
    janela->setSpacing(8);
    janela->addWidget(USFormEx_);
    janela->addLayout(corpo, 1);
    janela->addLayout(rodape);
    setFixedSize(660, 680);
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

void Form2::Form_Load()
{
    // Each step on its own: one that fails leaves the others to run.
    const auto passo = [](auto&& f) { SemErros("Form2.Form_Load", f); };
    const ParametrosCheckout& p = Parametros();
    passo([&] {
        if (p.MOIP_OmitirTelaInicial)
            USFormEx_->DefinirCaption(QStringLiteral("Pagamento seguro MOIP - Etapa 1 de 2"));
    });
    passo([&] { DefinirFundo(CarregarFundo(p.App_DiretorioImagens, p.App_Img002, QStringLiteral("002.jpg"))); });
    passo([&] { lblValorTotal_->setText(QStringLiteral("Valor total: R$ ") + FormatarValor(p.ValorTotal)); });
    passo([&] {
        btnOpcao_[0]->DefinirHabilitado(!p.MOIP_DesabilitarCartaoCredito);
        btnOpcao_[1]->DefinirHabilitado(!p.MOIP_DesabilitarDebitoConta);
        btnOpcao_[2]->DefinirHabilitado(!p.MOIP_DesabilitarBoleto);
    });
    CarregandoTela_ = true;
    passo([&] { SelecionarOpcaoPagamento(0); });
    passo([&] {
        txtUf_->LimparItens();
        for (const char* uf : Estados)
            txtUf_->AdicionarItem(QString::fromLatin1(uf), QString());
        const int indice = txtUf_->LocalizarItem(LerDadoSalvo(CampoUf));
        txtUf_->DefinirIndiceSelecionado(indice < 0 ? 0 : indice);
    });
    CarregandoTela_ = false;
    for (const int campo : {CampoResponsavel, CampoEmail, CampoCep, CampoLogradouro, CampoNumero, CampoComplemento,
                            CampoBairro, CampoMunicipio, CampoTelefoneFixo})
        passo([&] { caixas_[size_t(campo)]->DefinirTexto(LerDadoSalvo(campo)); });
    passo([&] { CarregarDadosCartao(); });
    passo([&] { USFormEx_->AplicarTema(); });
}

void Form2::Form_QueryUnload(bool& cancelar, int)
{
    // Closing while the instruction waits only ends the wait.
    if (AguardandoResposta_) {
        Parametros().Finalizar = true;
        cancelar = true;
    }
}

void Form2::Form_Unload()
{
    orvessa::BalaoAviso::Instancia().OcultarBalao();
    GravarDadosPendentes();
    ParametrosCheckout& p = Parametros();
    if (p.form2 == this)
        p.form2 = nullptr;
    deleteLater();
}

void Form2::SelecionarOpcaoPagamento(int opcao)
{
    if (opcao == 0 || opcao == 1) {
        CarregarDadosCartao();
        txtCartao_->LimparItens();
        if (opcao == 0) {
            for (const Instituicao& i : ListaBandeiras)
                txtCartao_->AdicionarItem(QString::fromUtf8(i.texto), QString::fromLatin1(i.chave));
            txtCartao_->DefinirIndiceSelecionado(4);
            HabilitarCamposCartao(false, 0);
        } else {
            for (const Instituicao& i : ListaBancos)
                txtCartao_->AdicionarItem(QString::fromUtf8(i.texto), QString::fromLatin1(i.chave));
            txtCartao_->DefinirIndiceSelecionado(0);
            HabilitarCamposCartao(true, 1);
        }
    } else if (opcao == 2) {
        HabilitarCamposCartao(true, 2);
    }
}

void Form2::HabilitarCamposCartao(bool desabilitar, int opcao)
{
    for (QWidget* controle : findChildren<QWidget*>()) {
        if (!qobject_cast<orvessa::USTextBox*>(controle) && !qobject_cast<orvessa::USComboBox*>(controle))
            continue;
        if (controle->property("Tag").toString() == QLatin1String("T"))
            controle->setEnabled(!desabilitar);
    }
    txtCartao_->DefinirHabilitado(opcao < 2);
}

void Form2::CarregarDadosCartao()
{
    // An empty list (the first option being prepared) has no row to read.
    const int indice = txtCartao_->IndiceSelecionado();
    if (indice < 0)
        return;
    Parametros().InstituicaoSelecionada = indice;
    for (int campo = CampoNomeImpresso; campo <= CampoValidadeCartao; ++campo)
        caixas_[size_t(campo)]->DefinirTexto(LerDadoSalvo(campo));
}

int Form2::OpcaoSelecionada() const
{
    if (btnOpcao_[0]->Value())
        return 0;
    if (btnOpcao_[1]->Value())
        return 1;
    return 2;
}

bool Form2::VerificarCampos()
{
    struct Verificacao {
        QWidget* controle;
        bool falhou;
        const char* mensagem;  // UTF-8
    };
    const auto& u = orvessa::Utilitarios::Instancia();
    const auto caixa = [this](int campo) { return caixas_[size_t(campo)]; };
    const auto vazio = [&](int campo) { return caixa(campo)->TamanhoTexto() == 0; };

    const Verificacao pagador[] = {
        {caixa(CampoResponsavel), vazio(CampoResponsavel), "Informe seu nome completo."},
        {caixa(CampoCep), plataforma::Trim(caixa(CampoCep)->Texto()).isEmpty(), "Informe o seu cep."},
        {caixa(CampoLogradouro), vazio(CampoLogradouro), "Informe seu logradouro."},
        {caixa(CampoNumero), vazio(CampoNumero), "Informe o número do seu logradouro."},
        {caixa(CampoComplemento), vazio(CampoComplemento), "Informe o complemento do seu logradouro."},
        {caixa(CampoBairro), vazio(CampoBairro), "Informe o seu bairro."},
        {caixa(CampoMunicipio), vazio(CampoMunicipio), "Informe o seu município."},
        {caixa(CampoTelefoneFixo), vazio(CampoTelefoneFixo), "Informe o seu telefone fixo."},
        {caixa(CampoEmail), !caixa(CampoEmail)->EmailValido(), "Informe um e-mail válido."},
    };
    for (const Verificacao& v : pagador) {
        if (v.falhou) {
            MostrarBalao(QString::fromUtf8(v.mensagem), v.controle);
            return false;
        }
    }
    if (!btnOpcao_[0]->Value())
        return true;

    const double parcelas = txtParcelas_->Valor();
    const Verificacao cartao[] = {
        {caixa(CampoNomeImpresso), vazio(CampoNomeImpresso), "Verifique e informe o nome impresso no cartão."},
        {txtParcelas_, parcelas < 1, "Informe a quantidade de parcelas (No mínimo 1)."},
        {txtParcelas_, parcelas > 12, "A quantidade máxima de parcelas é 12."},
        {caixa(CampoNascimentoTitular), !caixa(CampoNascimentoTitular)->DataValida(), "Data de nascimento inválida."},
        {caixa(CampoCPFTitular), !u.ValidarCPF(caixa(CampoCPFTitular)->Texto()), "CPF inválido."},
        {caixa(CampoTelefoneTitular), vazio(CampoTelefoneTitular), "Informe o telefone do titular do cartão."},
        {caixa(CampoNumeroCartao), vazio(CampoNumeroCartao), "Verifique e informe o número do cartão."},
        {caixa(CampoCodigoSeguranca), vazio(CampoCodigoSeguranca),
         "Verifique e informe o código de segurança do cartão."},
        {caixa(CampoValidadeCartao), !u.ValidarData(caixa(CampoValidadeCartao)->Texto(), 60),
         "Verifique e informe o mês e o ano de validade do cartão."},
    };
    for (const Verificacao& v : cartao) {
        if (v.falhou) {
            MostrarBalao(QString::fromUtf8(v.mensagem), v.controle);
            return false;
        }
    }
    return true;
}

void Form2::Btn_Click()
{
    // The screen stays responsive while a request waits; a second click
    // then must not start another one inside it.
    if (AguardandoResposta_)
        return;
    // One payment per run: once the outcome screen saw it succeed, nothing
    // more is sent from these screens.
    if (Parametros().PagamentoProcessado) {
        qWarning("Vendalo: Form2: o pagamento desta execução já foi processado; nenhuma nova instrução é enviada");
        return;
    }
    if (!VerificarCampos())
        return;

    ParametrosCheckout& p = Parametros();
    auto& u = orvessa::Utilitarios::Instancia();
    p.TokenInstrucao.clear();
    p.MOIP_IdRetorno = MontarIdRetorno(QDateTime::currentDateTime(), u.GerarAleatorio(QString(), 1, 99), p.MOIP_IdProprio);

    DadosInstrucao dados;
    dados.Razao = p.MOIP_RazaoPagamento;
    dados.ValorTotal = p.ValorTotal;
    dados.IdRetorno = p.MOIP_IdRetorno;
    dados.Nome = caixas_[CampoResponsavel]->Texto();
    dados.Email = caixas_[CampoEmail]->Texto();
    dados.IdPagador = p.MOIP_IdPagador;
    dados.Logradouro = caixas_[CampoLogradouro]->Texto();
    dados.Numero = caixas_[CampoNumero]->Texto();
    dados.Complemento = caixas_[CampoComplemento]->Texto();
    dados.Bairro = caixas_[CampoBairro]->Texto();
    dados.Cidade = caixas_[CampoMunicipio]->Texto();
    dados.Estado = txtUf_->Texto();
    dados.CEP = caixas_[CampoCep]->Texto();
    dados.TelefoneFixo = caixas_[CampoTelefoneFixo]->Texto();
    const QString documento = MontarInstrucao(dados);
    QCoreApplication::processEvents();

    const ConfiguracaoCheckout& config = ConfigCheckout();
    ResultadoEnvio envio;
    {
        PonteiroOcupado ponteiro;
        AguardandoResposta_ = true;
        QPointer<Form2> eu(this);
        envio = EnviarInstrucao(config.EnderecoInstrucao(p.App_ModoDesenvolvedor),
                                CabecalhoAutorizacao(p.MOIP_Token, p.MOIP_ChaveAcesso), documento,
                                config.TempoLimiteInstrucaoMs, [] { return Parametros().Finalizar; });
        if (!eu)
            return;
        AguardandoResposta_ = false;
    }

    if (envio.fim == FimEspera::Finalizado) {
        // The stop ended this wait; the next click sends again.
        p.Finalizar = false;
        return;
    }
    const std::optional<RespostaInstrucao> resposta =
        envio.fim == FimEspera::Resposta ? LerRespostaInstrucao(envio.corpo) : std::nullopt;
    if (!resposta) {
        Aviso(QStringLiteral("<b>Atenção</b> O servidor não respondeu corretamente. Por favor verifique o seu token e "
                             "a sua chave de acesso."));
        return;
    }
    if (!resposta->Sucesso) {
        // The service's text is shown as it came, never as markup.
        Aviso(QStringLiteral("<b>Erro</b>: ") + TextoLiteral(resposta->Erro));
        return;
    }

    p.TokenInstrucao = resposta->Token;
    DadosPagina pagina;
    pagina.Opcao = OpcaoSelecionada();
    pagina.Instituicao = txtCartao_->ChaveItem(txtCartao_->IndiceSelecionado());
    pagina.Parcelas = txtParcelas_->Valor();
    pagina.NumeroCartao = caixas_[CampoNumeroCartao]->Texto();
    pagina.ValidadeCartao = caixas_[CampoValidadeCartao]->Texto();
    pagina.CodigoSeguranca = caixas_[CampoCodigoSeguranca]->Texto();
    pagina.NomeImpresso = caixas_[CampoNomeImpresso]->Texto();
    pagina.NascimentoTitular = caixas_[CampoNascimentoTitular]->Texto();
    pagina.TelefoneFixo = caixas_[CampoTelefoneFixo]->Texto();
    pagina.CPF = caixas_[CampoCPFTitular]->Texto();
    pagina.Token = p.TokenInstrucao;
    pagina.ModoDesenvolvedor = p.App_ModoDesenvolvedor;
    pagina.Rnd = NumeroAleatorioEndereco();
    p.OpcaoPagamento = pagina.Opcao;
    p.ParametrosPagina = MontarParametrosPagina(pagina);
    Form3* form3 = Form3::Instancia(this);
    if (!form3->Carregado())
        form3->Exibir();
    // The fold-up after a payment, also where no window manager hands the
    // activation back to this screen.
    if (Parametros().FecharTelas)
        Descarregar();
}

}  // namespace vendalo
