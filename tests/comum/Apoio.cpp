#include "Apoio.h"

#include "platform/Registro.h"
#include "suite/Utilitarios.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace apoio {

AmbienteTeste::AmbienteTeste() : pasta_(std::make_unique<QTemporaryDir>())
{
    QStandardPaths::setTestModeEnabled(true);
    QDir(pasta_->path()).mkpath(QStringLiteral("hkcu"));
    QDir(pasta_->path()).mkpath(QStringLiteral("hklm"));
    QDir(pasta_->path()).mkpath(QStringLiteral("temp"));
    plataforma::Registro::DefinirRaizes(Caminho(QStringLiteral("hkcu")), Caminho(QStringLiteral("hklm")));
    orvessa::Utilitarios::Instancia().DefinirDiretorioTemporario(Caminho(QStringLiteral("temp")));
}

AmbienteTeste::~AmbienteTeste() = default;

QString AmbienteTeste::EscreverArquivo(const QString& nome, const QByteArray& conteudo) const
{
    const QString caminho = Caminho(nome);
    QFile arquivo(caminho);
    if (arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
        arquivo.write(conteudo);
    return caminho;
}

}  // namespace apoio
