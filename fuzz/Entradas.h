#pragma once
// The three fuzzed paths, shared by the libFuzzer targets and the replay.
#include "app/workbench/nucleo/Codificacao.h"
#include "app/workbench/nucleo/Formatos.h"
#include "app/workbench/nucleo/modMDVD.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline QStringList Linhas(const uint8_t* dados, size_t tamanho)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(dados), qsizetype(tamanho));
    return qeltrano::DividirLinhas(qeltrano::DecodificarTexto(bytes));
}

inline void Verificar(const uint8_t* dados, size_t tamanho)
{
    const QString formato = qeltrano::VerificarFormatoLinhas(Linhas(dados, tamanho));
    if (formato.isEmpty())
        __builtin_trap();
}

// A failed read gives no rows; a MicroDVD row never holds a line break.
inline void ConferirLeitura(const qeltrano::Leitura& leitura)
{
    if (!leitura.ok && !leitura.linhas.isEmpty())
        __builtin_trap();
}

inline void LerSRT(const uint8_t* dados, size_t tamanho)
{
    ConferirLeitura(qeltrano::LerLinhasSRT(Linhas(dados, tamanho)));
}

inline void LerMDVD(const uint8_t* dados, size_t tamanho)
{
    const qeltrano::Leitura leitura = qeltrano::LerLinhasMDVD(Linhas(dados, tamanho));
    ConferirLeitura(leitura);
    if (leitura.ok != (leitura.linhaFalha == 0))
        __builtin_trap();
}

}  // namespace fuzz
