// One text through the translation request, against a real endpoint on
// 127.0.0.1 and a real cache file.
#include "Apoio.h"
#include "RedeIsolada.h"
#include "ServidorHttpTeste.h"
#include "ServidorTraducao.h"

#include "app/Configuracao.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/nucleo/Traducao.h"
#include "platform/ErroExecucao.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

using namespace qeltrano;

namespace {

const QStringList kChaves = {QStringLiteral("client"), QStringLiteral("text"), QStringLiteral("sl"),
                             QStringLiteral("tl"),     QStringLiteral("pc"),   QStringLiteral("oc"),
                             QStringLiteral("rnd")};

// The nonce: a whole number written in decimal, 0..99999.
bool NonceValido(const QString& valor)
{
    bool ok = false;
    const int numero = valor.toInt(&ok);
    return ok && valor == QString::number(numero) && numero >= 0 && numero <= 99999;
}

QByteArray Resposta(const QByteArray& segmento)
{
    return "[[[\"" + segmento + "\",\"original\",null,null,1]],null,\"en\"]";
}

}  // namespace

class TesteTraducao : public QObject {
    Q_OBJECT

    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::ServidorTraducao> servidor_;
    int arquivo_ = 0;

    CacheTraducao* Cache()
    {
        CacheTraducao* cache = CacheTraducao::Conexao();
        if (!cache)
            qFatal("the test cache did not open");
        return cache;
    }

private slots:
    void initTestCase()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
    }

    void init()
    {
        // A fresh cache file for every test.
        CacheTraducao::Liberar();
        CacheTraducao::DefinirCaminho(ambiente_->Caminho(QStringLiteral("cache-%1.sqlite").arg(++arquivo_)));
        servidor_ = std::make_unique<apoio::ServidorTraducao>();
        QVERIFY(servidor_->Ouvindo());
        Config().HostTraducao = servidor_->Endereco();
    }

    void cleanup()
    {
        servidor_.reset();
        CacheTraducao::Liberar();
        Config().TempoLimiteTraducao = Configuracao().TempoLimiteTraducao;
    }

    void cleanupTestCase() { CacheTraducao::Liberar(); }

    void codificacao_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("letras e dígitos") << "Abc09xyz" << "Abc09xyz";
        QTest::newRow("branco") << "a b" << "a+b";
        QTest::newRow("e comercial") << "a&b c" << "a%26b+c";
        QTest::newRow("quebra de linha") << "um\ndois" << "um%0Adois";
        QTest::newRow("tabulação e CR") << "\t\r" << "%09%0D";
        QTest::newRow("controle") << QStringLiteral("\x01") << "%01";
        QTest::newRow("pontuação abaixo de 0") << "!\"#$%'()*+,-./" << "%21%22%23%24%25%27%28%29%2A%2B%2C%2D%2E%2F";
        QTest::newRow("de 0 para cima fica") << ":;<=>?@[\\]^_`{|}~" << ":;<=>?@[\\]^_`{|}~";
        QTest::newRow("acentos ficam") << "é à ção" << "é+à+ção";
        QTest::newRow("vazio") << "" << "";
    }

    void codificacao()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        QCOMPARE(CodificarTextoTraducao(texto), esperado);
    }

    void extrairEntre_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("simples") << "xx<a>meio</a>yy" << "<a>" << "</a>" << "meio";
        QTest::newRow("primeira ocorrência de cada") << "[1]a[2]b[1]" << "[" << "]" << "1";
        QTest::newRow("fim procurado só depois do início") << "fim INI meio fim" << "ini" << "FIM" << " meio ";
        QTest::newRow("sem início") << "abc" << "x" << "c" << "";
        QTest::newRow("sem fim") << "abc" << "a" << "x" << "";
        QTest::newRow("fim só antes do início") << "b..a" << "a" << "b" << "";
        QTest::newRow("marcas juntas") << "<>" << "<" << ">" << "";
        QTest::newRow("caixa ignorada em acentos") << "ÉaÁ" << "é" << "á" << "a";
        QTest::newRow("resposta do endpoint")
            << R"([[["Olá","Hello",null,null,1]],null,"en"])" << "[[[\"" << "\",\"" << "Olá";
    }

    void extrairEntre()
    {
        QFETCH(QString, texto);
        QFETCH(QString, inicio);
        QFETCH(QString, fim);
        QFETCH(QString, esperado);
        QCOMPARE(ExtrairEntre(texto, inicio, fim), esperado);
    }

    // What arrives at the endpoint: the raw query on the wire and its decoding.
    void consulta_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QByteArray>("naRede");
        QTest::addColumn<QString>("decodificado");
        QTest::newRow("texto simples") << "Hello world" << QByteArray("Hello+world") << "Hello world";
        QTest::newRow("e comercial e branco") << "a&b c" << QByteArray("a%26b+c") << "a&b c";
        QTest::newRow("acento em UTF-8") << "é" << QByteArray("%C3%A9") << "é";
        QTest::newRow("quebra de linha") << "um\ndois" << QByteArray("um%0Adois") << "um\ndois";
        QTest::newRow("por cento e mais") << "50% + 1" << QByteArray("50%25+%2B+1") << "50% + 1";
        QTest::newRow("brancos nas pontas") << "  meio  " << QByteArray("meio") << "meio";
    }

    void consulta()
    {
        QFETCH(QString, texto);
        QFETCH(QByteArray, naRede);
        QFETCH(QString, decodificado);

        // The answer names what the endpoint decoded, without escapes to undo.
        servidor_->DefinirTradutor([](const QString& recebido, const QString& origem, const QString& destino) {
            return QStringLiteral("%1 %2>%3").arg(recebido.toUtf8().toHex(), origem, destino);
        });
        QCOMPARE(TraduzirTexto(texto, QStringLiteral("en"), QStringLiteral("zh-CN"), false),
                 QStringLiteral("%1 en>zh-CN").arg(decodificado.toUtf8().toHex()));

        QCOMPARE(servidor_->Requisicoes().size(), 1);
        const apoio::RequisicaoRecebida& r = servidor_->Requisicoes().first();
        QCOMPARE(r.metodo, QStringLiteral("GET"));
        QCOMPARE(r.caminho, QStringLiteral("/translate_a/t"));
        QCOMPARE(r.Chaves(), kChaves);
        const QByteArray prefixo = "client=t&text=" + naRede + "&sl=en&tl=zh-CN&pc=0&oc=2&rnd=";
        QVERIFY2(r.consulta.startsWith(prefixo), r.consulta.constData());
        QCOMPARE(r.Valor(QStringLiteral("text")), decodificado);
        QVERIFY2(NonceValido(r.Valor(QStringLiteral("rnd"))), qPrintable(r.Valor(QStringLiteral("rnd"))));
    }

    void nonceSempreNaFaixa()
    {
        QSet<QString> vistos;
        for (int i = 0; i < 20; ++i)
            TraduzirTexto(QStringLiteral("n%1").arg(i), QStringLiteral("auto"), QStringLiteral("pt"), false);
        QCOMPARE(servidor_->Requisicoes().size(), 20);
        for (const auto& r : servidor_->Requisicoes()) {
            const QString rnd = r.Valor(QStringLiteral("rnd"));
            QVERIFY2(NonceValido(rnd), qPrintable(rnd));
            vistos.insert(rnd);
        }
        QVERIFY(vistos.size() > 1);  // drawn afresh, not a constant
    }

    void postQuandoGetFalha()
    {
        servidor_->DefinirModo(apoio::ServidorTraducao::Modo::FalharGet);
        servidor_->DefinirTraducoes({{QStringLiteral("a&b é\n"), QStringLiteral("Traduzido")}});
        QCOMPARE(TraduzirTexto(QStringLiteral(" a&b é\n "), QStringLiteral("auto"), QStringLiteral("pt"), false),
                 QStringLiteral("Traduzido"));

        const auto& lista = servidor_->Requisicoes();
        QCOMPARE(lista.size(), 2);
        QCOMPARE(lista[0].metodo, QStringLiteral("GET"));
        const apoio::RequisicaoRecebida& post = lista[1];
        QCOMPARE(post.metodo, QStringLiteral("POST"));
        QCOMPARE(post.caminho, QStringLiteral("/translate_a/t"));
        QVERIFY(post.consulta.isEmpty());
        QVERIFY(post.itensConsulta.isEmpty());
        QCOMPARE(post.Chaves(), kChaves);
        // The same fields as the address carried, in the same order.
        for (int i = 0; i < kChaves.size() - 1; ++i)
            QCOMPARE(post.camposFormulario[i], lista[0].itensConsulta[i]);
        QCOMPARE(post.Valor(QStringLiteral("text")), QStringLiteral("a&b é\n"));
        QVERIFY2(NonceValido(post.Valor(QStringLiteral("rnd"))), qPrintable(post.Valor(QStringLiteral("rnd"))));
        // The answer of the fallback is cached like any other.
        QCOMPARE(Cache()->Buscar(QStringLiteral("a&b é\n"), QStringLiteral("auto"), QStringLiteral("pt")),
                 std::optional<QString>(QStringLiteral("Traduzido")));
    }

    void ambasFalhamDaoTextoAparadoSemCache()
    {
        servidor_->DefinirModo(apoio::ServidorTraducao::Modo::FalharTudo);
        QCOMPARE(TraduzirTexto(QStringLiteral("  Bom dia  "), QStringLiteral("pt"), QStringLiteral("en"), false),
                 QStringLiteral("Bom dia"));
        QCOMPARE(servidor_->Requisicoes().size(), 2);
        QCOMPARE(servidor_->Requisicoes()[1].metodo, QStringLiteral("POST"));
        QCOMPARE(Cache()->Buscar(QStringLiteral("Bom dia"), QStringLiteral("pt"), QStringLiteral("en")),
                 std::nullopt);
    }

    void enderecoSemServidorDaTextoAparado()
    {
        const QString endereco = servidor_->Endereco();
        servidor_.reset();  // the port is closed now: the connection is refused
        Config().HostTraducao = endereco;
        QCOMPARE(TraduzirTexto(QStringLiteral(" x "), QStringLiteral("en"), QStringLiteral("pt"), false),
                 QStringLiteral("x"));
        QCOMPARE(Cache()->Buscar(QStringLiteral("x"), QStringLiteral("en"), QStringLiteral("pt")), std::nullopt);
    }

    void respostaSemTraducao_data()
    {
        QTest::addColumn<QByteArray>("corpo");
        QTest::newRow("vazia") << QByteArray();
        QTest::newRow("lixo") << QByteArray("<html><body>Too many requests</body></html>");
        QTest::newRow("colchetes sem aspas") << QByteArray("[[[null,\"x\",\"y\"]]]");
        QTest::newRow("dois colchetes") << QByteArray("[[\"x\",\"y\"]]");
        QTest::newRow("sem o fim do segmento") << QByteArray("[[[\"metade");
        QTest::newRow("segmento em branco") << Resposta("   ");
    }

    void respostaSemTraducao()
    {
        QFETCH(QByteArray, corpo);
        servidor_->DefinirCorpo(corpo);
        QCOMPARE(TraduzirTexto(QStringLiteral("  Olá mundo "), QStringLiteral("pt"), QStringLiteral("en"), false),
                 QStringLiteral("Olá mundo"));
        QCOMPARE(servidor_->Requisicoes().size(), 1);  // a 200 answer needs no fallback
    }

    void desescape_data()
    {
        QTest::addColumn<QByteArray>("segmento");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("aspas") << QByteArray(R"(Diga \"oi\")") << R"(Diga "oi")";
        QTest::newRow("x3c e x3e") << QByteArray(R"(\x3ci\x3eitálico\x3c/i\x3e)") << "<i>itálico</i>";
        QTest::newRow("u003c e u003e") << QByteArray(R"(\u003cb\u003enegrito\u003c/b\u003e)") << "<b>negrito</b>";
        // The longer escapes go first, so none is cut to ">" plus a letter.
        QTest::newRow("u003c antes de u003") << QByteArray(R"(a\u003cb)") << "a<b";
        QTest::newRow("u003e antes de u003") << QByteArray(R"(a\u003eb)") << "a>b";
        QTest::newRow("aspas e marca juntas") << QByteArray(R"(\"\u003e\")") << R"(">")";
        QTest::newRow("só o primeiro segmento, sem aparar")
            << QByteArray("Primeira. \",\"First. \",null,null,1],[\"Segunda.") << "Primeira. ";
    }

    void desescape()
    {
        QFETCH(QByteArray, segmento);
        QFETCH(QString, esperado);
        servidor_->DefinirCorpo(Resposta(segmento));
        QCOMPARE(TraduzirTexto(QStringLiteral("qualquer"), QStringLiteral("en"), QStringLiteral("pt"), false),
                 esperado);
    }

    void marcasEAspasIdaEVolta()
    {
        // The endpoint escapes quotes and angle brackets; they come back whole.
        servidor_->DefinirTraducoes({{QStringLiteral("<i>\"Hi\"</i>"), QStringLiteral("<i>\"Oi\"</i>")}});
        QCOMPARE(TraduzirTexto(QStringLiteral("<i>\"Hi\"</i>"), QStringLiteral("en"), QStringLiteral("pt"), false),
                 QStringLiteral("<i>\"Oi\"</i>"));
        QCOMPARE(servidor_->Requisicoes().first().Valor(QStringLiteral("text")), QStringLiteral("<i>\"Hi\"</i>"));
    }

    void textoDeBrancos()
    {
        servidor_->DefinirTradutor([](const QString&, const QString&, const QString&) { return QString(); });
        QCOMPARE(TraduzirTexto(QStringLiteral("   "), QStringLiteral("en"), QStringLiteral("pt"), false), QString());
        QCOMPARE(servidor_->Requisicoes().size(), 1);
        // Sent trimmed to nothing; a text that keeps its blanks goes as "+".
        QVERIFY(servidor_->Requisicoes().first().consulta.startsWith("client=t&text=&sl=en"));
        QCOMPARE(CodificarTextoTraducao(QStringLiteral("   ")), QStringLiteral("+++"));
    }

    void cacheComOpcaoLigadaDispensaARede()
    {
        Cache()->Gravar(QStringLiteral("Good morning"), QStringLiteral("Bom dia"), QStringLiteral("en"),
                        QStringLiteral("pt"));
        QCOMPARE(TraduzirTexto(QStringLiteral("  Good morning "), QStringLiteral("en"), QStringLiteral("pt"), true),
                 QStringLiteral("Bom dia"));
        QVERIFY(servidor_->Requisicoes().isEmpty());

        // Another pair of languages is another row: a miss asks the web and
        // stores the answer, so the next call needs no request.
        QCOMPARE(TraduzirTexto(QStringLiteral("Good morning"), QStringLiteral("en"), QStringLiteral("es"), true),
                 QStringLiteral("[es] Good morning"));
        QCOMPARE(servidor_->Requisicoes().size(), 1);
        QCOMPARE(TraduzirTexto(QStringLiteral("Good morning"), QStringLiteral("en"), QStringLiteral("es"), true),
                 QStringLiteral("[es] Good morning"));
        QCOMPARE(servidor_->Requisicoes().size(), 1);
    }

    void cacheComOpcaoDesligadaPedeEGrava()
    {
        Cache()->Gravar(QStringLiteral("Good morning"), QStringLiteral("Bom dia"), QStringLiteral("en"),
                        QStringLiteral("pt"));
        servidor_->DefinirTraducoes({{QStringLiteral("Good morning"), QStringLiteral("  Bom dia!  ")}});
        // The answer is returned untrimmed; the cache keeps it trimmed under
        // the trimmed source, replacing the older row.
        QCOMPARE(TraduzirTexto(QStringLiteral(" Good morning "), QStringLiteral("en"), QStringLiteral("pt"), false),
                 QStringLiteral("  Bom dia!  "));
        QCOMPARE(servidor_->Requisicoes().size(), 1);
        QCOMPARE(Cache()->Buscar(QStringLiteral("Good morning"), QStringLiteral("en"), QStringLiteral("pt")),
                 std::optional<QString>(QStringLiteral("Bom dia!")));
    }

    void semCacheTraduzOnline()
    {
        // A file that is not a database leaves the cache off; translation
        // goes on online and nothing fails.
        CacheTraducao::Liberar();
        CacheTraducao::DefinirCaminho(
            ambiente_->EscreverArquivo(QStringLiteral("nao-e-banco.sqlite"), QByteArray("not a database, just text")));
        QVERIFY(CacheTraducao::Conexao() == nullptr);
        QCOMPARE(TraduzirTexto(QStringLiteral("Hi"), QStringLiteral("en"), QStringLiteral("pt"), true),
                 QStringLiteral("[pt] Hi"));
        QCOMPARE(servidor_->Requisicoes().size(), 1);
    }

    void servidorLentoAindaResponde()
    {
        servidor_->DefinirAtraso(300);
        QCOMPARE(TraduzirTexto(QStringLiteral("Hi"), QStringLiteral("en"), QStringLiteral("pt"), false),
                 QStringLiteral("[pt] Hi"));
        QCOMPARE(servidor_->Requisicoes().size(), 1);
    }

    void servidorMudoTerminaPeloTempoLimite()
    {
        Config().TempoLimiteTraducao = 1;
        servidor_->DefinirModo(apoio::ServidorTraducao::Modo::Silencio);
        QElapsedTimer relogio;
        relogio.start();
        QCOMPARE(TraduzirTexto(QStringLiteral("  calado  "), QStringLiteral("en"), QStringLiteral("pt"), false),
                 QStringLiteral("calado"));
        // Two attempts of one second each, far from the client's own 30 s.
        QVERIFY2(relogio.elapsed() < 10000, qPrintable(QString::number(relogio.elapsed())));
        QCOMPARE(servidor_->Requisicoes().size(), 2);
        QCOMPARE(servidor_->Requisicoes()[1].metodo, QStringLiteral("POST"));
        QCOMPARE(Cache()->Buscar(QStringLiteral("calado"), QStringLiteral("en"), QStringLiteral("pt")), std::nullopt);
    }
    // An endpoint on plain-HTTP loopback that redirects to plain HTTP off
    // loopback: both attempts are refused at the redirect, the other
    // address hears nothing, and the row keeps its trimmed text.
    void redirecionamentoForaDoLoopback()
    {
        APOIO_EM_REDE_ISOLADA();
        apoio::ServidorHttpTeste fora(apoio::EnderecoExterno());
        QVERIFY(fora.Ouvindo());
        fora.DefinirPadrao([&](const apoio::PedidoHttp&) {
            apoio::RespostaHttpTeste r;
            r.corpo = apoio::ServidorTraducao::MontarResposta(QStringLiteral("de fora"), QStringLiteral("x"),
                                                             QStringLiteral("en"));
            return r;
        });
        servidor_->Servidor().Definir(QStringLiteral("/translate_a/t"),
                                      apoio::RespostaHttpTeste::Redirecionar(fora.Endereco(QStringLiteral("/translate_a/t")).toUtf8()));
        const QRegularExpression aviso(QStringLiteral("^Requisição a .*192.0.2.1.* recusada.*Somente HTTPS"));
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QCOMPARE(TraduzirTexto(QStringLiteral("  longe  "), QStringLiteral("en"), QStringLiteral("pt"), false),
                 QStringLiteral("longe"));
        QCOMPARE(servidor_->Servidor().PedidosCom("GET", QStringLiteral("/translate_a/t")), 1);
        QCOMPARE(servidor_->Servidor().PedidosCom("POST", QStringLiteral("/translate_a/t")), 1);
        QCOMPARE(fora.ConexoesAceitas(), 0);
    }

    // Requests one after another ride on one kept-alive connection.
    void conexaoMantidaEntreRequisicoes()
    {
        for (int i = 0; i < 5; ++i)
            TraduzirTexto(QStringLiteral("linha %1").arg(i), QStringLiteral("pt"), QStringLiteral("en"), false);
        QCOMPARE(servidor_->Requisicoes().size(), 5);
        QCOMPARE(servidor_->ConexoesAceitas(), 1);
    }

    // A failing cache statement goes to the central handler under this
    // procedure's name (the window does that), and the row still gets its
    // trimmed text there.
    void erroDoCacheVaiAoTratador_data()
    {
        QTest::addColumn<bool>("usarOffline");
        QTest::addColumn<int>("requisicoes");
        QTest::newRow("na leitura") << true << 0;
        QTest::newRow("na gravação") << false << 1;
    }

    void erroDoCacheVaiAoTratador()
    {
        QFETCH(bool, usarOffline);
        QFETCH(int, requisicoes);
        QVERIFY(CacheTraducao::Conexao());
        const QString externa = QStringLiteral("externa");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), externa);
            db.setDatabaseName(CacheTraducao::CaminhoEmUso());
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("DROP TABLE tbl_traducao")));
            q.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(externa);

        try {
            TraduzirTexto(QStringLiteral("  Olá  "), QStringLiteral("pt"), QStringLiteral("en"), usarOffline);
            QFAIL("o erro do cache devia chegar a quem chamou");
        } catch (const plataforma::ErroExecucao& erro) {
            QCOMPARE(erro.Numero(), CacheTraducao::ErroTabelaAusente);
            QCOMPARE(erro.Descricao(), QStringLiteral("Table 'tbl_traducao' doesn't exist"));
        }
        QCOMPARE(servidor_->Requisicoes().size(), requisicoes);
    }
};

QTEST_MAIN(TesteTraducao)
#include "tst_traducao.moc"
