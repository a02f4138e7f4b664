#include "RedeIsolada.h"

#include <QCoreApplication>
#include <QNetworkInterface>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace apoio {

namespace {

const char kVariavel[] = "APOIO_REDE_ISOLADA";
const char kExterno[] = "192.0.2.1";

bool Subir(int s, const char* nome, QString& motivo)
{
    ifreq pedido{};
    std::strncpy(pedido.ifr_name, nome, IFNAMSIZ - 1);
    bool ok = ioctl(s, SIOCGIFFLAGS, &pedido) == 0;
    if (ok) {
        pedido.ifr_flags = short(pedido.ifr_flags | IFF_UP);
        ok = ioctl(s, SIOCSIFFLAGS, &pedido) == 0;
    }
    if (!ok) {
        motivo = QStringLiteral("não foi possível ligar %1: %2").arg(QLatin1String(nome), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

}  // namespace

QHostAddress EnderecoExterno()
{
    return QHostAddress(QString::fromLatin1(kExterno));
}

bool DentroDaRedeIsolada()
{
    return qEnvironmentVariableIsSet(kVariavel);
}

bool PrepararRedeIsolada(QString& motivo)
{
    static bool pronta = false;
    if (pronta)
        return true;
    // The point of the namespace: no way out of it. Checked before anything
    // is changed, so a run outside one never touches the machine's lo.
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        if (!(i.flags() & QNetworkInterface::IsLoopBack)) {
            motivo = QStringLiteral("a rede isolada tem a interface %1").arg(i.name());
            return false;
        }
    }
    // Plain ioctls rather than ip(8): nothing beyond the C library needed.
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) {
        motivo = QStringLiteral("sem socket para configurar a rede isolada");
        return false;
    }
    bool ok = Subir(s, "lo", motivo);
    if (ok) {
        ifreq pedido{};
        std::strncpy(pedido.ifr_name, "lo:1", IFNAMSIZ - 1);
        auto* endereco = reinterpret_cast<sockaddr_in*>(&pedido.ifr_addr);
        endereco->sin_family = AF_INET;
        inet_pton(AF_INET, kExterno, &endereco->sin_addr);
        if (ioctl(s, SIOCSIFADDR, &pedido) != 0) {
            motivo = QStringLiteral("não foi possível pôr %1 em lo: %2")
                         .arg(QLatin1String(kExterno), QString::fromLocal8Bit(std::strerror(errno)));
            ok = false;
        } else {
            ok = Subir(s, "lo:1", motivo);
        }
    }
    close(s);
    if (!ok)
        return false;
    pronta = true;
    return true;
}

ExecucaoIsolada RodarNaRedeIsolada()
{
    ExecucaoIsolada r;
    if (geteuid() != 0) {
        r.motivoPulo = QStringLiteral("precisa de root para unshare --net");
        return r;
    }
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty()) {
        r.motivoPulo = QStringLiteral("unshare não encontrado");
        return r;
    }
    static QString indisponivel = [&] {
        QProcess teste;
        teste.start(unshare, {QStringLiteral("--net"), QStringLiteral("true")});
        if (!teste.waitForFinished(10000) || teste.exitStatus() != QProcess::NormalExit || teste.exitCode() != 0)
            return QStringLiteral("unshare --net indisponível: %1").arg(QString::fromLocal8Bit(teste.readAllStandardError()).trimmed());
        return QString();
    }();
    if (!indisponivel.isEmpty()) {
        r.motivoPulo = indisponivel;
        return r;
    }

    QString funcao = QString::fromLatin1(QTest::currentTestFunction());
    if (const char* linha = QTest::currentDataTag(); linha && *linha)
        funcao += QLatin1Char(':') + QString::fromUtf8(linha);
    QProcess filho;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QString::fromLatin1(kVariavel), QStringLiteral("1"));
    filho.setProcessEnvironment(ambiente);
    filho.setProcessChannelMode(QProcess::MergedChannels);
    filho.setStandardInputFile(QProcess::nullDevice());
    filho.start(unshare, {QStringLiteral("--net"), QStringLiteral("--"), QCoreApplication::applicationFilePath(), funcao});
    if (!filho.waitForFinished(100000)) {
        filho.kill();
        filho.waitForFinished(5000);
        r.saida = QStringLiteral("a execução na rede isolada não terminou em 100 s:\n") + QString::fromLocal8Bit(filho.readAll());
        return r;
    }
    r.saida = QString::fromLocal8Bit(filho.readAll());
    r.sucesso = filho.exitStatus() == QProcess::NormalExit && filho.exitCode() == 0;
    // A skip inside (no address could be set) is a skip here too.
    const QRegularExpressionMatch pulo = QRegularExpression(QStringLiteral("^SKIP\\s*:.*$"), QRegularExpression::MultilineOption)
                                             .match(r.saida);
    if (r.sucesso && pulo.hasMatch())
        r.motivoPulo = pulo.captured(0);
    return r;
}

}  // namespace apoio
