// Feeds every file of the seed corpus through the fuzzed paths, so the
// ordinary test run (gcc included) keeps them working without libFuzzer.
#include "fuzz/Entradas.h"

#include <QDirIterator>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "uso: %s <pasta do corpus>...\n", argv[0]);
        return 2;
    }
    int arquivos = 0;
    for (int i = 1; i < argc; ++i) {
        QDirIterator it(QString::fromLocal8Bit(argv[i]), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile arquivo(it.next());
            if (!arquivo.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "não abre: %s\n", qPrintable(arquivo.fileName()));
                return 1;
            }
            const QByteArray bytes = arquivo.readAll();
            const auto* dados = reinterpret_cast<const uint8_t*>(bytes.constData());
            fuzz::Verificar(dados, size_t(bytes.size()));
            fuzz::LerSRT(dados, size_t(bytes.size()));
            fuzz::LerMDVD(dados, size_t(bytes.size()));
            ++arquivos;
        }
    }
    if (arquivos == 0) {
        std::fprintf(stderr, "corpus vazio\n");
        return 1;
    }
    std::printf("%d arquivos\n", arquivos);
    return 0;
}
