#include "controls/download/ClienteHttp.h"

#include "suite/RequisicaoHTTP.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace kestrane {

namespace {

// How often a running request asks whether to abort: well inside the
// tenth of a second a cancel may take.
constexpr int kIntervaloAbortMs = 20;
// What Qt may hold between the socket and us; the rest waits in the socket,
// so a download never sits in memory.
constexpr qint64 kBufferLeitura = 8 * 1024 * 1024;
// Bytes gathered before they go to the file: a few large writes instead of
// one per network packet.
constexpr qint64 kLoteEscrita = 1024 * 1024;
constexpr int kMaximoRedirecionamentos = 10;

bool Sucesso(int status)
{
    return status >= 200 && status < 300;
}

QString TextoStatus(QNetworkReply* resposta, int status)
{
    const QString razao = resposta->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    return razao.isEmpty() ? QStringLiteral("O servidor respondeu com o status HTTP %1.").arg(status)
                           : QStringLiteral("O servidor respondeu com o status HTTP %1 (%2).").arg(status).arg(razao);
}

}  // namespace

QString RespostaHttp::Cabecalho(const QByteArray& nome) const
{
    return QString::fromLatin1(cabecalhos.value(nome.toLower())).trimmed();
}

struct ClienteHttp::Espera {
    bool esgotado = false;
    bool abortado = false;
    bool redirecionamentoRecusado = false;
    QUrl recusado;
    QString falhaLocal;
};

ClienteHttp::ClienteHttp()
{
    rede_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

ClienteHttp::~ClienteHttp() = default;

bool ClienteHttp::Preparar(const QString& url, QUrl& destino)
{
    redirecionado_ = false;
    urlFinal_.clear();
    ultimoErro_.clear();
    const QString texto = url.trimmed();
    if (texto.isEmpty()) {
        ultimoErro_ = QStringLiteral("Nenhum endereço foi informado.");
        return false;
    }
    destino = QUrl(texto, QUrl::TolerantMode);
    if (!destino.isValid() || destino.host().isEmpty()) {
        ultimoErro_ = QStringLiteral("Endereço inválido: %1").arg(texto);
        return false;
    }
    // Only HTTPS reaches another host: an installer fetched in the clear
    // could be anyone's.
    if (!orvessa::EnderecoPermitido(destino)) {
        ultimoErro_ = QStringLiteral("Endereço recusado: somente endereços HTTPS são aceitos (%1).").arg(texto);
        return false;
    }
    if (!QCoreApplication::instance()) {
        ultimoErro_ = QStringLiteral("Sem laço de eventos para a requisição.");
        return false;
    }
    // Aborted before it starts: nothing is sent.
    if (AbortCheck && AbortCheck()) {
        ultimoErro_ = QStringLiteral("A operação foi interrompida.");
        return false;
    }
    // A proxy named in the environment must never see loopback traffic.
    rede_.setProxy(orvessa::EnderecoLoopback(destino) ? QNetworkProxy(QNetworkProxy::NoProxy)
                                                       : QNetworkProxy(QNetworkProxy::DefaultProxy));
    return true;
}

QNetworkRequest ClienteHttp::Pedido(const QUrl& url, bool seguir)
{
    QNetworkRequest pedido(url);
    pedido.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/5.0 (compatible; Kestrane)"));
    if (seguir && SeguirRedirecionamentos) {
        pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
        pedido.setMaximumRedirectsAllowed(kMaximoRedirecionamentos);
    } else {
        pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    }
    if (!ManterConexao)
        pedido.setRawHeader("Connection", "close");
    return pedido;
}

bool ClienteHttp::Aguardar(QNetworkReply* resposta, const std::function<void()>& aoLer, Espera& espera)
{
    QEventLoop laco;
    QTimer parado;
    parado.setSingleShot(true);
    QTimer verificacao;
    const int limiteMs = qMax(1, TempoLimiteSegundos) * 1000;

    auto abortar = [&](bool* motivo) {
        if (motivo)
            *motivo = true;
        if (resposta->isRunning())
            resposta->abort();
    };
    auto perguntarAbort = [&] {
        if (!espera.abortado && AbortCheck && AbortCheck())
            abortar(&espera.abortado);
    };
    // Anything arriving counts as life; only silence for the whole limit ends it.
    auto vivo = [&] { parado.start(limiteMs); };

    QObject::connect(resposta, &QNetworkReply::finished, &laco, &QEventLoop::quit);
    QObject::connect(&parado, &QTimer::timeout, resposta, [&] { abortar(&espera.esgotado); });
    QObject::connect(&verificacao, &QTimer::timeout, resposta, perguntarAbort);
    QObject::connect(resposta, &QNetworkReply::metaDataChanged, &parado, vivo);
    QObject::connect(resposta, &QNetworkReply::uploadProgress, &parado, vivo);
    QObject::connect(resposta, &QNetworkReply::redirected, resposta, [&](const QUrl& destino) {
        vivo();
        // A redirect may not lead to an address the first one could not.
        if (orvessa::EnderecoPermitido(destino)) {
            emit resposta->redirectAllowed();
        } else {
            espera.recusado = destino;
            abortar(&espera.redirecionamentoRecusado);
        }
    });
    QObject::connect(resposta, &QNetworkReply::readyRead, &parado, [&] {
        vivo();
        if (aoLer)
            aoLer();
        perguntarAbort();
    });

    vivo();
    verificacao.start(kIntervaloAbortMs);
    if (!resposta->isFinished())
        laco.exec();
    parado.stop();
    verificacao.stop();
    // What finished with the last bytes still waits to be read.
    if (aoLer && !espera.abortado && !espera.esgotado && espera.falhaLocal.isEmpty() && resposta->bytesAvailable() > 0)
        aoLer();
    return !espera.abortado && !espera.esgotado && !espera.redirecionamentoRecusado && espera.falhaLocal.isEmpty();
}

void ClienteHttp::AnotarFalha(QNetworkReply* resposta, const Espera& espera)
{
    const int status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (espera.abortado)
        ultimoErro_ = QStringLiteral("A operação foi interrompida.");
    else if (espera.esgotado)
        ultimoErro_ = QStringLiteral("Tempo limite de %1 s esgotado sem resposta do servidor.")
                          .arg(TempoLimiteSegundos);
    else if (espera.redirecionamentoRecusado)
        ultimoErro_ = QStringLiteral("Redirecionamento recusado: somente endereços HTTPS são aceitos (%1).")
                          .arg(espera.recusado.toDisplayString());
    else if (!espera.falhaLocal.isEmpty())
        ultimoErro_ = espera.falhaLocal;
    else if (status > 0 && !Sucesso(status))
        ultimoErro_ = TextoStatus(resposta, status);
    else
        ultimoErro_ = resposta->errorString();
}

std::optional<RespostaHttp> ClienteHttp::Head(const QString& url)
{
    QUrl destino;
    if (!Preparar(url, destino))
        return std::nullopt;
    QNetworkReply* resposta = rede_.head(Pedido(destino, false));
    Espera espera;
    const bool terminou = Aguardar(resposta, {}, espera);
    std::optional<RespostaHttp> resultado;
    const int status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (terminou && status > 0) {
        RespostaHttp r;
        r.status = status;
        for (const auto& [nome, valor] : resposta->rawHeaderPairs())
            r.cabecalhos.insert(nome.toLower(), valor);
        resultado = r;
    } else {
        AnotarFalha(resposta, espera);
    }
    urlFinal_ = resposta->url().toString();
    delete resposta;
    return resultado;
}

int ClienteHttp::Download(const QString& url, const QString& destino)
{
    QUrl endereco;
    if (!Preparar(url, endereco))
        return 0;
    QFile arquivo(destino);
    if (destino.trimmed().isEmpty() || !arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ultimoErro_ = QStringLiteral("Não foi possível criar o arquivo de destino \"%1\": %2")
                          .arg(destino, arquivo.errorString());
        return 0;
    }

    QNetworkReply* resposta = rede_.get(Pedido(endereco, true));
    resposta->setReadBufferSize(kBufferLeitura);
    Espera espera;
    qint64 recebidos = 0;
    qint64 total = -1;
    int ultimoPercentual = -1;
    QElapsedTimer relogio;
    relogio.start();
    QByteArray bloco(int(kBufferLeitura), Qt::Uninitialized);

    auto ler = [&] {
        const int status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        // An error page is not the file asked for.
        if (status > 0 && !Sucesso(status)) {
            resposta->abort();
            return;
        }
        if (total < 0) {
            const QVariant tamanho = resposta->header(QNetworkRequest::ContentLengthHeader);
            total = tamanho.isValid() ? tamanho.toLongLong() : 0;
        }
        const bool gravar = resposta->bytesAvailable() >= kLoteEscrita || !resposta->isRunning();
        while (gravar && resposta->bytesAvailable() > 0) {
            const qint64 lidos = resposta->read(bloco.data(), bloco.size());
            if (lidos <= 0)
                break;
            if (arquivo.write(bloco.constData(), lidos) != lidos) {
                espera.falhaLocal = QStringLiteral("Não foi possível gravar o arquivo de destino \"%1\": %2")
                                        .arg(destino, arquivo.errorString());
                resposta->abort();
                return;
            }
            recebidos += lidos;
        }
        // What waits for the next write has arrived all the same.
        const qint64 chegados = recebidos + resposta->bytesAvailable();
        if (total > 0 && PercentDone) {
            const int percentual = int(qMin<qint64>(100, chegados * 100 / total));
            if (percentual != ultimoPercentual) {
                ultimoPercentual = percentual;
                PercentDone(percentual);
            }
        }
        if (ReceiveRate) {
            const qint64 ms = qMax<qint64>(1, relogio.elapsed());
            ReceiveRate(chegados, chegados * 1000 / ms);
        }
    };

    bool completo = Aguardar(resposta, ler, espera);
    const int status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (completo && (!Sucesso(status) || resposta->error() != QNetworkReply::NoError))
        completo = false;
    if (!completo) {
        AnotarFalha(resposta, espera);
    } else if (total > 0 && recebidos != total) {
        ultimoErro_ = QStringLiteral("A conexão terminou antes do fim do arquivo (%1 de %2 bytes).")
                          .arg(recebidos)
                          .arg(total);
        completo = false;
    }
    if (completo && !arquivo.flush()) {
        ultimoErro_ = QStringLiteral("Não foi possível gravar o arquivo de destino \"%1\": %2")
                          .arg(destino, arquivo.errorString());
        completo = false;
    }
    arquivo.close();
    urlFinal_ = resposta->url().toString();
    redirecionado_ = resposta->url() != endereco;
    delete resposta;
    return completo ? 1 : 0;
}

QString ClienteHttp::QuickGetStr(const QString& url)
{
    QUrl endereco;
    if (!Preparar(url, endereco))
        return QString();
    QNetworkReply* resposta = rede_.get(Pedido(endereco, true));
    resposta->setReadBufferSize(kBufferLeitura);
    Espera espera;
    QByteArray corpo;
    auto ler = [&] {
        const QByteArray parte = resposta->readAll();
        if (corpo.size() + parte.size() > LimiteTexto) {
            espera.falhaLocal = QStringLiteral("A resposta passa de %1 MB, o maior texto aceito.")
                                    .arg(LimiteTexto / (1024 * 1024));
            resposta->abort();
            return;
        }
        corpo += parte;
    };
    bool completo = Aguardar(resposta, ler, espera);
    const int status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (completo && (!Sucesso(status) || resposta->error() != QNetworkReply::NoError))
        completo = false;
    if (!completo)
        AnotarFalha(resposta, espera);
    urlFinal_ = resposta->url().toString();
    redirecionado_ = resposta->url() != endereco;
    const QString texto = completo ? orvessa::DecodificarCorpoHttp(
                                         corpo, resposta->header(QNetworkRequest::ContentTypeHeader).toByteArray())
                                   : QString();
    delete resposta;
    return texto;
}

}  // namespace kestrane
