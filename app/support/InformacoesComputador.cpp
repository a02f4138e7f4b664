#include "app/support/InformacoesComputador.h"

#include "app/workbench/modComum.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace qeltrano {

namespace {

// Empty when the file cannot be read (the board's serial needs root).
// readAll reads the kernel's files to their end, though they report a size
// of 0 or of a page whatever they hold.
QByteArray LerArquivoKernel(const QString& caminho)
{
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

// The file's first line, trimmed.
QString Ler(const QString& caminho)
{
    return QString::fromUtf8(LerArquivoKernel(caminho)).section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString Valor(const QString& linha)
{
    return linha.section(QLatin1Char(':'), 1).trimmed();
}

}  // namespace

InformacoesComputador::InformacoesComputador(const QString& raiz) : raiz_(raiz) {}

void InformacoesComputador::CarregarInformacoesComputador()
{
    if (carregado_)
        return;
    DefinirPonteiroTela(Ponteiro::SetaEAmpulheta);
    const QDir raiz(raiz_);
    const QString dmi = raiz.filePath(QStringLiteral("sys/class/dmi/id/"));
    placaNome_ = Ler(dmi + QStringLiteral("board_name"));
    placaSerial_ = Ler(dmi + QStringLiteral("board_serial"));
    placaVersao_ = Ler(dmi + QStringLiteral("board_version"));
    biosVersao_ = Ler(dmi + QStringLiteral("bios_version"));
    sistemaFabricante_ = Ler(dmi + QStringLiteral("sys_vendor"));
    sistemaModelo_ = Ler(dmi + QStringLiteral("product_name"));
    sistemaNome_ = Ler(raiz.filePath(QStringLiteral("proc/sys/kernel/hostname")));

    // One block per processor; as with several instances, the last wins.
    {
        const QStringList blocos = QString::fromUtf8(LerArquivoKernel(raiz.filePath(QStringLiteral("proc/cpuinfo"))))
                                       .split(QRegularExpression(QStringLiteral("\\n\\s*\\n")), Qt::SkipEmptyParts);
        for (const QString& bloco : blocos) {
            QString nome, familia, modelo, revisao;
            for (const QString& linha : bloco.split(QLatin1Char('\n'))) {
                const QString chave = linha.section(QLatin1Char(':'), 0, 0).trimmed();
                if (chave == QLatin1String("model name"))
                    nome = Valor(linha);
                else if (chave == QLatin1String("cpu family"))
                    familia = Valor(linha);
                else if (chave == QLatin1String("model"))
                    modelo = Valor(linha);
                else if (chave == QLatin1String("stepping"))
                    revisao = Valor(linha);
            }
            if (nome.isEmpty() && familia.isEmpty())
                continue;
            processadorNome_ = nome;
            processadorDescricao_ =
                familia.isEmpty() ? QString()
                                  : QStringLiteral("Family %1 Model %2 Stepping %3").arg(familia, modelo, revisao);
        }
    }

    const QString meminfo = QString::fromLatin1(LerArquivoKernel(raiz.filePath(QStringLiteral("proc/meminfo"))));
    for (const QString& linha : meminfo.split(QLatin1Char('\n'))) {
        if (!linha.startsWith(QLatin1String("MemTotal:")))
            continue;
        bool ok = false;
        const qulonglong kb = Valor(linha).section(QLatin1Char(' '), 0, 0).toULongLong(&ok);
        if (ok)
            memoria_ = QString::number(kb * 1024ULL);
        break;
    }
    DefinirPonteiroTela(Ponteiro::Padrao);
    carregado_ = true;
}

#define PROPRIEDADE(nome, campo)           \
    QString InformacoesComputador::nome()  \
    {                                      \
        CarregarInformacoesComputador();   \
        return campo;                      \
    }

PROPRIEDADE(PlacaMae_Nome, placaNome_)
PROPRIEDADE(PlacaMae_Serial, placaSerial_)
PROPRIEDADE(PlacaMae_Versao, placaVersao_)
PROPRIEDADE(Processador_Nome, processadorNome_)
PROPRIEDADE(Processador_Descricao, processadorDescricao_)
PROPRIEDADE(Bios_Versao, biosVersao_)
PROPRIEDADE(Sistema_Nome, sistemaNome_)
PROPRIEDADE(Sistema_Fabricante, sistemaFabricante_)
PROPRIEDADE(Sistema_Modelo, sistemaModelo_)
PROPRIEDADE(Sistema_TotalMemoriaFisica, memoria_)

#undef PROPRIEDADE

}  // namespace qeltrano
