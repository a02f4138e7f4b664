#pragma once
// The forms runtime's per-user settings store (GetSetting/SaveSetting), kept
// where Windows keeps it: HKEY_CURRENT_USER\Software\VB and VBA Program
// Settings\<application>\<section>, one string value per key.
#include "platform/Exporta.h"

#include <QString>

namespace plataforma {

PLATAFORMA_EXPORT QString GetSetting(const QString& aplicativo, const QString& secao,
                                     const QString& chave, const QString& padrao = QString());
// Answers whether the value was stored; when it was not, the reason goes to
// qWarning with the file that holds the settings.
PLATAFORMA_EXPORT bool SaveSetting(const QString& aplicativo, const QString& secao,
                                   const QString& chave, const QString& valor);
// An empty key removes the whole section, an empty section the whole
// application; an empty application name does nothing.
PLATAFORMA_EXPORT void DeleteSetting(const QString& aplicativo, const QString& secao,
                                     const QString& chave = QString());

}  // namespace plataforma
