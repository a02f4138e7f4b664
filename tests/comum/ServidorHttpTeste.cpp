#include "ServidorHttpTeste.h"

#include <QPointer>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

namespace apoio {

struct ServidorHttpTeste::Estado {
    QByteArray entrada;
    // An answer is pending (delayed, dripping, stalled): later requests on
    // the connection wait for it.
    bool ocupada = false;
    std::unique_ptr<QTimer> gotejamento;
};

namespace {

// Reads one request head; false when it is no HTTP/1.x request we take.
bool LerCabecalho(const QByteArray& bloco, PedidoHttp& pedido, qint64& tamanho, bool& fechar)
{
    const QList<QByteArray> linhas = bloco.split('\n');
    const QList<QByteArray> primeira = linhas.value(0).trimmed().split(' ');
    if (primeira.size() != 3 || !primeira[2].startsWith("HTTP/1."))
        return false;
    pedido.metodo = primeira[0];
    pedido.alvo = primeira[1];
    fechar = primeira[2] == "HTTP/1.0";
    tamanho = 0;
    for (qsizetype i = 1; i < linhas.size(); ++i) {
        const qsizetype dois = linhas[i].indexOf(':');
        if (dois <= 0)
            continue;
        const QByteArray nome = linhas[i].left(dois).trimmed().toLower();
        const QByteArray valor = linhas[i].mid(dois + 1).trimmed();
        pedido.cabecalhos.insert(nome, valor);
        if (nome == "content-length") {
            bool ok = false;
            tamanho = valor.toLongLong(&ok);
            if (!ok || tamanho < 0)
                return false;
        } else if (nome == "connection") {
            fechar = valor.toLower() == "close";
        } else if (nome == "transfer-encoding") {
            return false;  // the clients under test never send chunked bodies
        }
    }
    return true;
}

}  // namespace

RespostaHttpTeste RespostaHttpTeste::Redirecionar(const QByteArray& destino, int status)
{
    RespostaHttpTeste r;
    r.status = status;
    r.razao = status == 301 ? "Moved Permanently" : status == 303 ? "See Other"
            : status == 307 ? "Temporary Redirect" : status == 308 ? "Permanent Redirect" : "Found";
    r.cabecalhos.append({QByteArrayLiteral("Location"), destino});
    return r;
}

ServidorHttpTeste::ServidorHttpTeste(const QHostAddress& endereco) : endereco_(endereco)
{
    QObject::connect(&servidor_, &QTcpServer::newConnection, &servidor_, [this] { Aceitar(); });
    servidor_.listen(endereco, 0);
}

ServidorHttpTeste::~ServidorHttpTeste()
{
    // No socket may call back into a half destroyed server.
    for (auto it = conexoes_.begin(); it != conexoes_.end(); ++it) {
        it.value()->gotejamento.reset();
        QObject::disconnect(it.key(), nullptr, &servidor_, nullptr);
        it.key()->abort();
    }
    conexoes_.clear();
    servidor_.close();
}

QString ServidorHttpTeste::Endereco(const QString& caminho) const
{
    return QStringLiteral("http://%1:%2%3").arg(endereco_.toString()).arg(Porta()).arg(caminho);
}

void ServidorHttpTeste::Definir(const QString& caminho, const RespostaHttpTeste& resposta)
{
    rotas_.insert(caminho, [resposta](const PedidoHttp&) { return resposta; });
}

void ServidorHttpTeste::DefinirCadeia(const QStringList& caminhos, const RespostaHttpTeste& final, int status)
{
    for (qsizetype i = 0; i + 1 < caminhos.size(); ++i)
        Definir(caminhos[i], RespostaHttpTeste::Redirecionar(caminhos[i + 1].toUtf8(), status));
    if (!caminhos.isEmpty())
        Definir(caminhos.last(), final);
}

int ServidorHttpTeste::PedidosCom(const QByteArray& metodo, const QString& caminho) const
{
    int total = 0;
    for (const PedidoHttp& p : pedidos_)
        total += p.metodo == metodo && p.Caminho() == caminho ? 1 : 0;
    return total;
}

void ServidorHttpTeste::Aceitar()
{
    while (QTcpSocket* socket = servidor_.nextPendingConnection()) {
        ++conexoesAceitas_;
        conexoes_.insert(socket, std::make_shared<Estado>());
        QObject::connect(socket, &QTcpSocket::readyRead, &servidor_, [this, socket] {
            const auto estado = conexoes_.value(socket);
            if (!estado)
                return;
            estado->entrada += socket->readAll();
            Processar(socket);
        });
        QObject::connect(socket, &QTcpSocket::disconnected, &servidor_, [this, socket] {
            conexoes_.remove(socket);
            socket->deleteLater();
        });
    }
}

void ServidorHttpTeste::Processar(QTcpSocket* socket)
{
    for (;;) {
        const auto estado = conexoes_.value(socket);
        if (!estado || estado->ocupada || socket->state() != QAbstractSocket::ConnectedState)
            return;
        const qsizetype fim = estado->entrada.indexOf("\r\n\r\n");
        if (fim < 0)
            return;
        PedidoHttp pedido;
        qint64 tamanho = 0;
        bool fechar = false;
        if (!LerCabecalho(estado->entrada.left(fim), pedido, tamanho, fechar)) {
            estado->ocupada = true;
            socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        if (estado->entrada.size() < fim + 4 + tamanho)
            return;
        pedido.corpo = estado->entrada.mid(fim + 4, tamanho);
        estado->entrada.remove(0, fim + 4 + tamanho);
        pedidos_.append(pedido);
        estado->ocupada = true;
        Atender(socket, pedido, fechar);
    }
}

void ServidorHttpTeste::Atender(QTcpSocket* socket, const PedidoHttp& pedido, bool fechar)
{
    RespostaHttpTeste r;
    const auto rota = rotas_.constFind(pedido.Caminho());
    if (rota != rotas_.constEnd()) {
        r = (*rota)(pedido);
    } else if (padrao_) {
        r = padrao_(pedido);
    } else {
        r.status = 404;
        r.razao = "Not Found";
        r.corpo = "nada aqui";
    }
    if (r.atrasoMs > 0) {
        // The socket is the timer's context: a client that gave up takes
        // the pending answer with it.
        QPointer<QTcpSocket> vigia(socket);
        QTimer::singleShot(r.atrasoMs, socket, [this, vigia, r, pedido, fechar] {
            if (vigia)
                Escrever(vigia, r, pedido, fechar);
        });
        return;
    }
    Escrever(socket, r, pedido, fechar);
}

void ServidorHttpTeste::Escrever(QTcpSocket* socket, const RespostaHttpTeste& r, const PedidoHttp& pedido, bool fechar)
{
    const auto estado = conexoes_.value(socket);
    if (!estado)
        return;
    if (r.modo == RespostaHttpTeste::Modo::Parar)
        return;  // held open until the client gives up
    if (r.modo == RespostaHttpTeste::Modo::Fechar) {
        socket->abort();
        return;
    }
    const bool repetido = r.bloco > 0 && r.repetirBlocos > 0;
    const qint64 totalCorpo = repetido ? r.bloco * r.repetirBlocos : r.corpo.size();
    const bool semTamanho = r.tamanhoAnunciado == -2;
    const bool fecharAoFim = fechar || semTamanho || r.fecharDepois;
    QByteArray cabecalho = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.razao + "\r\n";
    for (const auto& [nome, valor] : r.cabecalhos)
        cabecalho += nome + ": " + valor + "\r\n";
    if (!semTamanho)
        cabecalho += "Content-Length: " + QByteArray::number(r.tamanhoAnunciado >= 0 ? r.tamanhoAnunciado : totalCorpo)
                     + "\r\n";
    if (fecharAoFim)
        cabecalho += "Connection: close\r\n";
    cabecalho += "\r\n";
    socket->write(cabecalho);

    if (pedido.metodo == "HEAD") {
        Liberar(socket, fecharAoFim);
        return;
    }
    if (r.modo == RespostaHttpTeste::Modo::PararAposCabecalho) {
        socket->write(r.corpo);
        bytesEnviados_ += r.corpo.size();
        return;  // the head, maybe a part, then silence
    }
    if (r.bloco <= 0) {
        socket->write(r.corpo);
        bytesEnviados_ += r.corpo.size();
        Liberar(socket, fecharAoFim);
        return;
    }
    // Dripped (or repeated) body: a chunk every interval, never running
    // ahead of what the peer reads.
    const QByteArray bloco = repetido ? QByteArray(r.bloco, 'x') : QByteArray();
    auto enviados = std::make_shared<qint64>(0);
    estado->gotejamento = std::make_unique<QTimer>();
    QTimer* relogio = estado->gotejamento.get();
    Estado* e = estado.get();
    QObject::connect(relogio, &QTimer::timeout, socket, [this, socket, e, r, bloco, enviados, totalCorpo, fecharAoFim] {
        if (socket->bytesToWrite() > 4 * qint64(r.bloco) + (1 << 20))
            return;
        const QByteArray parte = bloco.isEmpty() ? r.corpo.mid(*enviados, r.bloco) : bloco;
        socket->write(parte);
        *enviados += parte.size();
        bytesEnviados_ += parte.size();
        if (*enviados >= totalCorpo || parte.isEmpty()) {
            e->gotejamento.release()->deleteLater();
            Liberar(socket, fecharAoFim);
        }
    });
    relogio->start(r.intervaloMs);
}

void ServidorHttpTeste::Liberar(QTcpSocket* socket, bool fechar)
{
    if (fechar) {
        socket->disconnectFromHost();
        return;
    }
    if (const auto estado = conexoes_.value(socket))
        estado->ocupada = false;
    Processar(socket);
}

}  // namespace apoio
