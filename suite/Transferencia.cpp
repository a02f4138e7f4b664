#include "suite/Transferencia.h"

#include "suite/RequisicaoHTTP.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <memory>

namespace orvessa {

namespace {

// What Qt may hold between the socket and us; the rest waits in the socket.
constexpr qint64 kBufferLeitura = 8 * 1024 * 1024;
// Bytes gathered before they go to a destination: a few large writes
// instead of one per network packet.
constexpr qint64 kLoteEscrita = 1024 * 1024;
// How often a running transfer asks its stop condition.
constexpr int kIntervaloParadaMs = 20;

// One manager for the program (one more for loopback, which never goes
// through a proxy): its connections are kept alive between requests, so a
// run of a thousand rows does not open a thousand connections, nor pay a TLS
// handshake for each. Owned by the application object, so it is gone before
// Qt Network is.
QNetworkAccessManager* RedeCompartilhada(bool loopback)
{
    static QPointer<QNetworkAccessManager> gerentes[2];
    QPointer<QNetworkAccessManager>& gerente = gerentes[loopback ? 1 : 0];
    if (!gerente) {
        gerente = new QNetworkAccessManager(QCoreApplication::instance());
        if (loopback)
            gerente->setProxy(QNetworkProxy::NoProxy);
    }
    return gerente;
}

QString Segundos(int ms)
{
    return QLocale::c().toString(ms / 1000.0);
}

bool Redirecionamento(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Transport and protocol failures, as opposed to an answer whose status
// Qt also reports as an error (404, 500).
bool FalhaDeTransporte(QNetworkReply::NetworkError erro)
{
    return erro != QNetworkReply::NoError && (erro < QNetworkReply::ContentAccessDenied
                                              || (erro >= QNetworkReply::ProtocolUnknownError
                                                  && erro < QNetworkReply::InternalServerError));
}

// One hop: a request, its answer read under the limits, and what to do next.
struct Etapa {
    enum class Fim { Resposta, Redirecionar, Motivo };
    Fim fim = Fim::Resposta;
    FimTransferencia motivo = FimTransferencia::FalhaRede;
    QString erro;
    QUrl proximo;
};

class Execucao {
public:
    Execucao(const LimitesTransferencia& limites, DestinoTransferencia* destino, ResultadoTransferencia& r)
        : limites_(limites), destino_(destino), r_(r)
    {
        relogio_.start();
    }

    Etapa Executar(const QByteArray& metodo, const QUrl& url, const QList<QPair<QByteArray, QByteArray>>& cabecalhos,
                   const QByteArray& corpo, bool seguir);

private:
    void Encerrar(FimTransferencia motivo, const QString& erro)
    {
        if (etapa_.fim != Etapa::Fim::Resposta || encerrar_)
            return;
        etapa_.fim = Etapa::Fim::Motivo;
        etapa_.motivo = motivo;
        etapa_.erro = erro;
        laco_->quit();
    }
    void LerCabecalho(bool seguir);
    void Ler(bool tudo);

    const LimitesTransferencia& limites_;
    DestinoTransferencia* destino_;
    ResultadoTransferencia& r_;
    QElapsedTimer relogio_;

    QNetworkReply* resposta_ = nullptr;
    QEventLoop* laco_ = nullptr;
    Etapa etapa_;
    bool cabecalhoLido_ = false;
    // A status a destination does not take: the head is all we need.
    bool encerrar_ = false;
    bool cabeca_ = false;
    qint64 total_ = -1;
    QByteArray bloco_;
};

void Execucao::LerCabecalho(bool seguir)
{
    if (cabecalhoLido_)
        return;
    const QVariant status = resposta_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    cabecalhoLido_ = true;
    r_.status = status.toInt();
    r_.razao = resposta_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    r_.cabecalhos = resposta_->rawHeaderPairs();
    const QVariant tamanho = resposta_->header(QNetworkRequest::ContentLengthHeader);
    total_ = tamanho.isValid() ? tamanho.toLongLong() : -1;

    const QByteArray local = resposta_->rawHeader("Location").trimmed();
    if (seguir && Redirecionamento(r_.status) && !local.isEmpty()) {
        if (r_.redirecionamentos >= limites_.redirecionamentos) {
            Encerrar(FimTransferencia::FalhaRede,
                     QStringLiteral("Mais de %1 redirecionamentos a partir de %2.")
                         .arg(limites_.redirecionamentos)
                         .arg(r_.enderecoFinal.toDisplayString(QUrl::RemoveQuery | QUrl::RemoveUserInfo)));
            return;
        }
        etapa_.fim = Etapa::Fim::Redirecionar;
        etapa_.proximo = resposta_->url().resolved(QUrl::fromEncoded(local, QUrl::TolerantMode));
        laco_->quit();
        return;
    }
    if (destino_ && (r_.status < 200 || r_.status > 299)) {
        encerrar_ = true;
        laco_->quit();
        return;
    }
    // A HEAD answer announces a size it does not send.
    if (!destino_ && !cabeca_ && limites_.tamanhoMaximo >= 0 && total_ > limites_.tamanhoMaximo)
        Encerrar(FimTransferencia::RespostaGrande,
                 QStringLiteral("A resposta anuncia %1 bytes, acima do limite de %2.").arg(total_).arg(limites_.tamanhoMaximo));
}

void Execucao::Ler(bool tudo)
{
    if (!cabecalhoLido_ || encerrar_ || etapa_.fim != Etapa::Fim::Resposta)
        return;
    if (!destino_) {
        while (resposta_->bytesAvailable() > 0) {
            const QByteArray parte = resposta_->read(kBufferLeitura);
            if (limites_.tamanhoMaximo >= 0 && r_.corpo.size() + parte.size() > limites_.tamanhoMaximo) {
                Encerrar(FimTransferencia::RespostaGrande,
                         QStringLiteral("A resposta passa de %1 bytes, o limite aceito.").arg(limites_.tamanhoMaximo));
                return;
            }
            r_.corpo += parte;
            r_.recebidos += parte.size();
        }
        return;
    }
    if (tudo || resposta_->bytesAvailable() >= kLoteEscrita) {
        if (bloco_.isEmpty())
            bloco_.resize(kBufferLeitura);
        while (resposta_->bytesAvailable() > 0) {
            const qint64 lidos = resposta_->read(bloco_.data(), bloco_.size());
            if (lidos <= 0)
                break;
            QString erro;
            if (!destino_->Gravar(bloco_.constData(), lidos, erro)) {
                Encerrar(FimTransferencia::FalhaRede, erro);
                return;
            }
            r_.recebidos += lidos;
        }
    }
    // What waits for the next write has arrived all the same.
    destino_->Progresso(r_.recebidos + resposta_->bytesAvailable(), total_);
}

Etapa Execucao::Executar(const QByteArray& metodo, const QUrl& url,
                         const QList<QPair<QByteArray, QByteArray>>& cabecalhos, const QByteArray& corpo, bool seguir)
{
    etapa_ = Etapa();
    cabecalhoLido_ = false;
    encerrar_ = false;
    cabeca_ = metodo == "HEAD";
    total_ = -1;
    r_.status = 0;
    r_.razao.clear();
    r_.cabecalhos.clear();
    r_.corpo.clear();
    r_.recebidos = 0;

    // A proxy named in the environment must never see loopback traffic. A
    // worker thread cannot use the program's manager and gets its own.
    const bool loopback = EnderecoLoopback(url);
    std::unique_ptr<QNetworkAccessManager> propria;
    QNetworkAccessManager* rede = nullptr;
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
        rede = RedeCompartilhada(loopback);
    } else {
        propria = std::make_unique<QNetworkAccessManager>();
        if (loopback)
            propria->setProxy(QNetworkProxy::NoProxy);
        rede = propria.get();
    }

    QNetworkRequest pedido(url);
    pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const auto& [nome, valor] : cabecalhos)
        pedido.setRawHeader(nome, valor);

    QEventLoop laco;
    laco_ = &laco;
    QNetworkReply* resposta = nullptr;
    if (metodo == "GET")
        resposta = rede->get(pedido);
    else if (metodo == "HEAD")
        resposta = rede->head(pedido);
    else if (metodo == "POST")
        resposta = rede->post(pedido, corpo);
    else
        resposta = rede->sendCustomRequest(pedido, metodo, corpo);
    std::unique_ptr<QNetworkReply> dona(resposta);
    resposta_ = resposta;
    resposta->setReadBufferSize(kBufferLeitura);

    QTimer prazo, estagnacao, parada;
    prazo.setSingleShot(true);
    estagnacao.setSingleShot(true);
    // A limit is a promise: a coarse timer may fire 5 % early.
    prazo.setTimerType(Qt::PreciseTimer);
    estagnacao.setTimerType(Qt::PreciseTimer);
    auto vivo = [&] {
        if (limites_.estagnacaoMs > 0)
            estagnacao.start(limites_.estagnacaoMs);
    };
    auto perguntarParada = [&] {
        if (limites_.parar && limites_.parar())
            Encerrar(FimTransferencia::Interrompida, QStringLiteral("A operação foi interrompida."));
    };
    QObject::connect(&prazo, &QTimer::timeout, &laco, [&] {
        Encerrar(FimTransferencia::TempoEsgotado, QStringLiteral("Tempo limite de %1 s esgotado.").arg(Segundos(limites_.prazoMs)));
    });
    QObject::connect(&estagnacao, &QTimer::timeout, &laco, [&] {
        Encerrar(FimTransferencia::Estagnada,
                 QStringLiteral("Nada chegou do servidor em %1 s.").arg(Segundos(limites_.estagnacaoMs)));
    });
    QObject::connect(&parada, &QTimer::timeout, &laco, perguntarParada);
    QObject::connect(resposta, &QNetworkReply::metaDataChanged, &laco, [&, seguir] {
        vivo();
        LerCabecalho(seguir);
    });
    QObject::connect(resposta, &QNetworkReply::uploadProgress, &laco, vivo);
    QObject::connect(resposta, &QNetworkReply::readyRead, &laco, [&, seguir] {
        vivo();
        LerCabecalho(seguir);
        Ler(false);
        perguntarParada();
    });
    QObject::connect(resposta, &QNetworkReply::finished, &laco, &QEventLoop::quit);

    if (limites_.prazoMs > 0) {
        const qint64 resta = limites_.prazoMs - relogio_.elapsed();
        if (resta <= 0)
            Encerrar(FimTransferencia::TempoEsgotado,
                     QStringLiteral("Tempo limite de %1 s esgotado.").arg(Segundos(limites_.prazoMs)));
        else
            prazo.start(int(resta));
    }
    vivo();
    if (limites_.parar)
        parada.start(kIntervaloParadaMs);
    if (etapa_.fim == Etapa::Fim::Resposta && !resposta->isFinished())
        laco.exec();
    prazo.stop();
    estagnacao.stop();
    parada.stop();

    // Ended from inside one of the reply's signals: it is stopped here,
    // outside them, with nobody listening any more.
    QObject::disconnect(resposta, nullptr, &laco, nullptr);
    if (etapa_.fim == Etapa::Fim::Resposta && !encerrar_ && resposta->isFinished()) {
        LerCabecalho(seguir);
        Ler(true);
        const QNetworkReply::NetworkError erro = resposta->error();
        if (etapa_.fim == Etapa::Fim::Resposta && (FalhaDeTransporte(erro) || r_.status == 0)) {
            etapa_.fim = Etapa::Fim::Motivo;
            etapa_.motivo = FimTransferencia::FalhaRede;
            etapa_.erro = resposta->errorString();
        } else if (etapa_.fim == Etapa::Fim::Resposta && !cabeca_ && total_ >= 0 && r_.recebidos != total_
                   && r_.status >= 200 && r_.status < 300) {
            etapa_.fim = Etapa::Fim::Motivo;
            etapa_.motivo = FimTransferencia::FalhaRede;
            etapa_.erro = QStringLiteral("A conexão terminou antes do fim da resposta (%1 de %2 bytes).")
                              .arg(r_.recebidos)
                              .arg(total_);
        }
    }
    if (resposta->isRunning())
        resposta->abort();
    resposta_ = nullptr;
    laco_ = nullptr;
    return etapa_;
}

}  // namespace

DestinoTransferencia::~DestinoTransferencia() = default;

void DestinoTransferencia::Progresso(qint64, qint64) {}

QByteArray ResultadoTransferencia::Cabecalho(const QByteArray& nome) const
{
    for (const auto& [chave, valor] : cabecalhos)
        if (chave.compare(nome, Qt::CaseInsensitive) == 0)
            return valor;
    return QByteArray();
}

ResultadoTransferencia Transferir(const PedidoTransferencia& pedido, const LimitesTransferencia& limitesDados,
                                  DestinoTransferencia* destino)
{
    ResultadoTransferencia r;
    r.enderecoFinal = pedido.endereco;
    if (!QCoreApplication::instance()) {
        r.erro = QStringLiteral("Sem laço de eventos para a requisição.");
        return r;
    }
    LimitesTransferencia limites = limitesDados;
    // No request may hang: without a stall limit there is always a deadline.
    if (limites.prazoMs <= 0 && limites.estagnacaoMs <= 0)
        limites.prazoMs = LimitesTransferencia().prazoMs;
    if (!destino && limites.tamanhoMaximo < 0)
        limites.tamanhoMaximo = kLimiteRespostaTexto;

    Execucao execucao(limites, destino, r);
    QByteArray metodo = pedido.metodo.toUpper();
    QByteArray corpo = pedido.corpo;
    QList<QPair<QByteArray, QByteArray>> cabecalhos = pedido.cabecalhos;
    QUrl url = pedido.endereco;
    for (;;) {
        r.enderecoFinal = url;
        const QString esquema = url.scheme().toLower();
        if (!url.isValid() || url.host().isEmpty()
            || (esquema != QLatin1String("http") && esquema != QLatin1String("https"))) {
            r.fim = r.redirecionamentos > 0 ? FimTransferencia::EnderecoRecusado : FimTransferencia::FalhaRede;
            r.erro = QStringLiteral("Endereço inválido: %1").arg(url.toDisplayString(QUrl::RemoveUserInfo));
            r.status = 0;
            return r;
        }
        // Plain HTTP never leaves this machine, at any hop: whatever a
        // remote host answers must come over TLS.
        if (!EnderecoPermitido(url)) {
            r.fim = FimTransferencia::EnderecoRecusado;
            r.erro = QStringLiteral("Somente HTTPS é aceito fora do computador local: %1")
                         .arg(url.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery));
            r.status = 0;
            r.cabecalhos.clear();
            r.corpo.clear();
            return r;
        }
        if (limites.parar && limites.parar()) {
            r.fim = FimTransferencia::Interrompida;
            r.erro = QStringLiteral("A operação foi interrompida.");
            return r;
        }
        const Etapa etapa = execucao.Executar(metodo, url, cabecalhos, corpo, limites.redirecionamentos > 0);
        if (etapa.fim == Etapa::Fim::Motivo) {
            r.fim = etapa.motivo;
            r.erro = etapa.erro;
            return r;
        }
        if (etapa.fim == Etapa::Fim::Resposta) {
            r.fim = FimTransferencia::Concluida;
            return r;
        }
        // 303, and 301/302 after a POST, go on as a GET without the body,
        // as browsers do; 307 and 308 repeat the request as it was.
        if (r.status == 303 || ((r.status == 301 || r.status == 302) && metodo == "POST")) {
            if (metodo != "HEAD")
                metodo = "GET";
            corpo.clear();
            cabecalhos.removeIf([](const QPair<QByteArray, QByteArray>& c) {
                return c.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
            });
        }
        // Credentials stay with the host they were given for.
        if (etapa.proximo.host().compare(url.host(), Qt::CaseInsensitive) != 0)
            cabecalhos.removeIf([](const QPair<QByteArray, QByteArray>& c) {
                return c.first.compare("Authorization", Qt::CaseInsensitive) == 0;
            });
        ++r.redirecionamentos;
        url = etapa.proximo;
    }
}

}  // namespace orvessa
