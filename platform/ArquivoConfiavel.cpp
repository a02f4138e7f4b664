#include "platform/ArquivoConfiavel.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace plataforma {

namespace {

// Someone other than this user or root could put other content there. In a
// folder higher up the sticky bit is enough: others may add their entries
// but not move ours aside.
QString Falha(const struct stat& info, const QString& oque, bool acima = false)
{
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        return QStringLiteral("%1 pertence a outro usuário (uid %2).").arg(oque).arg(info.st_uid);
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) && !(acima && (info.st_mode & S_ISVTX)))
        return QStringLiteral("%1 pode ser alterado pelo grupo ou por outros usuários (modo %2).")
            .arg(oque)
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return QString();
}

}  // namespace

QString CaminhoConfiavel(const QString& caminho, QString* motivo)
{
    auto recusar = [motivo](const QString& texto) {
        if (motivo)
            *motivo = texto;
        return QString();
    };
    if (caminho.isEmpty())
        return recusar(QStringLiteral("Nenhum arquivo foi informado."));
    // What is checked is what runs: the link cannot be pointed elsewhere
    // between the two.
    const QByteArray nativo = QFile::encodeName(caminho);
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(nativo.constData(), nullptr), &std::free);
    const int erro = errno;
    if (!real)
        return recusar(QStringLiteral("\"%1\" não pôde ser lido: %2").arg(caminho, QString::fromLocal8Bit(std::strerror(erro))));
    const QByteArray arquivo(real.get());

    struct stat info {};
    if (::lstat(arquivo.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return recusar(QStringLiteral("\"%1\" não é um arquivo comum.").arg(QFile::decodeName(arquivo)));
    QString falha = Falha(info, QStringLiteral("O arquivo \"%1\"").arg(QFile::decodeName(arquivo)));
    if (!falha.isEmpty())
        return recusar(falha);

    // Whoever may write the folder may replace the file in it.
    const QByteArray pasta = arquivo.left(qMax<qsizetype>(1, arquivo.lastIndexOf('/')));
    struct stat infoPasta {};
    if (::stat(pasta.constData(), &infoPasta) != 0)
        return recusar(QStringLiteral("A pasta \"%1\" não pôde ser lida.").arg(QFile::decodeName(pasta)));
    falha = Falha(infoPasta, QStringLiteral("A pasta \"%1\"").arg(QFile::decodeName(pasta)));
    if (!falha.isEmpty())
        return recusar(falha);
    // Nor may anyone rename a folder on the way there and put another in
    // its place.
    for (QByteArray acima = pasta; acima.size() > 1;) {
        acima = acima.left(qMax<qsizetype>(1, acima.lastIndexOf('/')));
        struct stat infoAcima {};
        if (::stat(acima.constData(), &infoAcima) != 0)
            return recusar(QStringLiteral("A pasta \"%1\" não pôde ser lida.").arg(QFile::decodeName(acima)));
        falha = Falha(infoAcima, QStringLiteral("A pasta \"%1\"").arg(QFile::decodeName(acima)), true);
        if (!falha.isEmpty())
            return recusar(falha);
    }
    return QFile::decodeName(arquivo);
}

}  // namespace plataforma
