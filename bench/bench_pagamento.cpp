// The outcome screen from Exibir to the outcome shown, against a local page
// that answers at once: the first run with the browser engine's start, then
// warm runs; the engine's start alone, measured in a fresh process; and the
// payment query against a local service that answers at once.
#include "Apoio.h"
#include "Respostas.h"
#include "ServidorMoip.h"

#include "checkout/Checkout.h"
#include "checkout/Configuracao.h"
#include "checkout/Form3.h"
#include "checkout/modGlobal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace vendalo;

namespace {

const QString kToken = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
const QString kChave = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");

double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds from creating the first page to an empty page loaded.
int SoMotor(QApplication& app)
{
    QElapsedTimer relogio;
    relogio.start();
    auto* perfil = new QWebEngineProfile(&app);
    auto* pagina = new QWebEnginePage(perfil, &app);
    bool ok = false;
    QObject::connect(pagina, &QWebEnginePage::loadFinished, &app, [&](bool carregou) {
        ok = carregou;
        app.quit();
    });
    pagina->setHtml(QStringLiteral("<html><body></body></html>"));
    app.exec();
    std::printf("%.3f\n", double(relogio.nsecsElapsed()) / 1e9);
    delete pagina;
    delete perfil;
    return ok ? 0 : 1;
}

// Seconds from Exibir to the outcome on the screen, or a negative value when
// the payment was not approved.
double UmPagamento()
{
    Form3* tela = Form3::Instancia(nullptr);
    QElapsedTimer relogio;
    double segundos = -1;
    QObject::connect(tela, &Form3::ResultadoExibido, tela, [&] {
        if (tela->EstadoAtual() == Form3::Estado::Aprovado)
            segundos = double(relogio.nsecsElapsed()) / 1e9;
        tela->Descarregar(true);
    });
    relogio.start();
    tela->Exibir();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return segundos;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--motor") == 0)
        return SoMotor(app);

    apoio::AmbienteTeste ambiente;
    apoio::Respostas respostas;
    respostas.DefinirPadrao(1);
    apoio::ServidorMoip servidor;
    servidor.DefinirCredenciais(kToken, kChave);
    servidor.DefinirAtrasoPagina(0);
    ConfiguracaoCheckout& c = ConfigCheckout();
    c.HostApi = c.HostApiSandbox = c.HostPagina = c.HostPaginaSandbox = servidor.Endereco();
    ParametrosCheckout& p = Parametros();
    p.MOIP_Token = kToken;
    p.MOIP_ChaveAcesso = kChave;
    p.QuantidadeItens = 1;
    p.ValorTotal = 25;
    p.OpcaoPagamento = 0;
    p.ParametrosPagina = QStringLiteral("instituicao=Visa&parcelas=1&token=TK&C_TIPO_PAGAMENTO=0&rnd=1");

    const double frio = UmPagamento();
    std::vector<double> mornos;
    for (int i = 0; i < 10; ++i)
        mornos.push_back(UmPagamento());
    if (frio < 0 || *std::min_element(mornos.begin(), mornos.end()) < 0) {
        std::fprintf(stderr, "o pagamento não foi aprovado\n");
        return 1;
    }
    std::printf("figure payment_page_s %.3f s\n", frio);
    std::printf("figure payment_page_warm_s %.3f s\n", Mediana(mornos));

    QProcess motor;
    motor.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--motor")});
    if (motor.waitForFinished(60000) && motor.exitCode() == 0)
        std::printf("figure browser_engine_start_s %.3f s\n", motor.readAllStandardOutput().trimmed().toDouble());
    else
        std::fprintf(stderr, "o motor do navegador não iniciou\n");

    Checkout checkout;
    std::vector<double> consultas;
    for (int i = 0; i < 120; ++i) {
        QElapsedTimer relogio;
        relogio.start();
        const bool respondeu = checkout.Pagamento_Verificar(QStringLiteral("TK"));
        const double ms = double(relogio.nsecsElapsed()) / 1e6;
        if (!respondeu || checkout.Pagamento_TotalItens() != 2) {
            std::fprintf(stderr, "a consulta falhou\n");
            return 1;
        }
        if (i >= 20)  // the first connections warm up
            consultas.push_back(ms);
    }
    std::printf("figure payment_query_ms %.2f ms\n", Mediana(consultas));
    return 0;
}
