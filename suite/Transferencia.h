#pragma once
// One HTTP request with its limits, for every caller in the program and its
// libraries: an overall deadline, a stall limit, a cap on what is kept in
// memory, redirects followed here (each hop under the HTTPS-or-loopback
// rule before it is contacted) and a stop condition. It waits in a local
// event loop, so windows keep painting and their events are delivered while
// it runs; callers guard against re-entry as they would with DoEvents.
#include "suite/Exporta.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>

namespace orvessa {

// What a small document (a translation, an update answer, a payment
// answer) may weigh; anything above is no answer of ours.
inline constexpr qint64 kLimiteRespostaTexto = 4LL * 1024 * 1024;

enum class FimTransferencia {
    Concluida,         // the answer came whole, whatever its status
    TempoEsgotado,     // the overall deadline passed
    Estagnada,         // nothing arrived for the stall limit
    Interrompida,      // the stop condition answered true
    EnderecoRecusado,  // an address, the first or a redirect's, breaks the HTTPS-or-loopback rule
    RespostaGrande,    // the body passed the cap
    FalhaRede,         // refused, reset or cut connection, too many redirects, a destination that failed
};

struct PedidoTransferencia {
    QByteArray metodo = "GET";  // GET, HEAD, POST or any other verb
    QUrl endereco;
    QList<QPair<QByteArray, QByteArray>> cabecalhos;
    QByteArray corpo;
};

struct LimitesTransferencia {
    // The whole transfer, every hop included; 0 for none, when a stall
    // limit is set (a download may take long while it keeps moving).
    int prazoMs = 30000;
    // Silence that ends the transfer; 0 for none.
    int estagnacaoMs = 0;
    // Bytes of body kept in memory; -1 for no cap (only with a destination,
    // which takes the body of a 2xx answer instead).
    qint64 tamanhoMaximo = kLimiteRespostaTexto;
    // Redirects followed at most; with 0 a 3xx answer is the answer.
    int redirecionamentos = 10;
    // Asked while the transfer waits; true ends it.
    std::function<bool()> parar;
};

// Takes the body of a 2xx answer as it arrives (a file, for a download).
// Any other status ends the transfer as soon as its head is read.
class ORVESSA_EXPORT DestinoTransferencia {
public:
    virtual ~DestinoTransferencia();
    // False ends the transfer as a failure with `erro` as its reason.
    virtual bool Gravar(const char* dados, qint64 tamanho, QString& erro) = 0;
    // Bytes arrived so far (written or about to be) and the announced size
    // (-1 when unknown).
    virtual void Progresso(qint64 chegados, qint64 total);
};

struct ORVESSA_EXPORT ResultadoTransferencia {
    FimTransferencia fim = FimTransferencia::FalhaRede;
    int status = 0;
    QString razao;
    QList<QPair<QByteArray, QByteArray>> cabecalhos;
    // The last address asked (or refused).
    QUrl enderecoFinal;
    int redirecionamentos = 0;
    // The body, when no destination takes it.
    QByteArray corpo;
    // Body bytes read from the final answer.
    qint64 recebidos = 0;
    // Why it did not end as Concluida ("" when it did).
    QString erro;

    bool Concluida() const { return fim == FimTransferencia::Concluida; }
    bool Sucesso() const { return Concluida() && status >= 200 && status < 300; }
    // The field's value ("" when absent), its name in any letter case.
    QByteArray Cabecalho(const QByteArray& nome) const;
};

ORVESSA_EXPORT ResultadoTransferencia Transferir(const PedidoTransferencia& pedido, const LimitesTransferencia& limites,
                                                 DestinoTransferencia* destino = nullptr);

}  // namespace orvessa
