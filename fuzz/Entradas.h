#pragma once
// The three fuzzed paths, shared by the libFuzzer targets and the replay.
#include "app/workbench/nucleo/Codificacao.h"
#include "app/workbench/nucleo/Formatos.h"
#include "app/workbench/nucleo/modMDVD.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace fuzz {

// The decoded text and its lines, as an open sees them.
struct Texto {
    QString texto;
    qeltrano::LinhasTexto linhas;
};

inline Texto Linhas(const uint8_t* dados, size_t tamanho)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(dados), qsizetype(tamanho));
    Texto t{qeltrano::DecodificarTexto(bytes), {}};
    t.linhas = qeltrano::DividirLinhasTexto(t.texto);
    return t;
}

inline void Verificar(const uint8_t* dados, size_t tamanho)
{
    const QString formato = qeltrano::VerificarFormatoLinhas(Linhas(dados, tamanho).linhas);
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
    const Texto t = Linhas(dados, tamanho);
    ConferirLeitura(qeltrano::LerLinhasSRT(t.linhas));
}

inline void LerMDVD(const uint8_t* dados, size_t tamanho)
{
    const Texto t = Linhas(dados, tamanho);
    const qeltrano::Leitura leitura = qeltrano::LerLinhasMDVD(t.linhas);
    ConferirLeitura(leitura);
    if (leitura.ok != (leitura.linhaFalha == 0))
        __builtin_trap();
}

}  // namespace fuzz
