#pragma once
#include "platform/Exporta.h"

#include <QString>

namespace plataforma {

// Ends every process of the current user whose image (executable base name)
// is `imagem`; a trailing ".exe" is ignored on Linux. The calling process is
// ended last, and only when `incluirAtual` is set. Returns how many others
// were signalled.
PLATAFORMA_EXPORT int EncerrarProcessosPorImagem(const QString& imagem, bool incluirAtual = true);

// Ends this process at once: no further events, no destructors.
[[noreturn]] PLATAFORMA_EXPORT void EncerrarProcessoAtual(int codigo = 1);

// Opens an address in the default browser, or a file with its program.
PLATAFORMA_EXPORT bool AbrirComProgramaPadrao(const QString& enderecoOuArquivo);

// The image name of the running executable, as the process table shows it.
PLATAFORMA_EXPORT QString ImagemProcessoAtual();

}  // namespace plataforma
