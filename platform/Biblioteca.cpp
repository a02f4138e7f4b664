#include "platform/Biblioteca.h"

#include <QFile>

#include <dlfcn.h>

namespace plataforma {

void* CarregarBiblioteca(const QString& caminho, QString* erro)
{
    // Each library keeps its own symbols: two components may share names.
    void* biblioteca = ::dlopen(QFile::encodeName(caminho).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!biblioteca && erro)
        *erro = QString::fromLocal8Bit(::dlerror());
    return biblioteca;
}

void* EntradaBiblioteca(void* biblioteca, const char* nome)
{
    return biblioteca ? ::dlsym(biblioteca, nome) : nullptr;
}

void LiberarBiblioteca(void* biblioteca)
{
    if (biblioteca)
        ::dlclose(biblioteca);
}

}  // namespace plataforma
