// A whole checkout through a host's calls: the library registered and
// created through the component loader, the payer screen filled in, the
// payment page answering from a local server, then the transaction saved,
// verified and read back by name.
#include "Apoio.h"
#include "Respostas.h"
#include "ServidorMoip.h"

#include "checkout/Configuracao.h"
#include "platform/Componentes.h"
#include "platform/ErroExecucao.h"
#include "platform/TipoBiblioteca.h"
#include "suite/Formulario.h"
#include "suite/Utilitarios.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLibrary>
#include <QLineEdit>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using plataforma::Componentes;

namespace {

const QString kToken = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
const QString kChave = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
const QString kSuporte = QStringLiteral("suporte@loja.example");

template <typename Funcao>
Funcao Entrada(const char* nome)
{
    QLibrary biblioteca(QStringLiteral(VENDALO_BIBLIOTECA));
    return reinterpret_cast<Funcao>(biblioteca.resolve(nome));
}

// The library's configuration, reached in the loaded library itself so
// that its hosts point at the local server.
vendalo::ConfiguracaoCheckout& ConfigBiblioteca()
{
    using Funcao = vendalo::ConfiguracaoCheckout& (*)();
    static const auto funcao = Entrada<Funcao>("_ZN7vendalo14ConfigCheckoutEv");
    return funcao();
}

orvessa::Formulario* Tela(const QString& nome)
{
    for (orvessa::Formulario* f : orvessa::Formulario::FormulariosCarregados())
        if (f->Name() == nome && f->isVisible())
            return f;
    return nullptr;
}

template <typename T>
T* Filho(QWidget* tela, const QString& nome)
{
    return tela ? tela->findChild<T*>(nome) : nullptr;
}

// Steps run by a timer, so they go on inside whichever modal loop is
// innermost; each waits for its condition, then acts and returns at once.
class Roteiro : public QObject {
public:
    struct Passo {
        std::function<bool()> pronto;
        std::function<void()> acao;
    };
    explicit Roteiro(QList<Passo> passos) : passos_(std::move(passos))
    {
        connect(&pulso_, &QTimer::timeout, this, [this] {
            if (!passos_.isEmpty() && passos_.front().pronto()) {
                Passo passo = passos_.takeFirst();
                passo.acao();
            }
        });
        pulso_.start(50);
        // Nothing may hang the run: after this every screen goes.
        QTimer::singleShot(90000, this, [this] {
            esgotado_ = true;
            for (orvessa::Formulario* f : orvessa::Formulario::FormulariosCarregados())
                f->Descarregar(true);
        });
    }
    // Steps whose moment came as the run ended (the screens folding up
    // before the next pulse) still run.
    bool Concluido()
    {
        while (!esgotado_ && !passos_.isEmpty() && passos_.front().pronto())
            passos_.takeFirst().acao();
        return passos_.isEmpty() && !esgotado_;
    }

private:
    QList<Passo> passos_;
    QTimer pulso_;
    bool esgotado_ = false;
};

void Clicar(QAbstractButton* botao)
{
    // Later: a click that opens a modal screen only returns when it closes.
    QTimer::singleShot(0, botao, &QAbstractButton::click);
}

void Preencher(QWidget* tela, const QList<QPair<const char*, const char*>>& campos)
{
    for (const auto& [nome, texto] : campos)
        if (auto* caixa = Filho<QLineEdit>(tela, QString::fromLatin1(nome)))
            caixa->setText(QString::fromUtf8(texto));
}

void PreencherPagador(QWidget* form2, int opcao)
{
    Preencher(form2, {{"txtResponsavelPagamento", "Teste da Silva"}, {"txtCep", "01001-000"},
                      {"txtLogradouro", "Rua das Flores"}, {"txtNumero", "100"}, {"txtComplemento", "Sala 2"},
                      {"txtBairro", "Centro"}, {"txtMunicipio", "São Paulo"}, {"txtTelefoneFixo", "(11)3333-4444"},
                      {"txtEmail", "teste@comprador.example"}});
    for (auto* botao : form2->findChildren<QAbstractButton*>(QStringLiteral("btnOpcao")))
        if (botao->property("Index").toInt() == opcao)
            botao->click();
    if (opcao == 0)
        Preencher(form2, {{"txtNomeImpressoCartao", "TESTE D SILVA"}, {"txtParcelas", "2"},
                          {"txtDataNascimentoTitular", "10/05/1980"}, {"txtCPFTitular", "529.982.247-25"},
                          {"txtTelefoneTitular", "(11)99999-0000"}, {"txtNumeroCartao", "4111111111111111"},
                          {"txtCodigoSegurancaCartao", "123"}, {"txtValidadeCartao", "12/30"}});
}

// The outcome screen is up and its state is at least `estado` (1 working,
// 2 approved, 3 failed); exactly 1 when asked for 1.
std::function<bool()> Form3Em(int estado)
{
    return [estado] {
        QWidget* f = Tela("Form3");
        if (!f)
            return false;
        const int atual = f->property("EstadoPagamento").toInt();
        return estado == 1 ? atual == 1 : atual >= estado;
    };
}

// A desktop that never hands the activation back to a screen once the one
// above it closes.
class SemAtivacao : public QObject {
public:
    SemAtivacao() { qApp->installEventFilter(this); }
    ~SemAtivacao() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* alvo, QEvent* evento) override
    {
        return evento->type() == QEvent::WindowActivate && qobject_cast<orvessa::Formulario*>(alvo);
    }
};

struct Desfecho {
    bool processado = false;
    bool roteiroCompleto = false;
    bool form2FicouAberta = false;  // after the outcome screen closed
    QString resultado;  // the outcome screen's marked-up result
    QString endereco;   // its address to pay at
    QString titulo;
    bool botaoEndereco = false;
};

}  // namespace

class TesteHostPagamento : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::Respostas> respostas_;
    std::unique_ptr<apoio::ServidorMoip> servidor_;
    std::unique_ptr<QObject> checkout_;

    // Payer screen filled for `opcao` and sent; the outcome screen read once
    // it shows a result (with Fechar: closed while the page works; with
    // Finalizar: the host's stop first); then whatever screen is left is
    // closed.
    enum class Durante { Nada, Fechar, Finalizar };
    Desfecho Pagar(int opcao, Durante durante = Durante::Nada)
    {
        Desfecho d;
        // Timers of this run go with it.
        QObject execucao;
        QList<Roteiro::Passo> passos;
        passos.append({[] { return Tela("Form2") != nullptr; },
                       [opcao] {
                           QWidget* form2 = Tela("Form2");
                           PreencherPagador(form2, opcao);
                           Clicar(Filho<QAbstractButton>(form2, "Btn"));
                       }});
        if (durante == Durante::Fechar) {
            passos.append({Form3Em(1), [] { QTimer::singleShot(0, Tela("Form3"), &QWidget::close); }});
        } else {
            if (durante == Durante::Finalizar)
                passos.append({Form3Em(1), [this] {
                                   Componentes::ChamarMetodo(checkout_.get(), QStringLiteral("App_Finalizar"));
                               }});
            passos.append({Form3Em(2), [&d] {
                               QWidget* form3 = Tela("Form3");
                               d.resultado = Filho<QWidget>(form3, "lblResultado")->property("Caption").toString();
                               d.endereco = form3->property("EnderecoPagamento").toString();
                               d.titulo = form3->windowTitle();
                               d.botaoEndereco = Filho<QWidget>(form3, "btnAbrirEndereco")->isVisible();
                               Clicar(Filho<QAbstractButton>(form3, "Btn"));
                           }});
        }
        // After a success the payer screen folds up by itself; otherwise the
        // buyer closes it.
        passos.append({[] { return Tela("Form3") == nullptr; },
                       [&d, &execucao] {
                           QTimer::singleShot(1500, &execucao, [&d] {
                               if (QWidget* form2 = Tela("Form2")) {
                                   d.form2FicouAberta = true;
                                   form2->close();
                               }
                           });
                       }});
        Roteiro roteiro(passos);
        d.processado = Componentes::ChamarMetodo(checkout_.get(), QStringLiteral("App_ProcessarPagamento")).toBool();
        d.roteiroCompleto = roteiro.Concluido();
        return d;
    }

    // Without the page's answer the screen says one thing: the outcome is
    // not known, check before paying again, ask support.
    static void VerIndeterminado(const QString& resultado)
    {
        QVERIFY2(resultado.contains(QStringLiteral("Não foi possível saber se o pagamento foi realizado.")),
                 qPrintable(resultado));
        QVERIFY2(!resultado.contains(QStringLiteral("não foi realizado")), qPrintable(resultado));
        QVERIFY(resultado.contains(QStringLiteral("verifique se o pagamento foi processado")));
        QVERIFY(resultado.contains(kSuporte));
    }

private slots:
    void initTestCase()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        const auto registrar = Entrada<FuncaoRegistro>(PLATAFORMA_ENTRADA_REGISTRO);
        QVERIFY(registrar && registrar() == 0);
    }

    void init()
    {
        respostas_ = std::make_unique<apoio::Respostas>();
        respostas_->DefinirPadrao(1);
        servidor_ = std::make_unique<apoio::ServidorMoip>();
        servidor_->DefinirCredenciais(kToken, kChave);
        servidor_->DefinirAtrasoPagina(200);
        vendalo::ConfiguracaoCheckout& c = ConfigBiblioteca();
        c.HostApi = c.HostApiSandbox = c.HostPagina = c.HostPaginaSandbox = servidor_->Endereco();
        c.TempoLimitePaginaMs = 60000;

        checkout_.reset(Componentes::CriarObjeto(QStringLiteral("Vendalo.Checkout")));
        QVERIFY(checkout_);
        auto definir = [this](const char* nome, const QVariant& valor) {
            Componentes::DefinirPropriedade(checkout_.get(), QString::fromLatin1(nome), valor);
        };
        definir("MOIP_Token", kToken);
        definir("MOIP_ChaveAcesso", kChave);
        definir("MOIP_ValorUnitario", 25.0);
        definir("MOIP_RazaoPagamento", QStringLiteral("Licença do programa"));
        definir("MOIP_IdProprio", QStringLiteral("PEDIDO42"));
        definir("MOIP_IdPagador", QStringLiteral("cliente-7"));
        definir("MOIP_OmitirTelaInicial", true);
        definir("App_EmailSuporte", kSuporte);
        definir("App_ModoDesenvolvedor", false);
    }

    void cleanup()
    {
        checkout_.reset();
        servidor_.reset();
        respostas_.reset();
    }

    void CartaoAutorizadoDePontaAPonta()
    {
        const Desfecho d = Pagar(0);
        QVERIFY(d.roteiroCompleto);
        QVERIFY(d.processado);
        QVERIFY2(d.resultado.contains(QStringLiteral("Pagamento aprovado")), qPrintable(d.resultado));
        QVERIFY(d.resultado.contains(QStringLiteral("84785")));
        QVERIFY(!d.botaoEndereco);
        // No quantity screen: the outcome is the second of two steps.
        QCOMPARE(d.titulo, QStringLiteral("Pagamento seguro MOIP - Etapa 2 de 2"));

        // The page got the instruction's token and the option's function ran.
        const auto paginas = servidor_->PedidosEm(QStringLiteral("/sandbox.asp"));
        QCOMPARE(paginas.size(), 1);
        const QString tokenInstrucao = paginas[0].consulta.queryItemValue(QStringLiteral("token"));
        QCOMPARE(tokenInstrucao, QStringLiteral("T2N0L0X8E0S1Q2V4G6C8B0Z1A3B5C7D9F1H3J5K7M9P1R3S5"));
        QCOMPARE(paginas[0].consulta.queryItemValue(QStringLiteral("C_TIPO_PAGAMENTO")), QStringLiteral("0"));
        // The card data reach the page's server once: no icon request, no
        // referrer carrying the page's address.
        QByteArrayList comCartao;
        for (const QByteArray& pedido : servidor_->PedidosBrutos())
            if (pedido.contains("4111111111111111"))
                comCartao.append(pedido.left(pedido.indexOf('\n')).left(60));
        QVERIFY2(comCartao.size() == 1, comCartao.join(", ").constData());

        const QString idRetorno = Componentes::ObterPropriedade(checkout_.get(), QStringLiteral("MOIP_IdRetorno")).toString();
        QVERIFY2(idRetorno.endsWith(QStringLiteral(".PEDIDO42")), qPrintable(idRetorno));

        const QString arquivo = ambiente_->Caminho(QStringLiteral("transacao.ini"));
        Componentes::ChamarMetodo(checkout_.get(), QStringLiteral("App_SalvarTransacao"), {arquivo});
        const auto& u = orvessa::Utilitarios::Instancia();
        QCOMPARE(u.LerINI(arquivo, "Checkout", "ID"), idRetorno);
        QCOMPARE(u.LerINI(arquivo, "Checkout", "Token"), tokenInstrucao);
        QCOMPARE(u.LerINI(arquivo, "Pagador", "Nome"), QStringLiteral("Teste da Silva"));
        QCOMPARE(u.LerINI(arquivo, QStringLiteral("Endereço de cobranca"), "CEP"), QStringLiteral("01001-000"));
        QCOMPARE(u.LerINI(arquivo, "Recebedor", "Email"), QStringLiteral("vendas@loja.example"));
        QCOMPARE(u.LerINI(arquivo, "Pagamento", "TotalItens"), QStringLiteral("2"));
        QCOMPARE(u.LerINI(arquivo, "Pagamento", "Status1"), QStringLiteral("Concluido"));
        // The query asked for that instruction, with the host's credentials.
        const auto consultas = servidor_->PedidosEm(QStringLiteral("/ws/alpha/ConsultarInstrucao/"));
        QCOMPARE(consultas.size(), 1);
        QCOMPARE(consultas[0].caminho, QStringLiteral("/ws/alpha/ConsultarInstrucao/") + tokenInstrucao);
    }

    // After a success and "Concluir" no screen is left, whatever the
    // desktop does with activation, and the one payment was the only one.
    void UmPagamentoPorExecucao()
    {
        SemAtivacao semAtivacao;
        const Desfecho d = Pagar(0);
        QVERIFY(d.roteiroCompleto);
        QVERIFY(d.processado);
        QVERIFY(!d.form2FicouAberta);
        for (orvessa::Formulario* f : orvessa::Formulario::FormulariosCarregados())
            QVERIFY2(!f->Name().startsWith(QLatin1String("Form")), qPrintable(f->Name()));
        QCOMPARE(servidor_->PedidosEm(QStringLiteral("/ws/alpha/EnviarInstrucao")).size(), 1);
        QCOMPARE(servidor_->PedidosEm(QStringLiteral("/sandbox.asp")).size(), 1);
    }

    void PagamentoRecusadoDizPorque()
    {
        servidor_->DefinirPagina(apoio::ServidorMoip::Pagina::Recusar);
        const Desfecho d = Pagar(0);
        QVERIFY(d.roteiroCompleto);
        QVERIFY(!d.processado);
        QVERIFY2(d.resultado.contains(QStringLiteral("não autorizado pela operadora")), qPrintable(d.resultado));
        QVERIFY(d.resultado.contains(kSuporte));
    }

    void BoletoDaOEnderecoParaPagar()
    {
        servidor_->DefinirPagina(apoio::ServidorMoip::Pagina::Boleto);
        const Desfecho d = Pagar(2);
        QVERIFY(d.roteiroCompleto);
        QVERIFY(d.processado);
        QVERIFY(d.botaoEndereco);
        QCOMPARE(d.endereco, servidor_->UrlBoleto());
        QCOMPARE(servidor_->PedidosEm(QStringLiteral("/sandbox.asp")).at(0).consulta.queryItemValue(
                     QStringLiteral("C_TIPO_PAGAMENTO")),
                 QStringLiteral("2"));
    }

    void PaginaQueNuncaRespondeTerminaComAviso()
    {
        servidor_->DefinirPagina(apoio::ServidorMoip::Pagina::Silencio);
        ConfigBiblioteca().TempoLimitePaginaMs = 3000;
        const Desfecho d = Pagar(1);
        QVERIFY(d.roteiroCompleto);
        QVERIFY(!d.processado);
        QVERIFY2(d.resultado.contains(QStringLiteral("não respondeu em 3 segundos")), qPrintable(d.resultado));
        VerIndeterminado(d.resultado);
    }

    void FecharDuranteAEsperaPerguntaEPara()
    {
        servidor_->DefinirPagina(apoio::ServidorMoip::Pagina::Silencio);
        // The first close is refused by the buyer, the second confirmed.
        int perguntas = 0;
        respostas_->AoExibir(QStringLiteral("Deseja mesmo fechar"), [&perguntas] {
            ++perguntas;
            if (perguntas == 1)
                QTimer::singleShot(300, [] {
                    if (QWidget* f = Tela("Form3"))
                        f->close();
                });
            return perguntas == 1 ? 7 : 6;
        });
        const Desfecho d = Pagar(0, Durante::Fechar);
        QVERIFY(d.roteiroCompleto);
        QVERIFY(!d.processado);
        QCOMPARE(perguntas, 2);
    }

    // The host's stop ends the page's wait too; the screen says so.
    void FinalizarDoHostParaAEspera()
    {
        servidor_->DefinirPagina(apoio::ServidorMoip::Pagina::Silencio);
        const Desfecho d = Pagar(2, Durante::Finalizar);
        QVERIFY(d.roteiroCompleto);
        QVERIFY(!d.processado);
        QVERIFY2(d.resultado.contains(QStringLiteral("foi interrompida")), qPrintable(d.resultado));
        VerIndeterminado(d.resultado);
        QVERIFY(respostas_->CaixasCom(QStringLiteral("Deseja mesmo fechar")).isEmpty());
    }

    // Automation hosts read the indexed getters as properties with the item
    // number, by name or by DISPID; calling them as methods keeps working.
    void GettersIndexadosLidosComoPropriedade()
    {
        constexpr std::int32_t kDispidData = 0x6803003F;
        constexpr std::int32_t kDispidStatusID = 0x68030038;
        QObject* c = checkout_.get();
        QVERIFY(Componentes::ChamarMetodo(c, QStringLiteral("Pagamento_Verificar"), {QStringLiteral("TOKEN-1")}).toBool());
        const QString data = QStringLiteral("2026-12-10T10:15:00.000-02:00");
        QCOMPARE(Componentes::ObterPropriedade(c, QStringLiteral("Pagamento_Data"), {1}).toString(), data);
        QCOMPARE(Componentes::ObterPropriedade(c, QStringLiteral("pagamento_data"), {1}).toString(), data);
        QCOMPARE(Componentes::ObterPropriedade(c, kDispidData, {1}).toString(), data);
        QCOMPARE(Componentes::ObterPropriedade(c, kDispidStatusID, {QStringLiteral("2")}).toInt(), 1);
        QCOMPARE(Componentes::ChamarMetodo(c, kDispidData, {1}).toString(), data);
        QCOMPARE(Componentes::ChamarMetodo(c, QStringLiteral("Pagamento_Data"), {1}).toString(), data);
        // Without its item number the read is a wrong call, not an unknown member.
        for (const auto& ler : std::initializer_list<std::function<QVariant()>>{
                 [&] { return Componentes::ObterPropriedade(c, kDispidData); },
                 [&] { return Componentes::ObterPropriedade(c, QStringLiteral("Pagamento_Data")); }}) {
            try {
                ler();
                QFAIL("an indexed get was read without its index");
            } catch (const plataforma::ErroExecucao& e) {
                QCOMPARE(e.Numero(), 450L);
            }
        }
        // A plain get takes no index.
        try {
            Componentes::ObterPropriedade(c, QStringLiteral("Pagamento_TotalItens"), {1});
            QFAIL("a plain get took an index");
        } catch (const plataforma::ErroExecucao& e) {
            QCOMPARE(e.Numero(), 450L);
        }
    }

    // A host on a thread of its own: the screens are refused at once with
    // nothing sent, while the query works there with that thread's state.
    void OutraThread()
    {
        // This thread's state: a failed query, nothing read.
        servidor_->DefinirRespostaConsulta("isto não é XML");
        QVERIFY(!Componentes::ChamarMetodo(checkout_.get(), QStringLiteral("Pagamento_Verificar"),
                                           {QStringLiteral("TOKEN-0")})
                     .toBool());
        servidor_->DefinirRespostaConsulta(apoio::ServidorMoip::RespostaConsultaPadrao());
        const qsizetype pedidosAntes = servidor_->Pedidos().size();

        bool processado = true, verificado = false;
        int itens = -1;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("fora da thread da interface")));
        std::unique_ptr<QThread> outra(QThread::create([&] {
            std::unique_ptr<QObject> c(Componentes::CriarObjeto(QStringLiteral("Vendalo.Checkout")));
            Componentes::DefinirPropriedade(c.get(), QStringLiteral("MOIP_Token"), kToken);
            Componentes::DefinirPropriedade(c.get(), QStringLiteral("MOIP_ChaveAcesso"), kChave);
            Componentes::DefinirPropriedade(c.get(), QStringLiteral("MOIP_OmitirTelaInicial"), true);
            processado = Componentes::ChamarMetodo(c.get(), QStringLiteral("App_ProcessarPagamento")).toBool();
            verificado =
                Componentes::ChamarMetodo(c.get(), QStringLiteral("Pagamento_Verificar"), {QStringLiteral("TOKEN-1")})
                    .toBool();
            itens = Componentes::ObterPropriedade(c.get(), QStringLiteral("Pagamento_TotalItens")).toInt();
        }));
        outra->start();
        // The local servers answer from this thread meanwhile.
        QTRY_VERIFY_WITH_TIMEOUT(outra->isFinished(), 60000);
        QVERIFY(!processado);
        QVERIFY(verificado);
        QCOMPARE(itens, 2);
        QVERIFY(respostas_->Caixas().isEmpty());
        QVERIFY(orvessa::Formulario::FormulariosCarregados().isEmpty());
        QCOMPARE(servidor_->Pedidos().size(), pedidosAntes + 1);
        QCOMPARE(servidor_->Pedidos().last().caminho, QStringLiteral("/ws/alpha/ConsultarInstrucao/TOKEN-1"));
        // This thread's state saw none of it.
        QCOMPARE(Componentes::ObterPropriedade(checkout_.get(), QStringLiteral("Pagamento_TotalItens")).toInt(), 0);
    }

    // One file exported to again and again: each export holds one
    // transaction, what the host keeps there stays, and a transaction
    // without verified data keeps only its id and token.
    void ArquivoReutilizadoNaoMisturaTransacoes()
    {
        const QString arquivo = ambiente_->Caminho(QStringLiteral("reutilizado.ini"));
        auto& u = orvessa::Utilitarios::Instancia();
        u.GravarINI(arquivo, QStringLiteral("Host"), QStringLiteral("Cliente"), QStringLiteral("7"));
        auto salvarDados = [&] {
            Componentes::ChamarMetodo(checkout_.get(), QStringLiteral("Pagamento_SalvarDados"),
                                      {arquivo, QStringLiteral("TOKEN-1")});
        };
        auto conteudo = [&] {
            QFile f(arquivo);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };

        salvarDados();
        QCOMPARE(u.LerINI(arquivo, "Pagamento", "TotalItens"), QStringLiteral("2"));
        QCOMPARE(u.LerINI(arquivo, "Pagamento", "CodigoMoIP2"), QStringLiteral("84701"));

        // The answer with its first payment only.
        QByteArray umPagamento = apoio::ServidorMoip::RespostaConsultaPadrao();
        const qsizetype segundo = umPagamento.indexOf("<Pagamento>", umPagamento.indexOf("</Pagamento>"));
        umPagamento.remove(segundo, umPagamento.indexOf("</Autorizacao>") - segundo);
        servidor_->DefinirRespostaConsulta(umPagamento);
        salvarDados();
        QCOMPARE(u.LerINI(arquivo, "Pagamento", "TotalItens"), QStringLiteral("1"));
        QCOMPARE(u.LerINI(arquivo, "Pagamento", "CodigoMoIP1"), QStringLiteral("84785"));
        QVERIFY2(!conteudo().contains(QStringLiteral("2=")), qPrintable(conteudo()));

        // A transaction the service cannot verify: its export is the id and
        // token this thread holds (an earlier run's, or none), with no payer
        // or payment beside them.
        servidor_->DefinirRespostaConsulta("isto não é XML");
        Componentes::ChamarMetodo(checkout_.get(), QStringLiteral("App_SalvarTransacao"), {arquivo});
        QCOMPARE(u.LerINI(arquivo, "Checkout", "ID"),
                 Componentes::ObterPropriedade(checkout_.get(), QStringLiteral("MOIP_IdRetorno")).toString());
        const QString texto = conteudo();
        QVERIFY2(texto.contains(QStringLiteral("[Checkout]")) && texto.contains(QStringLiteral("Token=")),
                 qPrintable(texto));
        for (const char* secao : {"[Pagador]", "[Endereço de cobranca]", "[Recebedor]", "[Pagamento]"})
            QVERIFY2(!texto.contains(QString::fromUtf8(secao)), qPrintable(texto));
        QCOMPARE(u.LerINI(arquivo, "Host", "Cliente"), QStringLiteral("7"));
    }

    void VerificarLeOsPagamentosPeloNome()
    {
        auto chamar = [this](const char* nome, const QVariantList& argumentos = {}) {
            return Componentes::ChamarMetodo(checkout_.get(), QString::fromLatin1(nome), argumentos);
        };
        auto ler = [this](const char* nome) {
            return Componentes::ObterPropriedade(checkout_.get(), QString::fromLatin1(nome));
        };
        QVERIFY(chamar("Pagamento_Verificar", {QStringLiteral("TOKEN-1")}).toBool());
        QCOMPARE(ler("Pagamento_TotalItens").toInt(), 2);
        QCOMPARE(chamar("Pagamento_Status", {1}).toString(), QStringLiteral("Concluido"));
        QCOMPARE(chamar("Pagamento_StatusID", {2}).toInt(), 1);
        QCOMPARE(chamar("Pagamento_Bandeira", {1}).toString(), QStringLiteral("Visa"));
        QCOMPARE(chamar("Pagamento_TotalPago", {0}).toString(), QString());
        QCOMPARE(chamar("Pagamento_CodigoMoIP", {3}).toString(), QString());
        QCOMPARE(chamar("Pagamento_StatusID", {3}).toInt(), 0);
        QCOMPARE(ler("Pagamento_EnderecoCobranca_Cidade").toString(), QStringLiteral("São Paulo"));
        QCOMPARE(ler("Pagamento_Recebedor_Nome").toString(), QStringLiteral("Loja Exemplo"));

        // A failed query leaves nothing of the last one behind.
        servidor_->DefinirRespostaConsulta("isto não é XML");
        QVERIFY(!chamar("Pagamento_Verificar", {QStringLiteral("TOKEN-1")}).toBool());
        QCOMPARE(ler("Pagamento_TotalItens").toInt(), 0);
        QCOMPARE(ler("Pagamento_Pagador_Nome").toString(), QString());

        // In developer mode the sandbox path is asked.
        servidor_->DefinirRespostaConsulta(apoio::ServidorMoip::RespostaConsultaPadrao());
        Componentes::DefinirPropriedade(checkout_.get(), QStringLiteral("App_ModoDesenvolvedor"), true);
        QVERIFY(chamar("Pagamento_Verificar", {QStringLiteral("TOKEN-2")}).toBool());
        QCOMPARE(servidor_->Pedidos().last().caminho, QStringLiteral("/sandbox/ws/alpha/ConsultarInstrucao/TOKEN-2"));

        // Wrong credentials: the service refuses, the answer is False.
        Componentes::DefinirPropriedade(checkout_.get(), QStringLiteral("MOIP_ChaveAcesso"), QString(kChave).replace(0, 1, u'Z'));
        QVERIFY(!chamar("Pagamento_Verificar", {QStringLiteral("TOKEN-2")}).toBool());
        // No file is touched when the query fails.
        const QString arquivo = ambiente_->Caminho(QStringLiteral("falha.ini"));
        chamar("Pagamento_SalvarDados", {arquivo, QStringLiteral("TOKEN-2")});
        QVERIFY(!QFile::exists(arquivo));
    }
};

QTEST_MAIN(TesteHostPagamento)
#include "tst_host_pagamento.moc"
