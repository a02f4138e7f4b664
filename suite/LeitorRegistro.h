#pragma once
#include "suite/Exporta.h"

#include <QString>

namespace orvessa {

class ORVESSA_EXPORT LeitorRegistro {
public:
    // Full key path beginning with the hive name; an empty value name reads
    // the default value. "" when key or value is missing; DWORDs as decimal.
    QString LerValorChave(const QString& chaveCompleta, const QString& nomeValor) const;
};

}  // namespace orvessa
