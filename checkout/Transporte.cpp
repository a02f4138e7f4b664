#include "checkout/Transporte.h"

#include "checkout/Instrucao.h"
#include "suite/Transferencia.h"

namespace vendalo {

EnvioHttp EnviarHttp(const QByteArray& metodo, const QUrl& endereco,
                     const QList<QPair<QByteArray, QByteArray>>& cabecalhos, const QByteArray& corpo, int limiteMs,
                     const std::function<bool()>& parar)
{
    orvessa::PedidoTransferencia pedido;
    pedido.metodo = metodo;
    pedido.endereco = endereco;
    pedido.cabecalhos = cabecalhos;
    pedido.corpo = corpo;
    orvessa::LimitesTransferencia limites;
    limites.prazoMs = qMax(1, limiteMs);
    limites.redirecionamentos = 0;
    limites.tamanhoMaximo = orvessa::kLimiteRespostaTexto;
    limites.parar = parar;

    const orvessa::ResultadoTransferencia r = orvessa::Transferir(pedido, limites);
    EnvioHttp e;
    switch (r.fim) {
    case orvessa::FimTransferencia::Concluida:
        e.fim = FimEspera::Resposta;
        e.status = r.status;
        e.corpo = r.corpo;
        break;
    case orvessa::FimTransferencia::Interrompida:
        e.fim = FimEspera::Finalizado;
        break;
    default:
        e.fim = FimEspera::SemResposta;
        e.erro = r.erro;
        e.esgotado = r.fim == orvessa::FimTransferencia::TempoEsgotado;
    }
    if (r.fim == orvessa::FimTransferencia::RespostaGrande)
        qWarning("Vendalo: resposta recusada de %s: %s", qPrintable(endereco.toDisplayString(QUrl::RemoveQuery)),
                 qPrintable(r.erro));
    return e;
}

RespostaHttp ObterHttp(const QUrl& endereco, const QList<QPair<QByteArray, QByteArray>>& cabecalhos, int segundos)
{
    RespostaHttp r;
    if (!EnderecoPermitido(endereco.toString())) {
        r.erro = QStringLiteral("Endereço recusado (só https): %1").arg(endereco.toDisplayString(QUrl::RemoveQuery));
        return r;
    }
    const EnvioHttp e = EnviarHttp("GET", endereco, cabecalhos, QByteArray(), qMax(1, segundos) * 1000);
    r.status = e.status;
    r.corpo = e.corpo;
    if (e.fim != FimEspera::Resposta)
        r.erro = e.esgotado ? QStringLiteral("O servidor não respondeu em %1 s.").arg(segundos) : e.erro;
    else if (r.status < 200 || r.status > 299)
        r.erro = QStringLiteral("O servidor respondeu HTTP %1.").arg(r.status);
    return r;
}

}  // namespace vendalo
