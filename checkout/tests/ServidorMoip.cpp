#include "ServidorMoip.h"

#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QJsonObject>

namespace apoio {

namespace {

QHttpServerResponse Resposta(const QByteArray& tipo, const QByteArray& corpo,
                             QHttpServerResponse::StatusCode status = QHttpServerResponse::StatusCode::Ok)
{
    return QHttpServerResponse(tipo, corpo, status);
}

}  // namespace

ServidorMoip::ServidorMoip() : servidor_(std::make_unique<QHttpServer>())
{
    respostaConsulta_ = RespostaConsultaPadrao();

    auto registrar = [this](const QHttpServerRequest& pedido) {
        pedidos_.append({pedido.url().path(), pedido.query(), pedido.value("Authorization"), pedido.body()});
    };
    // Every request, before any route is chosen.
    servidor_->afterRequest([this](QHttpServerResponse&& resposta, const QHttpServerRequest& pedido) {
        Bruto(pedido);
        return std::move(resposta);
    });
    servidor_->setMissingHandler([this](const QHttpServerRequest& pedido, QHttpServerResponder&& respondedor) {
        Bruto(pedido);
        respondedor.write(QHttpServerResponder::StatusCode::NotFound);
    });

    for (const QString& prefixo : {QString(), QStringLiteral("/sandbox")}) {
        servidor_->route(prefixo + QStringLiteral("/ws/alpha/EnviarInstrucao/Unica"),
                         [this, registrar](const QHttpServerRequest& pedido) {
                             registrar(pedido);
                             if (!Autorizado(pedido.value("Authorization")))
                                 return Resposta("text/plain", "unauthorized",
                                                 QHttpServerResponse::StatusCode::Unauthorized);
                             const QByteArray xml = "<EnviarInstrucaoUnicaResponse><Resposta><ID>201</ID>"
                                                    "<Status>Sucesso</Status><Token>"
                                                    + tokenInstrucao_.toUtf8()
                                                    + "</Token></Resposta></EnviarInstrucaoUnicaResponse>";
                             return Resposta("application/xml", xml);
                         });
        servidor_->route(prefixo + QStringLiteral("/ws/alpha/ConsultarInstrucao/<arg>"),
                         [this, registrar](const QString&, const QHttpServerRequest& pedido) {
                             registrar(pedido);
                             if (!Autorizado(pedido.value("Authorization")))
                                 return Resposta("text/plain", "unauthorized",
                                                 QHttpServerResponse::StatusCode::Unauthorized);
                             return Resposta("application/xml", respostaConsulta_);
                         });
    }
    servidor_->route(QStringLiteral("/sandbox.asp"), [this, registrar](const QHttpServerRequest& pedido) {
        registrar(pedido);
        return Resposta("text/html; charset=utf-8", PaginaHtml());
    });
    servidor_->route(QStringLiteral("/boleto/<arg>"), [](const QString&) {
        return Resposta("text/html; charset=utf-8", "<html><body>Boleto</body></html>");
    });
    porta_ = servidor_->listen(QHostAddress::LocalHost, 0);
}

ServidorMoip::~ServidorMoip() = default;

void ServidorMoip::Bruto(const QHttpServerRequest& pedido)
{
    QByteArray texto = pedido.url().toEncoded() + '\n';
    for (const auto& [nome, valor] : pedido.headers())
        texto += nome + ": " + valor + '\n';
    brutos_.append(texto);
}

QString ServidorMoip::Endereco() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(porta_);
}

QString ServidorMoip::UrlBoleto() const
{
    return Endereco() + QStringLiteral("/boleto/") + tokenInstrucao_;
}

void ServidorMoip::DefinirCredenciais(const QString& token, const QString& chave)
{
    autorizacao_ = "Basic " + (token + u':' + chave).toLatin1().toBase64();
}

bool ServidorMoip::Autorizado(const QByteArray& cabecalho) const
{
    return !autorizacao_.isEmpty() && cabecalho == autorizacao_;
}

QList<ServidorMoip::Pedido> ServidorMoip::PedidosEm(const QString& inicioCaminho) const
{
    QList<Pedido> lista;
    for (const Pedido& p : pedidos_)
        if (p.caminho.startsWith(inicioCaminho))
            lista.append(p);
    return lista;
}

QByteArray ServidorMoip::PaginaHtml() const
{
    QJsonObject resposta;
    switch (pagina_) {
    case Pagina::Autorizar:
        resposta = {{"Status", "Autorizado"}, {"Codigo", 0}, {"Mensagem", "Pagamento autorizado."},
                    {"CodigoMoIP", "84785"}, {"Url", ""}};
        break;
    case Pagina::Recusar:
        resposta = {{"Status", "Cancelado"}, {"Codigo", 914},
                    {"Mensagem", "Pagamento não autorizado pela operadora do cartão."}, {"CodigoMoIP", "84786"},
                    {"Url", ""}};
        break;
    case Pagina::Boleto:
        resposta = {{"Status", "Iniciado"}, {"Codigo", 0}, {"Mensagem", "Boleto gerado."},
                    {"CodigoMoIP", "84787"}, {"Url", UrlBoleto()}};
        break;
    case Pagina::Silencio:
        break;
    }
    const QByteArray json = pagina_ == Pagina::Silencio ? QByteArray("null")
                                                        : QJsonDocument(resposta).toJson(QJsonDocument::Compact);
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Pagamento</title><script>\n"
           "var resposta = " + json + ";\n"
           "function responder() {\n"
           "  if (resposta === null) return;\n"
           "  setTimeout(function () { document.body.textContent = JSON.stringify(resposta); }, "
           + QByteArray::number(atrasoPagina_) + ");\n"
           "}\n"
           "function processaPagtoCredito() { responder(); }\n"
           "function processaPagtoDebito() { responder(); }\n"
           "function processaPagtoBoleto() { responder(); }\n"
           "</script></head><body><p>Processando o pagamento...</p></body></html>";
}

QByteArray ServidorMoip::RespostaConsultaPadrao()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<ConsultarInstrucaoResposta><Resposta><ID>201</ID><Status>Sucesso</Status><Autorizacao>"
        "<Pagador><Nome>Teste da Silva</Nome><Email>teste@comprador.example</Email></Pagador>"
        "<EnderecoCobranca><Logradouro>Rua das Flores &amp; Cia</Logradouro><Numero>100</Numero>"
        "<Complemento>Sala 2</Complemento><Bairro>Centro</Bairro><CEP>01001-000</CEP>"
        "<Cidade>São Paulo</Cidade><Estado>SP</Estado><Pais>BRA</Pais>"
        "<TelefoneFixo>(11)3333-4444</TelefoneFixo></EnderecoCobranca>"
        "<Recebedor><Nome>Loja Exemplo</Nome><Email>vendas@loja.example</Email></Recebedor>"
        "<Pagamento><Data>2026-12-10T10:15:00.000-02:00</Data><TotalPago>25.00</TotalPago>"
        "<TaxaParaPagador>0.00</TaxaParaPagador><TaxaMoIP>1.54</TaxaMoIP><ValorLiquido>23.46</ValorLiquido>"
        "<FormaPagamento>CartaoDeCredito</FormaPagamento><InstituicaoPagamento>Visa</InstituicaoPagamento>"
        "<StatusID>4</StatusID><Status>Concluido</Status><TotalParcelas>2</TotalParcelas>"
        "<Cartao>411111******1111</Cartao><Bandeira>Visa</Bandeira><CodigoMoIP>84785</CodigoMoIP></Pagamento>"
        "<Pagamento><Data>2026-12-09T08:00:00.000-02:00</Data><TotalPago>25.00</TotalPago>"
        "<TaxaParaPagador>0.00</TaxaParaPagador><TaxaMoIP>2.00</TaxaMoIP><ValorLiquido>23.00</ValorLiquido>"
        "<FormaPagamento>BoletoBancario</FormaPagamento><InstituicaoPagamento>Bradesco</InstituicaoPagamento>"
        "<StatusID>1</StatusID><Status>Iniciado</Status><TotalParcelas>1</TotalParcelas>"
        "<Cartao></Cartao><Bandeira></Bandeira><CodigoMoIP>84701</CodigoMoIP></Pagamento>"
        "</Autorizacao></Resposta></ConsultarInstrucaoResposta>");
}

}  // namespace apoio
