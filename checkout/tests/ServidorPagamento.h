#pragma once
// A stand-in for the payment service's web API on the tests' one HTTP
// server (127.0.0.1): it checks the Basic authorisation, answers the
// service's XML (or nothing at all) and keeps every request it receives. It runs on the
// thread that makes it; the checkout serves that thread's events while it
// waits, so the answer comes from the same thread.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace apoio {

class ServidorHttpTeste;
struct PedidoHttp;
struct RespostaHttpTeste;

struct PedidoPagamento {
    QByteArray metodo;
    QByteArray caminho;
    QByteArray autorizacao;
    QByteArray corpo;
};

class ServidorPagamento : public QObject {
public:
    explicit ServidorPagamento(QObject* pai = nullptr);
    ~ServidorPagamento() override;

    // "http://127.0.0.1:<port>".
    QString Endereco() const;

    // Requests without this exact Authorization header get 401 and no body.
    void DefinirAutorizacaoEsperada(const QByteArray& cabecalho) { esperada_ = cabecalho; }
    // The body of the next answers (200).
    void DefinirCorpo(const QByteArray& corpo) { corpo_ = corpo; }
    // Reads requests and never answers.
    void DefinirSilencio(bool silencio) { silencio_ = silencio; }

    const QList<PedidoPagamento>& Pedidos() const { return pedidos_; }

    // The service's answer to an accepted instruction.
    static QByteArray Sucesso(const QString& token, const QString& status = QStringLiteral("Sucesso"));
    // ... and to a refused one.
    static QByteArray Falha(const QString& codigo, const QString& texto);

    // The server underneath, for what a test adds (a redirect, a large body).
    ServidorHttpTeste& Servidor() { return *servidor_; }

private:
    RespostaHttpTeste Responder(const PedidoHttp& pedido);

    std::unique_ptr<ServidorHttpTeste> servidor_;
    QList<PedidoPagamento> pedidos_;
    QByteArray esperada_;
    QByteArray corpo_;
    bool silencio_ = false;
};

}  // namespace apoio
