#pragma once
// The central error handler and its two program-wide texts.
#include "app/Exporta.h"

#include <QString>
#include <functional>

namespace qeltrano {

QELTRANO_EXPORT extern QString TextoRelatorioErros;
QELTRANO_EXPORT extern QString ArquivoCapturaTela;
// The cache's database version, as the last report read it.
QELTRANO_EXPORT extern QString VersaoADODB;

// Handles a trapped error: advice boxes for the errors it knows, the error
// report for the others, and then the end of the program.
QELTRANO_EXPORT void TratarErro(const QString& modulo, const QString& procedimento, long numero,
                                const QString& descricao, long linha);

// For a handler boundary, inside a catch block: hands the exception in
// flight to TratarErro. A runtime error keeps its number, out of memory is
// 7, any other exception is 51 "Internal error" with its text.
QELTRANO_EXPORT void TratarExcecao(const QString& modulo, const QString& procedimento);

// For procedures that ignore their errors and go on, inside a catch block:
// the exception's text goes to qWarning instead of vanishing.
QELTRANO_EXPORT void RegistrarErroIgnorado(const QString& procedimento);

// How the handler ends the program. Tests replace it so the runner lives;
// the default ends this process at once.
QELTRANO_EXPORT void DefinirEncerramento(std::function<void()> encerrar);
// Forget a handled error (tests only: the program never runs on after one).
QELTRANO_EXPORT void ReiniciarTratamentoErros();

// How the handler shows the error-report window: modally, returning when it
// closes. Until one is set the report is built but nothing is shown.
QELTRANO_EXPORT void DefinirExibicaoRelatorio(std::function<void()> exibir);

// First line of the report: "RELATÓRIO DE ERROS - " with the product name and
// major.minor.revision (revision with at least two digits), all upper case.
QELTRANO_EXPORT QString TituloRelatorioErros(const QString& produto, int major, int minor, int revisao);

}  // namespace qeltrano
