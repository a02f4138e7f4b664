// The HTTP client against real servers on 127.0.0.1. The environment and the
// application name a proxy that refuses every connection, so each request
// here also shows that loopback traffic never goes through one.
#include "suite/RequisicaoHTTP.h"
#include "suite/Utilitarios.h"

#include <QElapsedTimer>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>

using namespace orvessa;

namespace {

quint16 PortaRecusada()
{
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 porta = s.serverPort();
    s.close();
    return porta;
}

}  // namespace

class TstRequisicaoHTTP : public QObject {
    Q_OBJECT

    QHttpServer servidor_;
    QString base_;
    QByteArray ultimoMetodo_;
    QByteArray ultimoTipo_;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QByteArray proxy = "http://127.0.0.1:" + QByteArray::number(PortaRecusada());
        qputenv("http_proxy", proxy);
        qputenv("HTTP_PROXY", proxy);
        qputenv("https_proxy", proxy);
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        // Qt itself skips the environment's proxy for loopback; an
        // application-wide proxy it would use, so that one is set too.
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), PortaRecusada()));

        servidor_.route("/corpo", [](const QHttpServerRequest& r) {
            const QUrlQuery q = r.query();
            const QByteArray cs = q.queryItemValue(QStringLiteral("cs")).toLatin1();
            const QByteArray corpo = QByteArray::fromHex(q.queryItemValue(QStringLiteral("hex")).toLatin1());
            return QHttpServerResponse(cs.isEmpty() ? QByteArray("text/plain") : "text/plain; charset=" + cs, corpo);
        });
        servidor_.route("/faltando", [] {
            return QHttpServerResponse("text/html; charset=utf-8", QString("<p>não achei</p>").toUtf8(),
                                       QHttpServerResponse::StatusCode::NotFound);
        });
        servidor_.route("/volta", [] {
            QHttpServerResponse r(QHttpServerResponse::StatusCode::Found);
            r.setHeader("Location", "/corpo?hex=6F6B");
            return r;
        });
        servidor_.route("/eco", [this](const QHttpServerRequest& r) {
            ultimoMetodo_ = r.method() == QHttpServerRequest::Method::Post ? "POST" : "GET";
            ultimoTipo_ = r.value("Content-Type");
            const QByteArray dados = ultimoMetodo_ == "POST" ? r.body() : r.url().query(QUrl::FullyEncoded).toLatin1();
            return QHttpServerResponse("text/plain", dados);
        });
        const quint16 porta = servidor_.listen(QHostAddress::LocalHost, 0);
        QVERIFY(porta != 0);
        base_ = QStringLiteral("http://127.0.0.1:%1").arg(porta);
    }

    void respostaDecodificadaPeloCharset_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("texto");
        QTest::newRow("windows-1252") << "windows-1252" << QByteArray("A\xE7\xE3o \x80") << "Ação €";
        QTest::newRow("ANSI") << "ANSI" << QByteArray("A\xE7\xE3o") << "Ação";
        QTest::newRow("entre aspas") << "\"ISO-8859-1\"" << QByteArray("A\xE7\xE3o") << "Ação";
        QTest::newRow("iso-8859-15") << "ISO-8859-15" << QByteArray("\xA4") << "€";
        QTest::newRow("utf-8") << "utf-8" << QString("Ação").toUtf8() << "Ação";
        QTest::newRow("sem charset") << "" << QString("Ação").toUtf8() << "Ação";
    }
    void respostaDecodificadaPeloCharset()
    {
        QFETCH(QString, charset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, texto);
        QUrlQuery q;
        q.addQueryItem(QStringLiteral("cs"), charset);
        q.addQueryItem(QStringLiteral("hex"), QString::fromLatin1(bytes.toHex()));
        RequisicaoHTTP http;
        QVERIFY2(http.ObterURL(base_ + QStringLiteral("/corpo?") + q.toString(QUrl::FullyEncoded), QString()),
                 qPrintable(http.ErroResposta()));
        QCOMPARE(http.StatusResposta(), 200);
        QCOMPARE(http.CorpoResposta(), bytes);
        QCOMPARE(http.TextoResposta(), texto);
        QCOMPARE(http.ErroResposta(), QString());
    }

    void statusDeErroFalhaMasGuardaOCorpo()
    {
        RequisicaoHTTP http;
        QVERIFY(!http.ObterURL(base_ + QStringLiteral("/faltando"), QString()));
        QCOMPARE(http.StatusResposta(), 404);
        QCOMPARE(http.TextoResposta(), QStringLiteral("<p>não achei</p>"));
        QVERIFY(http.ErroResposta().contains(QStringLiteral("404")));
    }

    void redirecionamentoSeguido()
    {
        RequisicaoHTTP http;
        QVERIFY(http.ObterURL(base_ + QStringLiteral("/volta"), QString()));
        QCOMPARE(http.StatusResposta(), 200);
        QCOMPARE(http.TextoResposta(), QStringLiteral("ok"));
    }

    // Escapes the caller made stay, what a URL cannot carry is encoded.
    void enderecoCodificadoComTolerancia()
    {
        RequisicaoHTTP http;
        QVERIFY(http.ObterURL(base_ + QStringLiteral("/eco?text=a%26b+c&q=é ü&pct=50%&sl=pt"), QString()));
        QCOMPARE(ultimoMetodo_, QByteArray("GET"));
        QCOMPARE(http.TextoResposta(), QStringLiteral("text=a%26b+c&q=%C3%A9%20%C3%BC&pct=50%25&sl=pt"));
    }

    void formularioNaOrdemEDecodificado()
    {
        RequisicaoHTTP http;
        http.AdicionarParametro(QStringLiteral("client"), QStringLiteral("t"));
        http.AdicionarParametro(QStringLiteral("text"), QStringLiteral("a%26b+c"));
        http.AdicionarParametro(QStringLiteral("sl"), QStringLiteral("pt"));
        http.AdicionarParametro(QStringLiteral("nome"), QStringLiteral("José & Maria=sim"));
        http.AdicionarParametro(QStringLiteral("taxa"), QStringLiteral("100%"));
        http.AdicionarParametro(QStringLiteral("rnd"), QStringLiteral("0,5"));
        QVERIFY(http.EnviarFormulario(base_ + QStringLiteral("/eco"), QString(), 0));
        QCOMPARE(ultimoMetodo_, QByteArray("POST"));
        QCOMPARE(ultimoTipo_, QByteArray("application/x-www-form-urlencoded"));
        const QString corpo = http.TextoResposta();
        QCOMPARE(corpo, QStringLiteral("client=t&text=a%26b+c&sl=pt&nome=Jos%C3%A9+%26+Maria%3Dsim&taxa=100%25&rnd=0%2C5"));

        QString comEspacos = corpo;
        comEspacos.replace(u'+', QLatin1String("%20"));
        const auto campos = QUrlQuery(comEspacos).queryItems(QUrl::FullyDecoded);
        const QList<QPair<QString, QString>> esperado{{"client", "t"},       {"text", "a&b c"},
                                                      {"sl", "pt"},          {"nome", "José & Maria=sim"},
                                                      {"taxa", "100%"},      {"rnd", "0,5"}};
        QCOMPARE(campos, esperado);

        // Cleared, the next form carries only what is added afterwards.
        http.LimparRequisicao();
        QCOMPARE(http.TextoResposta(), QString());
        QCOMPARE(http.StatusResposta(), 0);
        http.AdicionarParametro(QStringLiteral("x"), QStringLiteral("1"));
        QVERIFY(http.EnviarFormulario(base_ + QStringLiteral("/eco"), QString(), 0));
        QCOMPARE(http.TextoResposta(), QStringLiteral("x=1"));
    }

    void servidorMudoTerminaPeloTempoLimite()
    {
        QTcpServer mudo;
        QList<QTcpSocket*> conexoes;
        QObject::connect(&mudo, &QTcpServer::newConnection, [&] {
            while (QTcpSocket* s = mudo.nextPendingConnection())
                conexoes << s;  // accepted, never answered
        });
        QVERIFY(mudo.listen(QHostAddress::LocalHost, 0));
        RequisicaoHTTP http;
        http.TempoLimite = 1;
        QElapsedTimer relogio;
        relogio.start();
        QVERIFY(!http.ObterURL(QStringLiteral("http://127.0.0.1:%1/x").arg(mudo.serverPort()), QString()));
        QVERIFY(!conexoes.isEmpty());
        QVERIFY2(http.ErroResposta().contains(QStringLiteral("Tempo limite")), qPrintable(http.ErroResposta()));
        // Ended by the 1 s limit, not by the 30 s one of an unset limit.
        QVERIFY(relogio.elapsed() >= 900);
        QVERIFY(relogio.elapsed() < 20000);
        QCOMPARE(http.StatusResposta(), 0);
    }

    void conexaoRecusada()
    {
        const quint16 porta = PortaRecusada();
        QVERIFY(porta != 0);
        RequisicaoHTTP http;
        http.TempoLimite = 10;
        QVERIFY(!http.ObterURL(QStringLiteral("http://127.0.0.1:%1/").arg(porta), QString()));
        QCOMPARE(http.StatusResposta(), 0);
        QVERIFY(!http.ErroResposta().isEmpty());
        QVERIFY(!http.ErroResposta().contains(QStringLiteral("Tempo limite")));
    }

    void enderecosRecusados_data()
    {
        QTest::addColumn<QString>("endereco");
        QTest::newRow("vazio") << "";
        QTest::newRow("arquivo local") << "file:///etc/hostname";
        QTest::newRow("ftp") << "ftp://127.0.0.1/x";
        // Plain HTTP off loopback: tst_transferencia, in a network namespace.
    }
    void enderecosRecusados()
    {
        QFETCH(QString, endereco);
        RequisicaoHTTP http;
        QVERIFY(!http.ObterURL(endereco, QString()));
        QVERIFY(!http.ErroResposta().isEmpty());
        QCOMPARE(http.CorpoResposta(), QByteArray());
    }

    void semEsquemaUsaHttp()
    {
        RequisicaoHTTP http;
        QString endereco = base_ + QStringLiteral("/corpo?hex=6F6B");
        endereco.remove(QStringLiteral("http://"));
        QVERIFY(http.ObterURL(endereco, QString()));
        QCOMPARE(http.TextoResposta(), QStringLiteral("ok"));
    }

    void conexaoDisponivelSegueOVerificador()
    {
        bool conectado = false;
        Utilitarios::Instancia().DefinirVerificadorConexao([&] { return conectado; });
        RequisicaoHTTP http;
        QVERIFY(!http.ConexaoDisponivel());
        conectado = true;
        QVERIFY(http.ConexaoDisponivel());
        Utilitarios::Instancia().DefinirVerificadorConexao(nullptr);
    }
};

QTEST_MAIN(TstRequisicaoHTTP)
#include "tst_requisicaohttp.moc"
