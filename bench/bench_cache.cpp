// Lookups in a translation cache that holds 100,000 rows.
#include "app/workbench/nucleo/CacheTraducao.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qeltrano;

namespace {

constexpr int Linhas = 100000;
constexpr int Consultas = 200000;
constexpr int Rodadas = 5;

QString Texto(int i)
{
    return QStringLiteral("Frase número %1, com acentuação e um apóstrofo d'água").arg(i);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir pasta;
    CacheTraducao::DefinirCaminho(pasta.filePath(QStringLiteral("cache.sqlite")));
    CacheTraducao* cache = CacheTraducao::Conexao();
    if (!cache) {
        std::fprintf(stderr, "cache não abriu\n");
        return 1;
    }
    QList<QPair<QString, QString>> pares;
    for (int i = 0; i < Linhas; ++i)
        pares.append({Texto(i), QStringLiteral("Sentence number %1").arg(i)});
    cache->GravarTodos(pares, QStringLiteral("pt"), QStringLiteral("en"));

    // The keys are built beforehand: what is measured is the lookup alone.
    // One in ten misses, as texts never translated do.
    std::vector<QString> chaves;
    chaves.reserve(Consultas);
    quint32 semente = 12345;
    for (int i = 0; i < Consultas; ++i) {
        semente = semente * 1664525u + 1013904223u;
        const int n = int(semente % quint32(Linhas));
        chaves.push_back(i % 10 == 0 ? Texto(Linhas + n) : Texto(n));
    }

    // One by one, as a translation run asks, and all at once, as opening a
    // file with the off-line option asks.
    std::vector<double> taxas;
    std::vector<double> taxasLote;
    const QList<QString> lista(chaves.begin(), chaves.end());
    for (int rodada = 0; rodada < Rodadas; ++rodada) {
        int acertos = 0;
        QElapsedTimer relogio;
        relogio.start();
        for (const QString& chave : chaves) {
            if (cache->Buscar(chave, QStringLiteral("pt"), QStringLiteral("en")))
                ++acertos;
        }
        const double segundos = relogio.nsecsElapsed() / 1e9;
        relogio.restart();
        const auto respostas = cache->BuscarTodos(lista, QStringLiteral("pt"), QStringLiteral("en"));
        const double segundosLote = relogio.nsecsElapsed() / 1e9;
        const auto acertosLote = std::count_if(respostas.begin(), respostas.end(), [](const auto& r) { return r.has_value(); });
        if (acertos != Consultas - Consultas / 10 || acertosLote != acertos) {
            std::fprintf(stderr, "acertos inesperados: %d\n", acertos);
            return 1;
        }
        taxas.push_back(Consultas / segundos);
        taxasLote.push_back(Consultas / segundosLote);
    }
    std::sort(taxasLote.begin(), taxasLote.end());
    std::sort(taxas.begin(), taxas.end());
    CacheTraducao::Liberar();
    std::printf("figure cache_lookup_per_s %.0f lookups/s\n", taxasLote[taxasLote.size() / 2]);
    std::printf("figure cache_single_lookup_per_s %.0f lookups/s\n", taxas[taxas.size() / 2]);
    return 0;
}
