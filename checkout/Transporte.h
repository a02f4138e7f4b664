#pragma once
// The library's rule for every address it reaches, and a GET that never
// hangs: https only, plain http only to loopback (the local test services).
#include "checkout/Exporta.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

namespace vendalo {

// True for https, and for http when the host is a loopback address.
VENDALO_EXPORT bool EnderecoPermitido(const QUrl& endereco);

struct RespostaHttp {
    int status = 0;
    QByteArray corpo;
    QString erro;  // "" when a 2xx answer came
};

// Waits in a local event loop (the windows stay responsive) for at most
// `segundos`.
VENDALO_EXPORT RespostaHttp ObterHttp(const QUrl& endereco, const QList<QPair<QByteArray, QByteArray>>& cabecalhos,
                                      int segundos);

}  // namespace vendalo
