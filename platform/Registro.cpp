#include "platform/Registro.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtDebug>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace plataforma {

// ---- batch -----------------------------------------------------------------

void LoteRegistro::CriarChave(const QString& chave)
{
    alteracoes_.append({Tipo::CriarChave, chave, QString(), QVariant()});
}

void LoteRegistro::GravarTexto(const QString& chave, const QString& nome, const QString& valor)
{
    alteracoes_.append({Tipo::GravarValor, chave, nome, QVariant(valor)});
}

void LoteRegistro::GravarDword(const QString& chave, const QString& nome, quint32 valor)
{
    alteracoes_.append({Tipo::GravarValor, chave, nome, QVariant(uint(valor))});
}

void LoteRegistro::ExcluirValor(const QString& chave, const QString& nome)
{
    alteracoes_.append({Tipo::ExcluirValor, chave, nome, QVariant()});
}

void LoteRegistro::ExcluirChave(const QString& chave)
{
    alteracoes_.append({Tipo::ExcluirChave, chave, QString(), QVariant()});
}

namespace {

// ---- the tree ----------------------------------------------------------------

struct Valor {
    QString nome;
    QVariant dado;  // QString (REG_SZ) or uint (REG_DWORD)
};

struct No {
    QString nome;
    std::vector<No> filhos;      // kept in case-insensitive order, as Windows lists them
    std::vector<Valor> valores;  // in the order first written
};

int Comparar(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

QStringList Partes(const QString& chave)
{
    return chave.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

No* Filho(No& no, const QString& nome)
{
    for (No& f : no.filhos)
        if (Comparar(f.nome, nome) == 0)
            return &f;
    return nullptr;
}

const No* Filho(const No& no, const QString& nome)
{
    return Filho(const_cast<No&>(no), nome);
}

No& FilhoOuNovo(No& no, const QString& nome)
{
    if (No* f = Filho(no, nome))
        return *f;
    auto pos = std::find_if(no.filhos.begin(), no.filhos.end(),
                            [&](const No& f) { return Comparar(f.nome, nome) > 0; });
    No novo;
    novo.nome = nome;
    return *no.filhos.insert(pos, std::move(novo));
}

const No* Achar(const No& raiz, const QString& chave)
{
    const No* no = &raiz;
    for (const QString& parte : Partes(chave)) {
        no = Filho(*no, parte);
        if (!no)
            return nullptr;
    }
    return no;
}

No* Achar(No& raiz, const QString& chave)
{
    return const_cast<No*>(Achar(static_cast<const No&>(raiz), chave));
}

No& AcharOuCriar(No& raiz, const QString& chave, bool& criou)
{
    No* no = &raiz;
    for (const QString& parte : Partes(chave)) {
        if (!Filho(*no, parte))
            criou = true;
        no = &FilhoOuNovo(*no, parte);
    }
    return *no;
}

const Valor* AcharValor(const No& no, const QString& nome)
{
    for (const Valor& v : no.valores)
        if (Comparar(v.nome, nome) == 0)
            return &v;
    return nullptr;
}

bool ValorAceito(const QVariant& v)
{
    return v.metaType() == QMetaType::fromType<QString>() || v.metaType() == QMetaType::fromType<uint>();
}

// ---- file format ---------------------------------------------------------------
// {"formato": 1, "chaves": {"Software": {...}}, "valores": {"": {"tipo": "REG_SZ", "dado": "x"}}}

const QString kTipoTexto = QStringLiteral("REG_SZ");
const QString kTipoDword = QStringLiteral("REG_DWORD");

QJsonObject ParaJson(const No& no)
{
    QJsonObject obj;
    if (!no.filhos.empty()) {
        QJsonObject chaves;
        for (const No& f : no.filhos)
            chaves.insert(f.nome, ParaJson(f));
        obj.insert(QStringLiteral("chaves"), chaves);
    }
    if (!no.valores.empty()) {
        QJsonObject valores;
        for (const Valor& v : no.valores) {
            QJsonObject item;
            if (v.dado.metaType() == QMetaType::fromType<uint>()) {
                item.insert(QStringLiteral("tipo"), kTipoDword);
                item.insert(QStringLiteral("dado"), double(v.dado.toUInt()));
            } else {
                item.insert(QStringLiteral("tipo"), kTipoTexto);
                item.insert(QStringLiteral("dado"), v.dado.toString());
            }
            valores.insert(v.nome, item);
        }
        obj.insert(QStringLiteral("valores"), valores);
    }
    return obj;
}

// False when the object is not a hive as this code writes it.
bool DeJson(const QJsonObject& obj, No& no)
{
    const QJsonValue chaves = obj.value(QStringLiteral("chaves"));
    if (!chaves.isUndefined()) {
        if (!chaves.isObject())
            return false;
        const QJsonObject c = chaves.toObject();
        for (auto it = c.begin(); it != c.end(); ++it) {
            if (it.key().isEmpty() || it.key().contains(QLatin1Char('\\')) || !it.value().isObject())
                return false;
            if (Filho(no, it.key()))
                return false;  // two keys that differ only in case
            No& filho = FilhoOuNovo(no, it.key());
            if (!DeJson(it.value().toObject(), filho))
                return false;
        }
    }
    const QJsonValue valores = obj.value(QStringLiteral("valores"));
    if (!valores.isUndefined()) {
        if (!valores.isObject())
            return false;
        const QJsonObject v = valores.toObject();
        for (auto it = v.begin(); it != v.end(); ++it) {
            if (!it.value().isObject() || AcharValor(no, it.key()))
                return false;
            const QJsonObject item = it.value().toObject();
            const QString tipo = item.value(QStringLiteral("tipo")).toString();
            const QJsonValue dado = item.value(QStringLiteral("dado"));
            if (tipo == kTipoTexto && dado.isString()) {
                no.valores.push_back({it.key(), QVariant(dado.toString())});
            } else if (tipo == kTipoDword && dado.isDouble()) {
                const double d = dado.toDouble();
                if (d < 0 || d > 4294967295.0 || std::floor(d) != d)
                    return false;
                no.valores.push_back({it.key(), QVariant(uint(d))});
            } else {
                return false;
            }
        }
    }
    return true;
}

// ---- hive state ------------------------------------------------------------------

struct Assinatura {
    bool existe = false;
    dev_t dispositivo = 0;
    ino_t inode = 0;
    off_t tamanho = 0;
    timespec modificado{};

    bool operator==(const Assinatura& o) const
    {
        if (existe != o.existe)
            return false;
        if (!existe)
            return true;
        return dispositivo == o.dispositivo && inode == o.inode && tamanho == o.tamanho &&
               modificado.tv_sec == o.modificado.tv_sec && modificado.tv_nsec == o.modificado.tv_nsec;
    }
};

Assinatura DeStat(const struct stat& st)
{
    Assinatura a;
    a.existe = true;
    a.dispositivo = st.st_dev;
    a.inode = st.st_ino;
    a.tamanho = st.st_size;
    a.modificado = st.st_mtim;
    return a;
}

Assinatura AssinaturaDe(const QString& caminho)
{
    struct stat st {};
    if (::stat(QFile::encodeName(caminho).constData(), &st) != 0)
        return {};
    return DeStat(st);
}

struct EstadoHive {
    QString arquivo;  // the file the state below was read from
    bool carregado = false;
    bool corrompido = false;
    Assinatura assinatura;
    No raiz;
};

QMutex travaRegistro;    // the state below; readers take only this one
QMutex travaEscritores;  // one writer of this process at a time
QString raizUsuarioDefinida;  // empty: the default folder
QString raizMaquinaDefinida;
EstadoHive estadosHive[2];

EstadoHive& Estado(Hive hive)
{
    return estadosHive[hive == Hive::CurrentUser ? 0 : 1];
}

QString Pasta(Hive hive)
{
    if (hive == Hive::CurrentUser) {
        if (!raizUsuarioDefinida.isEmpty())
            return raizUsuarioDefinida;
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/plataforma/registro");
    }
    return raizMaquinaDefinida.isEmpty() ? QStringLiteral("/etc/plataforma/registro") : raizMaquinaDefinida;
}

QString CaminhoHive(Hive hive)
{
    return Pasta(hive) + QLatin1Char('/') + Registro::NomeHive(hive) + QStringLiteral(".json");
}

// A user's hive is private to that user, as on Windows: its folder 0700 and
// its file 0600, tightened wherever an earlier version left them open. The
// machine's hive holds the registrations every user reads, so it stays as made.
void Resguardar(Hive hive, const QString& caminho, mode_t modo)
{
    if (hive != Hive::CurrentUser)
        return;
    struct stat st {};
    const QByteArray nome = QFile::encodeName(caminho);
    if (::stat(nome.constData(), &st) != 0 || (st.st_mode & 07777) == modo)
        return;
    if (::chmod(nome.constData(), modo) != 0)
        qWarning("Registro: não foi possível restringir o acesso a %s: %s", nome.constData(), std::strerror(errno));
}

void ResguardarHive(Hive hive, const QString& arquivo)
{
    Resguardar(hive, QFileInfo(arquivo).path(), 0700);
    Resguardar(hive, arquivo, 0600);
}

// Brings the state up to date with the file; the caller holds travaRegistro.
EstadoHive& Atualizado(Hive hive)
{
    EstadoHive& e = Estado(hive);
    const QString arquivo = CaminhoHive(hive);
    if (e.carregado && e.arquivo == arquivo && AssinaturaDe(arquivo) == e.assinatura)
        return e;

    e.arquivo = arquivo;
    e.carregado = true;
    e.corrompido = false;
    e.raiz = No();
    e.assinatura = Assinatura();

    QFile f(arquivo);
    if (!f.exists())
        return e;
    ResguardarHive(hive, arquivo);
    if (!f.open(QIODevice::ReadOnly)) {
        // Unreadable is treated like damaged: never written over blindly.
        e.corrompido = true;
        e.assinatura = AssinaturaDe(arquivo);
        qWarning("Registro: não foi possível ler %s", qPrintable(arquivo));
        return e;
    }
    // The signature of the very file read, so a replacement made meanwhile is
    // noticed on the next use.
    struct stat st {};
    if (::fstat(f.handle(), &st) == 0)
        e.assinatura = DeStat(st);
    const QByteArray dados = f.readAll();
    if (dados.trimmed().isEmpty())
        return e;
    QJsonParseError erro{};
    const QJsonDocument doc = QJsonDocument::fromJson(dados, &erro);
    No raiz;
    if (erro.error != QJsonParseError::NoError || !doc.isObject() || !DeJson(doc.object(), raiz)) {
        e.corrompido = true;
        qWarning("Registro: arquivo danificado %s; lido como vazio", qPrintable(arquivo));
        return e;
    }
    e.raiz = std::move(raiz);
    return e;
}

enum class Resultado { Falha, SemMudanca, Mudou };

// Runs one change under the lock file: reads the hive afresh, changes a copy
// and writes the copy atomically; the cached state changes only when the
// write succeeded. The lock file is waited for before the state's lock is
// taken, so readers on other threads go on while another process writes;
// writers of this process queue on their own lock, not on the file's polling.
template <typename F>
bool Modificar(Hive hive, F alterar)
{
    QMutexLocker escritor(&travaEscritores);
    QString pasta;
    {
        QMutexLocker trava(&travaRegistro);
        pasta = Pasta(hive);
    }
    if (!QDir().mkpath(pasta)) {
        qWarning("Registro: não foi possível criar a pasta %s", qPrintable(pasta));
        return false;
    }
    Resguardar(hive, pasta, 0700);
    QLockFile bloqueio(pasta + QLatin1Char('/') + Registro::NomeHive(hive) + QStringLiteral(".lock"));
    if (!bloqueio.tryLock(10000)) {
        qWarning("Registro: %s está bloqueado por outro processo", qPrintable(pasta));
        return false;
    }

    QMutexLocker trava(&travaRegistro);
    if (Pasta(hive) != pasta) {
        qWarning("Registro: a pasta do registro mudou durante a gravação em %s", qPrintable(pasta));
        return false;
    }
    EstadoHive& e = Atualizado(hive);
    No copia = e.raiz;
    const Resultado r = alterar(copia);
    if (r != Resultado::Mudou)
        return r == Resultado::SemMudanca;

    if (e.corrompido) {
        // Keep what was there for a person to look at, rather than lose it.
        const QString destino =
            e.arquivo + QStringLiteral(".corrompido-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
        if (!QFile::rename(e.arquivo, destino)) {
            qWarning("Registro: não foi possível preservar %s; nada foi gravado", qPrintable(e.arquivo));
            return false;
        }
        qWarning("Registro: arquivo danificado preservado em %s", qPrintable(destino));
        e.corrompido = false;
        e.carregado = false;
    }

    QSaveFile arquivo(e.arquivo);
    auto falhar = [&](const QString& motivo) {
        qWarning("Registro: não foi possível gravar %s: %s", qPrintable(e.arquivo), qPrintable(motivo));
        return false;
    };
    if (!arquivo.open(QIODevice::WriteOnly))
        return falhar(arquivo.errorString());
    if (hive == Hive::CurrentUser && ::fchmod(arquivo.handle(), 0600) != 0)
        return falhar(QString::fromLocal8Bit(std::strerror(errno)));
    QJsonObject topo = ParaJson(copia);
    topo.insert(QStringLiteral("formato"), 1);
    const QByteArray json = QJsonDocument(topo).toJson(QJsonDocument::Indented);
    if (arquivo.write(json) != json.size()) {
        const QString motivo = arquivo.errorString();
        arquivo.cancelWriting();
        return falhar(motivo);
    }
    if (!arquivo.commit())
        return falhar(arquivo.errorString());
    e.raiz = std::move(copia);
    e.carregado = true;
    e.assinatura = AssinaturaDe(e.arquivo);
    return true;
}

template <typename F>
auto Ler(Hive hive, F ler)
{
    QMutexLocker trava(&travaRegistro);
    return ler(static_cast<const No&>(Atualizado(hive).raiz));
}

// The single changes, shared by the plain calls and by batches.
Resultado AplicarCriarChave(No& raiz, const QString& chave)
{
    bool criou = false;
    AcharOuCriar(raiz, chave, criou);
    return criou ? Resultado::Mudou : Resultado::SemMudanca;
}

Resultado AplicarGravar(No& raiz, const QString& chave, const QString& nome, const QVariant& valor)
{
    if (!ValorAceito(valor))
        return Resultado::Falha;
    bool criou = false;
    No& no = AcharOuCriar(raiz, chave, criou);
    for (Valor& v : no.valores) {
        if (Comparar(v.nome, nome) == 0) {
            if (!criou && v.dado.metaType() == valor.metaType() && v.dado == valor)
                return Resultado::SemMudanca;
            v.dado = valor;
            return Resultado::Mudou;
        }
    }
    no.valores.push_back({nome, valor});
    return Resultado::Mudou;
}

Resultado AplicarExcluirValor(No& raiz, const QString& chave, const QString& nome)
{
    No* no = Achar(raiz, chave);
    if (!no)
        return Resultado::Falha;
    auto it = std::find_if(no->valores.begin(), no->valores.end(),
                           [&](const Valor& v) { return Comparar(v.nome, nome) == 0; });
    if (it == no->valores.end())
        return Resultado::Falha;
    no->valores.erase(it);
    return Resultado::Mudou;
}

Resultado AplicarExcluirChave(No& raiz, const QString& chave)
{
    QStringList partes = Partes(chave);
    if (partes.isEmpty())
        return Resultado::Falha;  // the hive itself
    const QString ultima = partes.takeLast();
    No* pai = Achar(raiz, partes.join(QLatin1Char('\\')));
    if (!pai)
        return Resultado::Falha;
    auto it = std::find_if(pai->filhos.begin(), pai->filhos.end(),
                           [&](const No& f) { return Comparar(f.nome, ultima) == 0; });
    if (it == pai->filhos.end())
        return Resultado::Falha;
    pai->filhos.erase(it);
    return Resultado::Mudou;
}

}  // namespace

// ---- public ------------------------------------------------------------------------

void Registro::DefinirRaizes(const QString& raizUsuario, const QString& raizMaquina)
{
    QMutexLocker trava(&travaRegistro);
    raizUsuarioDefinida = raizUsuario;
    raizMaquinaDefinida = raizMaquina;
    for (EstadoHive& e : estadosHive)
        e = EstadoHive();
}

QString Registro::RaizUsuario()
{
    QMutexLocker trava(&travaRegistro);
    return Pasta(Hive::CurrentUser);
}

QString Registro::RaizMaquina()
{
    QMutexLocker trava(&travaRegistro);
    return Pasta(Hive::LocalMachine);
}

QString Registro::ArquivoHive(Hive hive)
{
    QMutexLocker trava(&travaRegistro);
    return CaminhoHive(hive);
}

bool Registro::SepararCaminho(const QString& caminhoCompleto, Hive& hive, QString& chave)
{
    const int barra = caminhoCompleto.indexOf(QLatin1Char('\\'));
    const QString nome = (barra < 0 ? caminhoCompleto : caminhoCompleto.left(barra)).trimmed();
    if (Comparar(nome, QStringLiteral("HKEY_CURRENT_USER")) == 0 || Comparar(nome, QStringLiteral("HKCU")) == 0)
        hive = Hive::CurrentUser;
    else if (Comparar(nome, QStringLiteral("HKEY_LOCAL_MACHINE")) == 0 ||
             Comparar(nome, QStringLiteral("HKLM")) == 0)
        hive = Hive::LocalMachine;
    else
        return false;
    chave = barra < 0 ? QString() : Partes(caminhoCompleto.mid(barra + 1)).join(QLatin1Char('\\'));
    return true;
}

QString Registro::NomeHive(Hive hive)
{
    return hive == Hive::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER") : QStringLiteral("HKEY_LOCAL_MACHINE");
}

bool Registro::CriarChave(Hive hive, const QString& chave)
{
    return Modificar(hive, [&](No& raiz) { return AplicarCriarChave(raiz, chave); });
}

bool Registro::ExisteChave(Hive hive, const QString& chave)
{
    return Ler(hive, [&](const No& raiz) { return Achar(raiz, chave) != nullptr; });
}

bool Registro::ExcluirChave(Hive hive, const QString& chave)
{
    return Modificar(hive, [&](No& raiz) { return AplicarExcluirChave(raiz, chave); });
}

QStringList Registro::SubChaves(Hive hive, const QString& chave)
{
    return Ler(hive, [&](const No& raiz) {
        QStringList nomes;
        if (const No* no = Achar(raiz, chave))
            for (const No& f : no->filhos)
                nomes.append(f.nome);
        return nomes;
    });
}

QStringList Registro::NomesValores(Hive hive, const QString& chave)
{
    return Ler(hive, [&](const No& raiz) {
        QStringList nomes;
        if (const No* no = Achar(raiz, chave))
            for (const Valor& v : no->valores)
                nomes.append(v.nome);
        return nomes;
    });
}

std::optional<QVariant> Registro::LerValor(Hive hive, const QString& chave, const QString& nome)
{
    return Ler(hive, [&](const No& raiz) -> std::optional<QVariant> {
        const No* no = Achar(raiz, chave);
        if (!no)
            return std::nullopt;
        const Valor* v = AcharValor(*no, nome);
        if (!v)
            return std::nullopt;
        return v->dado;
    });
}

std::optional<QString> Registro::LerTexto(Hive hive, const QString& chave, const QString& nome)
{
    const auto v = LerValor(hive, chave, nome);
    if (!v || v->metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    return v->toString();
}

std::optional<quint32> Registro::LerDword(Hive hive, const QString& chave, const QString& nome)
{
    const auto v = LerValor(hive, chave, nome);
    if (!v || v->metaType() != QMetaType::fromType<uint>())
        return std::nullopt;
    return quint32(v->toUInt());
}

bool Registro::GravarTexto(Hive hive, const QString& chave, const QString& nome, const QString& valor)
{
    return Modificar(hive, [&](No& raiz) { return AplicarGravar(raiz, chave, nome, QVariant(valor)); });
}

bool Registro::GravarDword(Hive hive, const QString& chave, const QString& nome, quint32 valor)
{
    return Modificar(hive, [&](No& raiz) { return AplicarGravar(raiz, chave, nome, QVariant(uint(valor))); });
}

bool Registro::ExcluirValor(Hive hive, const QString& chave, const QString& nome)
{
    return Modificar(hive, [&](No& raiz) { return AplicarExcluirValor(raiz, chave, nome); });
}

bool Registro::Aplicar(Hive hive, const LoteRegistro& lote)
{
    return Modificar(hive, [&](No& raiz) {
        bool mudou = false;
        for (const LoteRegistro::Alteracao& a : lote.Alteracoes()) {
            Resultado r = Resultado::SemMudanca;
            switch (a.tipo) {
            case LoteRegistro::Tipo::CriarChave:
                r = AplicarCriarChave(raiz, a.chave);
                break;
            case LoteRegistro::Tipo::GravarValor:
                r = AplicarGravar(raiz, a.chave, a.nome, a.valor);
                if (r == Resultado::Falha)
                    return Resultado::Falha;
                break;
            case LoteRegistro::Tipo::ExcluirValor:
                r = AplicarExcluirValor(raiz, a.chave, a.nome);
                break;
            case LoteRegistro::Tipo::ExcluirChave:
                r = AplicarExcluirChave(raiz, a.chave);
                break;
            }
            mudou = mudou || r == Resultado::Mudou;
        }
        return mudou ? Resultado::Mudou : Resultado::SemMudanca;
    });
}

}  // namespace plataforma
