#pragma once
// A small registry with the two hives the program uses. Keys are paths as on
// Windows ("Software\\Classes\\CLSID"), matched without regard to case; values
// are strings or DWORDs. Each hive lives in one file under its root folder;
// writes are atomic and serialised between processes by a lock file, and a
// hive file changed by another process is read again before it is used.
// A damaged hive file reads as an empty hive and is left as it is; the next
// write moves it aside (".corrompido-<time>") before storing the new hive.
#include "platform/Exporta.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace plataforma {

enum class Hive { CurrentUser, LocalMachine };

// Several changes to one hive, applied in order as one atomic write: either
// all of them land or none does (a registration is never left half done).
// Deleting a key or value that is absent is not a failure inside a batch.
class PLATAFORMA_EXPORT LoteRegistro {
public:
    void CriarChave(const QString& chave);
    void GravarTexto(const QString& chave, const QString& nome, const QString& valor);
    void GravarDword(const QString& chave, const QString& nome, quint32 valor);
    void ExcluirValor(const QString& chave, const QString& nome);
    void ExcluirChave(const QString& chave);
    bool Vazio() const { return alteracoes_.isEmpty(); }

    enum class Tipo { CriarChave, GravarValor, ExcluirValor, ExcluirChave };
    struct Alteracao {
        Tipo tipo;
        QString chave;
        QString nome;
        QVariant valor;
    };
    const QList<Alteracao>& Alteracoes() const { return alteracoes_; }

private:
    QList<Alteracao> alteracoes_;
};

class PLATAFORMA_EXPORT Registro {
public:
    // Folders that hold the hive files. Defaults: the user's configuration
    // folder for HKEY_CURRENT_USER and the machine-wide one for
    // HKEY_LOCAL_MACHINE. Tests point both at a temporary folder.
    static void DefinirRaizes(const QString& raizUsuario, const QString& raizMaquina);
    static QString RaizUsuario();
    static QString RaizMaquina();
    // The file that holds the hive (for messages).
    static QString ArquivoHive(Hive hive);

    // "HKEY_CURRENT_USER\\Software\\X" (or "HKCU\\...") -> hive and key path.
    static bool SepararCaminho(const QString& caminhoCompleto, Hive& hive, QString& chave);
    static QString NomeHive(Hive hive);

    static bool CriarChave(Hive hive, const QString& chave);
    static bool ExisteChave(Hive hive, const QString& chave);
    static bool ExcluirChave(Hive hive, const QString& chave);  // with its subkeys
    static QStringList SubChaves(Hive hive, const QString& chave);
    static QStringList NomesValores(Hive hive, const QString& chave);

    // An empty value name is the key's default value. A QVariant of type
    // QString is a REG_SZ, of type uint a REG_DWORD. LerTexto and LerDword
    // give nothing when the value holds the other type. Writing a value
    // creates its key (and the keys above it) when needed. Deleting a key or
    // value that does not exist returns false; the hive's root cannot be
    // deleted.
    static std::optional<QVariant> LerValor(Hive hive, const QString& chave, const QString& nome);
    static std::optional<QString> LerTexto(Hive hive, const QString& chave, const QString& nome);
    static std::optional<quint32> LerDword(Hive hive, const QString& chave, const QString& nome);
    static bool GravarTexto(Hive hive, const QString& chave, const QString& nome, const QString& valor);
    static bool GravarDword(Hive hive, const QString& chave, const QString& nome, quint32 valor);
    static bool ExcluirValor(Hive hive, const QString& chave, const QString& nome);

    // Applies a batch (see LoteRegistro). False when the hive cannot be
    // written; then nothing of the batch is stored.
    static bool Aplicar(Hive hive, const LoteRegistro& lote);
};

}  // namespace plataforma
