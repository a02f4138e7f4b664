#pragma once
// Every value the checkout leaves to its maker, in one place. Tests point the
// hosts at servers on 127.0.0.1.
#include "checkout/Exporta.h"

#include <QString>

namespace vendalo {

struct ConfiguracaoCheckout {
    // The payment service's web API: scheme and host; the paths are the
    // service's own.
    QString HostApi = QStringLiteral("https://api.pagamentos-moip.example");
    QString HostApiSandbox = QStringLiteral("https://sandbox.pagamentos-moip.example");
    QString CaminhoInstrucao = QStringLiteral("/ws/alpha/EnviarInstrucao/Unica");
    QString CaminhoInstrucaoSandbox = QStringLiteral("/sandbox/ws/alpha/EnviarInstrucao/Unica");
    // The instruction's answer is waited for this long at most.
    int TempoLimiteInstrucaoMs = 15000;
    // The library's name: the registry keys and the message boxes' title.
    QString NomeProduto = QStringLiteral("Vendalo");
    QString TituloAplicacao = QStringLiteral("Vendalo");
    // Folder of the per-user key of the stored card fields; empty: the
    // user's configuration folder.
    QString PastaChave;

    // The maker's payment page (its path is the page's own) and how long
    // the outcome screen waits for its answer, load included.
    QString HostPagina = QStringLiteral("https://pagamento.qeltrano.example");
    QString HostPaginaSandbox = QStringLiteral("https://sandbox-pagamento.qeltrano.example");
    int TempoLimitePaginaMs = 90000;
    // The status query's answer is waited for this long at most.
    int TempoLimiteConsultaMs = 15000;

    QString EnderecoInstrucao(bool sandbox) const
    {
        return sandbox ? HostApiSandbox + CaminhoInstrucaoSandbox : HostApi + CaminhoInstrucao;
    }
};

// One for the process; read on every use, so a change applies at once.
VENDALO_EXPORT ConfiguracaoCheckout& ConfigCheckout();

}  // namespace vendalo
