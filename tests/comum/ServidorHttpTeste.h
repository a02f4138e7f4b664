#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests, in the test's own event
// loop: each path answers with a status, header fields and a body, or
// stalls, drips its body slowly, or drops the connection. Every request is
// kept to be read afterwards.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <memory>

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
    enum class Modo { Normal, Parar, Fechar };
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
    // The connection drops once the body is out (a cut transfer).
    bool fecharDepois = false;
};

class ServidorHttpTeste {
public:
    using Responder = std::function<RespostaHttpTeste(const PedidoHttp&)>;

    // Listens on 127.0.0.1 unless told otherwise.
    explicit ServidorHttpTeste(const QHostAddress& endereco = QHostAddress(QHostAddress::LocalHost))
    {
        QObject::connect(&servidor_, &QTcpServer::newConnection, &servidor_, [this] { Aceitar(); });
        servidor_.listen(endereco, 0);
    }

    ~ServidorHttpTeste()
    {
        servidor_.close();
        for (const QPointer<QTcpSocket>& s : conexoes_)
            if (s)
                s->abort();
    }

    bool Ouvindo() const { return servidor_.isListening(); }
    quint16 Porta() const { return servidor_.serverPort(); }
    QString Endereco(const QString& caminho = QString()) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(Porta()).arg(caminho);
    }

    // The answer for a path (without its query); others get 404.
    void Definir(const QString& caminho, Responder responder) { rotas_.insert(caminho, std::move(responder)); }
    void Definir(const QString& caminho, const RespostaHttpTeste& resposta)
    {
        rotas_.insert(caminho, [resposta](const PedidoHttp&) { return resposta; });
    }

    const QList<PedidoHttp>& Pedidos() const { return pedidos_; }
    int PedidosCom(const QByteArray& metodo, const QString& caminho) const
    {
        int total = 0;
        for (const PedidoHttp& p : pedidos_)
            total += p.metodo == metodo && p.Caminho() == caminho ? 1 : 0;
        return total;
    }
    void Limpar() { pedidos_.clear(); }

private:
    struct Estado {
        QByteArray entrada;
        std::unique_ptr<QTimer> gotejamento;
    };

    void Aceitar()
    {
        while (QTcpSocket* socket = servidor_.nextPendingConnection()) {
            conexoes_.append(socket);
            auto estado = std::make_shared<Estado>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, estado] {
                estado->entrada += socket->readAll();
                Processar(socket, *estado);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [socket, estado] {
                estado->gotejamento.reset();
                socket->deleteLater();
            });
        }
    }

    void Processar(QTcpSocket* socket, Estado& estado)
    {
        for (;;) {
            if (estado.gotejamento)
                return;  // one answer at a time on a connection
            const qsizetype fim = estado.entrada.indexOf("\r\n\r\n");
            if (fim < 0)
                return;
            PedidoHttp pedido;
            const QList<QByteArray> linhas = estado.entrada.left(fim).split('\n');
            const QList<QByteArray> primeira = linhas.value(0).trimmed().split(' ');
            pedido.metodo = primeira.value(0);
            pedido.alvo = primeira.value(1);
            for (qsizetype i = 1; i < linhas.size(); ++i) {
                const qsizetype dois = linhas[i].indexOf(':');
                if (dois > 0)
                    pedido.cabecalhos.insert(linhas[i].left(dois).trimmed().toLower(), linhas[i].mid(dois + 1).trimmed());
            }
            const qint64 tamanho = pedido.cabecalhos.value("content-length").toLongLong();
            if (estado.entrada.size() < fim + 4 + tamanho)
                return;
            pedido.corpo = estado.entrada.mid(fim + 4, tamanho);
            estado.entrada.remove(0, fim + 4 + tamanho);
            pedidos_.append(pedido);
            Atender(socket, estado, pedido);
            if (socket->state() != QAbstractSocket::ConnectedState)
                return;
        }
    }

    void Atender(QTcpSocket* socket, Estado& estado, const PedidoHttp& pedido)
    {
        const auto rota = rotas_.constFind(pedido.Caminho());
        RespostaHttpTeste r;
        if (rota == rotas_.constEnd()) {
            r.status = 404;
            r.razao = "Not Found";
            r.corpo = "nada aqui";
        } else {
            r = (*rota)(pedido);
        }
        if (r.modo == RespostaHttpTeste::Modo::Parar)
            return;
        if (r.modo == RespostaHttpTeste::Modo::Fechar) {
            socket->abort();
            return;
        }
        const qint64 totalCorpo = r.bloco > 0 && r.repetirBlocos > 0 ? r.bloco * r.repetirBlocos : r.corpo.size();
        QByteArray cabecalho = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.razao + "\r\n";
        for (const auto& [nome, valor] : r.cabecalhos)
            cabecalho += nome + ": " + valor + "\r\n";
        const bool semTamanho = r.tamanhoAnunciado == -2;
        if (!semTamanho)
            cabecalho += "Content-Length: " + QByteArray::number(r.tamanhoAnunciado >= 0 ? r.tamanhoAnunciado : totalCorpo) + "\r\n";
        if (semTamanho)
            cabecalho += "Connection: close\r\n";
        cabecalho += "\r\n";
        socket->write(cabecalho);
        if (pedido.metodo == "HEAD") {
            if (semTamanho)
                socket->disconnectFromHost();
            return;
        }
        if (r.bloco <= 0) {
            socket->write(r.corpo);
            if (semTamanho || r.fecharDepois)
                socket->disconnectFromHost();
            return;
        }
        // Dripped (or repeated) body: a chunk every interval.
        QByteArray bloco = r.repetirBlocos > 0 ? QByteArray(r.bloco, 'x') : QByteArray();
        auto enviados = std::make_shared<qint64>(0);
        estado.gotejamento = std::make_unique<QTimer>();
        QTimer* relogio = estado.gotejamento.get();
        QPointer<QTcpSocket> vigia(socket);
        Estado* e = &estado;
        QObject::connect(relogio, &QTimer::timeout, socket, [this, vigia, e, r, bloco, enviados, totalCorpo, semTamanho] {
            if (!vigia)
                return;
            // Do not run ahead of what the peer reads.
            if (vigia->bytesToWrite() > 4 * qint64(r.bloco) + (1 << 20))
                return;
            const QByteArray parte = r.repetirBlocos > 0 ? bloco : r.corpo.mid(*enviados, r.bloco);
            vigia->write(parte);
            *enviados += parte.size();
            if (*enviados >= totalCorpo) {
                e->gotejamento.release()->deleteLater();
                if (semTamanho || r.fecharDepois)
                    vigia->disconnectFromHost();
                else
                    Processar(vigia, *e);
            }
        });
        relogio->start(r.intervaloMs);
    }

    QTcpServer servidor_;
    QHash<QString, Responder> rotas_;
    QList<PedidoHttp> pedidos_;
    QList<QPointer<QTcpSocket>> conexoes_;
};

}  // namespace apoio
