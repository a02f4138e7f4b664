// The one request primitive against the tests' HTTP server on 127.0.0.1:
// redirect chains, the address rule at every hop, and each way a transfer
// ends.
#include "RedeIsolada.h"
#include "ServidorHttpTeste.h"

#include "suite/RequisicaoHTTP.h"
#include "suite/Transferencia.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using apoio::RespostaHttpTeste;
using apoio::ServidorHttpTeste;
using namespace orvessa;

Q_DECLARE_METATYPE(orvessa::FimTransferencia)

namespace {

RespostaHttpTeste Corpo(const QByteArray& corpo)
{
    RespostaHttpTeste r;
    r.corpo = corpo;
    return r;
}

PedidoTransferencia Pedido(const QString& endereco, const QByteArray& metodo = "GET", const QByteArray& corpo = {})
{
    PedidoTransferencia p;
    p.endereco = QUrl(endereco);
    p.metodo = metodo;
    p.corpo = corpo;
    if (metodo == "POST")
        p.cabecalhos.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/x-www-form-urlencoded")});
    return p;
}

// Keeps what a destination is given.
class Memoria : public DestinoTransferencia {
public:
    QByteArray dados;
    bool Gravar(const char* d, qint64 n, QString&) override
    {
        dados.append(d, n);
        return true;
    }
};

}  // namespace

class TstTransferencia : public QObject {
    Q_OBJECT

private slots:
    // Chains of 1 to 3 hops, relative and absolute, across two ports: the
    // last answer's body, the final address, each hop asked once.
    void cadeias_data()
    {
        QTest::addColumn<int>("saltos");
        QTest::addColumn<bool>("outraPorta");
        QTest::addColumn<int>("status");
        QTest::newRow("1 salto") << 1 << false << 302;
        QTest::newRow("2 saltos") << 2 << false << 302;
        QTest::newRow("3 saltos, 301") << 3 << false << 301;
        QTest::newRow("2 saltos por outra porta") << 2 << true << 302;
        QTest::newRow("3 saltos por outra porta, 307") << 3 << true << 307;
    }
    void cadeias()
    {
        QFETCH(int, saltos);
        QFETCH(bool, outraPorta);
        QFETCH(int, status);
        ServidorHttpTeste a, b;
        const QByteArray conteudo = QByteArray("espelho\n").repeated(10000);
        // latest -> mirror (maybe on b) -> edge ... -> file
        QStringList caminhos;
        for (int i = 0; i < saltos; ++i)
            caminhos << QStringLiteral("/passo%1").arg(i);
        caminhos << QStringLiteral("/arquivo");
        ServidorHttpTeste& ultimo = outraPorta ? b : a;
        a.Definir(caminhos[0], RespostaHttpTeste::Redirecionar(
                                   (outraPorta ? b.Endereco(caminhos[1]) : caminhos[1]).toUtf8(), status));
        ultimo.DefinirCadeia(caminhos.mid(1), Corpo(conteudo), status);

        Memoria arquivo;
        const ResultadoTransferencia emArquivo = Transferir(Pedido(a.Endereco(caminhos[0])), {}, &arquivo);
        QVERIFY2(emArquivo.Sucesso(), qPrintable(emArquivo.erro));
        QCOMPARE(arquivo.dados, conteudo);
        QCOMPARE(emArquivo.redirecionamentos, saltos);
        QCOMPARE(emArquivo.enderecoFinal.toString(), ultimo.Endereco(QStringLiteral("/arquivo")));

        const ResultadoTransferencia emMemoria = Transferir(Pedido(a.Endereco(caminhos[0])), {});
        QVERIFY2(emMemoria.Sucesso(), qPrintable(emMemoria.erro));
        QCOMPARE(emMemoria.corpo, conteudo);
        QCOMPARE(ultimo.PedidosCom("GET", QStringLiteral("/arquivo")), 2);
        QCOMPARE(a.PedidosCom("GET", caminhos[0]), 2);
    }

    // 303 turns a POST into a GET without its body; 307 repeats it whole.
    // Without redirects allowed the 3xx is the answer.
    void metodoNoRedirecionamento()
    {
        ServidorHttpTeste s;
        s.Definir(QStringLiteral("/303"), RespostaHttpTeste::Redirecionar("/fim", 303));
        s.Definir(QStringLiteral("/307"), RespostaHttpTeste::Redirecionar("/fim", 307));
        s.Definir(QStringLiteral("/fim"), [](const apoio::PedidoHttp& p) { return Corpo(p.metodo + ':' + p.corpo); });

        QCOMPARE(Transferir(Pedido(s.Endereco(QStringLiteral("/303")), "POST", "a=1"), {}).corpo, QByteArray("GET:"));
        QCOMPARE(Transferir(Pedido(s.Endereco(QStringLiteral("/307")), "POST", "a=1"), {}).corpo, QByteArray("POST:a=1"));

        LimitesTransferencia semSeguir;
        semSeguir.redirecionamentos = 0;
        const ResultadoTransferencia r = Transferir(Pedido(s.Endereco(QStringLiteral("/303"))), semSeguir);
        QVERIFY(r.Concluida());
        QCOMPARE(r.status, 303);
        QCOMPARE(r.Cabecalho("location"), QByteArray("/fim"));
        QCOMPARE(s.PedidosCom("GET", QStringLiteral("/fim")), 1);
    }

    // Every way a transfer ends short of a whole answer, each with a reason.
    void fins_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<orvessa::FimTransferencia>("fim");
        QTest::newRow("prazo") << "prazo" << FimTransferencia::TempoEsgotado;
        QTest::newRow("parado depois do cabeçalho") << "estagnada" << FimTransferencia::Estagnada;
        QTest::newRow("parar") << "parar" << FimTransferencia::Interrompida;
        QTest::newRow("corpo acima do limite") << "grande" << FimTransferencia::RespostaGrande;
        QTest::newRow("tamanho anunciado acima do limite") << "anunciado" << FimTransferencia::RespostaGrande;
        QTest::newRow("conexão cortada") << "cortada" << FimTransferencia::FalhaRede;
        QTest::newRow("conexão recusada") << "recusada" << FimTransferencia::FalhaRede;
        QTest::newRow("redirecionamento em laço") << "laco" << FimTransferencia::FalhaRede;
        QTest::newRow("redirecionamento para ftp") << "ftp" << FimTransferencia::EnderecoRecusado;
    }
    void fins()
    {
        QFETCH(QString, caso);
        QFETCH(orvessa::FimTransferencia, fim);
        ServidorHttpTeste s;
        RespostaHttpTeste parar;
        parar.modo = RespostaHttpTeste::Modo::Parar;
        s.Definir(QStringLiteral("/prazo"), parar);
        s.Definir(QStringLiteral("/parar"), parar);
        RespostaHttpTeste estagnada = Corpo("comeco");
        estagnada.tamanhoAnunciado = 100;
        estagnada.modo = RespostaHttpTeste::Modo::PararAposCabecalho;
        s.Definir(QStringLiteral("/estagnada"), estagnada);
        RespostaHttpTeste grande = Corpo(QByteArray(2000, 'g'));
        grande.tamanhoAnunciado = -2;
        s.Definir(QStringLiteral("/grande"), grande);
        s.Definir(QStringLiteral("/anunciado"), Corpo(QByteArray(2000, 'g')));
        RespostaHttpTeste cortada = Corpo(QByteArray(500, 'c'));
        cortada.tamanhoAnunciado = 1000;
        cortada.fecharDepois = true;
        s.Definir(QStringLiteral("/cortada"), cortada);
        s.Definir(QStringLiteral("/laco"), RespostaHttpTeste::Redirecionar("/laco"));
        s.Definir(QStringLiteral("/ftp"), RespostaHttpTeste::Redirecionar("ftp://127.0.0.1/x"));

        QString endereco = s.Endereco(u'/' + caso);
        if (caso == QLatin1String("recusada")) {
            ServidorHttpTeste fechado;
            endereco = fechado.Endereco(QStringLiteral("/"));
        }
        LimitesTransferencia limites;
        limites.prazoMs = caso == QLatin1String("prazo") ? 300 : 10000;
        limites.estagnacaoMs = 300;
        limites.tamanhoMaximo = 1000;
        QElapsedTimer relogio;
        relogio.start();
        if (caso == QLatin1String("parar"))
            limites.parar = [&] { return relogio.elapsed() > 100; };
        else
            limites.estagnacaoMs = caso == QLatin1String("estagnada") ? 300 : 0;

        const ResultadoTransferencia r = Transferir(Pedido(endereco), limites);
        QCOMPARE(r.fim, fim);
        QVERIFY(!r.erro.isEmpty());
        QVERIFY2(relogio.elapsed() < 5000, qPrintable(QString::number(relogio.elapsed())));
        if (caso == QLatin1String("laco"))
            QCOMPARE(s.PedidosCom("GET", QStringLiteral("/laco")), 11);
    }

    // A 400 MB answer: the transfer stops at the cap, long before the server
    // could send what it announced; with a destination the body streams.
    void respostaEnorme()
    {
        ServidorHttpTeste s;
        RespostaHttpTeste enorme;
        enorme.tamanhoAnunciado = -2;
        enorme.bloco = 64 * 1024;
        enorme.repetirBlocos = 400 * 16;
        s.Definir(QStringLiteral("/enorme"), enorme);
        const ResultadoTransferencia r = Transferir(Pedido(s.Endereco(QStringLiteral("/enorme"))), {});
        QCOMPARE(r.fim, FimTransferencia::RespostaGrande);
        QVERIFY(r.corpo.isEmpty() || r.corpo.size() <= kLimiteRespostaTexto);
        QVERIFY2(s.BytesEnviados() < 64LL * 1024 * 1024, qPrintable(QString::number(s.BytesEnviados())));
    }

    // With a destination, an error status is not the file: nothing is
    // written and the status is reported.
    void destinoSoRecebeSucesso()
    {
        ServidorHttpTeste s;
        RespostaHttpTeste erro = Corpo("pagina de erro");
        erro.status = 500;
        erro.razao = "Internal Server Error";
        s.Definir(QStringLiteral("/erro"), erro);
        Memoria arquivo;
        const ResultadoTransferencia r = Transferir(Pedido(s.Endereco(QStringLiteral("/erro"))), {}, &arquivo);
        QVERIFY(r.Concluida());
        QCOMPARE(r.status, 500);
        QVERIFY(arquivo.dados.isEmpty());
    }

    // Plain HTTP off loopback is refused, as the first address and at any
    // hop of a chain begun on loopback, and the other address hears nothing.
    void foraDoLoopback()
    {
        APOIO_EM_REDE_ISOLADA();
        ServidorHttpTeste externo(apoio::EnderecoExterno());
        QVERIFY(externo.Ouvindo());
        externo.Definir(QStringLiteral("/x"), Corpo("de fora"));
        ServidorHttpTeste local;
        local.DefinirCadeia({QStringLiteral("/a"), QStringLiteral("/b")},
                            RespostaHttpTeste::Redirecionar(externo.Endereco(QStringLiteral("/x")).toUtf8()));

        const ResultadoTransferencia direto = Transferir(Pedido(externo.Endereco(QStringLiteral("/x"))), {});
        QCOMPARE(direto.fim, FimTransferencia::EnderecoRecusado);
        Memoria arquivo;
        const ResultadoTransferencia cadeia = Transferir(Pedido(local.Endereco(QStringLiteral("/a"))), {}, &arquivo);
        QCOMPARE(cadeia.fim, FimTransferencia::EnderecoRecusado);
        QCOMPARE(cadeia.enderecoFinal.toString(), externo.Endereco(QStringLiteral("/x")));
        QVERIFY(arquivo.dados.isEmpty());

        RequisicaoHTTP http;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Requisição a .*192.0.2.1.* recusada")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Requisição a .*192.0.2.1.* recusada")));
        QVERIFY(!http.ObterURL(externo.Endereco(QStringLiteral("/x"))));
        QVERIFY(!http.ObterURL(local.Endereco(QStringLiteral("/a"))));
        QVERIFY2(http.ErroResposta().contains(QLatin1String("Somente HTTPS")), qPrintable(http.ErroResposta()));
        QCOMPARE(http.TextoResposta(), QString());

        QCOMPARE(local.PedidosCom("GET", QStringLiteral("/b")), 2);
        QCOMPARE(externo.ConexoesAceitas(), 0);
        QVERIFY(externo.Pedidos().isEmpty());
    }

    // The window's events keep flowing while a request waits.
    void eventosDuranteAEspera()
    {
        ServidorHttpTeste s;
        RespostaHttpTeste lenta = Corpo("ok");
        lenta.atrasoMs = 500;
        s.Definir(QStringLiteral("/lenta"), lenta);
        int pulsos = 0;
        QTimer pulso;
        connect(&pulso, &QTimer::timeout, [&] { ++pulsos; });
        pulso.start(20);
        QVERIFY(Transferir(Pedido(s.Endereco(QStringLiteral("/lenta"))), {}).Sucesso());
        QVERIFY2(pulsos >= 10, qPrintable(QString::number(pulsos)));
    }
};

QTEST_MAIN(TstTransferencia)
#include "tst_transferencia.moc"
