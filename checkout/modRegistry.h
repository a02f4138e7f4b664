#pragma once
// The three registry procedures the payer-data store stands on. A failed read
// gives ""; a failed write is lost, answers false and leaves its reason in the
// log.
#include "checkout/Exporta.h"
#include "platform/Registro.h"

#include <QList>
#include <QString>
#include <optional>

namespace vendalo {

VENDALO_EXPORT bool CriarChave(plataforma::Hive hive, const QString& chave);
// REG_SZ as its text, REG_DWORD as its number in upper-case hexadecimal.
VENDALO_EXPORT QString LerValorRegistro(plataforma::Hive hive, const QString& chave, const QString& nome);
// A new value is a REG_SZ; an existing one keeps its type, a REG_DWORD
// taking the number the text starts with.
VENDALO_EXPORT bool GravarValorRegistro(plataforma::Hive hive, const QString& chave, const QString& nome,
                                        const QString& texto);
// Several writes (a value of nullopt removes it) as one registry write, each
// by the rules of GravarValorRegistro.
struct EscritaRegistro {
    QString chave;
    QString nome;
    std::optional<QString> texto;
};
VENDALO_EXPORT bool GravarValoresRegistro(plataforma::Hive hive, const QList<EscritaRegistro>& escritas);

}  // namespace vendalo
