#pragma once
// The module state every Checkout object and screen of one host thread
// shares, and the helpers the screens use.
#include "checkout/ConsultaPagamento.h"
#include "checkout/Exporta.h"

#include <QPointer>
#include <QString>

namespace orvessa {
class Formulario;
}

namespace vendalo {

class Form1;
class Form2;

struct ParametrosCheckout {
    QString MOIP_IdProprio;
    QString MOIP_IdPagador;
    QString MOIP_RazaoPagamento;
    bool App_ModoDesenvolvedor = false;
    double MOIP_ValorUnitario = 0;
    double ValorTotal = 0;
    QString App_DiretorioImagens;
    QString App_Img001;
    QString App_Img002;
    QString App_Img003;
    QString MOIP_Token;
    QString MOIP_ChaveAcesso;
    QString App_EmailSuporte;
    bool Finalizar = false;
    bool PagamentoProcessado = false;
    long InstituicaoSelecionada = 0;
    QString ParametrosPagina;
    int QuantidadeItens = 0;
    int OpcaoPagamento = 0;  // 0 credit card, 1 bank debit, 2 bank slip
    bool FecharTelas = false;
    QString TokenInstrucao;
    QString MOIP_IdRetorno;
    bool MOIP_OmitirTelaInicial = false;
    bool MOIP_DesabilitarBoleto = false;
    bool MOIP_DesabilitarCartaoCredito = false;
    bool MOIP_DesabilitarDebitoConta = false;

    // What the last status query read; the Pagamento_ getters return it.
    ConsultaLida Consulta;

    // The thread's single screens, made on first use and gone when they
    // unload. The outcome screen is known here only as a form.
    QPointer<Form1> form1;
    QPointer<Form2> form2;
    QPointer<orvessa::Formulario> form3;
};

// This thread's record; runs Main on the thread's first use.
VENDALO_EXPORT ParametrosCheckout& Parametros();

// Seeds this thread's random source from the clock, once per thread.
VENDALO_EXPORT void Main();

// A uniform fraction in [0, 1) from this thread's random source.
VENDALO_EXPORT double Aleatorio();

// RFC 4648 Base64 of the text's characters taken as Windows-1252 bytes; a
// character outside that code page counts as its replacement byte "?".
VENDALO_EXPORT QString CodificarBase64(const QString& texto);

// The payer-data store: fields 0-9 per service token, 10-16 per token and
// institution row (see modGlobal.cpp for the table).
VENDALO_EXPORT QString LerDadoSalvo(int campo);
// A write is seen by the next read at once and reaches the registry within
// a moment, together with the writes made meanwhile.
VENDALO_EXPORT void GravarDadoSalvo(int campo, const QString& texto);
// Writes what is still waiting now.
VENDALO_EXPORT void GravarDadosPendentes();

}  // namespace vendalo
