#include "app/workbench/nucleo/Traducao.h"

#include "app/Configuracao.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/nucleo/Aleatorio.h"
#include "platform/Arredondamento.h"
#include "platform/Texto.h"
#include "suite/RequisicaoHTTP.h"

namespace qeltrano {

namespace {

// A fresh nonce in 0..99999, rounded half to even as the runtime's CLng does.
QString NovoNonce()
{
    return QString::number(static_cast<long>(plataforma::ArredondarPar(Rnd() * 99999.0)));
}

QString TraduzirOnline(const QString& texto, const QString& idiomaOrigem, const QString& idiomaDestino)
{
    const QString aparado = plataforma::Trim(texto);
    // The same fields, in this order, in the address and in the form; the
    // language codes go as they are, the text already encoded.
    const QList<QPair<QString, QString>> campos{
        {QStringLiteral("client"), QStringLiteral("t")},
        {QStringLiteral("text"), CodificarTextoTraducao(aparado)},
        {QStringLiteral("sl"), idiomaOrigem},
        {QStringLiteral("tl"), idiomaDestino},
        {QStringLiteral("pc"), QStringLiteral("0")},
        {QStringLiteral("oc"), QStringLiteral("2")},
    };
    QString consulta;
    for (const auto& [nome, valor] : campos)
        consulta += (consulta.isEmpty() ? QString() : QStringLiteral("&")) + nome + u'=' + valor;
    const QString base = Config().EnderecoBaseTraducao();

    orvessa::RequisicaoHTTP requisicao;
    // A silent endpoint must not hold the run: each attempt ends by itself.
    requisicao.TempoLimite = Config().TempoLimiteTraducao;

    if (!requisicao.ObterURL(base + consulta + QStringLiteral("&rnd=") + NovoNonce(), QString())) {
        for (const auto& [nome, valor] : campos)
            requisicao.AdicionarParametro(nome, valor);
        requisicao.AdicionarParametro(QStringLiteral("rnd"), NovoNonce());
        if (!requisicao.EnviarFormulario(base, QString(), 0))
            return aparado;
    }

    // Only the first translated segment of the answer is taken.
    QString r = ExtrairEntre(requisicao.TextoResposta(), QStringLiteral("[[[\""), QStringLiteral("\",\""));
    r.replace(QStringLiteral("\\\""), QStringLiteral("\""));
    r.replace(QStringLiteral("\\x3c"), QStringLiteral("<"));
    r.replace(QStringLiteral("\\u003c"), QStringLiteral("<"));
    r.replace(QStringLiteral("\\x3e"), QStringLiteral(">"));
    r.replace(QStringLiteral("\\u003e"), QStringLiteral(">"));
    r.replace(QStringLiteral("\\u003"), QStringLiteral(">"));
    if (plataforma::Trim(r).isEmpty())
        r = aparado;

    if (CacheTraducao* cache = CacheTraducao::Conexao())
        cache->Gravar(texto, r, idiomaOrigem, idiomaDestino);
    requisicao.LimparRequisicao();
    return r;
}

}  // namespace

QString CodificarTextoTraducao(const QString& texto)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    QString codificado;
    codificado.reserve(texto.size() * 3);
    for (const QChar c : texto) {
        const char16_t codigo = c.unicode();
        if (codigo == u' ') {
            codificado += QLatin1Char('+');
        } else if (codigo < u'0') {
            codificado += QLatin1Char('%');
            codificado += QLatin1Char(kHex[codigo >> 4]);
            codificado += QLatin1Char(kHex[codigo & 0xF]);
        } else {
            codificado += c;
        }
    }
    return codificado;
}

QString ExtrairEntre(const QString& texto, const QString& inicio, const QString& fim)
{
    return plataforma::TextoEntre(texto, inicio, fim);
}

QString TraduzirTexto(const QString& texto, const QString& idiomaOrigem, const QString& idiomaDestino,
                      bool usarOffline)
{
    if (usarOffline) {
        if (CacheTraducao* cache = CacheTraducao::Conexao()) {
            if (std::optional<QString> guardada = cache->Buscar(plataforma::Trim(texto), idiomaOrigem, idiomaDestino))
                return *guardada;
        }
    }
    return TraduzirOnline(texto, idiomaOrigem, idiomaDestino);
}

}  // namespace qeltrano
