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
        QCOMPARE(c.totalMembros, 49);
        // The switches and pictures close the interface's table.
        QCOMPARE(QString::fromLatin1(c.membros[41].nome), QStringLiteral("Pagamento_Recebedor_Email"));
        QCOMPARE(c.membros[41].dispid, 0x68030026);
        QCOMPARE(QString::fromLatin1(c.membros[42].nome), QStringLiteral("MOIP_OmitirTelaInicial"));
        QCOMPARE(c.membros[48].dispid, 0x68030055);

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
        // No member raises to the host, whatever it is given.
        Componentes::ChamarMetodo(checkout.get(), QStringLiteral("App_SalvarTransacao"),
                                  {ambiente_->Caminho(QStringLiteral("sem/pasta/x.ini"))});
        Componentes::ChamarMetodo(checkout.get(), QStringLiteral("App_Finalizar"));
    }
};

QTEST_MAIN(TesteHostCheckout)
#include "tst_host_checkout.moc"
