#include "app/workbench/nucleo/CacheTraducao.h"

#include "platform/ErroExecucao.h"
#include "platform/Texto.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QVariant>

#include <sqlite3.h>

#include <array>

namespace qeltrano {

namespace {

const QString NomeArquivo = QStringLiteral("db.sqlite");

struct Estado {
    QString caminho;                          // set by DefinirCaminho
    std::unique_ptr<CacheTraducao> conexao;
    bool tentou = false;                      // an open was tried since Liberar
    bool rotinaFinal = false;
};

Estado& Global()
{
    static Estado estado;
    return estado;
}

QString NomeConexao()
{
    static int contador = 0;
    return QStringLiteral("qeltrano_cache_%1").arg(++contador);
}

[[noreturn]] void LancarTexto(QString texto)
{
    static const QRegularExpression semColuna(QStringLiteral("no such column: ([^\\s]+)"));
    static const QRegularExpression semTabela(QStringLiteral("no such table: ([^\\s]+)"));
    long numero = CacheTraducao::ErroComando;
    if (const auto m = semColuna.match(texto); m.hasMatch()) {
        texto = QStringLiteral("Unknown column '%1'").arg(m.captured(1));
    } else if (const auto t = semTabela.match(texto); t.hasMatch()) {
        texto = QStringLiteral("Table '%1' doesn't exist").arg(t.captured(1));
        numero = CacheTraducao::ErroTabelaAusente;
    }
    throw plataforma::ErroExecucao(numero, texto);
}

[[noreturn]] void Lancar(const QSqlError& erro)
{
    LancarTexto(erro.databaseText().isEmpty() ? erro.text() : erro.databaseText());
}

// A statement on SQLite's own interface: the lookups and stores run by the
// tens of thousands, and Qt's layer costs more than SQLite itself there.
class Comando {
public:
    Comando() = default;
    ~Comando() { Finalizar(); }
    Comando(const Comando&) = delete;
    Comando& operator=(const Comando&) = delete;

    void Preparar(sqlite3* banco, const char* sql)
    {
        if (stmt_)
            return;
        banco_ = banco;
        if (sqlite3_prepare_v3(banco, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) != SQLITE_OK) {
            const QString erro = QString::fromUtf8(sqlite3_errmsg(banco));
            Finalizar();
            LancarTexto(erro);
        }
    }
    // Binds the text as UTF-8, the file's own encoding, kept in one of the
    // statement's buffers until the next bind: SQLite's own conversion costs
    // more, and a statement then allocates nothing.
    void LigarUtf8(int indice, QStringView texto)
    {
        QByteArray& buffer = buffers_[size_t(indice - 1) % buffers_.size()];
        const qsizetype maximo = qMax<qsizetype>(utf8_.requiredSpace(texto.size()), 1);
        if (buffer.size() < maximo)
            buffer.resize(maximo);
        const char* fim = utf8_.appendToBuffer(buffer.data(), texto);
        sqlite3_bind_text(stmt_, indice, buffer.constData(), int(fim - buffer.constData()), SQLITE_STATIC);
    }
    // True for a row, false at the end; a failure finalizes the statement
    // (the next call prepares it again, as after a schema change) and throws.
    bool Passo()
    {
        const int r = sqlite3_step(stmt_);
        if (r == SQLITE_ROW)
            return true;
        if (r == SQLITE_DONE)
            return false;
        const QString erro = QString::fromUtf8(sqlite3_errmsg(banco_));
        Finalizar();
        LancarTexto(erro);
    }
    QString Texto(int coluna) const
    {
        const void* dados = sqlite3_column_text16(stmt_, coluna);
        const int bytes = sqlite3_column_bytes16(stmt_, coluna);
        return dados ? QString::fromUtf16(static_cast<const char16_t*>(dados), bytes / 2) : QString();
    }
    void Limpar()
    {
        if (stmt_) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
        }
    }
    void Finalizar()
    {
        if (stmt_)
            sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }

private:
    sqlite3* banco_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    std::array<QByteArray, 4> buffers_;
    QStringEncoder utf8_{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
};

bool CabecalhoSqlite(const QString& arquivo)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    static const QByteArray cabecalho("SQLite format 3\0", 16);
    return f.read(16) == cabecalho;
}

bool Executar(QSqlDatabase& db, const QString& sql, QString* valor = nullptr)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        qWarning("cache de tradução: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return false;
    }
    if (valor && q.next())
        *valor = q.value(0).toString();
    return true;
}

// Opens read-only and reads the schema: a damaged file fails here, before
// anything could write to it.
bool LegivelComoBanco(const QString& arquivo)
{
    const QString nome = NomeConexao();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(arquivo);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        ok = db.open() && Executar(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
    return ok;
}

// SQLite quietly opens a file we may only read; such a cache could answer
// but never store, so it stays off. The probe rewrites a header field with
// its own value inside a transaction that is rolled back.
bool PodeEscrever(QSqlDatabase& db)
{
    QString versao;
    if (!Executar(db, QStringLiteral("PRAGMA user_version"), &versao)
        || !Executar(db, QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    const bool ok = Executar(db, QStringLiteral("PRAGMA user_version=%1").arg(versao.toLongLong()));
    Executar(db, QStringLiteral("ROLLBACK"));
    return ok;
}

const QString SqlIndiceChave = QStringLiteral(
    "CREATE UNIQUE INDEX IF NOT EXISTS idx_traducao_chave ON tbl_traducao "
    "(c_texto_original, c_idioma_origem, c_idioma_destino)");

// Every store relies on the unique key. A file another program filled with
// the same key twice keeps the latest row of each key, then gets its index.
void CriarIndiceChave(QSqlDatabase& db)
{
    QSqlQuery q(db);
    if (q.exec(SqlIndiceChave))
        return;
    if (!q.lastError().databaseText().contains(QLatin1String("UNIQUE")))
        return;
    const bool ok = Executar(db, QStringLiteral("BEGIN IMMEDIATE"))
                    && Executar(db, QStringLiteral(
                           "DELETE FROM tbl_traducao WHERE rowid NOT IN (SELECT max(rowid) FROM tbl_traducao "
                           "GROUP BY c_texto_original, c_idioma_origem, c_idioma_destino)"))
                    && Executar(db, SqlIndiceChave) && Executar(db, QStringLiteral("COMMIT"));
    if (!ok)
        Executar(db, QStringLiteral("ROLLBACK"));
}

}  // namespace

struct CacheTraducao::Dados {
    QString nome;
    QString caminho;
    QString versao;
    sqlite3* banco = nullptr;  // the connection's own handle
    Comando consulta;
    Comando gravacao;

    QSqlDatabase Banco() const { return QSqlDatabase::database(nome, false); }
};

CacheTraducao::CacheTraducao(std::unique_ptr<Dados> dados) : d_(std::move(dados)) {}

CacheTraducao::~CacheTraducao()
{
    const QString nome = d_->nome;
    {
        QSqlDatabase db = d_->Banco();
        // SQLite keeps a connection open while a statement of it lives.
        d_->consulta.Finalizar();
        d_->gravacao.Finalizar();
        db.close();
    }
    d_.reset();
    QSqlDatabase::removeDatabase(nome);
}

std::unique_ptr<CacheTraducao> CacheTraducao::Abrir(const QString& arquivo)
{
    const QFileInfo info(arquivo);
    if (info.exists()) {
        if (!info.isFile())
            return nullptr;
        // Anything but an SQLite file is someone else's: never touch it.
        if (info.size() > 0 && (!CabecalhoSqlite(arquivo) || !LegivelComoBanco(arquivo)))
            return nullptr;
    } else if (!QDir().mkpath(info.absolutePath())) {
        return nullptr;
    }

    auto dados = std::make_unique<Dados>();
    dados->nome = NomeConexao();
    dados->caminho = arquivo;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), dados->nome);
        db.setDatabaseName(arquivo);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        ok = db.open() && PodeEscrever(db)
             && Executar(db, QStringLiteral("PRAGMA journal_mode=WAL"))
             && Executar(db, QStringLiteral("PRAGMA synchronous=NORMAL"))
             // Lookups run by the thousand during a fill: read pages through
             // a memory map and keep more of them than the default 2 MB.
             && Executar(db, QStringLiteral("PRAGMA mmap_size=268435456"))
             && Executar(db, QStringLiteral("PRAGMA cache_size=-16384"))
             && Executar(db, QStringLiteral("CREATE TABLE IF NOT EXISTS tbl_traducao ("
                                            "c_texto_original TEXT NOT NULL, "
                                            "c_idioma_origem TEXT NOT NULL, "
                                            "c_idioma_destino TEXT NOT NULL, "
                                            "c_texto_traduzido TEXT)"))
             && Executar(db, QStringLiteral("SELECT sqlite_version()"), &dados->versao);
        // An older table without these columns keeps the cache open: its
        // statements then fail as an outdated database.
        if (ok)
            CriarIndiceChave(db);
        const QVariant handle = db.driver()->handle();
        if (ok && handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            dados->banco = *static_cast<sqlite3* const*>(handle.constData());
        ok = ok && dados->banco;
        if (!ok)
            db.close();
    }
    if (!ok) {
        QSqlDatabase::removeDatabase(dados->nome);
        return nullptr;
    }
    return std::unique_ptr<CacheTraducao>(new CacheTraducao(std::move(dados)));
}

CacheTraducao* CacheTraducao::Conexao()
{
    Estado& estado = Global();
    if (!estado.conexao && !estado.tentou) {
        estado.tentou = true;
        estado.conexao = Abrir(CaminhoEmUso());
        if (estado.conexao) {
            // Connections must be gone before Qt's SQL layer is.
            if (!estado.rotinaFinal && QCoreApplication::instance()) {
                estado.rotinaFinal = true;
                qAddPostRoutine([] {
                    Global().rotinaFinal = false;
                    Liberar();
                });
            }
        }
    }
    return estado.conexao.get();
}

void CacheTraducao::Liberar()
{
    Estado& estado = Global();
    estado.conexao.reset();
    estado.tentou = false;
}

void CacheTraducao::DefinirCaminho(const QString& arquivo)
{
    Liberar();
    Global().caminho = arquivo;
}

QString CacheTraducao::CaminhoPadrao(const QString& pastaPrograma)
{
    const QFileInfo pasta(pastaPrograma);
    if (pasta.isDir() && pasta.isWritable())
        return QDir(pastaPrograma).filePath(NomeArquivo);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(NomeArquivo);
}

QString CacheTraducao::CaminhoPadrao()
{
    return CaminhoPadrao(QCoreApplication::applicationDirPath());
}

QString CacheTraducao::CaminhoEmUso()
{
    const QString& definido = Global().caminho;
    return definido.isEmpty() ? CaminhoPadrao() : definido;
}

std::optional<QString> CacheTraducao::Buscar(const QString& texto, const QString& origem, const QString& destino)
{
    Comando& q = d_->consulta;
    q.Preparar(d_->banco, "SELECT c_texto_traduzido FROM tbl_traducao WHERE c_texto_original = ? "
                          "AND c_idioma_origem = ? AND c_idioma_destino = ? LIMIT 1");
    // Keys go through the same conversion as when stored: a text with a
    // lone surrogate still finds its own row.
    q.LigarUtf8(1, plataforma::Trim(QStringView(texto)));
    q.LigarUtf8(2, origem);
    q.LigarUtf8(3, destino);
    std::optional<QString> resultado;
    if (q.Passo())
        resultado = q.Texto(0);
    q.Limpar();
    return resultado;
}

std::vector<std::optional<QString>> CacheTraducao::BuscarTodos(const QList<QString>& textos, const QString& origem,
                                                              const QString& destino)
{
    std::vector<std::optional<QString>> respostas;
    respostas.reserve(size_t(textos.size()));
    QSqlDatabase db = d_->Banco();
    if (!db.transaction())
        Lancar(db.lastError());
    try {
        for (const QString& texto : textos)
            respostas.push_back(Buscar(texto, origem, destino));
    } catch (...) {
        db.rollback();
        throw;
    }
    // Nothing was written: the end of the read cannot lose anything.
    if (!db.commit())
        db.rollback();
    return respostas;
}

QString CacheTraducao::Consultar(const QString& texto, const QString& origem, const QString& destino)
{
    return Buscar(texto, origem, destino).value_or(QString());
}

void CacheTraducao::Gravar(const QString& texto, const QString& traducao, const QString& origem,
                           const QString& destino)
{
    Comando& q = d_->gravacao;
    q.Preparar(d_->banco, "INSERT INTO tbl_traducao (c_texto_original, c_idioma_origem, c_idioma_destino, "
                          "c_texto_traduzido) VALUES (?, ?, ?, ?) "
                          "ON CONFLICT (c_texto_original, c_idioma_origem, c_idioma_destino) "
                          "DO UPDATE SET c_texto_traduzido = excluded.c_texto_traduzido "
                          // A row that already holds this translation is left
                          // alone: a save after a run rewrites no page.
                          "WHERE c_texto_traduzido IS NOT excluded.c_texto_traduzido");
    q.LigarUtf8(1, plataforma::Trim(QStringView(texto)));
    q.LigarUtf8(2, origem);
    q.LigarUtf8(3, destino);
    q.LigarUtf8(4, plataforma::Trim(QStringView(traducao)));
    q.Passo();
    q.Limpar();
}

void CacheTraducao::GravarTodos(const QList<QPair<QString, QString>>& pares, const QString& origem,
                                const QString& destino)
{
    QSqlDatabase db = d_->Banco();
    if (!db.transaction())
        Lancar(db.lastError());
    try {
        for (const auto& par : pares)
            Gravar(par.first, par.second, origem, destino);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QSqlError erro = db.lastError();
        db.rollback();
        Lancar(erro);
    }
}

QString CacheTraducao::VersaoEmUso()
{
    const Estado& estado = Global();
    return estado.conexao ? estado.conexao->VersaoBiblioteca() : QString();
}

QString CacheTraducao::VersaoBiblioteca() const
{
    return d_->versao;
}

QString CacheTraducao::Caminho() const
{
    return d_->caminho;
}

}  // namespace qeltrano
