#include "checkout/ConsultaPagamento.h"

#include "checkout/Transporte.h"

#include <QHash>
#include <QXmlStreamReader>

#include <functional>

namespace vendalo {

namespace {

using Campos = QHash<QString, QString*>;

// Leaf elements named in `campos` are read into their field; anything else
// (unknown or nested elements) is skipped, so the service may add elements.
void LerCampos(QXmlStreamReader& xml, const Campos& campos)
{
    while (xml.readNextStartElement()) {
        auto destino = campos.constFind(xml.name().toString());
        if (destino != campos.cend())
            **destino = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        else
            xml.skipCurrentElement();
    }
}

void LerPagamento(QXmlStreamReader& xml, PagamentoLido& p)
{
    QString statusId;
    LerCampos(xml, {{QStringLiteral("Data"), &p.Data},
                    {QStringLiteral("TotalPago"), &p.TotalPago},
                    {QStringLiteral("TaxaParaPagador"), &p.TaxaParaPagador},
                    {QStringLiteral("TaxaMoIP"), &p.TaxaMoIP},
                    {QStringLiteral("ValorLiquido"), &p.ValorLiquido},
                    {QStringLiteral("FormaPagamento"), &p.FormaPagamento},
                    {QStringLiteral("InstituicaoPagamento"), &p.InstituicaoPagamento},
                    {QStringLiteral("StatusID"), &statusId},
                    {QStringLiteral("Status"), &p.Status},
                    {QStringLiteral("TotalParcelas"), &p.TotalParcelas},
                    {QStringLiteral("Cartao"), &p.Cartao},
                    {QStringLiteral("Bandeira"), &p.Bandeira},
                    {QStringLiteral("CodigoMoIP"), &p.CodigoMoIP}});
    p.StatusID = statusId.toInt();  // not a number: 0, as for no payment
}

void LerAutorizacao(QXmlStreamReader& xml, ConsultaLida& c)
{
    while (xml.readNextStartElement()) {
        const auto nome = xml.name();
        if (nome == u"Pagador") {
            LerCampos(xml, {{QStringLiteral("Nome"), &c.Pagador_Nome}, {QStringLiteral("Email"), &c.Pagador_Email}});
        } else if (nome == u"EnderecoCobranca") {
            LerCampos(xml, {{QStringLiteral("Logradouro"), &c.EnderecoCobranca_Logradouro},
                            {QStringLiteral("Numero"), &c.EnderecoCobranca_Numero},
                            {QStringLiteral("Complemento"), &c.EnderecoCobranca_Complemento},
                            {QStringLiteral("Bairro"), &c.EnderecoCobranca_Bairro},
                            {QStringLiteral("CEP"), &c.EnderecoCobranca_CEP},
                            {QStringLiteral("Cidade"), &c.EnderecoCobranca_Cidade},
                            {QStringLiteral("Estado"), &c.EnderecoCobranca_Estado},
                            {QStringLiteral("Pais"), &c.EnderecoCobranca_Pais},
                            {QStringLiteral("TelefoneFixo"), &c.EnderecoCobranca_TelefoneFixo}});
        } else if (nome == u"Recebedor") {
            LerCampos(xml, {{QStringLiteral("Nome"), &c.Recebedor_Nome}, {QStringLiteral("Email"), &c.Recebedor_Email}});
        } else if (nome == u"Pagamento") {
            LerPagamento(xml, c.Pagamentos.emplace_back());
        } else {
            xml.skipCurrentElement();
        }
    }
}

}  // namespace

const PagamentoLido* ConsultaLida::Pagamento(int indice) const
{
    if (indice < 1 || indice > Pagamentos.size())
        return nullptr;
    return &Pagamentos[indice - 1];
}

ResultadoConsulta LerRespostaConsulta(const QByteArray& corpo)
{
    ResultadoConsulta r;
    QXmlStreamReader xml(corpo);
    QString status;
    QString erro;
    bool temResposta = false;
    if (xml.readNextStartElement()) {
        if (xml.name() != u"ConsultarInstrucaoResposta") {
            r.motivo = QStringLiteral("Resposta inesperada: elemento %1.").arg(xml.name().toString());
            return r;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != u"Resposta") {
                xml.skipCurrentElement();
                continue;
            }
            temResposta = true;
            while (xml.readNextStartElement()) {
                const auto nome = xml.name();
                if (nome == u"Status") {
                    status = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                } else if (nome == u"Erro") {
                    const QString codigo = xml.attributes().value(QLatin1String("Codigo")).toString();
                    const QString texto = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                    erro = codigo.isEmpty() ? texto : codigo + QLatin1String(" - ") + texto;
                } else if (nome == u"Autorizacao") {
                    LerAutorizacao(xml, r.dados);
                } else {
                    xml.skipCurrentElement();
                }
            }
        }
    }
    if (xml.hasError()) {
        r.dados = {};
        r.motivo = QStringLiteral("A resposta não é um XML válido (%1).").arg(xml.errorString());
        return r;
    }
    if (!temResposta) {
        r.motivo = QStringLiteral("A resposta não traz o elemento Resposta.");
        return r;
    }
    if (status.compare(QLatin1String("Sucesso"), Qt::CaseInsensitive) != 0) {
        r.dados = {};
        r.motivo = erro.isEmpty() ? QStringLiteral("O serviço respondeu com o status \"%1\".").arg(status)
                                  : QStringLiteral("O serviço respondeu com o erro %1.").arg(erro);
        return r;
    }
    r.respondeu = true;
    return r;
}

QUrl EnderecoConsulta(const QString& base, bool sandbox, const QString& tokenRetorno, int nonce)
{
    QString endereco = base;
    while (endereco.endsWith(u'/'))
        endereco.chop(1);
    endereco += sandbox ? QLatin1String("/sandbox/ws/alpha/ConsultarInstrucao/") : QLatin1String("/ws/alpha/ConsultarInstrucao/");
    // The token is one path segment whatever it holds.
    endereco += QString::fromLatin1(QUrl::toPercentEncoding(tokenRetorno));
    endereco += QLatin1String("?rnd=") + QString::number(nonce);
    return QUrl(endereco, QUrl::StrictMode);
}

ResultadoConsulta ConsultarInstrucao(const QUrl& endereco, const QByteArray& autorizacao, int segundos)
{
    ResultadoConsulta r;
    const RespostaHttp resposta = ObterHttp(endereco, {{QByteArrayLiteral("Authorization"), autorizacao}}, segundos);
    if (!resposta.erro.isEmpty()) {
        r.motivo = resposta.erro;
        return r;
    }
    return LerRespostaConsulta(resposta.corpo);
}

}  // namespace vendalo
