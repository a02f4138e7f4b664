#include "checkout/Instrucao.h"

#include "checkout/Transporte.h"
#include "checkout/Valores.h"
#include "checkout/modGlobal.h"
#include "suite/RequisicaoHTTP.h"

#include <QUrl>
#include <QXmlStreamReader>

#include <cmath>

namespace vendalo {
namespace {

QString Url(const QString& valor)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(valor));
}

}  // namespace

QString TextoParaXml(const QString& valor)
{
    // Pasted text may carry control characters or lone surrogates, which no
    // XML 1.0 parser accepts even escaped: they are dropped first.
    QString limpo;
    limpo.reserve(valor.size());
    const qsizetype n = valor.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = valor.at(i);
        if (c.isHighSurrogate() && i + 1 < n && valor.at(i + 1).isLowSurrogate()) {
            limpo += c;
            limpo += valor.at(++i);
            continue;
        }
        const char16_t u = c.unicode();
        const bool permitido = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) ||
                               (u >= 0xE000 && u <= 0xFFFD);
        if (permitido)
            limpo += c;
    }
    return limpo.toHtmlEscaped();
}

QString MontarIdRetorno(const QDateTime& agora, const QString& aleatorio, const QString& idProprio)
{
    return agora.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('.') + agora.toString(QStringLiteral("HHmmss")) +
           QLatin1Char('.') + aleatorio + QLatin1Char('.') + idProprio;
}

QString MontarInstrucao(const DadosInstrucao& d)
{
    QString x;
    x.reserve(1600);
    x += QStringLiteral("<EnviarInstrucao>");
    x += QStringLiteral("  <InstrucaoUnica TipoValidacao=\"Transparente\">");
    x += QStringLiteral("        <Razao>") + TextoParaXml(d.Razao) + QStringLiteral("</Razao>");
    x += QStringLiteral("        <Valores>");
    x += QStringLiteral("            <Valor moeda=\"BRL\">") + ValorParaServico(d.ValorTotal) + QStringLiteral("</Valor>");
    x += QStringLiteral("        </Valores>");
    x += QStringLiteral("        <IdProprio>") + TextoParaXml(d.IdRetorno) + QStringLiteral("</IdProprio>");
    x += QStringLiteral("        <Pagador>");
    x += QStringLiteral("            <Nome>") + TextoParaXml(d.Nome) + QStringLiteral("</Nome>");
    x += QStringLiteral("            <Email>") + TextoParaXml(d.Email) + QStringLiteral("</Email>");
    x += QStringLiteral("            <IdPagador>") + TextoParaXml(d.IdPagador) + QStringLiteral("</IdPagador>");
    x += QStringLiteral("            <EnderecoCobranca>");
    x += QStringLiteral("                <Logradouro>") + TextoParaXml(d.Logradouro) + QStringLiteral("</Logradouro>");
    x += QStringLiteral("                <Numero>") + TextoParaXml(d.Numero) + QStringLiteral("</Numero>");
    x += QStringLiteral("                <Complemento>") + TextoParaXml(d.Complemento) + QStringLiteral("</Complemento>");
    x += QStringLiteral("                <Bairro>") + TextoParaXml(d.Bairro) + QStringLiteral("</Bairro>");
    x += QStringLiteral("                <Cidade>") + TextoParaXml(d.Cidade) + QStringLiteral("</Cidade>");
    x += QStringLiteral("                <Estado>") + TextoParaXml(d.Estado) + QStringLiteral("</Estado>");
    x += QStringLiteral("                <Pais>BRA</Pais>");
    x += QStringLiteral("                <CEP>") + TextoParaXml(d.CEP) + QStringLiteral("</CEP>");
    x += QStringLiteral("                <TelefoneFixo>") + TextoParaXml(d.TelefoneFixo) + QStringLiteral("</TelefoneFixo>");
    x += QStringLiteral("            </EnderecoCobranca>");
    x += QStringLiteral("        </Pagador>");
    x += QStringLiteral("        <Parcelamentos>");
    x += QStringLiteral("            <Parcelamento>");
    x += QStringLiteral("                <MinimoParcelas>1</MinimoParcelas>");
    x += QStringLiteral("                <MaximoParcelas>12</MaximoParcelas>");
    x += QStringLiteral("                <Juros>0</Juros>");
    x += QStringLiteral("                <Repassar>true</Repassar>");
    x += QStringLiteral("            </Parcelamento>");
    x += QStringLiteral("        </Parcelamentos>");
    x += QStringLiteral("  </InstrucaoUnica>");
    x += QStringLiteral("</EnviarInstrucao>");
    return x;
}

QByteArray CabecalhoAutorizacao(const QString& token, const QString& chave)
{
    return QByteArrayLiteral("Basic ") + CodificarBase64(token + QLatin1Char(':') + chave).toLatin1();
}

bool EnderecoPermitido(const QString& endereco)
{
    return orvessa::EnderecoPermitido(QUrl(endereco));
}

ResultadoEnvio EnviarInstrucao(const QString& endereco, const QByteArray& autorizacao, const QString& documento,
                               int limiteMs, const std::function<bool()>& parar)
{
    if (!EnderecoPermitido(endereco)) {
        qWarning("Vendalo: endereço do serviço de pagamento recusado (só https): %s", qPrintable(endereco));
        return {};
    }
    const EnvioHttp envio = EnviarHttp("POST", QUrl(endereco),
                                       {{QByteArrayLiteral("Authorization"), autorizacao},
                                        {QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/xml; charset=utf-8")}},
                                       documento.toUtf8(), limiteMs, parar);
    ResultadoEnvio r;
    r.fim = envio.fim;
    if (r.fim == FimEspera::Resposta)
        r.corpo = envio.corpo;
    return r;
}

std::optional<RespostaInstrucao> LerRespostaInstrucao(const QByteArray& corpo)
{
    if (corpo.trimmed().isEmpty())
        return std::nullopt;
    QXmlStreamReader leitor(corpo);
    // Depth 1 is the document element; "Resposta" must be its child.
    int profundidade = 0;
    bool dentroResposta = false;
    bool temResposta = false, temStatus = false, temToken = false, temErro = false;
    QString status, token, erro;
    while (!leitor.atEnd()) {
        const QXmlStreamReader::TokenType t = leitor.readNext();
        if (t == QXmlStreamReader::EndElement) {
            if (profundidade == 2)
                dentroResposta = false;
            --profundidade;
            continue;
        }
        if (t != QXmlStreamReader::StartElement)
            continue;
        ++profundidade;
        const QStringView nome = leitor.name();
        if (profundidade == 2 && !temResposta && nome == QLatin1String("Resposta")) {
            temResposta = dentroResposta = true;
            continue;
        }
        QString* texto = nullptr;
        if (dentroResposta && profundidade == 3 && !temStatus && nome == QLatin1String("Status")) {
            temStatus = true;
            texto = &status;
        } else if (dentroResposta && profundidade == 3 && !temToken && nome == QLatin1String("Token")) {
            temToken = true;
            texto = &token;
        } else if (!temErro && nome == QLatin1String("Erro")) {
            temErro = true;
            erro = leitor.attributes().value(QLatin1String("Codigo")).toString() + QStringLiteral(" - ");
            texto = &erro;
        }
        if (texto) {
            // Reads up to and past the element's end.
            texto->append(leitor.readElementText(QXmlStreamReader::IncludeChildElements));
            --profundidade;
        }
    }
    if (leitor.hasError())
        return std::nullopt;
    RespostaInstrucao r;
    r.Sucesso = status.trimmed().toUpper() == QLatin1String("SUCESSO");
    // A success without a token could never be paid nor verified.
    if (r.Sucesso && token.trimmed().isEmpty()) {
        qWarning("Vendalo: o serviço aceitou a instrução sem informar o token");
        return std::nullopt;
    }
    r.Token = token;
    erro.remove(QLatin1Char('"'));
    r.Erro = erro;
    return r;
}

QString MontarParametrosPagina(const DadosPagina& d)
{
    const QString m = d.ModoDesenvolvedor ? QStringLiteral("-1") : QStringLiteral("0");
    const QString fim = QStringLiteral("&mododesenvolvedor=") + m + QStringLiteral("&rnd=") + QString::number(d.Rnd);
    switch (d.Opcao) {
    case 0:
        return QStringLiteral("instituicao=") + Url(d.Instituicao) + QStringLiteral("&parcelas=") +
               Url(ValorParaServico(d.Parcelas)) + QStringLiteral("&numerocartao=") + Url(d.NumeroCartao) +
               QStringLiteral("&datavalidadecartao=") + Url(d.ValidadeCartao) + QStringLiteral("&codigoseguranca=") +
               Url(d.CodigoSeguranca) + QStringLiteral("&nomeimpressocartao=") + Url(d.NomeImpresso) +
               QStringLiteral("&datanascimentotitular=") + Url(d.NascimentoTitular) + QStringLiteral("&telefone=") +
               Url(d.TelefoneFixo) + QStringLiteral("&cpf=") + Url(d.CPF) + QStringLiteral("&token=") + Url(d.Token) +
               QStringLiteral("&C_TIPO_PAGAMENTO=0") + fim;
    case 1:
        return QStringLiteral("instituicao=") + Url(d.Instituicao) + QStringLiteral("&token=") + Url(d.Token) +
               QStringLiteral("&C_TIPO_PAGAMENTO=1") + fim;
    default:
        return QStringLiteral("token=") + Url(d.Token) + QStringLiteral("&C_TIPO_PAGAMENTO=2") + fim;
    }
}

int NumeroAleatorioEndereco()
{
    return int(std::lround(Aleatorio() * 99999.0));
}

}  // namespace vendalo
