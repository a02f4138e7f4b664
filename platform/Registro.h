#pragma once
// A small registry with the two hives the program uses. Keys are paths as on
// Windows ("Software\\Classes\\CLSID"), matched without regard to case; values
// are strings or DWORDs. Each hive lives in one file under its root folder;
// writes are atomic and serialised between processes by a lock file.
#include "platform/Exporta.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace plataforma {

enum class Hive { CurrentUser, LocalMachine };

class PLATAFORMA_EXPORT Registro {
public:
    // Folders that hold the hive files. Defaults: the user's configuration
    // folder for HKEY_CURRENT_USER and the machine-wide one for
    // HKEY_LOCAL_MACHINE. Tests point both at a temporary folder.
    static void DefinirRaizes(const QString& raizUsuario, const QString& raizMaquina);
    static QString RaizUsuario();
    static QString RaizMaquina();

    // "HKEY_CURRENT_USER\\Software\\X" (or "HKCU\\...") -> hive and key path.
    static bool SepararCaminho(const QString& caminhoCompleto, Hive& hive, QString& chave);
    static QString NomeHive(Hive hive);

    static bool CriarChave(Hive hive, const QString& chave);
    static bool ExisteChave(Hive hive, const QString& chave);
    static bool ExcluirChave(Hive hive, const QString& chave);  // with its subkeys
    static QStringList SubChaves(Hive hive, const QString& chave);
    static QStringList NomesValores(Hive hive, const QString& chave);

    // An empty value name is the key's default value. A QVariant of type
    // QString is a REG_SZ, of type uint a REG_DWORD.
    static std::optional<QVariant> LerValor(Hive hive, const QString& chave, const QString& nome);
    static std::optional<QString> LerTexto(Hive hive, const QString& chave, const QString& nome);
    static std::optional<quint32> LerDword(Hive hive, const QString& chave, const QString& nome);
    static bool GravarTexto(Hive hive, const QString& chave, const QString& nome, const QString& valor);
    static bool GravarDword(Hive hive, const QString& chave, const QString& nome, quint32 valor);
    static bool ExcluirValor(Hive hive, const QString& chave, const QString& nome);
};

}  // namespace plataforma
