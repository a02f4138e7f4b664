#pragma once
// A stand-in for the online translation endpoint: a real HTTP/1.1 server on
// 127.0.0.1 (port chosen by the system) that answers as the endpoint does,
// e.g. [[["Olá mundo","Hello world",null,null,1]],null,"en"], and records
// every request it receives.
//
// It runs on the thread that creates it and never blocks it: the program's
// HTTP client pumps the event loop while it waits, so the server answers in
// the same thread, and delayed answers come from timers.
//
//   apoio::ServidorTraducao servidor;
//   qeltrano::Config().HostTraducao = servidor.Endereco();
//   servidor.DefinirModo(apoio::ServidorTraducao::Modo::FalharGet);
//   ... servidor.Requisicoes().last().Valor("text") ...
//
// Built on the tests' one HTTP server (ServidorHttpTeste).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace apoio {

class ServidorHttpTeste;
struct PedidoHttp;
struct RespostaHttpTeste;

using ItensDecodificados = QList<QPair<QString, QString>>;

struct RequisicaoRecebida {
    QString metodo;                  // "GET", "POST"
    QString caminho;                 // decoded path, e.g. "/translate_a/t"
    QByteArray consulta;             // the query as it came on the wire, without "?"
    QByteArray corpo;                // the body as it came
    ItensDecodificados itensConsulta;     // query pairs in order, "+" and %XX decoded (UTF-8)
    ItensDecodificados camposFormulario;  // form fields of the body, decoded the same way

    // The value of a key: from the query, else from the form; "" when absent.
    QString Valor(const QString& chave) const;
    // The keys in the order they came (query, else form).
    QStringList Chaves() const;
};

class ServidorTraducao : public QObject {
public:
    enum class Modo {
        Normal,      // GET and POST answer 200 with a translation
        FalharGet,   // GET answers 500, so the client falls back to the form POST
        FalharTudo,  // GET and POST answer 500
        Silencio,    // reads the request and never answers
    };

    // (decoded text, source code, target code) -> translation
    using Tradutor = std::function<QString(const QString& texto, const QString& origem, const QString& destino)>;

    explicit ServidorTraducao(QObject* pai = nullptr);
    ~ServidorTraducao() override;

    bool Ouvindo() const;
    // "http://127.0.0.1:<port>", for Config().HostTraducao.
    QString Endereco() const;

    void DefinirModo(Modo modo);
    // Every answer waits this long (ms) before it is written; 0 answers at once.
    void DefinirAtraso(int milissegundos);
    // The translation of a text. The default is "[<tl>] " + text.
    void DefinirTradutor(Tradutor tradutor);
    // Texts found in the table get their entry; the others the default.
    void DefinirTraducoes(const QHash<QString, QString>& tabela);
    // Answer this body as it is (200) instead of a translation:
    // garbage, an empty body, hand-written escapes. nullopt goes back.
    void DefinirCorpo(std::optional<QByteArray> corpo);

    // The answer a translation gets: the endpoint's array with the text
    // JSON-escaped the way the endpoint does ("\"", "\\", "\u003c", "\u003e").
    static QByteArray MontarResposta(const QString& traducao, const QString& original, const QString& idioma);
    static QString TraducaoPadrao(const QString& texto, const QString& origem, const QString& destino);

    const QList<RequisicaoRecebida>& Requisicoes() const { return requisicoes_; }
    void LimparRequisicoes() { requisicoes_.clear(); }
    // TCP connections accepted since the start or the last ZerarConexoes().
    int ConexoesAceitas() const;
    void ZerarConexoes();
    // The server underneath, for what a test adds (a redirect, a large body).
    ServidorHttpTeste& Servidor() { return *servidor_; }

private:
    RespostaHttpTeste Responder(const PedidoHttp& pedido);

    std::unique_ptr<ServidorHttpTeste> servidor_;
    QList<RequisicaoRecebida> requisicoes_;
    Modo modo_ = Modo::Normal;
    int atraso_ = 0;
    Tradutor tradutor_;
    std::optional<QByteArray> corpoFixo_;
};

}  // namespace apoio
