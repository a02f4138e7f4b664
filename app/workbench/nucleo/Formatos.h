#pragma once
// Which subtitle format a file holds, from its lines.
#include "app/workbench/nucleo/Exporta.h"

#include <QString>
#include <QList>
#include <QStringList>
#include <QStringView>

namespace qeltrano {

enum class ResultadoVerificacao { Reconhecido, NaoReconhecido, ErroLeitura };

// The tags the import and the save command compare against.
inline constexpr const char* FormatoSRT = "SRT";
inline constexpr const char* FormatoMDVD = "mDVD";

struct NUCLEO_EXPORT Verificacao {
    QString formato;            // "SRT", "SUB1", "SUB2", "mDVD", "MPL2" or "Não reconhecido"
    bool erroLeitura = false;   // the file could not be read (the window warns)
    QString erro;               // the reason, when erroLeitura

    ResultadoVerificacao Resultado() const;
};

NUCLEO_EXPORT QString FormatoNaoReconhecido();

// Opens and decodes the file, then applies VerificarFormatoLinhas. An
// unreadable file gives "Não reconhecido" with erroLeitura set; an empty
// file gives "Não reconhecido" without it.
NUCLEO_EXPORT Verificacao VerificarFormato(const QString& caminho);

// The first line that matches decides:
//   "-->" at position 14 (1-based)                      SRT
//   starts with "******** START SCRIPT ********"        SUB1
//   starts with "[SUBTITLE]"                            SUB2
//   starts with "{" and its "{"/"}" count reaches 4     mDVD
//   starts with "[" and its "["/"]" count reaches 4     MPL2
NUCLEO_EXPORT QString VerificarFormatoLinhas(const QList<QStringView>& linhas);
NUCLEO_EXPORT QString VerificarFormatoLinhas(const QStringList& linhas);

}  // namespace qeltrano
