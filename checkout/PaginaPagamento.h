#pragma once
// The maker's payment page, driven in a hidden browser page: load it with
// the payment parameters, wait until its script is ready, call the script
// function of the chosen option and read the JSON answer the page writes
// into its body. Every wait is bounded and can be interrupted.
#include "checkout/Exporta.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class QTimer;
class QWebEnginePage;
class QWebEngineProfile;

namespace vendalo {

// The page's answer: a JSON object in the body, e.g.
//   {"Status":"Autorizado","Codigo":"0","Mensagem":"...","CodigoMoIP":"8123","Url":""}
struct RespostaPagina {
    QString Status;
    QString Codigo;
    QString Mensagem;
    QString CodigoMoIP;
    QString Url;  // where to pay a bank slip or a debit
};

enum class DesfechoPagina {
    Aprovado,       // a status that counts as success (StatusAprovado)
    Recusado,       // any other status
    SemResposta,    // the page never wrote an answer in time
    FalhaPagina,    // the page could not be loaded or lacks the function
    Interrompido,   // Interromper() before an answer came
};

struct ResultadoPagina {
    DesfechoPagina desfecho = DesfechoPagina::SemResposta;
    RespostaPagina resposta;
    QString motivo;  // for the screen and the log when not Aprovado
};

// The body's text as JSON; nullopt while it is not (yet) an answer object
// with a Status.
VENDALO_EXPORT std::optional<RespostaPagina> LerRespostaPagina(const QString& textoCorpo);

// Card payments succeed when "Autorizado", "Concluido" or "EmAnalise"; a
// debit or a slip also when "Iniciado" or "BoletoImpresso", which need the
// address to pay at. Letter case does not matter.
VENDALO_EXPORT bool StatusAprovado(const QString& status, int opcaoPagamento);
VENDALO_EXPORT bool StatusPedeEndereco(const QString& status);

// "processaPagtoCredito", "processaPagtoDebito", "processaPagtoBoleto";
// "" for an unknown option.
VENDALO_EXPORT QString FuncaoDaOpcao(int opcaoPagamento);

// base (scheme and host) + "/sandbox.asp?" + the parameters as built.
VENDALO_EXPORT QUrl EnderecoPagina(const QString& base, const QString& parametros);

// Decides the outcome of an answer for the option.
VENDALO_EXPORT ResultadoPagina AvaliarResposta(const RespostaPagina& resposta, int opcaoPagamento);

class VENDALO_EXPORT PaginaPagamento : public QObject {
    Q_OBJECT
public:
    explicit PaginaPagamento(QObject* pai = nullptr);
    ~PaginaPagamento() override;

    // Starts; Concluido comes once, later, from the event loop. The whole
    // run (load, ready, answer) ends after `limiteMs` at most.
    void Iniciar(const QUrl& endereco, int opcaoPagamento, int limiteMs);
    // Ends a run at once with Interrompido; nothing when idle.
    void Interromper();
    bool Trabalhando() const { return fase_ != Fase::Parada; }

signals:
    void Concluido(const vendalo::ResultadoPagina& resultado);

private:
    enum class Fase { Parada, Carregando, Aguardando };
    void Sondar();
    void Terminar(ResultadoPagina resultado);

    QWebEngineProfile* perfil_ = nullptr;
    QWebEnginePage* pagina_ = nullptr;
    QTimer* sonda_ = nullptr;
    QElapsedTimer relogio_;
    Fase fase_ = Fase::Parada;
    int opcao_ = 0;
    int limiteMs_ = 0;
    bool carregou_ = false;
    bool sondando_ = false;  // one probe script at a time
    unsigned geracao_ = 0;   // answers of an older run are dropped
};

}  // namespace vendalo

Q_DECLARE_METATYPE(vendalo::ResultadoPagina)
