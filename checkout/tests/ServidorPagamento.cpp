#include "ServidorPagamento.h"

#include "ServidorHttpTeste.h"

namespace apoio {

ServidorPagamento::ServidorPagamento(QObject* pai) : QObject(pai), servidor_(std::make_unique<ServidorHttpTeste>())
{
    servidor_->DefinirPadrao([this](const PedidoHttp& pedido) { return Responder(pedido); });
}

ServidorPagamento::~ServidorPagamento() = default;

QString ServidorPagamento::Endereco() const
{
    return servidor_->Endereco();
}

QByteArray ServidorPagamento::Sucesso(const QString& token, const QString& status)
{
    return QStringLiteral("<ns1:EnviarInstrucaoUnicaResponse xmlns:ns1=\"http://www.moip.com.br/ws/alpha/\">"
                          "<Resposta><ID>201012091230000000000000001</ID><Status>%1</Status>"
                          "<Token>%2</Token></Resposta></ns1:EnviarInstrucaoUnicaResponse>")
        .arg(status, token)
        .toUtf8();
}

QByteArray ServidorPagamento::Falha(const QString& codigo, const QString& texto)
{
    return QStringLiteral("<ns1:EnviarInstrucaoUnicaResponse xmlns:ns1=\"http://www.moip.com.br/ws/alpha/\">"
                          "<Resposta><ID>201012091230000000000000002</ID><Status>Falha</Status>"
                          "<Erro Codigo=\"%1\">%2</Erro></Resposta></ns1:EnviarInstrucaoUnicaResponse>")
        .arg(codigo, texto.toHtmlEscaped())
        .toUtf8();
}

RespostaHttpTeste ServidorPagamento::Responder(const PedidoHttp& p)
{
    PedidoPagamento pedido;
    pedido.metodo = p.metodo;
    pedido.caminho = p.alvo;
    pedido.autorizacao = p.cabecalhos.value("authorization");
    pedido.corpo = p.corpo;
    pedidos_.append(pedido);
    RespostaHttpTeste r;
    if (silencio_) {
        r.modo = RespostaHttpTeste::Modo::Parar;
        return r;
    }
    const bool autorizado = esperada_.isEmpty() || pedido.autorizacao == esperada_;
    if (autorizado) {
        r.corpo = corpo_;
    } else {
        r.status = 401;
        r.razao = "Unauthorized";
    }
    r.cabecalhos.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/xml; charset=utf-8")});
    r.fecharDepois = true;
    return r;
}

}  // namespace apoio
