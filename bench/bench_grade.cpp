// Filling a grid with 50,000 three-column rows the way an import does it:
// redrawing off, one AdicionarLinha per row, redrawing on; then showing it.
#include "suite/USFlexGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    constexpr int kLinhas = 50000;
    QStringList linhas;
    linhas.reserve(kLinhas);
    for (int i = 0; i < kLinhas; ++i)
        linhas << QStringLiteral("00:%1:%2,000\t00:%1:%3,500\tLinha de legenda número %4|com uma segunda linha")
                      .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                      .arg(i % 60, 2, 10, QLatin1Char('0'))
                      .arg((i + 1) % 60, 2, 10, QLatin1Char('0'))
                      .arg(i);

    std::vector<double> tempos;
    for (int rodada = 0; rodada < 7; ++rodada) {
        orvessa::USFlexGrid grade;
        grade.AdicionarColuna(QStringLiteral("Início"), 2000, 5);
        grade.AdicionarColuna(QStringLiteral("Final"), 2000, 5);
        grade.AdicionarColuna(QStringLiteral("Texto Original"), 9600, 5);
        grade.resize(1000, 600);
        grade.show();
        QApplication::processEvents();

        QElapsedTimer relogio;
        relogio.start();
        grade.DefinirRedesenhar(false);
        for (const QString& linha : linhas)
            grade.AdicionarLinha(linha);
        grade.DefinirRedesenhar(true);
        grade.Atualizar();
        grade.LimparGrade(true);
        QApplication::processEvents();
        tempos.push_back(relogio.nsecsElapsed() / 1e9);

        if (grade.TotalLinhas() != kLinhas || grade.Modelo()->rowCount() != kLinhas) {
            std::fprintf(stderr, "preenchimento incompleto: %d linhas\n", grade.TotalLinhas());
            return 1;
        }
    }
    std::sort(tempos.begin(), tempos.end());
    std::printf("figure grid_fill_50k_s %.4f s\n", tempos[tempos.size() / 2]);
    return 0;
}
