#include "fuzz/Entradas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho)
{
    fuzz::LerSRT(dados, tamanho);
    return 0;
}
