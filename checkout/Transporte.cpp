#include "checkout/Transporte.h"

#include "checkout/Instrucao.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace vendalo {

FimEspera AguardarResposta(QNetworkReply* resposta, int limiteMs, const std::function<bool()>& parar)
{
    QElapsedTimer relogio;
    relogio.start();
    QEventLoop laco;
    QTimer pulso;
    pulso.setInterval(10);
    QObject::connect(&pulso, &QTimer::timeout, &laco, &QEventLoop::quit);
    QObject::connect(resposta, &QNetworkReply::finished, &laco, &QEventLoop::quit);
    pulso.start();
    for (;;) {
        if (resposta->isFinished())
            return FimEspera::Resposta;
        if (relogio.elapsed() > limiteMs) {
            resposta->abort();
            return FimEspera::SemResposta;
        }
        if (parar && parar()) {
            resposta->abort();
            return FimEspera::Finalizado;
        }
        laco.exec();
    }
}

QNetworkRequest PedidoSeguro(QNetworkAccessManager& rede, const QUrl& endereco)
{
    if (endereco.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0)
        rede.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest pedido(endereco);
    pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return pedido;
}

RespostaHttp ObterHttp(const QUrl& endereco, const QList<QPair<QByteArray, QByteArray>>& cabecalhos, int segundos)
{
    RespostaHttp r;
    if (!EnderecoPermitido(endereco.toString())) {
        r.erro = QStringLiteral("Endereço recusado (só https): %1").arg(endereco.toDisplayString(QUrl::RemoveQuery));
        return r;
    }
    QNetworkAccessManager rede;
    QNetworkRequest pedido = PedidoSeguro(rede, endereco);
    for (const auto& [nome, valor] : cabecalhos)
        pedido.setRawHeader(nome, valor);

    QNetworkReply* resposta = rede.get(pedido);
    const bool esgotado = AguardarResposta(resposta, qMax(1, segundos) * 1000) == FimEspera::SemResposta;

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
