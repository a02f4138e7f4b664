#include "app/workbench/modGlobal.h"

#include "app/workbench/fPrincipal.h"
#include "app/workbench/modErros.h"

namespace qeltrano {

void Main()
{
    try {
        Randomize();
        FormPrincipal()->Exibir();
    } catch (...) {
        // Whatever fails while the window is built or loaded reaches the handler.
        TratarExcecao(QStringLiteral("modGlobal"), QStringLiteral("Main"));
    }
}

}  // namespace qeltrano
