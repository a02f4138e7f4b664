#pragma once
// A small synchronous HTTP client on Qt Network (one Transferir per call). While a request waits the
// event loop keeps running (the window stays responsive and re-entrant clicks
// are delivered), so callers must guard against re-entry as they would with
// DoEvents.
#include "suite/Exporta.h"
#include "suite/Transferencia.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QUrl;

namespace orvessa {

// 127.0.0.0/8, ::1 or "localhost".
ORVESSA_EXPORT bool EnderecoLoopback(const QUrl& url);
// What may be asked over the network: HTTPS anywhere, plain HTTP only to a
// loopback address.
ORVESSA_EXPORT bool EnderecoPermitido(const QUrl& url);
// A body decoded by the charset of its Content-Type (UTF-8 when none).
ORVESSA_EXPORT QString DecodificarCorpoHttp(const QByteArray& corpo, const QByteArray& tipoConteudo);

class ORVESSA_EXPORT RequisicaoHTTP {
public:
    RequisicaoHTTP();
    ~RequisicaoHTTP();

    // Seconds; 0 means not set, and then a request still ends after 30 s.
    int TempoLimite = 0;

    // Bytes an answer may hold; a larger one is a failed request (its
    // reason also goes to qWarning). 0 means the default of small documents.
    qint64 TamanhoMaximo = kLimiteRespostaTexto;

    bool ConexaoDisponivel() const;

    // GET. True when the answer has a 2xx status. The address may carry
    // characters a URL cannot: they are sent percent-encoded as UTF-8, while
    // escapes already in it ("%26", "+") are sent as they are.
    bool ObterURL(const QString& endereco, const QString& reservado = QString());

    // Form POST (application/x-www-form-urlencoded) of the added parameters,
    // in the order added; values are encoded the same tolerant way.
    void AdicionarParametro(const QString& nome, const QString& valor);
    bool EnviarFormulario(const QString& endereco, const QString& reservado = QString(), int reservado2 = 0);

    // Body of the last answer, decoded by its charset (UTF-8 when none).
    QString TextoResposta() const { return texto_; }
    QByteArray CorpoResposta() const { return corpo_; }
    int StatusResposta() const { return status_; }
    // Why the last request failed ("" after a success).
    QString ErroResposta() const { return erro_; }
    // True when the last answer came whole, whatever its status; false
    // after a time-out, a refusal, a cut connection or an answer too large.
    bool RespostaCompleta() const { return fim_ == FimTransferencia::Concluida; }
    FimTransferencia FimResposta() const { return fim_; }

    void LimparRequisicao();

private:
    bool Executar(bool post, const QString& endereco);
    QList<QPair<QString, QString>> parametros_;
    QString texto_;
    QByteArray corpo_;
    int status_ = 0;
    QString erro_;
    FimTransferencia fim_ = FimTransferencia::FalhaRede;
};

}  // namespace orvessa
