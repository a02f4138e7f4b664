#pragma once
// The payment instruction without the screen: its id, its XML document, the
// request with its bounded wait, the answer and the payment page's query.
#include "checkout/Exporta.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace vendalo {

struct DadosInstrucao {
    QString Razao;
    double ValorTotal = 0;
    QString IdRetorno;
    QString Nome;
    QString Email;
    QString IdPagador;
    QString Logradouro;
    QString Numero;
    QString Complemento;
    QString Bairro;
    QString Cidade;
    QString Estado;
    QString CEP;
    QString TelefoneFixo;
};

// "YYYYMMDD.HHMMSS.<random>.<own id>".
VENDALO_EXPORT QString MontarIdRetorno(const QDateTime& agora, const QString& aleatorio, const QString& idProprio);

// The text as XML character data: the characters XML 1.0 forbids dropped,
// the rest escaped.
VENDALO_EXPORT QString TextoParaXml(const QString& valor);

// The instruction document; every value through TextoParaXml.
VENDALO_EXPORT QString MontarInstrucao(const DadosInstrucao& dados);

// "Basic " and the Base64 of "token:key".
VENDALO_EXPORT QByteArray CabecalhoAutorizacao(const QString& token, const QString& chave);

enum class FimEspera { Resposta, SemResposta, Finalizado };

struct ResultadoEnvio {
    FimEspera fim = FimEspera::SemResposta;
    QByteArray corpo;
};

// POSTs the document and waits for the answer at most `limiteMs`, serving
// the thread's events meanwhile; `parar` is asked while it waits and ends the
// wait at once. Only https, or http to a loopback address, is sent.
VENDALO_EXPORT ResultadoEnvio EnviarInstrucao(const QString& endereco, const QByteArray& autorizacao,
                                              const QString& documento, int limiteMs,
                                              const std::function<bool()>& parar);

// True for https, and for http to a loopback address.
VENDALO_EXPORT bool EnderecoPermitido(const QString& endereco);

struct RespostaInstrucao {
    bool Sucesso = false;
    QString Token;
    // "code - text" of the service's error element.
    QString Erro;
};

// The service's answer: "Resposta/Status" under the document element, in any
// letter case "SUCESSO"; nullopt when the body is empty or no XML, or when
// a success carries no token.
VENDALO_EXPORT std::optional<RespostaInstrucao> LerRespostaInstrucao(const QByteArray& corpo);

struct DadosPagina {
    int Opcao = 0;  // 0 credit card, 1 bank debit, 2 bank slip
    QString Instituicao;
    double Parcelas = 0;
    QString NumeroCartao;
    QString ValidadeCartao;
    QString CodigoSeguranca;
    QString NomeImpresso;
    QString NascimentoTitular;
    QString TelefoneFixo;
    QString CPF;
    QString Token;
    bool ModoDesenvolvedor = false;
    int Rnd = 0;
};

// The payment page's query for the option; every value percent-encoded.
VENDALO_EXPORT QString MontarParametrosPagina(const DadosPagina& dados);

// A fresh whole number 0-99999 from this thread's random source, so that
// an address (the payment page's, the status query's) differs on every call.
VENDALO_EXPORT int NumeroAleatorioEndereco();

}  // namespace vendalo
