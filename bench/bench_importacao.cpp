// Opening a 50,000-row SubRip file into both grids of the main window:
// detection, reading and the fill, as the user's "Abrir" runs them; then the
// peak memory of the process with the file open.
#include "Apoio.h"
#include "Respostas.h"

#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/fPrincipal.h"
#include "suite/USFlexGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <sys/resource.h>
#include <vector>

namespace {

QString Tempo(int segundos)
{
    return QStringLiteral("%1:%2:%3,%4")
        .arg(segundos / 3600, 2, 10, QLatin1Char('0'))
        .arg(segundos / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(segundos % 60, 2, 10, QLatin1Char('0'))
        .arg(segundos * 7 % 1000, 3, 10, QLatin1Char('0'));
}

// About 4 MB: varied texts, accents, one block in three with two lines.
QByteArray GerarSubRip(int linhas)
{
    static const char* frases[] = {
        "Você viu o que aconteceu ontem à noite?", "Não, eu estava dormindo no sofá.",
        "Precisamos sair daqui antes que amanheça!", "Ela disse que voltaria às três horas.",
        "Isso não faz o menor sentido, João.", "Onde você escondeu a chave do cofre?",
    };
    QByteArray saida;
    saida.reserve(linhas * 84);
    for (int i = 0; i < linhas; ++i) {
        saida += QByteArray::number(i + 1) + "\r\n";
        saida += (Tempo(i * 3) + QStringLiteral(" --> ") + Tempo(i * 3 + 2)).toUtf8() + "\r\n";
        saida += frases[i % 6];
        saida += "\r\n";
        if (i % 3 == 0)
            saida += QByteArray(frases[(i + 1) % 6]) + " (" + QByteArray::number(i) + ")\r\n";
        saida += "\r\n";
    }
    return saida;
}

// Debian's python3-srt parsing the same file, timed inside the interpreter
// (start-up excluded), median of five; nothing when it is not installed.
std::optional<double> TempoPythonSrt(const QString& caminho)
{
    static const char* script =
        "import sys, time\n"
        "try:\n    import srt\nexcept ImportError:\n    sys.exit(3)\n"
        "texto = open(sys.argv[1], encoding='utf-8').read()\n"
        "tempos = []\n"
        "for _ in range(5):\n"
        "    t = time.perf_counter(); n = len(list(srt.parse(texto))); tempos.append(time.perf_counter() - t)\n"
        "print(sorted(tempos)[2], n)\n";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(script), caminho});
    if (!python.waitForFinished(120000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        python.kill();
        python.waitForFinished(5000);
        return std::nullopt;
    }
    const QList<QByteArray> campos = python.readAllStandardOutput().trimmed().split(' ');
    if (campos.size() != 2 || campos[1].toInt() != 50000)
        return std::nullopt;
    return campos[0].toDouble();
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    apoio::AmbienteTeste ambiente;
    apoio::Respostas respostas;
    qeltrano::CacheTraducao::DefinirCaminho(ambiente.Caminho(QStringLiteral("db.sqlite")));

    const QString caminho = ambiente.EscreverArquivo(QStringLiteral("filme.srt"), GerarSubRip(50000));
    std::fprintf(stderr, "arquivo: %lld bytes\n", static_cast<long long>(QFile(caminho).size()));

    std::vector<double> tempos;
    for (int rodada = 0; rodada < 5; ++rodada) {
        qeltrano::LiberarFormPrincipal();
        qeltrano::fPrincipal* janela = qeltrano::FormPrincipal();
        janela->Carregar();
        janela->show();
        QApplication::processEvents();
        QElapsedTimer relogio;
        relogio.start();
        janela->ImportarLegenda(caminho);
        QApplication::processEvents();
        tempos.push_back(relogio.nsecsElapsed() / 1e9);
        if (janela->FlexGrid(1)->TotalLinhas() != 50000) {
            std::fprintf(stderr, "importação incompleta: %d linhas\n", janela->FlexGrid(1)->TotalLinhas());
            return 1;
        }
    }
    std::sort(tempos.begin(), tempos.end());
    std::printf("figure import_50k_srt_s %.4f s\n", tempos[tempos.size() / 2]);
    if (const auto peer = TempoPythonSrt(caminho)) {
        std::printf("figure import_50k_python_srt_s %.4f s\n", *peer);
        std::printf("figure import_50k_vs_python_srt_ratio %.3f x\n", tempos[tempos.size() / 2] / *peer);
    }

    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    std::printf("figure import_50k_peak_mb %.1f MB\n", uso.ru_maxrss / 1024.0);
    return 0;
}
