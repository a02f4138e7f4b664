// Reading and saving a 50,000-row SubRip file: detection and the reader,
// then the writer together with storing every row in the translation cache.
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/nucleo/Codificacao.h"
#include "app/workbench/nucleo/EscritaLegenda.h"
#include "app/workbench/nucleo/Formatos.h"
#include "app/workbench/nucleo/modMDVD.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qeltrano;

namespace {

constexpr int Linhas = 50000;
constexpr int Rodadas = 5;

QString Tempo(qint64 ms)
{
    return QStringLiteral("%1:%2:%3,%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

// Varied texts with accents; every third subtitle has two lines.
QByteArray GerarSubRip()
{
    static const char* sujeitos[] = {"Você", "A Conceição", "O João", "Ninguém", "Aquele ônibus", "Minha irmã",
                                     "O senhor", "Cada criança"};
    static const char* verbos[] = {"não viu", "já esqueceu", "perguntou sobre", "está à procura de",
                                   "trouxe de volta", "guardou"};
    static const char* objetos[] = {"o coração da questão", "a canção de ninar", "três maçãs", "o pão de ló",
                                    "a informação secreta", "o relógio do avô", "as férias de verão"};
    QByteArray saida;
    saida.reserve(Linhas * 84);
    for (int i = 0; i < Linhas; ++i) {
        const qint64 inicio = qint64(i) * 2500 + (i * 37) % 400;
        saida += QByteArray::number(i + 1) + "\r\n";
        saida += (Tempo(inicio) + QStringLiteral(" --> ") + Tempo(inicio + 1800 + i % 500)).toUtf8() + "\r\n";
        saida += QByteArray(sujeitos[i % 8]) + ' ' + verbos[(i / 8) % 6] + ' ' + objetos[(i / 3) % 7] + "?\r\n";
        if (i % 3 == 0)
            saida += QByteArray("— Sim, às ") + QByteArray::number(i % 24) + " horas, nº " + QByteArray::number(i) + ".\r\n";
        saida += "\r\n";
    }
    return saida;
}

double Mediana(std::vector<double> valores)
{
    std::sort(valores.begin(), valores.end());
    return valores[valores.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir pasta;
    const QString entrada = pasta.filePath(QStringLiteral("entrada.srt"));
    {
        QFile f(entrada);
        if (!f.open(QIODevice::WriteOnly) || f.write(GerarSubRip()) < 0)
            return 1;
        std::fprintf(stderr, "arquivo de entrada: %lld bytes\n", static_cast<long long>(f.size()));
    }

    // Detection and reading from one read of the file, as an open does.
    std::vector<double> leituras;
    Leitura leitura;
    for (int rodada = 0; rodada < Rodadas; ++rodada) {
        QElapsedTimer relogio;
        relogio.start();
        const TextoArquivo texto = LerLinhasArquivo(entrada);
        const QString formato = VerificarFormatoLinhas(texto.linhas);
        leitura = formato == QLatin1String(FormatoSRT) ? LerLinhasSRT(texto.linhas, [] {}) : Leitura{};
        leituras.push_back(relogio.nsecsElapsed() / 1e9);
        if (!leitura.ok || leitura.linhas.size() != Linhas) {
            std::fprintf(stderr, "leitura falhou\n");
            return 1;
        }
    }

    // The grids hold the cells; the translation differs from the source.
    QList<LinhaLegenda> original;
    QList<LinhaLegenda> traducao;
    for (const LinhaLegenda& linha : leitura.linhas) {
        original.append(linha);
        traducao.append({linha.inicio, linha.fim, QStringLiteral("[en] ") + linha.texto});
    }

    std::vector<double> exportacoes;
    std::vector<double> escritas;
    for (int rodada = 0; rodada < Rodadas; ++rodada) {
        CacheTraducao::DefinirCaminho(pasta.filePath(QStringLiteral("cache-%1.sqlite").arg(rodada)));
        CacheTraducao* cache = CacheTraducao::Conexao();
        if (!cache) {
            std::fprintf(stderr, "cache não abriu\n");
            return 1;
        }
        const QString saida = pasta.filePath(QStringLiteral("saida.srt"));
        QString erro;
        QElapsedTimer relogio;
        relogio.start();
        // As the save does: the file first, then every row in one batch.
        const bool ok = EscreverLegenda(
            saida, QStringLiteral("SRT"), int(traducao.size()), [&traducao](int r) { return traducao.at(r); }, {},
            &erro);
        escritas.push_back(relogio.nsecsElapsed() / 1e9);
        if (ok) {
            QList<QPair<QString, QString>> pares;
            pares.reserve(traducao.size());
            for (qsizetype r = 0; r < traducao.size(); ++r)
                pares.append({original.at(r).texto, traducao.at(r).texto});
            cache->GravarTodos(pares, QStringLiteral("pt"), QStringLiteral("en"));
        }
        exportacoes.push_back(relogio.nsecsElapsed() / 1e9);
        if (!ok) {
            std::fprintf(stderr, "exportação falhou: %s\n", qPrintable(erro));
            return 1;
        }
        CacheTraducao::Liberar();
    }

    std::printf("figure read_50k_srt_s %.4f s\n", Mediana(leituras));
    std::printf("figure export_50k_srt_s %.4f s\n", Mediana(exportacoes));
    // Its first part alone: where the time of a save goes.
    std::printf("figure export_50k_write_only_s %.4f s\n", Mediana(escritas));
    return 0;
}
