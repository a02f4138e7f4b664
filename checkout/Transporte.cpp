#include "checkout/Transporte.h"

#include "checkout/Instrucao.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace vendalo {

namespace {

bool Loopback(const QUrl& endereco)
{
    const QString host = endereco.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress ip(host);
    return !ip.isNull() && ip.isLoopback();
}

}  // namespace

RespostaHttp ObterHttp(const QUrl& endereco, const QList<QPair<QByteArray, QByteArray>>& cabecalhos, int segundos)
{
    RespostaHttp r;
    if (!EnderecoPermitido(endereco.toString())) {
        r.erro = QStringLiteral("Endereço recusado (só https): %1").arg(endereco.toDisplayString(QUrl::RemoveQuery));
        return r;
    }
    QNetworkAccessManager rede;
    if (Loopback(endereco))
        rede.setProxy(QNetworkProxy::NoProxy);  // an environment proxy must not see local traffic
    QNetworkRequest pedido(endereco);
    // A redirect may not leave https.
    pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    for (const auto& [nome, valor] : cabecalhos)
        pedido.setRawHeader(nome, valor);

    QNetworkReply* resposta = rede.get(pedido);
    QEventLoop laco;
    QTimer prazo;
    prazo.setSingleShot(true);
    bool esgotado = false;
    QObject::connect(&prazo, &QTimer::timeout, &laco, [&] {
        esgotado = true;
        resposta->abort();
    });
    QObject::connect(resposta, &QNetworkReply::finished, &laco, &QEventLoop::quit);
    prazo.start(qMax(1, segundos) * 1000);
    if (!resposta->isFinished())
        laco.exec();

    r.status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.corpo = resposta->readAll();
    if (esgotado)
        r.erro = QStringLiteral("O servidor não respondeu em %1 s.").arg(segundos);
    else if (resposta->error() != QNetworkReply::NoError && r.status == 0)
        r.erro = resposta->errorString();
    else if (r.status < 200 || r.status > 299)
        r.erro = QStringLiteral("O servidor respondeu HTTP %1.").arg(r.status);
    delete resposta;
    return r;
}

}  // namespace vendalo
