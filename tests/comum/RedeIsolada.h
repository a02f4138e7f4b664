#pragma once
// Tests that need an address off loopback (a refusal that must hold, a
// redirect to "elsewhere") run in a network namespace of their own: the test
// program runs the current test function again under `unshare --net`,
// where only `lo` exists, up, with 127.0.0.1 and the TEST-NET address
// 192.0.2.1. Nothing can leave the machine even if a refusal broke. Without
// root or namespaces the test skips with its reason.
//
//   void refusaForaDoLoopback()
//   {
//       APOIO_EM_REDE_ISOLADA();
//       apoio::ServidorHttpTeste externo(apoio::EnderecoExterno());
//       ...
//   }
#include <QHostAddress>
#include <QString>
#include <QTest>

namespace apoio {

// 192.0.2.1, present only inside the namespace.
QHostAddress EnderecoExterno();

// True in the program run inside the namespace.
bool DentroDaRedeIsolada();
// Inside: brings lo up, adds the TEST-NET address and checks that no other
// interface exists; false with the reason otherwise.
bool PrepararRedeIsolada(QString& motivo);

struct ExecucaoIsolada {
    QString motivoPulo;  // not "" when it could not run
    bool sucesso = false;
    QString saida;  // what the run printed
};
// Runs the current test function (and data row) in a new namespace.
ExecucaoIsolada RodarNaRedeIsolada();

}  // namespace apoio

#define APOIO_EM_REDE_ISOLADA()                                                                                        \
    do {                                                                                                               \
        if (!apoio::DentroDaRedeIsolada()) {                                                                           \
            const apoio::ExecucaoIsolada execucaoIsolada_ = apoio::RodarNaRedeIsolada();                               \
            if (!execucaoIsolada_.motivoPulo.isEmpty())                                                                \
                QSKIP(qPrintable(execucaoIsolada_.motivoPulo));                                                        \
            QVERIFY2(execucaoIsolada_.sucesso, qPrintable(execucaoIsolada_.saida));                                    \
            return;                                                                                                    \
        }                                                                                                              \
        QString motivoIsolada_;                                                                                        \
        if (!apoio::PrepararRedeIsolada(motivoIsolada_))                                                               \
            QSKIP(qPrintable(motivoIsolada_));                                                                         \
    } while (false)
