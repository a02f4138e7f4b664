#include "suite/RequisicaoHTTP.h"

#include "platform/Texto.h"
#include "suite/ConexaoRede.h"
#include "suite/Transferencia.h"

#include <QHostAddress>
#include <QStringDecoder>
#include <QUrl>

#include <cstring>

namespace orvessa {

namespace {

constexpr int kTempoLimitePadrao = 30;

bool Hex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool NaoReservado(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
           || c == '_' || c == '~';
}

void Escapar(unsigned char c, QByteArray& saida)
{
    static const char digitos[] = "0123456789ABCDEF";
    saida += '%';
    saida += digitos[c >> 4];
    saida += digitos[c & 0xF];
}

// Callers hand over text that is partly encoded already: escapes such as
// "%26" and "+" pass unchanged, a "%" that starts no escape becomes "%25",
// and everything a URL cannot carry is percent-encoded from UTF-8.
// `manter` lists the delimiters that stay as they are.
QByteArray CodificarTolerante(const QString& texto, const char* manter, bool espacoComoMais)
{
    const QByteArray utf8 = texto.toUtf8();
    QByteArray saida;
    saida.reserve(utf8.size() * 3);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '%') {
            if (i + 2 < utf8.size() && Hex(utf8[i + 1]) && Hex(utf8[i + 2]))
                saida += c;
            else
                saida += "%25";
        } else if (NaoReservado(c) || c == '+' || (c != '\0' && std::strchr(manter, c))) {
            saida += c;
        } else if (c == ' ' && espacoComoMais) {
            saida += '+';
        } else {
            Escapar(static_cast<unsigned char>(c), saida);
        }
    }
    return saida;
}

QUrl EnderecoTolerante(const QString& endereco)
{
    QString texto = endereco.trimmed();
    if (!texto.contains(QLatin1String("://")))
        texto.prepend(QLatin1String("http://"));
    return QUrl::fromEncoded(CodificarTolerante(texto, ":/?#[]@!$&'()*,;=", false), QUrl::TolerantMode);
}

QByteArray CharsetDe(const QByteArray& tipoConteudo)
{
    const QList<QByteArray> partes = tipoConteudo.split(';');
    for (qsizetype i = 1; i < partes.size(); ++i) {
        const QByteArray parte = partes[i].trimmed();
        if (parte.toLower().startsWith("charset=")) {
            QByteArray valor = parte.mid(8).trimmed();
            if (valor.size() >= 2 && (valor.front() == '"' || valor.front() == '\'') && valor.back() == valor.front())
                valor = valor.mid(1, valor.size() - 2);
            return valor.trimmed();
        }
    }
    return QByteArray();
}

QString DecodificarCorpo(const QByteArray& corpo, QByteArray charset)
{
    if (charset.isEmpty())
        return QString::fromUtf8(corpo);
    if (charset.compare("ansi", Qt::CaseInsensitive) == 0)
        charset = "WINDOWS-1252";
    QStringDecoder decodificador(charset.constData());
    if (decodificador.isValid())
        return decodificador(corpo);
    if (auto texto = plataforma::DecodificarCharset(charset, corpo))
        return *texto;
    return QString::fromUtf8(corpo);
}

}  // namespace

bool EnderecoLoopback(const QUrl& url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress endereco(host);
    return !endereco.isNull() && endereco.isLoopback();
}

bool EnderecoPermitido(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString esquema = url.scheme().toLower();
    return esquema == QLatin1String("https") || (esquema == QLatin1String("http") && EnderecoLoopback(url));
}

QString DecodificarCorpoHttp(const QByteArray& corpo, const QByteArray& tipoConteudo)
{
    return DecodificarCorpo(corpo, CharsetDe(tipoConteudo));
}

RequisicaoHTTP::RequisicaoHTTP() = default;
RequisicaoHTTP::~RequisicaoHTTP() = default;

bool RequisicaoHTTP::ConexaoDisponivel() const
{
    return ConexaoInternetAtiva();
}

bool RequisicaoHTTP::ObterURL(const QString& endereco, const QString&)
{
    return Executar(false, endereco);
}

void RequisicaoHTTP::AdicionarParametro(const QString& nome, const QString& valor)
{
    parametros_.append({nome, valor});
}

bool RequisicaoHTTP::EnviarFormulario(const QString& endereco, const QString&, int)
{
    return Executar(true, endereco);
}

void RequisicaoHTTP::LimparRequisicao()
{
    parametros_.clear();
    texto_.clear();
    corpo_.clear();
    status_ = 0;
    erro_.clear();
    fim_ = FimTransferencia::FalhaRede;
}

// The transfer waits in a local event loop: the window keeps painting and
// its input events are delivered meanwhile, so a click may re-enter the
// caller before this returns (as with DoEvents); callers guard their own
// state.
bool RequisicaoHTTP::Executar(bool post, const QString& endereco)
{
    texto_.clear();
    corpo_.clear();
    status_ = 0;
    erro_.clear();
    fim_ = FimTransferencia::FalhaRede;

    PedidoTransferencia pedido;
    pedido.endereco = EnderecoTolerante(endereco);
    pedido.cabecalhos.append({QByteArrayLiteral("User-Agent"), QByteArrayLiteral("Mozilla/5.0 (compatible; Orvessa)")});
    if (post) {
        pedido.metodo = "POST";
        for (const auto& [nome, valor] : parametros_) {
            if (!pedido.corpo.isEmpty())
                pedido.corpo += '&';
            pedido.corpo += CodificarTolerante(nome, "", true) + '=' + CodificarTolerante(valor, "", true);
        }
        pedido.cabecalhos.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/x-www-form-urlencoded")});
    }
    LimitesTransferencia limites;
    limites.prazoMs = (TempoLimite > 0 ? TempoLimite : kTempoLimitePadrao) * 1000;
    limites.tamanhoMaximo = TamanhoMaximo > 0 ? TamanhoMaximo : kLimiteRespostaTexto;

    const ResultadoTransferencia r = Transferir(pedido, limites);
    fim_ = r.fim;
    status_ = r.Concluida() ? r.status : 0;
    if (r.Concluida()) {
        corpo_ = r.corpo;
        texto_ = DecodificarCorpoHttp(corpo_, r.Cabecalho("Content-Type"));
    }
    if (r.Sucesso())
        return true;
    if (!r.Concluida())
        erro_ = r.erro;
    else
        erro_ = QStringLiteral("HTTP %1 %2").arg(r.status).arg(r.razao);
    // A document far above any real answer is no answer, and a hop to an
    // address the rule refuses is no accident: say so.
    if (r.fim == FimTransferencia::RespostaGrande || r.fim == FimTransferencia::EnderecoRecusado)
        qWarning("Requisição a %s recusada: %s", qPrintable(r.enderecoFinal.toDisplayString(QUrl::RemoveQuery)),
                 qPrintable(erro_));
    return false;
}

}  // namespace orvessa
