#pragma once
// Loading a shared library by its path and finding an entry point in it:
// the component loader, regsvr and the component re-registration share it.
#include "platform/Exporta.h"

#include <QString>

namespace plataforma {

// The library's handle, or null with the loader's reason in erro.
PLATAFORMA_EXPORT void* CarregarBiblioteca(const QString& caminho, QString* erro = nullptr);
// The named entry point, or null.
PLATAFORMA_EXPORT void* EntradaBiblioteca(void* biblioteca, const char* nome);
PLATAFORMA_EXPORT void LiberarBiblioteca(void* biblioteca);

template <typename Funcao>
Funcao Entrada(void* biblioteca, const char* nome)
{
    return reinterpret_cast<Funcao>(EntradaBiblioteca(biblioteca, nome));
}

}  // namespace plataforma
