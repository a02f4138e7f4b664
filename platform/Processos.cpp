#include "platform/Processos.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plataforma {

namespace {

// How long the others get to end after SIGTERM before SIGKILL.
constexpr int kToleranciaMs = 1500;

QString NomeSemExcluido(QString caminho)
{
    // An executable replaced on disk (an update) still runs under its name.
    const QString sufixo = QStringLiteral(" (deleted)");
    if (caminho.endsWith(sufixo))
        caminho.chop(sufixo.size());
    return QFileInfo(caminho).fileName();
}

QString ImagemDe(const QString& pastaProcesso)
{
    const QString alvo = QFile::symLinkTarget(pastaProcesso + QStringLiteral("/exe"));
    if (!alvo.isEmpty())
        return NomeSemExcluido(alvo);
    QFile comm(pastaProcesso + QStringLiteral("/comm"));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromLocal8Bit(comm.readAll()).trimmed();
    return QString();
}

// The start time (field 22 of /proc/<pid>/stat) and state; false when the
// process is gone. The start time tells a reused pid from the process seen.
bool Situacao(pid_t pid, unsigned long long& inicio, char& estado)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray linha = f.readAll();
    const int fim = linha.lastIndexOf(')');  // the name may hold blanks and parentheses
    if (fim < 0)
        return false;
    const QList<QByteArray> campos = linha.mid(fim + 2).split(' ');
    if (campos.size() < 20)
        return false;
    estado = campos.at(0).isEmpty() ? '?' : campos.at(0).at(0);
    inicio = campos.at(19).toULongLong();
    return true;
}

struct Alvo {
    pid_t pid;
    unsigned long long inicio;
};

bool Vivo(const Alvo& a)
{
    unsigned long long inicio = 0;
    char estado = '?';
    if (!Situacao(a.pid, inicio, estado) || inicio != a.inicio)
        return false;
    return estado != 'Z' && estado != 'X';
}

bool Corresponde(const QString& imagem, const QString& nome)
{
    if (nome.isEmpty())
        return false;
    if (nome == imagem)
        return true;
    // comm holds at most 15 characters.
    return imagem.size() > 15 && nome.size() == 15 && imagem.startsWith(nome);
}

}  // namespace

int EncerrarProcessosPorImagem(const QString& imagem, bool incluirAtual)
{
    QString alvoNome = imagem.trimmed();
    if (alvoNome.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        alvoNome.chop(4);
    if (alvoNome.isEmpty())
        return 0;

    const pid_t proprio = ::getpid();
    const uid_t usuario = ::getuid();
    std::vector<Alvo> alvos;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    static const QRegularExpression numero(QStringLiteral("^\\d+$"));
    for (const QString& nome : pids) {
        if (!numero.match(nome).hasMatch())
            continue;
        const pid_t pid = pid_t(nome.toInt());
        if (pid == proprio)
            continue;
        const QString pasta = QStringLiteral("/proc/") + nome;
        struct stat st {};
        if (::stat(QFile::encodeName(pasta).constData(), &st) != 0 || st.st_uid != usuario)
            continue;
        if (!Corresponde(alvoNome, ImagemDe(pasta)))
            continue;
        Alvo a{pid, 0};
        char estado = '?';
        if (!Situacao(pid, a.inicio, estado) || estado == 'Z' || estado == 'X')
            continue;
        alvos.push_back(a);
    }

    int sinalizados = 0;
    for (const Alvo& a : alvos)
        if (::kill(a.pid, SIGTERM) == 0)
            ++sinalizados;

    for (int esperado = 0; esperado < kToleranciaMs; esperado += 50) {
        bool algum = false;
        for (const Alvo& a : alvos)
            algum = algum || Vivo(a);
        if (!algum)
            break;
        QThread::msleep(50);
    }
    for (const Alvo& a : alvos)
        if (Vivo(a))
            ::kill(a.pid, SIGKILL);

    if (incluirAtual && ImagemProcessoAtual() == alvoNome)
        EncerrarProcessoAtual(1);
    return sinalizados;
}

void EncerrarProcessoAtual(int codigo)
{
    std::_Exit(codigo);
}

bool AbrirComProgramaPadrao(const QString& enderecoOuArquivo)
{
    const QString texto = enderecoOuArquivo.trimmed();
    if (texto.isEmpty())
        return false;
    static const QRegularExpression esquema(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    QUrl url;
    if (texto.startsWith(QLatin1Char('/')) || QFileInfo::exists(texto) || !esquema.match(texto).hasMatch())
        url = QUrl::fromLocalFile(QFileInfo(texto).absoluteFilePath());
    else
        url = QUrl(texto, QUrl::TolerantMode);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

QString ImagemProcessoAtual()
{
    const QString alvo = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!alvo.isEmpty())
        return NomeSemExcluido(alvo);
    return ImagemDe(QStringLiteral("/proc/self"));
}

}  // namespace plataforma
