#include "ServidorTraducao.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace apoio {

namespace {

const QByteArray kCaminhoEndpoint = QByteArrayLiteral("/translate_a/t");

// One key or value of a query or form: "+" is a blank, %XX a byte of UTF-8.
QString DecodificarParte(QByteArray parte)
{
    parte.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(parte));
}

ItensDecodificados DecodificarItens(const QByteArray& texto)
{
    ItensDecodificados itens;
    for (const QByteArray& par : texto.split('&')) {
        if (par.isEmpty())
            continue;
        const qsizetype igual = par.indexOf('=');
        if (igual < 0)
            itens.append({DecodificarParte(par), QString()});
        else
            itens.append({DecodificarParte(par.left(igual)), DecodificarParte(par.mid(igual + 1))});
    }
    return itens;
}

QString ValorEm(const ItensDecodificados& itens, const QString& chave, bool* achou)
{
    for (const auto& [nome, valor] : itens) {
        if (nome == chave) {
            *achou = true;
            return valor;
        }
    }
    *achou = false;
    return QString();
}

QByteArray TextoStatus(int status)
{
    switch (status) {
    case 200: return QByteArrayLiteral("OK");
    case 400: return QByteArrayLiteral("Bad Request");
    case 404: return QByteArrayLiteral("Not Found");
    case 405: return QByteArrayLiteral("Method Not Allowed");
    default: return QByteArrayLiteral("Internal Server Error");
    }
}

struct Cabecalho {
    QByteArray metodo, alvo, tipoConteudo;
    qsizetype tamanhoCorpo = 0;
    bool fechar = false;
    bool valido = false;
};

Cabecalho LerCabecalho(const QByteArray& bloco)
{
    Cabecalho c;
    const QList<QByteArray> linhas = bloco.split('\n');
    const QList<QByteArray> partes = linhas.value(0).trimmed().split(' ');
    if (partes.size() != 3 || !partes[2].startsWith("HTTP/1."))
        return c;
    c.metodo = partes[0];
    c.alvo = partes[1];
    c.fechar = partes[2] == "HTTP/1.0";
    for (qsizetype i = 1; i < linhas.size(); ++i) {
        const qsizetype doisPontos = linhas[i].indexOf(':');
        if (doisPontos <= 0)
            continue;
        const QByteArray nome = linhas[i].left(doisPontos).trimmed().toLower();
        const QByteArray valor = linhas[i].mid(doisPontos + 1).trimmed();
        if (nome == "content-length") {
            bool ok = false;
            c.tamanhoCorpo = valor.toLongLong(&ok);
            if (!ok || c.tamanhoCorpo < 0)
                return c;
        } else if (nome == "content-type") {
            c.tipoConteudo = valor.toLower();
        } else if (nome == "connection") {
            c.fechar = valor.toLower() == "close";
        } else if (nome == "transfer-encoding") {
            return c;  // the client under test never sends chunked bodies
        }
    }
    c.valido = true;
    return c;
}

}  // namespace

QString RequisicaoRecebida::Valor(const QString& chave) const
{
    bool achou = false;
    const QString daConsulta = ValorEm(itensConsulta, chave, &achou);
    if (achou)
        return daConsulta;
    return ValorEm(camposFormulario, chave, &achou);
}

QStringList RequisicaoRecebida::Chaves() const
{
    QStringList chaves;
    for (const auto& item : itensConsulta.isEmpty() ? camposFormulario : itensConsulta)
        chaves << item.first;
    return chaves;
}

ServidorTraducao::ServidorTraducao(QObject* pai)
    : QObject(pai), servidor_(new QTcpServer(this)), tradutor_(&ServidorTraducao::TraducaoPadrao)
{
    connect(servidor_, &QTcpServer::newConnection, this, &ServidorTraducao::NovaConexao);
    servidor_->listen(QHostAddress::LocalHost, 0);
}

ServidorTraducao::~ServidorTraducao()
{
    // The sockets die with the listener; none may call back into a half
    // destroyed server.
    for (QTcpSocket* socket : conexoes_.keys())
        socket->disconnect(this);
    delete servidor_;
}

bool ServidorTraducao::Ouvindo() const
{
    return servidor_->isListening();
}

QString ServidorTraducao::Endereco() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(servidor_->serverPort());
}

void ServidorTraducao::DefinirModo(Modo modo)
{
    modo_ = modo;
}

void ServidorTraducao::DefinirAtraso(int milissegundos)
{
    atraso_ = qMax(0, milissegundos);
}

void ServidorTraducao::DefinirTradutor(Tradutor tradutor)
{
    tradutor_ = tradutor ? std::move(tradutor) : Tradutor(&ServidorTraducao::TraducaoPadrao);
}

void ServidorTraducao::DefinirTraducoes(const QHash<QString, QString>& tabela)
{
    tradutor_ = [tabela](const QString& texto, const QString& origem, const QString& destino) {
        const auto achada = tabela.constFind(texto);
        return achada != tabela.constEnd() ? *achada : TraducaoPadrao(texto, origem, destino);
    };
}

void ServidorTraducao::DefinirCorpo(std::optional<QByteArray> corpo)
{
    corpoFixo_ = std::move(corpo);
}

QString ServidorTraducao::TraducaoPadrao(const QString& texto, const QString& /*origem*/, const QString& destino)
{
    return QStringLiteral("[%1] ").arg(destino) + texto;
}

QByteArray ServidorTraducao::MontarResposta(const QString& traducao, const QString& original, const QString& idioma)
{
    const auto json = [](const QString& texto) {
        QString saida;
        saida.reserve(texto.size() + 8);
        for (const QChar c : texto) {
            switch (c.unicode()) {
            case u'"': saida += QLatin1String("\\\""); break;
            case u'\\': saida += QLatin1String("\\\\"); break;
            case u'<': saida += QLatin1String("\\u003c"); break;
            case u'>': saida += QLatin1String("\\u003e"); break;
            case u'\n': saida += QLatin1String("\\n"); break;
            case u'\r': saida += QLatin1String("\\r"); break;
            case u'\t': saida += QLatin1String("\\t"); break;
            default:
                if (c.unicode() < 0x20)
                    saida += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    saida += c;
            }
        }
        return saida;
    };
    return (QStringLiteral("[[[\"") + json(traducao) + QStringLiteral("\",\"") + json(original)
            + QStringLiteral("\",null,null,1]],null,\"") + json(idioma) + QStringLiteral("\"]"))
        .toUtf8();
}

void ServidorTraducao::NovaConexao()
{
    while (QTcpSocket* socket = servidor_->nextPendingConnection()) {
        ++conexoesAceitas_;
        conexoes_.insert(socket, Conexao());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            conexoes_[socket].entrada += socket->readAll();
            Processar(socket);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            conexoes_.remove(socket);
            socket->deleteLater();
        });
    }
}

void ServidorTraducao::Processar(QTcpSocket* socket)
{
    for (;;) {
        auto estado = conexoes_.find(socket);
        if (estado == conexoes_.end() || estado->ocupada)
            return;
        QByteArray& entrada = estado->entrada;
        const qsizetype fimCabecalho = entrada.indexOf("\r\n\r\n");
        if (fimCabecalho < 0)
            return;
        const Cabecalho cabecalho = LerCabecalho(entrada.left(fimCabecalho));
        if (!cabecalho.valido) {
            estado->ocupada = true;
            Responder(socket, 400, QByteArray(), true);
            return;
        }
        const qsizetype inicioCorpo = fimCabecalho + 4;
        if (entrada.size() - inicioCorpo < cabecalho.tamanhoCorpo)
            return;

        RequisicaoRecebida recebida;
        recebida.metodo = QString::fromLatin1(cabecalho.metodo);
        recebida.corpo = entrada.mid(inicioCorpo, cabecalho.tamanhoCorpo);
        entrada.remove(0, inicioCorpo + cabecalho.tamanhoCorpo);
        const qsizetype interrogacao = cabecalho.alvo.indexOf('?');
        const QByteArray caminho = interrogacao < 0 ? cabecalho.alvo : cabecalho.alvo.left(interrogacao);
        recebida.caminho = QString::fromUtf8(QByteArray::fromPercentEncoding(caminho));
        recebida.consulta = interrogacao < 0 ? QByteArray() : cabecalho.alvo.mid(interrogacao + 1);
        recebida.itensConsulta = DecodificarItens(recebida.consulta);
        if (cabecalho.tipoConteudo.startsWith("application/x-www-form-urlencoded"))
            recebida.camposFormulario = DecodificarItens(recebida.corpo);
        requisicoes_.append(recebida);

        if (modo_ == Modo::Silencio) {
            estado->ocupada = true;  // held open until the client gives up
            return;
        }

        int status = 200;
        QByteArray corpo;
        const bool get = recebida.metodo == QLatin1String("GET");
        if (caminho != kCaminhoEndpoint) {
            status = 404;
        } else if (!get && recebida.metodo != QLatin1String("POST")) {
            status = 405;
        } else if (modo_ == Modo::FalharTudo || (modo_ == Modo::FalharGet && get)) {
            status = 500;
            corpo = QByteArrayLiteral("Internal Server Error");
        } else if (corpoFixo_) {
            corpo = *corpoFixo_;
        } else {
            const ItensDecodificados& campos = get ? recebida.itensConsulta : recebida.camposFormulario;
            bool achou = false;
            const QString texto = ValorEm(campos, QStringLiteral("text"), &achou);
            const QString origem = ValorEm(campos, QStringLiteral("sl"), &achou);
            const QString destino = ValorEm(campos, QStringLiteral("tl"), &achou);
            const QString detectado = origem.isEmpty() || origem == QLatin1String("auto") ? QStringLiteral("en") : origem;
            corpo = MontarResposta(tradutor_(texto, origem, destino), texto, detectado);
        }

        if (atraso_ > 0) {
            estado->ocupada = true;
            const bool fechar = cabecalho.fechar;
            // The socket is the timer's context: a client that gave up takes
            // the pending answer with it.
            QTimer::singleShot(atraso_, socket, [this, socket, status, corpo, fechar] {
                Responder(socket, status, corpo, fechar);
                auto pendente = conexoes_.find(socket);
                if (pendente != conexoes_.end() && !fechar) {
                    pendente->ocupada = false;
                    Processar(socket);
                }
            });
            return;
        }
        Responder(socket, status, corpo, cabecalho.fechar);
        if (cabecalho.fechar) {
            estado = conexoes_.find(socket);
            if (estado != conexoes_.end())
                estado->ocupada = true;
            return;
        }
    }
}

void ServidorTraducao::Responder(QTcpSocket* socket, int status, const QByteArray& corpo, bool fechar)
{
    QByteArray resposta = "HTTP/1.1 " + QByteArray::number(status) + ' ' + TextoStatus(status) + "\r\n";
    resposta += "Content-Type: text/javascript; charset=UTF-8\r\n";
    resposta += "Content-Length: " + QByteArray::number(corpo.size()) + "\r\n";
    resposta += fechar ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    resposta += "\r\n";
    resposta += corpo;
    socket->write(resposta);
    if (fechar)
        socket->disconnectFromHost();
}

}  // namespace apoio
