#pragma once
// A GET that never hangs, under the library's rule for every address it
// reaches (EnderecoPermitido: https only, plain http only to loopback).
#include "checkout/Exporta.h"
#include "checkout/Instrucao.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace vendalo {

struct RespostaHttp {
    int status = 0;
    QByteArray corpo;
    QString erro;  // "" when a 2xx answer came
};

// Waits in a local event loop (the windows stay responsive) for at most
// `segundos`.
VENDALO_EXPORT RespostaHttp ObterHttp(const QUrl& endereco, const QList<QPair<QByteArray, QByteArray>>& cabecalhos,
                                      int segundos);

// A request to `endereco` with the library's rules: no redirect followed (it
// could lead the credentials elsewhere), and no environment proxy for plain
// http, which passed the address rule only to loopback.
QNetworkRequest PedidoSeguro(QNetworkAccessManager& rede, const QUrl& endereco);

// Serves the thread's events until `resposta` finishes, `limiteMs` passes or
// `parar` (asked between polls) answers true; the last two abort it.
FimEspera AguardarResposta(QNetworkReply* resposta, int limiteMs, const std::function<bool()>& parar = {});

}  // namespace vendalo
