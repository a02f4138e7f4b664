// The translation run of the main window against an endpoint on 127.0.0.1:
// rows a second online and from the cache, and how fast a stop takes effect.
#include "Apoio.h"
#include "Respostas.h"
#include "ServidorTraducao.h"

#include "app/Configuracao.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/fPrincipal.h"
#include "suite/Controles.h"
#include "suite/USFlexGrid.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace {

qeltrano::fPrincipal* NovaJanela(int linhas)
{
    qeltrano::LiberarFormPrincipal();
    qeltrano::fPrincipal* janela = qeltrano::FormPrincipal();
    janela->Carregar();
    janela->show();
    QList<qeltrano::LinhaLegenda> registros;
    registros.reserve(linhas);
    for (int i = 0; i < linhas; ++i)
        registros.append({QString::number(i), QString::number(i + 1), QStringLiteral("Frase número %1 para traduzir").arg(i)});
    janela->PreencherGrade(registros);
    QApplication::processEvents();
    return janela;
}

double Execucao(qeltrano::fPrincipal* janela)
{
    QElapsedTimer relogio;
    relogio.start();
    janela->btnAcao(7)->click();
    return relogio.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    apoio::AmbienteTeste ambiente;
    apoio::Respostas respostas;
    orvessa::Utilitarios::Instancia().DefinirVerificadorConexao([] { return true; });
    qeltrano::CacheTraducao::DefinirCaminho(ambiente.Caminho(QStringLiteral("db.sqlite")));
    apoio::ServidorTraducao servidor;
    qeltrano::Config().HostTraducao = servidor.Endereco();

    // Connections the endpoint accepted during a 1,000-row run: requests
    // ride on kept-alive connections instead of one connection per row.
    {
        qeltrano::fPrincipal* janela = NovaJanela(1000);
        servidor.ZerarConexoes();
        Execucao(janela);
        std::printf("figure translation_connections_per_1000_rows %d connections\n", servidor.ConexoesAceitas());
        qeltrano::CacheTraducao::Liberar();
        QFile::remove(ambiente.Caminho(QStringLiteral("db.sqlite")));
    }

    const int linhas = 5000;
    qeltrano::fPrincipal* janela = NovaJanela(linhas);
    const double online = Execucao(janela);
    if (janela->FlexGrid(1)->Celula(linhas - 1, 2).isEmpty())
        return 1;
    std::printf("figure translation_run_rows_per_s %.0f rows/s\n", linhas / online);

    // Every row is in the cache now; the off-line option takes them from it.
    janela = NovaJanela(linhas);
    janela->chkOpcao(1)->DefinirValue(1);
    servidor.LimparRequisicoes();
    const double cache = Execucao(janela);
    if (!servidor.Requisicoes().isEmpty())
        std::fprintf(stderr, "a execução com cache fez %lld requisições\n",
                     static_cast<long long>(servidor.Requisicoes().size()));
    std::printf("figure cached_run_rows_per_s %.0f rows/s\n", linhas / cache);
    janela->chkOpcao(1)->DefinirValue(0);

    // A slow endpoint: the stop is posted as a click while a request waits.
    janela = NovaJanela(20);
    servidor.DefinirAtraso(1000);
    double latencia = -1;
    QElapsedTimer relogio;
    QTimer::singleShot(300, &app, [&] {
        relogio.start();
        QTimer::singleShot(0, &app, [&] {
            janela->btnAcao(7)->click();
            if (janela->btnAcao(7)->Caption() == QStringLiteral("&Iniciar Tradução"))
                latencia = relogio.nsecsElapsed() / 1e6;
        });
    });
    Execucao(janela);
    if (latencia < 0)
        return 1;
    std::printf("figure stop_latency_ms %.2f ms\n", latencia);
    return 0;
}
