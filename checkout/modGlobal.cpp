#include "checkout/modGlobal.h"

#include "checkout/Configuracao.h"
#include "checkout/modRegistry.h"
#include "platform/Texto.h"
#include "suite/Utilitarios.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <random>
#include <unistd.h>

namespace vendalo {
namespace {

struct GeradorThread {
    bool semeado = false;
    std::mt19937_64 motor;
};

GeradorThread& Gerador()
{
    thread_local GeradorThread gerador;
    return gerador;
}

// ---- payer-data store ---------------------------------------------------------------------

enum class Chave { Pagador, Cartao };
enum class Guarda { Claro, Cifrado, Nunca };

struct Campo {
    Chave chave;
    const char* nome;  // UTF-8
    Guarda guarda;
};

// The security code is never kept: card rules forbid storing it after
// authorisation.
constexpr Campo Campos[] = {
    {Chave::Pagador, "Responsável pelo pagamento", Guarda::Claro},
    {Chave::Pagador, "Cep", Guarda::Claro},
    {Chave::Pagador, "Logradouro", Guarda::Claro},
    {Chave::Pagador, "Número", Guarda::Claro},
    {Chave::Pagador, "Complemento", Guarda::Claro},
    {Chave::Pagador, "Bairro", Guarda::Claro},
    {Chave::Pagador, "Município", Guarda::Claro},
    {Chave::Pagador, "UF", Guarda::Claro},
    {Chave::Pagador, "Telefone fixo", Guarda::Claro},
    {Chave::Pagador, "E-mail", Guarda::Claro},
    {Chave::Cartao, "Nome impresso", Guarda::Claro},
    {Chave::Cartao, "Data de nascimento do titular", Guarda::Claro},
    {Chave::Cartao, "CPF do titular", Guarda::Cifrado},
    {Chave::Cartao, "Telefone do titular", Guarda::Claro},
    {Chave::Cartao, "Número", Guarda::Cifrado},
    {Chave::Cartao, "Código de segurança", Guarda::Nunca},
    {Chave::Cartao, "Validade", Guarda::Cifrado},
};
constexpr int TotalCampos = int(sizeof(Campos) / sizeof(Campos[0]));

QString CaminhoChave(Chave chave)
{
    const ParametrosCheckout& p = Parametros();
    const QString base = QStringLiteral("SOFTWARE\\") + ConfigCheckout().NomeProduto;
    if (chave == Chave::Pagador)
        return base + QStringLiteral("\\Principal\\{") + p.MOIP_Token + QLatin1Char('}');
    return base + QStringLiteral("\\Cartão\\{") + p.MOIP_Token + QStringLiteral("}\\") +
           QString::number(p.InstituicaoSelecionada);
}

QString PastaChave()
{
    const QString pasta = ConfigCheckout().PastaChave;
    if (!pasta.isEmpty())
        return pasta;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Vendalo");
}

QByteArray LerChave(const QString& caminho)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        return {};
    const QByteArray chave = arquivo.readAll().trimmed();
    return chave.size() == 64 ? chave : QByteArray();
}

// The key of the enciphered card fields: made once per user at random and
// kept in a file only that user can read. Two processes making it at once
// agree: the file appears whole through link(), and the loser reads the
// winner's key.
QByteArray CriarOuLerChave(const QString& pasta)
{
    const QString caminho = pasta + QStringLiteral("/chave-cartoes");
    QByteArray chave = LerChave(caminho);
    if (!chave.isEmpty())
        return chave;
    if (!QDir().mkpath(pasta))
        return {};
    QFile::setPermissions(pasta, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    quint32 bytes[8];
    QRandomGenerator::system()->fillRange(bytes);
    const QByteArray nova = QByteArray(reinterpret_cast<const char*>(bytes), sizeof(bytes)).toHex();
    QTemporaryFile temporario(pasta + QStringLiteral("/.chave-XXXXXX"));
    if (!temporario.open())
        return {};
    // QTemporaryFile is created with owner-only permissions.
    if (temporario.write(nova) != nova.size() || !temporario.flush() || ::fsync(temporario.handle()) != 0)
        return {};
    const QByteArray origem = QFile::encodeName(temporario.fileName());
    const QByteArray destino = QFile::encodeName(caminho);
    if (::link(origem.constData(), destino.constData()) != 0 && errno != EEXIST)
        return {};
    return LerChave(caminho);
}

QString ChaveCartoes()
{
    static QMutex mutex;
    static QString pastaLida;
    static QString chave;
    QMutexLocker trava(&mutex);
    const QString pasta = PastaChave();
    if (pasta != pastaLida || chave.isEmpty()) {
        chave = QString::fromLatin1(CriarOuLerChave(pasta));
        pastaLida = pasta;
    }
    return chave;
}

// Writes wait a moment and go to the registry together: a key press must
// not cost a registry write of its own (each one is synced to disk). Reads
// see them at once; they are written at the latest when the screen closes,
// the thread ends or the application quits.
constexpr int AtrasoGravacaoMs = 100;

struct Pendentes {
    QMutex mutex;
    QList<EscritaRegistro> escritas;
    bool agendado = false;
};

Pendentes& Fila()
{
    static Pendentes fila;
    return fila;
}

struct GravarAoSairDaThread {
    ~GravarAoSairDaThread() { GravarDadosPendentes(); }
};

EscritaRegistro* Pendente(QList<EscritaRegistro>& escritas, const QString& chave, const QString& nome)
{
    for (EscritaRegistro& e : escritas)
        if (e.chave.compare(chave, Qt::CaseInsensitive) == 0 && e.nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

void Enfileirar(const QString& chave, const QString& nome, const std::optional<QString>& texto)
{
    thread_local GravarAoSairDaThread aoSair;
    (void)aoSair;
    static const bool rotinaFinal = [] {
        qAddPostRoutine([] { GravarDadosPendentes(); });
        return true;
    }();
    (void)rotinaFinal;

    bool agendar = false;
    {
        Pendentes& fila = Fila();
        QMutexLocker trava(&fila.mutex);
        if (EscritaRegistro* e = Pendente(fila.escritas, chave, nome))
            e->texto = texto;
        else
            fila.escritas.append({chave, nome, texto});
        if (!fila.agendado) {
            fila.agendado = true;
            agendar = true;
        }
    }
    if (!agendar)
        return;
    if (QCoreApplication::instance() && QThread::currentThread()->eventDispatcher())
        QTimer::singleShot(AtrasoGravacaoMs, [] { GravarDadosPendentes(); });
    else
        GravarDadosPendentes();
}

// What the store holds for the value: the pending write, else the registry.
std::optional<QString> LerGuardado(const QString& chave, const QString& nome)
{
    {
        Pendentes& fila = Fila();
        QMutexLocker trava(&fila.mutex);
        if (const EscritaRegistro* e = Pendente(fila.escritas, chave, nome))
            return e->texto;
    }
    const QString valor = LerValorRegistro(plataforma::Hive::CurrentUser, chave, nome);
    if (valor.isEmpty() && !plataforma::Registro::LerValor(plataforma::Hive::CurrentUser, chave, nome))
        return std::nullopt;
    return valor;
}

}  // namespace

ParametrosCheckout& Parametros()
{
    thread_local ParametrosCheckout parametros;
    Main();
    return parametros;
}

void Main()
{
    GeradorThread& g = Gerador();
    if (g.semeado)
        return;
    g.motor.seed(quint64(QDateTime::currentMSecsSinceEpoch()) ^ quint64(QRandomGenerator::global()->generate64()));
    g.semeado = true;
}

double Aleatorio()
{
    Main();
    return std::uniform_real_distribution<double>(0.0, 1.0)(Gerador().motor);
}

QString CodificarBase64(const QString& texto)
{
    if (texto.isEmpty())
        return QString();
    std::optional<QByteArray> bytes = plataforma::CodificarWindows1252(texto);
    if (!bytes) {
        // One byte per character, as the code page's conversion gives it: a
        // character beyond the BMP (two UTF-16 units) is one "?" too.
        bytes = QByteArray();
        bytes->reserve(texto.size());
        for (const char32_t c : texto.toUcs4()) {
            const std::optional<QByteArray> um = plataforma::CodificarWindows1252(QString::fromUcs4(&c, 1));
            bytes->append(um && um->size() == 1 ? um->at(0) : '?');
        }
    }
    return QString::fromLatin1(bytes->toBase64());
}

QString LerDadoSalvo(int campo)
{
    if (campo < 0 || campo >= TotalCampos)
        return QString();
    const Campo& c = Campos[campo];
    if (c.guarda == Guarda::Nunca)
        return QString();
    const QString valor = LerGuardado(CaminhoChave(c.chave), QString::fromUtf8(c.nome)).value_or(QString());
    if (c.guarda == Guarda::Claro || valor.isEmpty())
        return valor;
    const QString chave = ChaveCartoes();
    return chave.isEmpty() ? QString() : orvessa::Utilitarios::Instancia().Decifrar(valor, chave);
}

void GravarDadoSalvo(int campo, const QString& texto)
{
    if (campo < 0 || campo >= TotalCampos)
        return;
    const Campo& c = Campos[campo];
    const QString chaveRegistro = CaminhoChave(c.chave);
    const QString nome = QString::fromUtf8(c.nome);
    const std::optional<QString> guardado = LerGuardado(chaveRegistro, nome);
    if (c.guarda == Guarda::Nunca) {
        // What an earlier version stored goes.
        if (guardado)
            Enfileirar(chaveRegistro, nome, std::nullopt);
        return;
    }
    QString valor = texto;
    if (c.guarda == Guarda::Cifrado && !texto.isEmpty()) {
        const QString chave = ChaveCartoes();
        if (chave.isEmpty()) {
            qWarning("Vendalo: a chave dos dados do cartão não pôde ser criada; o campo não foi gravado");
            return;
        }
        auto& u = orvessa::Utilitarios::Instancia();
        // The same text again (a restored field) keeps its stored form.
        if (guardado && !guardado->isEmpty() && u.Decifrar(*guardado, chave) == texto)
            return;
        valor = u.Cifrar(texto, chave);
        if (valor.isEmpty())
            return;
    } else if (guardado && *guardado == valor) {
        return;
    }
    Enfileirar(chaveRegistro, nome, valor);
}

void GravarDadosPendentes()
{
    Pendentes& fila = Fila();
    QList<EscritaRegistro> escritas;
    {
        QMutexLocker trava(&fila.mutex);
        escritas.swap(fila.escritas);
        fila.agendado = false;
    }
    if (!escritas.isEmpty())
        GravarValoresRegistro(plataforma::Hive::CurrentUser, escritas);
}

}  // namespace vendalo
