#pragma once
// The update check: asks the maker's updater file, then the maker's site,
// whether a newer version is offered, and leaves the offer in four
// program-wide texts for the update assistant.
#include "app/Exporta.h"

#include <QString>

namespace qeltrano {

// The offered version as its source writes it (digits, e.g. "1306"), its
// publication date, the installer's download address (online answer) and
// the installer the maker's updater already fetched (updater file).
QELTRANO_EXPORT extern QString VersaoDisponivel, DataVersaoDisponivel, UrlAtualizacao, ArquivoAtualizacaoLocal;

// True when a newer version is offered. `bInicializacao` honours the
// start-up opt-out of the program folder's Config.ini. Never shows anything
// and never throws; a request ends within its time-out.
QELTRANO_EXPORT bool VerificarAtualizacoes(const QString& IdAplicativo, bool bInicializacao);

// The first-run date "YYYYMMDD", fixed by the first call.
QELTRANO_EXPORT QString ObterDataInstalacao();
// The installer's date as the uninstall key holds it; "" when missing.
QELTRANO_EXPORT QString ObterDataAtualizacao();
// The affiliate number; 0 when missing or not a number.
QELTRANO_EXPORT long ObterAfiliado();

// "1.3.06" for version 1.3.6.
QELTRANO_EXPORT QString TextoVersao(int major, int minor, int revision);
// The digits of major, minor and the two-digit revision read as one number,
// as the maker's site and updater count: 1306 for 1.3.6. A minor of 10 or
// more reads as a major (1.30.6 and 13.0.6 both give 13006).
QELTRANO_EXPORT long NumeroVersao(int major, int minor, int revision);

// The leading number of a text, as Basic's Val reads it: leading blanks
// skipped, then sign, digits, decimals and exponent; 0 when none.
QELTRANO_EXPORT double ValorNumerico(const QString& texto);

// The program's own Config.ini (start-up opt-out).
QELTRANO_EXPORT QString ArquivoConfigPrograma();

}  // namespace qeltrano
