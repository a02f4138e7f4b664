#pragma once
// The checkout's two requests on the suite's one request primitive, under
// the library's rules: https only (plain http only to loopback), no
// redirect followed (it could lead the credentials elsewhere), a bounded
// wait and a bounded answer.
#include "checkout/Exporta.h"
#include "checkout/Instrucao.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>

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

struct EnvioHttp {
    FimEspera fim = FimEspera::SemResposta;
    int status = 0;
    QByteArray corpo;
    QString erro;  // why no answer came
    bool esgotado = false;  // the wait ran out
};

// One request under those rules: at most `limiteMs`, `parar` asked while
// it waits; the body above the size of any real answer is no answer.
EnvioHttp EnviarHttp(const QByteArray& metodo, const QUrl& endereco,
                     const QList<QPair<QByteArray, QByteArray>>& cabecalhos, const QByteArray& corpo, int limiteMs,
                     const std::function<bool()>& parar = {});

}  // namespace vendalo
