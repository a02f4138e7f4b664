#include "app/Configuracao.h"

namespace qeltrano {

Configuracao& Config()
{
    static Configuracao config;
    return config;
}

}  // namespace qeltrano
