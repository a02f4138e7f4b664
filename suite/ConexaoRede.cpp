#include "suite/ConexaoRede.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QStringList>

namespace orvessa {

namespace {

std::function<bool()>& Verificador()
{
    static std::function<bool()> verificador;
    return verificador;
}

// A default route through an interface that is up, from the kernel's
// routing tables; no packet is sent.
bool RotaPadrao(const QStringList& interfacesAtivas)
{
    QFile rotas4(QStringLiteral("/proc/net/route"));
    if (rotas4.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> linhas = rotas4.readAll().split('\n');
        for (qsizetype i = 1; i < linhas.size(); ++i) {
            const QList<QByteArray> c = linhas[i].simplified().split(' ');
            if (c.size() < 8)
                continue;
            bool ok = false;
            const uint flags = c[3].toUInt(&ok, 16);
            if (c[1] == "00000000" && c[7] == "00000000" && ok && (flags & 0x1)
                && interfacesAtivas.contains(QString::fromLatin1(c[0])))
                return true;
        }
    }
    QFile rotas6(QStringLiteral("/proc/net/ipv6_route"));
    if (rotas6.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> linhas = rotas6.readAll().split('\n');
        for (const QByteArray& linha : linhas) {
            const QList<QByteArray> c = linha.simplified().split(' ');
            if (c.size() < 10)
                continue;
            bool ok = false;
            const uint flags = c[8].toUInt(&ok, 16);
            const bool todoZero = c[0].count('0') == c[0].size();
            // 0x0200 marks the "unreachable" routes the kernel keeps on lo.
            if (todoZero && c[1] == "00" && ok && (flags & 0x1) && !(flags & 0x0200)
                && interfacesAtivas.contains(QString::fromLatin1(c[9])))
                return true;
        }
    }
    return false;
}

}  // namespace

bool ConexaoInternetAtiva()
{
    if (Verificador())
        return Verificador()();
    QStringList ativas;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : i.addressEntries()) {
            const QHostAddress a = e.ip();
            if (!a.isNull() && !a.isLoopback() && !a.isLinkLocal()) {
                ativas << i.name();
                break;
            }
        }
    }
    return !ativas.isEmpty() && RotaPadrao(ativas);
}

void DefinirVerificadorConexao(std::function<bool()> verificador)
{
    Verificador() = std::move(verificador);
}

}  // namespace orvessa
