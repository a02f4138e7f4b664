#pragma once
// Stand-ins for the payment service and the maker's payment page on the
// tests' one HTTP server (127.0.0.1, port chosen by the system), answering
//   POST /ws/alpha/EnviarInstrucao/Unica      (and under /sandbox)
//   GET  /ws/alpha/ConsultarInstrucao/<token> (and under /sandbox)
//   GET  /sandbox.asp?...                     the payment page
// The web API checks the Basic header; the page's three script functions
// write their JSON answer into the body after a short delay.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrlQuery>

#include <memory>

namespace apoio {

class ServidorHttpTeste;
struct PedidoHttp;
struct RespostaHttpTeste;

class ServidorMoip {
public:
    enum class Pagina {
        Autorizar,  // "Autorizado" for every option
        Recusar,    // "Cancelado" with a reason
        Boleto,     // "Iniciado" with the address to pay at
        Silencio,   // the functions exist but never answer
    };

    struct Pedido {
        QString caminho;
        QUrlQuery consulta;
        QByteArray autorizacao;
        QByteArray corpo;
    };

    ServidorMoip();
    ~ServidorMoip();

    // "http://127.0.0.1:<port>"
    QString Endereco() const;

    // The Basic header the web API accepts ("Basic " + base64 token:key).
    void DefinirCredenciais(const QString& token, const QString& chave);
    void DefinirPagina(Pagina modo) { pagina_ = modo; }
    void DefinirAtrasoPagina(int milissegundos) { atrasoPagina_ = milissegundos; }
    // The status query's body; the default is RespostaConsultaPadrao().
    void DefinirRespostaConsulta(const QByteArray& corpo) { respostaConsulta_ = corpo; }
    // The token the instruction answer carries.
    void DefinirTokenInstrucao(const QString& token) { tokenInstrucao_ = token; }

    // Two payments for "Teste da Silva": a card payment (status 4
    // "Concluido") and a slip (status 1 "Iniciado").
    static QByteArray RespostaConsultaPadrao();
    QString UrlBoleto() const;

    const QList<Pedido>& Pedidos() const { return pedidos_; }
    // Every request the server saw, routed or not (a page icon...), as its
    // request line and headers.
    QList<QByteArray> PedidosBrutos() const;
    QList<Pedido> PedidosEm(const QString& inicioCaminho) const;

private:
    RespostaHttpTeste Responder(const PedidoHttp& pedido);
    QByteArray PaginaHtml() const;
    bool Autorizado(const QByteArray& cabecalho) const;

    std::unique_ptr<ServidorHttpTeste> servidor_;
    QByteArray autorizacao_;
    Pagina pagina_ = Pagina::Autorizar;
    int atrasoPagina_ = 300;
    QByteArray respostaConsulta_;
    QString tokenInstrucao_ = QStringLiteral("T2N0L0X8E0S1Q2V4G6C8B0Z1A3B5C7D9F1H3J5K7M9P1R3S5");
    QList<Pedido> pedidos_;
};

}  // namespace apoio
