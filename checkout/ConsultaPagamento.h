#pragma once
// The status query of a payment instruction and the reader of its XML answer.
// No widgets: the Checkout getters and the export read what this fills.
#include "checkout/Exporta.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

namespace vendalo {

// One payment of the instruction, as the indexed getters return it.
struct PagamentoLido {
    QString Data;
    QString TotalPago;
    QString TaxaParaPagador;
    QString TaxaMoIP;
    QString ValorLiquido;
    QString FormaPagamento;
    QString InstituicaoPagamento;
    int StatusID = 0;
    QString Status;
    QString TotalParcelas;
    QString Cartao;
    QString Bandeira;
    QString CodigoMoIP;
};

// Everything one answer of the status query holds.
struct ConsultaLida {
    QString Pagador_Nome;
    QString Pagador_Email;
    QString EnderecoCobranca_Logradouro;
    QString EnderecoCobranca_Numero;
    QString EnderecoCobranca_Complemento;
    QString EnderecoCobranca_Bairro;
    QString EnderecoCobranca_CEP;
    QString EnderecoCobranca_Cidade;
    QString EnderecoCobranca_Estado;
    QString EnderecoCobranca_Pais;
    QString EnderecoCobranca_TelefoneFixo;
    QString Recebedor_Nome;
    QString Recebedor_Email;
    QList<PagamentoLido> Pagamentos;

    // 1-based; out of range gives null, which the getters turn into "" or 0.
    const PagamentoLido* Pagamento(int indice) const;
};

struct ResultadoConsulta {
    bool respondeu = false;  // a well-formed answer with the status "Sucesso"
    QString motivo;          // why not, for the log
    ConsultaLida dados;
};

// Reads an answer of the form
//   <ConsultarInstrucaoResposta><Resposta><Status>Sucesso</Status>
//     <Autorizacao><Pagador>..</Pagador><EnderecoCobranca>..</EnderecoCobranca>
//       <Recebedor>..</Recebedor><Pagamento>..</Pagamento>...</Autorizacao>
//   </Resposta></ConsultarInstrucaoResposta>
// Element names follow the getters (Pagamento/TotalPago, Pagador/Nome...).
// Anything else (not XML, another root, a status other than "Sucesso", an
// <Erro Codigo="..">) gives respondeu false and the reason.
VENDALO_EXPORT ResultadoConsulta LerRespostaConsulta(const QByteArray& xml);

// The query's address: base (scheme and host) + path + the token
// percent-encoded + "?rnd=" + nonce.
VENDALO_EXPORT QUrl EnderecoConsulta(const QString& base, bool sandbox, const QString& tokenRetorno, int nonce);

// GET with the Basic header, waiting in a local event loop for at most
// `segundos`. The address must be https (plain http only to loopback).
VENDALO_EXPORT ResultadoConsulta ConsultarInstrucao(const QUrl& endereco, const QByteArray& autorizacao,
                                                    int segundos);

}  // namespace vendalo
