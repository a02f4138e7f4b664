#pragma once
// The download control's HTTP transport, on the suite's one request
// primitive: HEAD with status and header fields, a download streamed into a
// file, a quick GET as text, the redirect flag and final address, and the
// last error as text. Every call waits in a local event loop, so the host
// keeps painting and its clicks are delivered while a request runs; the
// three callbacks are what the control listens to.
#include "suite/Transferencia.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace kestrane {

struct RespostaHttp {
    int status = 0;
    QHash<QByteArray, QByteArray> cabecalhos;  // lower-case names
    // The field's text, "" when absent.
    QString Cabecalho(const QByteArray& nome) const;
};

class ClienteHttp {
public:
    ClienteHttp();
    ~ClienteHttp();
    ClienteHttp(const ClienteHttp&) = delete;
    ClienteHttp& operator=(const ClienteHttp&) = delete;

    // Redirects followed by downloads and quick GETs (never by HEAD, whose
    // caller follows one itself), connections kept alive, and the seconds
    // a connection or a stalled transfer may wait.
    bool SeguirRedirecionamentos = true;
    bool ManterConexao = true;
    int TempoLimiteSegundos = 20;

    // Asked often while any request runs; true aborts it.
    std::function<bool()> AbortCheck;
    // While a download runs: the percentage done (when the size is known)
    // and the bytes received so far with the current rate.
    std::function<void(int percentual)> PercentDone;
    std::function<void(qint64 bytes, qint64 bytesPorSegundo)> ReceiveRate;

    // None when no answer came (refused address, transport failure, time-out).
    std::optional<RespostaHttp> Head(const QString& url);
    // 1 when the whole body of a 2xx answer is in `destino`; 0 otherwise.
    int Download(const QString& url, const QString& destino);
    // The body of a 2xx answer as text; "" otherwise.
    QString QuickGetStr(const QString& url);

    bool WasRedirected() const { return redirecionado_; }
    QString FinalRedirectUrl() const { return urlFinal_; }
    QString LastErrorText() const { return ultimoErro_; }

    // Bodies of quick GETs are held in memory; beyond this they fail.
    static constexpr qint64 LimiteTexto = 32LL * 1024 * 1024;

private:
    bool Preparar(const QString& url, QUrl& destino);
    orvessa::PedidoTransferencia Pedido(const QByteArray& metodo, const QUrl& url) const;
    orvessa::LimitesTransferencia Limites(bool seguir) const;
    void AnotarFalha(const orvessa::ResultadoTransferencia& r);

    bool redirecionado_ = false;
    QString urlFinal_;
    QString ultimoErro_;
};

}  // namespace kestrane
