#include "ServidorMoip.h"

#include "ServidorHttpTeste.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace apoio {

namespace {

RespostaHttpTeste Resposta(const QByteArray& tipo, const QByteArray& corpo, int status = 200,
                           const QByteArray& razao = "OK")
{
    RespostaHttpTeste r;
    r.status = status;
    r.razao = razao;
    r.cabecalhos.append({QByteArrayLiteral("Content-Type"), tipo});
    r.corpo = corpo;
    return r;
}

}  // namespace

ServidorMoip::ServidorMoip() : servidor_(std::make_unique<ServidorHttpTeste>())
{
    respostaConsulta_ = RespostaConsultaPadrao();
    servidor_->DefinirPadrao([this](const PedidoHttp& pedido) { return Responder(pedido); });
}

ServidorMoip::~ServidorMoip() = default;

RespostaHttpTeste ServidorMoip::Responder(const PedidoHttp& pedido)
{
    static const QRegularExpression instrucao(QStringLiteral("^(/sandbox)?/ws/alpha/EnviarInstrucao/Unica$"));
    static const QRegularExpression consulta(QStringLiteral("^(/sandbox)?/ws/alpha/ConsultarInstrucao/[^/]+$"));
    static const QRegularExpression boleto(QStringLiteral("^/boleto/[^/]+$"));
    const QString caminho = pedido.Caminho();
    auto registrar = [&] {
        pedidos_.append({caminho, pedido.Consulta(), pedido.cabecalhos.value("authorization"), pedido.corpo});
    };
    const bool paraApi = instrucao.match(caminho).hasMatch() || consulta.match(caminho).hasMatch();
    if (paraApi) {
        registrar();
        if (!Autorizado(pedido.cabecalhos.value("authorization")))
            return Resposta("text/plain", "unauthorized", 401, "Unauthorized");
        if (consulta.match(caminho).hasMatch())
            return Resposta("application/xml", respostaConsulta_);
        return Resposta("application/xml", "<EnviarInstrucaoUnicaResponse><Resposta><ID>201</ID>"
                                           "<Status>Sucesso</Status><Token>"
                                               + tokenInstrucao_.toUtf8()
                                               + "</Token></Resposta></EnviarInstrucaoUnicaResponse>");
    }
    if (caminho == QLatin1String("/sandbox.asp")) {
        registrar();
        return Resposta("text/html; charset=utf-8", PaginaHtml());
    }
    if (boleto.match(caminho).hasMatch())
        return Resposta("text/html; charset=utf-8", "<html><body>Boleto</body></html>");
    return Resposta("text/plain", "nada aqui", 404, "Not Found");
}

QList<QByteArray> ServidorMoip::PedidosBrutos() const
{
    QList<QByteArray> brutos;
    for (const PedidoHttp& pedido : servidor_->Pedidos()) {
        QByteArray texto = pedido.alvo + '\n';
        for (auto it = pedido.cabecalhos.cbegin(); it != pedido.cabecalhos.cend(); ++it)
            texto += it.key() + ": " + it.value() + '\n';
        brutos.append(texto);
    }
    return brutos;
}

QString ServidorMoip::Endereco() const
{
    return servidor_->Endereco();
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
