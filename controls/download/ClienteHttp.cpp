#include "controls/download/ClienteHttp.h"

#include "suite/RequisicaoHTTP.h"

#include <QElapsedTimer>
#include <QFile>

namespace kestrane {

namespace {

constexpr int kMaximoRedirecionamentos = 10;

QString TextoStatus(const orvessa::ResultadoTransferencia& r)
{
    const QString razao = r.razao.trimmed();
    return razao.isEmpty()
               ? QStringLiteral("O servidor respondeu com o status HTTP %1.").arg(r.status)
               : QStringLiteral("O servidor respondeu com o status HTTP %1 (%2).").arg(r.status).arg(razao);
}

// The file being downloaded, with the control's progress callbacks.
class ArquivoDestino : public orvessa::DestinoTransferencia {
public:
    ArquivoDestino(QFile& arquivo, const ClienteHttp& cliente) : arquivo_(arquivo), cliente_(cliente)
    {
        relogio_.start();
    }

    bool Gravar(const char* dados, qint64 tamanho, QString& erro) override
    {
        if (arquivo_.write(dados, tamanho) == tamanho)
            return true;
        erro = QStringLiteral("Não foi possível gravar o arquivo de destino \"%1\": %2")
                   .arg(arquivo_.fileName(), arquivo_.errorString());
        return false;
    }

    void Progresso(qint64 chegados, qint64 total) override
    {
        if (total > 0 && cliente_.PercentDone) {
            const int percentual = int(qMin<qint64>(100, chegados * 100 / total));
            if (percentual != ultimoPercentual_) {
                ultimoPercentual_ = percentual;
                cliente_.PercentDone(percentual);
            }
        }
        if (cliente_.ReceiveRate) {
            const qint64 ms = qMax<qint64>(1, relogio_.elapsed());
            cliente_.ReceiveRate(chegados, chegados * 1000 / ms);
        }
    }

private:
    QFile& arquivo_;
    const ClienteHttp& cliente_;
    QElapsedTimer relogio_;
    int ultimoPercentual_ = -1;
};

}  // namespace

QString RespostaHttp::Cabecalho(const QByteArray& nome) const
{
    return QString::fromLatin1(cabecalhos.value(nome.toLower())).trimmed();
}

ClienteHttp::ClienteHttp() = default;
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
    // Aborted before it starts: nothing is sent.
    if (AbortCheck && AbortCheck()) {
        ultimoErro_ = QStringLiteral("A operação foi interrompida.");
        return false;
    }
    return true;
}

orvessa::PedidoTransferencia ClienteHttp::Pedido(const QByteArray& metodo, const QUrl& url) const
{
    orvessa::PedidoTransferencia pedido;
    pedido.metodo = metodo;
    pedido.endereco = url;
    pedido.cabecalhos.append({QByteArrayLiteral("User-Agent"), QByteArrayLiteral("Mozilla/5.0 (compatible; Kestrane)")});
    if (!ManterConexao)
        pedido.cabecalhos.append({QByteArrayLiteral("Connection"), QByteArrayLiteral("close")});
    return pedido;
}

// The limit is on silence, not on the whole: a large download may take
// long while it keeps moving.
orvessa::LimitesTransferencia ClienteHttp::Limites(bool seguir) const
{
    orvessa::LimitesTransferencia limites;
    limites.prazoMs = 0;
    limites.estagnacaoMs = qMax(1, TempoLimiteSegundos) * 1000;
    limites.redirecionamentos = seguir && SeguirRedirecionamentos ? kMaximoRedirecionamentos : 0;
    limites.parar = AbortCheck;
    return limites;
}

void ClienteHttp::AnotarFalha(const orvessa::ResultadoTransferencia& r)
{
    using orvessa::FimTransferencia;
    switch (r.fim) {
    case FimTransferencia::Interrompida:
        ultimoErro_ = QStringLiteral("A operação foi interrompida.");
        break;
    case FimTransferencia::Estagnada:
    case FimTransferencia::TempoEsgotado:
        ultimoErro_ = QStringLiteral("Tempo limite de %1 s esgotado sem resposta do servidor.").arg(TempoLimiteSegundos);
        break;
    case FimTransferencia::EnderecoRecusado:
        ultimoErro_ = QStringLiteral("Redirecionamento recusado: somente endereços HTTPS são aceitos (%1).")
                          .arg(r.enderecoFinal.toDisplayString(QUrl::RemoveUserInfo));
        break;
    case FimTransferencia::Concluida:
        ultimoErro_ = TextoStatus(r);
        break;
    default:
        ultimoErro_ = r.erro;
    }
}

std::optional<RespostaHttp> ClienteHttp::Head(const QString& url)
{
    QUrl destino;
    if (!Preparar(url, destino))
        return std::nullopt;
    const orvessa::ResultadoTransferencia r = orvessa::Transferir(Pedido("HEAD", destino), Limites(false));
    urlFinal_ = r.enderecoFinal.toString();
    if (!r.Concluida()) {
        AnotarFalha(r);
        return std::nullopt;
    }
    RespostaHttp resposta;
    resposta.status = r.status;
    for (const auto& [nome, valor] : r.cabecalhos)
        resposta.cabecalhos.insert(nome.toLower(), valor);
    return resposta;
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

    ArquivoDestino gravador(arquivo, *this);
    const orvessa::ResultadoTransferencia r = orvessa::Transferir(Pedido("GET", endereco), Limites(true), &gravador);
    bool completo = r.Sucesso();
    if (!completo)
        AnotarFalha(r);
    if (completo && !arquivo.flush()) {
        ultimoErro_ = QStringLiteral("Não foi possível gravar o arquivo de destino \"%1\": %2")
                          .arg(destino, arquivo.errorString());
        completo = false;
    }
    arquivo.close();
    urlFinal_ = r.enderecoFinal.toString();
    redirecionado_ = r.redirecionamentos > 0;
    return completo ? 1 : 0;
}

QString ClienteHttp::QuickGetStr(const QString& url)
{
    QUrl endereco;
    if (!Preparar(url, endereco))
        return QString();
    orvessa::LimitesTransferencia limites = Limites(true);
    limites.tamanhoMaximo = LimiteTexto;
    const orvessa::ResultadoTransferencia r = orvessa::Transferir(Pedido("GET", endereco), limites);
    urlFinal_ = r.enderecoFinal.toString();
    redirecionado_ = r.redirecionamentos > 0;
    if (!r.Sucesso()) {
        if (r.fim == orvessa::FimTransferencia::RespostaGrande)
            ultimoErro_ = QStringLiteral("A resposta passa de %1 MB, o maior texto aceito.").arg(LimiteTexto / (1024 * 1024));
        else
            AnotarFalha(r);
        return QString();
    }
    return orvessa::DecodificarCorpoHttp(r.corpo, r.Cabecalho("Content-Type"));
}

}  // namespace kestrane
