#pragma once
// Shared test support: every test runs against its own registry, settings,
// scratch folder and files, never the user's.
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace apoio {

class AmbienteTeste {
public:
    // Puts QStandardPaths in test mode and points the registry hives and the
    // suite's scratch folder into a fresh temporary folder.
    AmbienteTeste();
    ~AmbienteTeste();
    QString Pasta() const { return pasta_->path(); }
    QString Caminho(const QString& nome) const { return pasta_->filePath(nome); }
    // Writes bytes to a file in the folder and returns its path.
    QString EscreverArquivo(const QString& nome, const QByteArray& conteudo) const;

private:
    std::unique_ptr<QTemporaryDir> pasta_;
};

}  // namespace apoio
