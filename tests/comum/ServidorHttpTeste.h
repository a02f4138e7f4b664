#pragma once
// The one HTTP/1.1 server of the tests, on 127.0.0.1 (or an address given,
// inside a test's own network namespace), in the test's own event loop: a
// path answers with a status, header fields and a body, or redirects,
// stalls (before or after its head), drips its body, cuts it, or streams a
// body larger than the test holds in memory. Every request is kept; the
// connections and the body bytes sent are counted.
//
// Built on QTcpServer rather than QHttpServer: the Qt 6.4 responder keeps a
// reference to the request, so it cannot answer later, in pieces or never.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <memory>

class QTcpSocket;

namespace apoio {

struct PedidoHttp {
    QByteArray metodo;
    QByteArray alvo;  // path and query as sent
    QHash<QByteArray, QByteArray> cabecalhos;  // lower-case names
    QByteArray corpo;
    QString Caminho() const { return QUrl::fromEncoded(alvo).path(); }
    QUrlQuery Consulta() const { return QUrlQuery(QUrl::fromEncoded(alvo).query()); }
};

struct RespostaHttpTeste {
    enum class Modo {
        Normal,
        Parar,                  // reads the request and never answers
        Fechar,                 // drops the connection at once
        PararAposCabecalho,     // sends the head (and `corpo`, if any), then nothing more
    };
    int status = 200;
    QByteArray razao = "OK";
    QList<QPair<QByteArray, QByteArray>> cabecalhos;
    QByteArray corpo;
    Modo modo = Modo::Normal;
    // Content-Length sent; -1: the body's size; -2: none (the body ends
    // when the connection closes).
    qint64 tamanhoAnunciado = -1;
    // With a chunk size, the body goes out that many bytes every interval.
    int bloco = 0;
    int intervaloMs = 0;
    // The body is `bloco` bytes sent this many times (a body larger than
    // what the test holds in memory).
    qint64 repetirBlocos = 0;
    // The connection closes once the body is out (with a short body, a cut
    // transfer).
    bool fecharDepois = false;
    // The answer waits this long before it is written.
    int atrasoMs = 0;

    // A redirect to `destino` (a path or a whole address).
    static RespostaHttpTeste Redirecionar(const QByteArray& destino, int status = 302);
};

class ServidorHttpTeste {
public:
    using Responder = std::function<RespostaHttpTeste(const PedidoHttp&)>;

    // Listens on 127.0.0.1 unless told otherwise.
    explicit ServidorHttpTeste(const QHostAddress& endereco = QHostAddress(QHostAddress::LocalHost));
    ~ServidorHttpTeste();
    ServidorHttpTeste(const ServidorHttpTeste&) = delete;
    ServidorHttpTeste& operator=(const ServidorHttpTeste&) = delete;

    bool Ouvindo() const { return servidor_.isListening(); }
    quint16 Porta() const { return servidor_.serverPort(); }
    // "http://<address>:<port>" and the path.
    QString Endereco(const QString& caminho = QString()) const;

    // The answer for a path (without its query); others get the fallback,
    // 404 unless one is set.
    void Definir(const QString& caminho, Responder responder) { rotas_.insert(caminho, std::move(responder)); }
    void Definir(const QString& caminho, const RespostaHttpTeste& resposta);
    void DefinirPadrao(Responder responder) { padrao_ = std::move(responder); }
    // A chain of redirects: each path sends to the next, the last one
    // answers `final`.
    void DefinirCadeia(const QStringList& caminhos, const RespostaHttpTeste& final, int status = 302);

    const QList<PedidoHttp>& Pedidos() const { return pedidos_; }
    int PedidosCom(const QByteArray& metodo, const QString& caminho) const;
    void Limpar() { pedidos_.clear(); }
    // TCP connections accepted since the start or the last ZerarConexoes().
    int ConexoesAceitas() const { return conexoesAceitas_; }
    void ZerarConexoes() { conexoesAceitas_ = 0; }
    // Body bytes handed to the sockets so far.
    qint64 BytesEnviados() const { return bytesEnviados_; }

private:
    struct Estado;
    void Aceitar();
    void Processar(QTcpSocket* socket);
    void Atender(QTcpSocket* socket, const PedidoHttp& pedido, bool fechar);
    void Escrever(QTcpSocket* socket, const RespostaHttpTeste& r, const PedidoHttp& pedido, bool fechar);
    void Liberar(QTcpSocket* socket, bool fechar);

    QTcpServer servidor_;
    QHostAddress endereco_;
    QHash<QString, Responder> rotas_;
    Responder padrao_;
    QList<PedidoHttp> pedidos_;
    QHash<QTcpSocket*, std::shared_ptr<Estado>> conexoes_;
    int conexoesAceitas_ = 0;
    qint64 bytesEnviados_ = 0;
};

}  // namespace apoio
