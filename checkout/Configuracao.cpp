#include "checkout/Configuracao.h"

namespace vendalo {

ConfiguracaoCheckout& ConfigCheckout()
{
    static ConfiguracaoCheckout config;
    return config;
}

}  // namespace vendalo
