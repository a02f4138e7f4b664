// The translation cache on real SQLite files.
#include "Apoio.h"

#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/modErros.h"
#include "platform/ErroExecucao.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <unistd.h>

using namespace qeltrano;

namespace {

QByteArray Ler(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A second, independent connection to look at the file as it is on disk.
class Olhar {
public:
    explicit Olhar(const QString& arquivo) : nome_(QStringLiteral("olhar_%1").arg(++contador_))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome_);
        db.setDatabaseName(arquivo);
        db.open();
    }
    ~Olhar()
    {
        QSqlDatabase::database(nome_).close();
        QSqlDatabase::removeDatabase(nome_);
    }
    QVariant Valor(const QString& sql) const
    {
        QSqlQuery q(QSqlDatabase::database(nome_));
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }
    bool Executar(const QString& sql) const
    {
        QSqlQuery q(QSqlDatabase::database(nome_));
        return q.exec(sql);
    }

private:
    static inline int contador_ = 0;
    QString nome_;
};

}  // namespace

class TstCache : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void gravarEConsultar_data();
    void gravarEConsultar();
    void ultimaTraducaoVence();
    void criaTabelaEIndice();
    void persisteEntreConexoes();
    void arquivoQueNaoEhBanco_data();
    void arquivoQueNaoEhBanco();
    void localSemEscrita_data();
    void localSemEscrita();
    void caminhoPadrao();
    void errosDeComando_data();
    void errosDeComando();
    void loteDeCemMilLinhas();
    void loteQueFalhaNaoGuardaNada();
    void chavesRepetidasDeOutroPrograma();

private:
    apoio::AmbienteTeste ambiente_;
    QString arquivo_;
};

void TstCache::init()
{
    arquivo_ = ambiente_.Caminho(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction()));
    const QString dataTag = QString::fromUtf8(QTest::currentDataTag());
    if (!dataTag.isEmpty())
        arquivo_ = ambiente_.Caminho(QStringLiteral("%1-%2.sqlite").arg(QTest::currentTestFunction()).arg(qHash(dataTag)));
    CacheTraducao::DefinirCaminho(arquivo_);
}

void TstCache::cleanup()
{
    CacheTraducao::Liberar();
}

void TstCache::gravarEConsultar_data()
{
    QTest::addColumn<QString>("gravado");
    QTest::addColumn<QString>("traducao");
    QTest::addColumn<QString>("consultado");
    QTest::addColumn<QString>("esperado");

    QTest::newRow("apóstrofo") << "It's Bob's" << "É do Bob" << "It's Bob's" << "É do Bob";
    QTest::newRow("aspas e comando embutido") << "x'); DROP TABLE tbl_traducao; --" << "y'\"" << "x'); DROP TABLE tbl_traducao; --"
                                              << "y'\"";
    QTest::newRow("brancos em volta") << "  Olá  " << "  Hello " << "Olá" << "Hello";
    QTest::newRow("consulta com brancos") << "Olá" << "Hello" << "   Olá " << "Hello";
    QTest::newRow("tabulação não é aparada") << "\tOlá" << "Hello" << "Olá" << QString();
    QTest::newRow("maiúsculas contam") << "Olá" << "Hello" << "OLÁ" << QString();
    QTest::newRow("surrogate isolado acha a própria linha") << QString(QChar(0xD800)) + QStringLiteral("x") << "Hello"
                                                           << QString(QChar(0xD800)) + QStringLiteral("x") << "Hello";
    QTest::newRow("texto vazio") << "" << "nada" << "  " << "nada";
}

void TstCache::gravarEConsultar()
{
    QFETCH(QString, gravado);
    QFETCH(QString, traducao);
    QFETCH(QString, consultado);
    QFETCH(QString, esperado);

    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    cache->Gravar(gravado, traducao, QStringLiteral("pt"), QStringLiteral("en"));
    QCOMPARE(cache->Consultar(consultado, QStringLiteral("pt"), QStringLiteral("en")), esperado);
    QCOMPARE(cache->Buscar(consultado, QStringLiteral("pt"), QStringLiteral("en")).has_value(), !esperado.isNull());
    // The pair of languages is part of the key.
    QVERIFY(!cache->Buscar(consultado, QStringLiteral("pt"), QStringLiteral("es")));
    QVERIFY(!cache->Buscar(consultado, QStringLiteral("en"), QStringLiteral("pt")));
    QCOMPARE(Olhar(arquivo_).Valor(QStringLiteral("SELECT count(*) FROM tbl_traducao")).toInt(), 1);
}

void TstCache::ultimaTraducaoVence()
{
    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    cache->Gravar(QStringLiteral("Olá"), QStringLiteral("Hi"), QStringLiteral("pt"), QStringLiteral("en"));
    cache->Gravar(QStringLiteral(" Olá "), QStringLiteral("Hello"), QStringLiteral("pt"), QStringLiteral("en"));
    cache->Gravar(QStringLiteral("Olá"), QStringLiteral("Hola"), QStringLiteral("pt"), QStringLiteral("es"));
    QCOMPARE(cache->Consultar(QStringLiteral("Olá"), QStringLiteral("pt"), QStringLiteral("en")), QStringLiteral("Hello"));
    QCOMPARE(cache->Consultar(QStringLiteral("Olá"), QStringLiteral("pt"), QStringLiteral("es")), QStringLiteral("Hola"));
    QCOMPARE(Olhar(arquivo_).Valor(QStringLiteral("SELECT count(*) FROM tbl_traducao")).toInt(), 2);
}

void TstCache::criaTabelaEIndice()
{
    QVERIFY(!QFile::exists(arquivo_));
    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    QCOMPARE(cache->Caminho(), arquivo_);
    QCOMPARE(CacheTraducao::Conexao(), cache);
    QVERIFY(!cache->VersaoBiblioteca().isEmpty());
    QCOMPARE(CacheTraducao::VersaoEmUso(), cache->VersaoBiblioteca());

    Olhar olhar(arquivo_);
    QCOMPARE(olhar.Valor(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    QCOMPARE(olhar.Valor(QStringLiteral("SELECT group_concat(name, ',') FROM (SELECT name FROM "
                                        "pragma_table_info('tbl_traducao') ORDER BY cid)")).toString(),
             QStringLiteral("c_texto_original,c_idioma_origem,c_idioma_destino,c_texto_traduzido"));
    QCOMPARE(olhar.Valor(QStringLiteral("SELECT group_concat(ii.name, ',') FROM pragma_index_list('tbl_traducao') il, "
                                        "pragma_index_info(il.name) ii WHERE il.\"unique\" = 1")).toString(),
             QStringLiteral("c_texto_original,c_idioma_origem,c_idioma_destino"));
}

void TstCache::persisteEntreConexoes()
{
    CacheTraducao::Conexao()->Gravar(QStringLiteral("Bom dia"), QStringLiteral("Good morning"),
                                     QStringLiteral("pt"), QStringLiteral("en"));
    CacheTraducao::Liberar();
    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    QCOMPARE(cache->Consultar(QStringLiteral("Bom dia"), QStringLiteral("pt"), QStringLiteral("en")),
             QStringLiteral("Good morning"));
}

void TstCache::arquivoQueNaoEhBanco_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("texto") << QByteArray("isto não é um banco de dados\r\n");
    QByteArray falso("SQLite format 3\0", 16);
    falso += QByteArray(4096, '\xAB');
    QTest::newRow("cabeçalho certo, resto lixo") << falso;
    QTest::newRow("banco de outro programa, com o nome certo") << QByteArray("Standard Jet DB\0\0\0\0", 19) + QByteArray(2048, '\0');
}

// The cache stays off and the file keeps every byte, even on a retry.
void TstCache::arquivoQueNaoEhBanco()
{
    QFETCH(QByteArray, bytes);
    ambiente_.EscreverArquivo(QFileInfo(arquivo_).fileName(), bytes);
    QVERIFY(!CacheTraducao::Conexao());
    QVERIFY(!CacheTraducao::Conexao());
    CacheTraducao::Liberar();
    QVERIFY(!CacheTraducao::Conexao());
    QCOMPARE(Ler(arquivo_), bytes);
    QVERIFY(!QFile::exists(arquivo_ + QStringLiteral("-wal")));
    QVERIFY(!QFile::exists(arquivo_ + QStringLiteral("-journal")));
}

void TstCache::localSemEscrita_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("pasta no lugar do arquivo") << "pasta";
    QTest::newRow("pasta-mãe é um arquivo") << "mae";
    QTest::newRow("pasta sem escrita") << "pasta sem escrita";
    QTest::newRow("banco somente leitura") << "banco somente leitura";
}

void TstCache::localSemEscrita()
{
    QFETCH(QString, caso);
    const bool precisaPermissoes = caso == "pasta sem escrita" || caso == "banco somente leitura";
    if (precisaPermissoes && geteuid() == 0)
        QSKIP("root escreve apesar das permissões");

    QString caminho;
    QByteArray antes;
    if (caso == "pasta") {
        caminho = ambiente_.Caminho(QStringLiteral("sou-pasta.sqlite"));
        QDir().mkpath(caminho);
    } else if (caso == "mae") {
        caminho = ambiente_.EscreverArquivo(QStringLiteral("mae"), "x") + QStringLiteral("/db.sqlite");
    } else if (caso == "pasta sem escrita") {
        const QString pasta = ambiente_.Caminho(QStringLiteral("trancada"));
        QDir().mkpath(pasta);
        QFile::setPermissions(pasta, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        caminho = pasta + QStringLiteral("/db.sqlite");
    } else {
        CacheTraducao::Conexao()->Gravar(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("pt"),
                                         QStringLiteral("en"));
        CacheTraducao::Liberar();
        caminho = arquivo_;
        QFile::setPermissions(caminho, QFileDevice::ReadOwner);
        antes = Ler(caminho);
    }
    CacheTraducao::DefinirCaminho(caminho);
    QVERIFY(!CacheTraducao::Conexao());
    if (!antes.isEmpty())
        QCOMPARE(Ler(caminho), antes);
}

void TstCache::caminhoPadrao()
{
    const QString dados = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCOMPARE(CacheTraducao::CaminhoPadrao(ambiente_.Pasta()), ambiente_.Caminho(QStringLiteral("db.sqlite")));
    QCOMPARE(CacheTraducao::CaminhoPadrao(ambiente_.Caminho(QStringLiteral("nao-existe"))),
             QDir(dados).filePath(QStringLiteral("db.sqlite")));
    if (geteuid() != 0) {
        const QString pasta = ambiente_.Caminho(QStringLiteral("programa"));
        QDir().mkpath(pasta);
        QFile::setPermissions(pasta, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(CacheTraducao::CaminhoPadrao(pasta), QDir(dados).filePath(QStringLiteral("db.sqlite")));
    }
    CacheTraducao::DefinirCaminho(QString());
    QCOMPARE(CacheTraducao::CaminhoEmUso(), CacheTraducao::CaminhoPadrao());
}

void TstCache::errosDeComando_data()
{
    QTest::addColumn<QString>("preparo");
    QTest::addColumn<bool>("gravar");
    QTest::addColumn<long>("numero");
    QTest::addColumn<QString>("descricao");

    QTest::newRow("coluna ausente numa tabela antiga")
        << "CREATE TABLE tbl_traducao (c_texto_original TEXT, c_idioma_origem TEXT, c_idioma_destino TEXT)"
        << false << CacheTraducao::ErroComando << "Unknown column 'c_texto_traduzido'";
    QTest::newRow("tabela apagada por outro programa") << "" << false << CacheTraducao::ErroTabelaAusente
                                                       << "Table 'tbl_traducao' doesn't exist";
}

// Failing statements reach the error handler as run-time errors, worded
// so that it recognises an outdated database.
void TstCache::errosDeComando()
{
    QFETCH(QString, preparo);
    QFETCH(bool, gravar);
    QFETCH(long, numero);
    QFETCH(QString, descricao);

    {
        Olhar olhar(arquivo_);
        for (const QString& sql : preparo.split(QStringLiteral("; "), Qt::SkipEmptyParts))
            QVERIFY(olhar.Executar(sql));
    }
    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    if (preparo.isEmpty()) {
        cache->Gravar(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("pt"), QStringLiteral("en"));
        QVERIFY(Olhar(arquivo_).Executar(QStringLiteral("DROP TABLE tbl_traducao")));
    }
    const std::function<void()> comando = [&] {
        if (gravar)
            cache->Gravar(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("pt"), QStringLiteral("en"));
        else
            cache->Consultar(QStringLiteral("a"), QStringLiteral("pt"), QStringLiteral("en"));
    };
    for (int tentativa = 0; tentativa < 2; ++tentativa) {
        try {
            comando();
            QFAIL("o comando devia falhar");
        } catch (const plataforma::ErroExecucao& erro) {
            QCOMPARE(erro.Numero(), numero);
            QCOMPARE(erro.Descricao(), descricao);
        }
    }
}

void TstCache::loteDeCemMilLinhas()
{
    const int total = 100000;
    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    QList<QPair<QString, QString>> pares;
    for (int i = 0; i < total; ++i)
        pares.append({QStringLiteral("Linha %1 d'água").arg(i), QStringLiteral("Line %1").arg(i)});
    cache->GravarTodos(pares, QStringLiteral("pt"), QStringLiteral("en"));
    QCOMPARE(Olhar(arquivo_).Valor(QStringLiteral("SELECT count(*) FROM tbl_traducao")).toInt(), total);
    for (const int i : {0, 4711, total - 1})
        QCOMPARE(cache->Consultar(QStringLiteral(" Linha %1 d'água ").arg(i), QStringLiteral("pt"), QStringLiteral("en")),
                 QStringLiteral("Line %1").arg(i));
}

// A store that fails halfway leaves the file as it was and the connection
// usable: no half batch, no transaction left open.
void TstCache::loteQueFalhaNaoGuardaNada()
{
    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    QVERIFY(Olhar(arquivo_).Executar(QStringLiteral(
        "CREATE TRIGGER recusa BEFORE INSERT ON tbl_traducao WHEN NEW.c_texto_original = 'ruim' "
        "BEGIN SELECT RAISE(ABORT, 'recusada'); END")));
    const QList<QPair<QString, QString>> pares{{"um", "one"}, {"ruim", "bad"}, {"três", "three"}};
    QVERIFY_THROWS_EXCEPTION(plataforma::ErroExecucao,
                             cache->GravarTodos(pares, QStringLiteral("pt"), QStringLiteral("en")));
    QCOMPARE(Olhar(arquivo_).Valor(QStringLiteral("SELECT count(*) FROM tbl_traducao")).toInt(), 0);
    cache->GravarTodos({{"um", "one"}}, QStringLiteral("pt"), QStringLiteral("en"));
    QCOMPARE(Olhar(arquivo_).Valor(QStringLiteral("SELECT count(*) FROM tbl_traducao")).toInt(), 1);
}

// Another program wrote the same key twice, so the unique index could not
// be made: the latest row of each key stays and storing works again.
void TstCache::chavesRepetidasDeOutroPrograma()
{
    {
        Olhar olhar(arquivo_);
        QVERIFY(olhar.Executar(QStringLiteral("CREATE TABLE tbl_traducao (c_texto_original TEXT NOT NULL, "
                                              "c_idioma_origem TEXT NOT NULL, c_idioma_destino TEXT NOT NULL, "
                                              "c_texto_traduzido TEXT)")));
        for (const char* traducao : {"velha", "nova"})
            QVERIFY(olhar.Executar(QStringLiteral("INSERT INTO tbl_traducao VALUES ('Olá', 'pt', 'en', '%1')")
                                       .arg(QLatin1String(traducao))));
        QVERIFY(olhar.Executar(QStringLiteral("INSERT INTO tbl_traducao VALUES ('Sim', 'pt', 'en', 'Yes')")));
    }
    CacheTraducao* cache = CacheTraducao::Conexao();
    QVERIFY(cache);
    QCOMPARE(cache->Consultar(QStringLiteral("Olá"), QStringLiteral("pt"), QStringLiteral("en")), QStringLiteral("nova"));
    cache->GravarTodos({{"Olá", "Hello"}, {"Não", "No"}}, QStringLiteral("pt"), QStringLiteral("en"));
    Olhar olhar(arquivo_);
    QCOMPARE(olhar.Valor(QStringLiteral("SELECT group_concat(c_texto_traduzido, ',') FROM "
                                        "(SELECT c_texto_traduzido FROM tbl_traducao ORDER BY c_texto_original)"))
                 .toString(),
             QStringLiteral("No,Hello,Yes"));
}

QTEST_GUILESS_MAIN(TstCache)
#include "tst_cache.moc"
