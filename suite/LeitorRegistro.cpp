#include "suite/LeitorRegistro.h"

#include "platform/Registro.h"

namespace orvessa {

QString LeitorRegistro::LerValorChave(const QString& chaveCompleta, const QString& nomeValor) const
{
    plataforma::Hive hive{};
    QString chave;
    if (!plataforma::Registro::SepararCaminho(chaveCompleta.trimmed(), hive, chave))
        return QString();
    const std::optional<QVariant> valor = plataforma::Registro::LerValor(hive, chave, nomeValor);
    if (!valor)
        return QString();
    if (valor->typeId() == QMetaType::UInt)
        return QString::number(valor->toUInt());
    if (valor->typeId() == QMetaType::QString)
        return valor->toString();
    return QString();
}

}  // namespace orvessa
