#include "ServidorPagamento.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace apoio {

ServidorPagamento::ServidorPagamento(QObject* pai) : QObject(pai), servidor_(new QTcpServer(this))
{
    servidor_->listen(QHostAddress::LocalHost, 0);
    connect(servidor_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = servidor_->nextPendingConnection()) {
            entradas_.insert(socket, QByteArray());
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Processar(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                entradas_.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

ServidorPagamento::~ServidorPagamento() = default;

QString ServidorPagamento::Endereco() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(servidor_->serverPort());
}

QByteArray ServidorPagamento::Sucesso(const QString& token, const QString& status)
{
    return QStringLiteral("<ns1:EnviarInstrucaoUnicaResponse xmlns:ns1=\"http://www.moip.com.br/ws/alpha/\">"
                          "<Resposta><ID>201012091230000000000000001</ID><Status>%1</Status>"
                          "<Token>%2</Token></Resposta></ns1:EnviarInstrucaoUnicaResponse>")
        .arg(status, token)
        .toUtf8();
}

QByteArray ServidorPagamento::Falha(const QString& codigo, const QString& texto)
{
    return QStringLiteral("<ns1:EnviarInstrucaoUnicaResponse xmlns:ns1=\"http://www.moip.com.br/ws/alpha/\">"
                          "<Resposta><ID>201012091230000000000000002</ID><Status>Falha</Status>"
                          "<Erro Codigo=\"%1\">%2</Erro></Resposta></ns1:EnviarInstrucaoUnicaResponse>")
        .arg(codigo, texto.toHtmlEscaped())
        .toUtf8();
}

void ServidorPagamento::Processar(QTcpSocket* socket)
{
    QByteArray& entrada = entradas_[socket];
    entrada += socket->readAll();
    const qsizetype fimCabecalho = entrada.indexOf("\r\n\r\n");
    if (fimCabecalho < 0)
        return;
    PedidoPagamento pedido;
    qsizetype tamanho = 0;
    const QList<QByteArray> linhas = entrada.left(fimCabecalho).split('\n');
    const QList<QByteArray> primeira = linhas.value(0).trimmed().split(' ');
    pedido.metodo = primeira.value(0);
    pedido.caminho = primeira.value(1);
    for (qsizetype i = 1; i < linhas.size(); ++i) {
        const qsizetype doisPontos = linhas[i].indexOf(':');
        if (doisPontos <= 0)
            continue;
        const QByteArray nome = linhas[i].left(doisPontos).trimmed().toLower();
        const QByteArray valor = linhas[i].mid(doisPontos + 1).trimmed();
        if (nome == "content-length")
            tamanho = valor.toLongLong();
        else if (nome == "authorization")
            pedido.autorizacao = valor;
    }
    if (entrada.size() < fimCabecalho + 4 + tamanho)
        return;
    pedido.corpo = entrada.mid(fimCabecalho + 4, tamanho);
    entrada.remove(0, fimCabecalho + 4 + tamanho);
    pedidos_.append(pedido);
    if (silencio_)
        return;
    const bool autorizado = esperada_.isEmpty() || pedido.autorizacao == esperada_;
    const QByteArray corpo = autorizado ? corpo_ : QByteArray();
    QByteArray resposta = autorizado ? QByteArrayLiteral("HTTP/1.1 200 OK\r\n")
                                     : QByteArrayLiteral("HTTP/1.1 401 Unauthorized\r\n");
    resposta += "Content-Type: text/xml; charset=utf-8\r\nContent-Length: " + QByteArray::number(corpo.size()) +
                "\r\nConnection: close\r\n\r\n" + corpo;
    socket->write(resposta);
    socket->disconnectFromHost();
}

}  // namespace apoio
