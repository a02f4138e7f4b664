// The checkout as a host sees it: created by ProgID or class id through the
// component loader, its members reached late bound by name and DISPID.
#include "Apoio.h"
#include "Respostas.h"

#include "platform/Componentes.h"
#include "platform/ErroExecucao.h"
#include "platform/TipoBiblioteca.h"
#include "suite/Formulario.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QLabel>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

using plataforma::Componentes;

namespace {

const QString Token32 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
const QString Chave40 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
const QString MensagemToken = QStringLiteral("<b>Atenção</b>: Token inválido. Por favor verifique.");
const QString MensagemChave = QStringLiteral("<b>Atenção</b>: Chave de acesso inválida. Por favor verifique.");

constexpr std::int32_t DispidProcessar = 0x6003004B;
constexpr std::int32_t DispidToken = 0x68030046;
constexpr std::int32_t DispidChave = 0x68030045;
constexpr std::int32_t DispidIdRetorno = 0x68030044;

template <typename Funcao>
Funcao Entrada(const char* nome)
{
    QLibrary biblioteca(QStringLiteral(VENDALO_BIBLIOTECA));
    return reinterpret_cast<Funcao>(biblioteca.resolve(nome));
}

bool Registrar()
{
    const auto registrar = Entrada<FuncaoRegistro>(PLATAFORMA_ENTRADA_REGISTRO);
    return registrar && registrar() == 0;
}

std::unique_ptr<QObject> Criar(const QString& progIdOuClsid = QStringLiteral("Vendalo.Checkout"))
{
    return std::unique_ptr<QObject>(Componentes::CriarObjeto(progIdOuClsid));
}

orvessa::Formulario* TelaAberta(const QString& nome)
{
    for (orvessa::Formulario* f : orvessa::Formulario::FormulariosCarregados())
        if (f->Name() == nome && f->isVisible())
            return f;
    return nullptr;
}

// Once the screen shows (or after a generous wait), runs `ver` on it and
// closes every open screen, so a failing check can never leave the modal
// run waiting.
void AoAbrir(const QString& nome, std::function<void(orvessa::Formulario*)> ver)
{
    QTimer::singleShot(0, [nome, ver] {
        (void)QTest::qWaitFor([&] { return TelaAberta(nome) != nullptr; }, 20000);
        ver(TelaAberta(nome));
        const QList<orvessa::Formulario*> abertas = orvessa::Formulario::FormulariosCarregados();
        for (auto it = abertas.crbegin(); it != abertas.crend(); ++it)
            (*it)->close();
    });
}

}  // namespace

class TesteHostCheckout : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::Respostas> respostas_;

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        respostas_ = std::make_unique<apoio::Respostas>();
        respostas_->DefinirPadrao(1);
        QVERIFY(Registrar());
    }

    void cleanup()
    {
        respostas_.reset();
        ambiente_.reset();
    }

    void identidade()
    {
        const auto tipos = Entrada<FuncaoTipoBiblioteca>(PLATAFORMA_ENTRADA_TIPOS);
        QVERIFY(tipos);
        const plataforma::BibliotecaTipo* t = tipos();
        QCOMPARE(QString::fromLatin1(t->libid), QStringLiteral("E4AE1C89-1C11-4798-9F06-52548D966174"));
        QCOMPARE(t->totalClasses, 1);
        const plataforma::ClasseTipo& c = t->classes[0];
        QCOMPARE(QString::fromLatin1(c.clsid), QStringLiteral("1702F85C-180C-4080-9121-6A4C5E2EC1C2"));
        QCOMPARE(QString::fromLatin1(c.iidPadrao), QStringLiteral("3413B975-7FFA-4CA5-89A2-9AB1C198829C"));
        // Every member in the interface's order, the switches and pictures
        // closing it, with its DISPID and kind.
        using T = plataforma::TipoMembro;
        const T metodo = T::Metodo, put = T::PropriedadeSomenteEscrita, get = T::PropriedadeSomenteLeitura,
                indexado = T::PropriedadeIndexada;
        const struct {
            const char* nome;
            std::int32_t dispid;
            T tipo;
        } esperados[] = {
            {"App_ProcessarPagamento", 0x6003004B, metodo}, {"App_SalvarTransacao", 0x6003004C, metodo},
            {"MOIP_ValorUnitario", 0x6803004A, put}, {"MOIP_RazaoPagamento", 0x68030049, put},
            {"App_EmailSuporte", 0x68030048, put}, {"App_DiretorioImagens", 0x68030047, put},
            {"MOIP_Token", 0x68030046, put}, {"MOIP_ChaveAcesso", 0x68030045, put},
            {"MOIP_IdRetorno", 0x68030044, get}, {"MOIP_IdProprio", 0x68030043, put},
            {"MOIP_IdPagador", 0x68030042, put}, {"App_ModoDesenvolvedor", 0x68030041, put},
            {"App_Finalizar", 0x6003004D, metodo}, {"Pagamento_SalvarDados", 0x6003004F, metodo},
            {"Pagamento_Verificar", 0x60030050, metodo}, {"Pagamento_TotalItens", 0x68030040, get},
            {"Pagamento_Data", 0x6803003F, indexado}, {"Pagamento_TotalPago", 0x6803003E, indexado},
            {"Pagamento_TaxaParaPagador", 0x6803003D, indexado}, {"Pagamento_TaxaMoIP", 0x6803003C, indexado},
            {"Pagamento_ValorLiquido", 0x6803003B, indexado}, {"Pagamento_FormaPagamento", 0x6803003A, indexado},
            {"Pagamento_InstituicaoPagamento", 0x68030039, indexado}, {"Pagamento_StatusID", 0x68030038, indexado},
            {"Pagamento_Status", 0x68030037, indexado}, {"Pagamento_TotalParcelas", 0x68030036, indexado},
            {"Pagamento_Cartao", 0x68030035, indexado}, {"Pagamento_Bandeira", 0x68030034, indexado},
            {"Pagamento_CodigoMoIP", 0x68030033, indexado}, {"Pagamento_Pagador_Nome", 0x68030032, get},
            {"Pagamento_Pagador_Email", 0x68030031, get},
            {"Pagamento_EnderecoCobranca_Logradouro", 0x68030030, get},
            {"Pagamento_EnderecoCobranca_Numero", 0x6803002F, get},
            {"Pagamento_EnderecoCobranca_Complemento", 0x6803002E, get},
            {"Pagamento_EnderecoCobranca_Bairro", 0x6803002D, get}, {"Pagamento_EnderecoCobranca_CEP", 0x6803002C, get},
            {"Pagamento_EnderecoCobranca_Cidade", 0x6803002B, get},
            {"Pagamento_EnderecoCobranca_Estado", 0x6803002A, get},
            {"Pagamento_EnderecoCobranca_Pais", 0x68030029, get},
            {"Pagamento_EnderecoCobranca_TelefoneFixo", 0x68030028, get},
            {"Pagamento_Recebedor_Nome", 0x68030027, get}, {"Pagamento_Recebedor_Email", 0x68030026, get},
            {"MOIP_OmitirTelaInicial", 0x68030051, put}, {"MOIP_DesabilitarBoleto", 0x68030054, put},
            {"MOIP_DesabilitarCartaoCredito", 0x68030053, put}, {"MOIP_DesabilitarDebitoConta", 0x68030052, put},
            {"App_Img001", 0x68030057, put}, {"App_Img002", 0x68030056, put}, {"App_Img003", 0x68030055, put},
        };
        QCOMPARE(c.totalMembros, int(std::size(esperados)));
        for (int i = 0; i < c.totalMembros; ++i) {
            QCOMPARE(QString::fromLatin1(c.membros[i].nome), QString::fromLatin1(esperados[i].nome));
            QCOMPARE(c.membros[i].dispid, esperados[i].dispid);
            QCOMPARE(int(c.membros[i].tipo), int(esperados[i].tipo));
        }

        QCOMPARE(Componentes::ClsidDe(QStringLiteral("Vendalo.Checkout")),
                 QStringLiteral("1702F85C-180C-4080-9121-6A4C5E2EC1C2"));
        auto porClasse = Criar(QStringLiteral("{1702F85C-180C-4080-9121-6A4C5E2EC1C2}"));
        QVERIFY(porClasse);
    }

    // Puts are write-only, the id is read-only, and a run before any payment
    // has no id.
    void acessoDosMembros()
    {
        auto checkout = Criar();
        QVERIFY(checkout);
        QCOMPARE(Componentes::ObterPropriedade(checkout.get(), DispidIdRetorno).toString(), QString());
        Componentes::DefinirPropriedade(checkout.get(), DispidToken, Token32);
        Componentes::DefinirPropriedade(checkout.get(), QStringLiteral("MOIP_ValorUnitario"), 12.5);
        try {
            Componentes::ObterPropriedade(checkout.get(), DispidToken);
            QFAIL("a put was read");
        } catch (const plataforma::ErroExecucao& e) {
            QCOMPARE(e.Numero(), 438L);
        }
        try {
            Componentes::DefinirPropriedade(checkout.get(), DispidIdRetorno, QStringLiteral("x"));
            QFAIL("a get was written");
        } catch (const plataforma::ErroExecucao& e) {
            QCOMPARE(e.Numero(), 438L);
        }
    }

    void credenciais_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("token 31") << Token32.left(31) << Chave40 << MensagemToken;
        QTest::newRow("token 33") << Token32 + QLatin1Char('6') << Chave40 << MensagemToken;
        QTest::newRow("chave 39") << Token32 << Chave40.left(39) << MensagemChave;
        QTest::newRow("ambos errados, só o token") << QString() << QString() << MensagemToken;
    }

    void credenciais()
    {
        QFETCH(QString, token);
        QFETCH(QString, chave);
        QFETCH(QString, mensagem);
        auto checkout = Criar();
        Componentes::DefinirPropriedade(checkout.get(), DispidToken, token);
        Componentes::DefinirPropriedade(checkout.get(), DispidChave, chave);
        QCOMPARE(Componentes::ChamarMetodo(checkout.get(), DispidProcessar).toBool(), false);
        QCOMPARE(respostas_->Caixas().size(), 1);
        const orvessa::CaixaExibida caixa = respostas_->Caixas().first();
        QCOMPARE(caixa.texto, mensagem);
        QCOMPARE(caixa.estilo, 16);
        QCOMPARE(caixa.titulo, QStringLiteral("Vendalo"));
        QVERIFY(!TelaAberta(QStringLiteral("Form1")) && !TelaAberta(QStringLiteral("Form2")));
    }

    // Skipping the first screen opens the payer screen at once, for one item
    // at the unit value; closing it ends the payment unpaid.
    void omitirTelaInicial()
    {
        auto checkout = Criar();
        Componentes::DefinirPropriedade(checkout.get(), DispidToken, Token32);
        Componentes::DefinirPropriedade(checkout.get(), DispidChave, Chave40);
        Componentes::DefinirPropriedade(checkout.get(), QStringLiteral("MOIP_OmitirTelaInicial"), true);
        Componentes::DefinirPropriedade(checkout.get(), QStringLiteral("MOIP_ValorUnitario"), 12.5);
        QString legenda, total;
        bool form1Aberto = true;
        AoAbrir(QStringLiteral("Form2"), [&](orvessa::Formulario* tela) {
            if (!tela)
                return;
            form1Aberto = TelaAberta(QStringLiteral("Form1")) != nullptr;
            legenda = tela->windowTitle();
            total = tela->findChild<QLabel*>(QStringLiteral("lblValorTotal"))->text();
        });
        QCOMPARE(Componentes::ChamarMetodo(checkout.get(), DispidProcessar).toBool(), false);
        QVERIFY(!form1Aberto);
        QVERIFY(legenda.contains(QStringLiteral("Pagamento seguro MOIP - Etapa 1 de 2")));
        QCOMPARE(total, QStringLiteral("Valor total: R$ 12,50"));
        QVERIFY(respostas_->Caixas().isEmpty());
    }

    // Two objects on one thread share one state; another thread has its own.
    void estadoPorThread()
    {
        auto a = Criar();
        auto b = Criar();
        Componentes::DefinirPropriedade(a.get(), DispidToken, Token32);
        Componentes::DefinirPropriedade(a.get(), DispidChave, Chave40);
        Componentes::DefinirPropriedade(a.get(), QStringLiteral("MOIP_OmitirTelaInicial"), false);
        bool abriu = false;
        AoAbrir(QStringLiteral("Form1"), [&](orvessa::Formulario* tela) { abriu = tela != nullptr; });
        QCOMPARE(Componentes::ChamarMetodo(b.get(), DispidProcessar).toBool(), false);
        QVERIFY(abriu);
        QVERIFY(respostas_->Caixas().isEmpty());

        // No screen can show on another thread: the call is refused there at
        // once, whatever that thread's own state holds.
        bool resultado = true;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("fora da thread da interface")));
        QThread* outra = QThread::create([&] {
            auto c = Criar();
            resultado = Componentes::ChamarMetodo(c.get(), DispidProcessar).toBool();
            // What this thread sets stays here.
            Componentes::DefinirPropriedade(c.get(), DispidToken, QStringLiteral("curto"));
        });
        outra->start();
        QVERIFY(outra->wait(30000));
        delete outra;
        QVERIFY(!resultado);
        QVERIFY(respostas_->Caixas().isEmpty());

        respostas_->Limpar();
        abriu = false;
        AoAbrir(QStringLiteral("Form1"), [&](orvessa::Formulario* tela) { abriu = tela != nullptr; });
        Componentes::ChamarMetodo(a.get(), DispidProcessar);
        QVERIFY(abriu);
        QVERIFY(respostas_->Caixas().isEmpty());
    }

    // The transaction file gets the two keys even before any payment ran.
    void salvarTransacao()
    {
        auto checkout = Criar();
        const QString arquivo = ambiente_->Caminho(QStringLiteral("transacao.ini"));
        Componentes::ChamarMetodo(checkout.get(), QStringLiteral("App_SalvarTransacao"), {arquivo});
        auto& u = orvessa::Utilitarios::Instancia();
        QVERIFY(QFile::exists(arquivo));
        QCOMPARE(u.LerINI(arquivo, QStringLiteral("Checkout"), QStringLiteral("ID")), QString());
        QCOMPARE(u.LerINI(arquivo, QStringLiteral("Checkout"), QStringLiteral("Token")), QString());
        QFile f(arquivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray conteudo = f.readAll();
        QVERIFY(conteudo.contains("[Checkout]"));
        QVERIFY(conteudo.contains("ID="));
        QVERIFY(conteudo.contains("Token="));
        // A file that cannot be created (its folder is a plain file) loses
        // the transaction: no error reaches the host, but the log names the file.
        const QString impossivel = arquivo + QStringLiteral("/x.ini");
        const QString nome = QRegularExpression::escape(impossivel);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^GravarINI: ") + nome));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("App_SalvarTransacao: .*") + nome + QStringLiteral("$")));
        Componentes::ChamarMetodo(checkout.get(), QStringLiteral("App_SalvarTransacao"), {impossivel});
        QVERIFY(!QFileInfo::exists(impossivel));
        Componentes::ChamarMetodo(checkout.get(), QStringLiteral("App_Finalizar"));
    }
};

QTEST_MAIN(TesteHostCheckout)
#include "tst_host_checkout.moc"
