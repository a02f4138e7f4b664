#pragma once
// The runtime's trappable error: a number and a description, as error traps
// hand them to the central handler together with module, procedure and line.
#include "platform/Exporta.h"

#include <QString>
#include <exception>
#include <string>

namespace plataforma {

class PLATAFORMA_EXPORT ErroExecucao : public std::exception {
public:
    ErroExecucao(long numero, QString descricao, long linha = 0);

    long Numero() const { return numero_; }
    const QString& Descricao() const { return descricao_; }
    long Linha() const { return linha_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

    // The runtime's numbers for the errors the program classifies.
    static constexpr long NumeroMemoriaInsuficiente = 7;
    static constexpr long NumeroTiposIncompativeis = 13;
    static constexpr long NumeroErroInterno = 51;
    static constexpr long NumeroComponenteNaoRegistrado = 339;
    static constexpr long NumeroArquivoComponenteAusente = 372;
    static constexpr long NumeroComponenteNaoCriado = 429;
    static constexpr long NumeroObjetoNaoSuportaPropriedade = 438;
    static constexpr long NumeroArgumentosErrados = 450;

    // The runtime's standard errors that the program classifies.
    static ErroExecucao MemoriaInsuficiente();              // 7 "Out of memory"
    static ErroExecucao ComponenteNaoCriado();              // 429
    static ErroExecucao ComponenteNaoRegistrado(const QString& arquivo);  // 339
    static ErroExecucao ObjetoNaoSuportaPropriedade();      // 438
    static ErroExecucao TiposIncompativeis();               // 13 "Type mismatch"
    static ErroExecucao NumeroArgumentosInvalido();         // 450
    static ErroExecucao ErroInterno(const QString& descricao);  // 51, any failure without a number

private:
    long numero_;
    QString descricao_;
    long linha_;
    std::string utf8_;
};

// Called inside a catch block whose error is skipped on purpose: leaves the
// error's trace in the log, after the text that says where it was skipped.
PLATAFORMA_EXPORT void RegistrarErroIgnorado(const char* onde);

}  // namespace plataforma
