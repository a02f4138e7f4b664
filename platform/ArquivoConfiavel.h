#pragma once
// Whether a file found on disk may be run under this user's account: the
// checks sudo and OpenSSH make on what they trust.
#include "platform/Exporta.h"

#include <QString>

namespace plataforma {

// The real path (links resolved) of a regular file that only this user or
// root can change: the file and its folder belong to one of them and
// neither is writable by group or others, and every folder above belongs to
// one of them and is writable by others only with the sticky bit. ""
// otherwise, with the reason in `motivo`.
PLATAFORMA_EXPORT QString CaminhoConfiavel(const QString& caminho, QString* motivo = nullptr);

}  // namespace plataforma
