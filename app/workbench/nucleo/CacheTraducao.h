#pragma once
// The translation cache: one SQLite file shared by the whole program, so a
// text already translated for a pair of languages is not sent again.
#include "app/workbench/nucleo/Exporta.h"

#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace qeltrano {

class NUCLEO_EXPORT CacheTraducao {
public:
    // Statement failures are thrown as plataforma::ErroExecucao with one of
    // these numbers. The description keeps SQLite's text, except that
    // "no such column: X" reads "Unknown column 'X'" and "no such table: X"
    // reads "Table 'X' doesn't exist", the wording the central error handler
    // knows as an outdated database.
    static constexpr long ErroComando = -2147217900;       // the statement failed
    static constexpr long ErroTabelaAusente = -2147217865;  // the table is missing

    // The program-wide connection, opened on first call; null when the cache
    // is off (the file cannot be opened or is not a database). An off cache
    // stays off until Liberar().
    static CacheTraducao* Conexao();
    // Closes the connection (committing an open batch); the next Conexao()
    // opens again.
    static void Liberar();
    // Uses this file instead of the default one; closes the current
    // connection. An empty path goes back to the default.
    static void DefinirCaminho(const QString& arquivo);
    // "db.sqlite" in the program folder, or in the user's data folder when
    // the program folder is not writable.
    static QString CaminhoPadrao();
    static QString CaminhoPadrao(const QString& pastaPrograma);
    // The file Conexao() opens.
    static QString CaminhoEmUso();
    // The database library's version of the open connection ("" when none
    // is open); the error report names it.
    static QString VersaoEmUso();

    // The stored translation, "" on a miss.
    QString Consultar(const QString& texto, const QString& origem, const QString& destino);
    // The stored translation, nothing on a miss. The source text is compared
    // without its leading and trailing blanks.
    std::optional<QString> Buscar(const QString& texto, const QString& origem, const QString& destino);
    // Many lookups in one read transaction, one answer per text in order:
    // the grid fill's thousands of rows take the file's lock once.
    std::vector<std::optional<QString>> BuscarTodos(const QList<QString>& textos, const QString& origem,
                                                    const QString& destino);
    // Stores or replaces the translation; both texts lose their leading and
    // trailing blanks.
    void Gravar(const QString& texto, const QString& traducao, const QString& origem, const QString& destino);
    // Stores every pair (source, translation) in one transaction: all of
    // them or, when one fails, none (the error is thrown).
    void GravarTodos(const QList<QPair<QString, QString>>& pares, const QString& origem, const QString& destino);

    QString VersaoBiblioteca() const;
    QString Caminho() const;

    ~CacheTraducao();
    CacheTraducao(const CacheTraducao&) = delete;
    CacheTraducao& operator=(const CacheTraducao&) = delete;

private:
    struct Dados;
    explicit CacheTraducao(std::unique_ptr<Dados> dados);
    static std::unique_ptr<CacheTraducao> Abrir(const QString& arquivo);

    std::unique_ptr<Dados> d_;
};

}  // namespace qeltrano
