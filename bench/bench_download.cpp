// The download control against servers on 127.0.0.1: a 200 MB file by
// Baixar and by the curl command line from the same server in the same run,
// the process's peak memory during our download, and how soon a cancel is
// reported during a slow transfer.
#include "Apoio.h"
#include "ServidorHttpTeste.h"

#include "app/workbench/modComum.h"
#include "platform/Componentes.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kTamanho = 200LL * 1024 * 1024;
constexpr int kRepeticoes = 5;

// A host whose handlers do nothing, and one that notes the cancel report.
class Hospedeiro : public QObject {
    Q_OBJECT
public:
    QElapsedTimer relogio;
    qint64 canceladoEmNs = -1;
    bool transferindo = false;
public slots:
    void Erros(const QString&, int Codigo)
    {
        if (Codigo == -1 && relogio.isValid())
            canceladoEmNs = relogio.nsecsElapsed();
    }
    void Progresso(int, const QString& Mensagem)
    {
        if (Mensagem.startsWith(QLatin1String("Baixando")))
            transferindo = true;
    }
    void Concluido() {}
};

bool Ligar(QObject* controle, Hospedeiro* host)
{
    using plataforma::Componentes;
    return QObject::connect(controle, Componentes::AssinaturaEvento(controle, 1), host, SLOT(Erros(QString,int))) &&
           QObject::connect(controle, Componentes::AssinaturaEvento(controle, 2), host, SLOT(Progresso(int,QString))) &&
           QObject::connect(controle, Componentes::AssinaturaEvento(controle, 3), host, SLOT(Concluido()));
}

qint64 PicoMemoriaKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString texto = QString::fromLatin1(status.readAll());
    const auto m = QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+) kB")).match(texto);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

// The peak so far is forgotten, so the next reading covers what follows.
void ZerarPicoMemoria()
{
    QFile limpar(QStringLiteral("/proc/self/clear_refs"));
    if (limpar.open(QIODevice::WriteOnly))
        limpar.write("5");
}

bool CriarArquivo(const QString& caminho)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bloco(1024 * 1024, '\0');
    for (int i = 0; i < bloco.size(); ++i)
        bloco[i] = char((i * 131) ^ (i >> 7));
    for (qint64 escrito = 0; escrito < kTamanho; escrito += bloco.size())
        if (arquivo.write(bloco) != bloco.size())
            return false;
    return true;
}

QByteArray Resumo(const QString& caminho)
{
    QFile arquivo(caminho);
    QCryptographicHash resumo(QCryptographicHash::Sha256);
    return arquivo.open(QIODevice::ReadOnly) && resumo.addData(&arquivo) ? resumo.result() : QByteArray();
}

double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The server in a process of its own, so its buffers are not counted as ours.
bool IniciarServidor(QProcess& servidor, const QString& pasta, int& porta)
{
    servidor.setProcessChannelMode(QProcess::MergedChannels);
    servidor.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"), QStringLiteral("0"),
                    QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--directory"), pasta});
    if (!servidor.waitForStarted(10000))
        return false;
    QByteArray saida;
    QElapsedTimer espera;
    espera.start();
    static const QRegularExpression linha(QStringLiteral("port (\\d+)"));
    while (espera.elapsed() < 15000) {
        servidor.waitForReadyRead(500);
        saida += servidor.readAll();
        const auto m = linha.match(QString::fromLatin1(saida));
        if (m.hasMatch()) {
            porta = m.captured(1).toInt();
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    apoio::AmbienteTeste ambiente;
    if (!qeltrano::RegistrarComponente(QStringLiteral("libkestrane.so"))) {
        std::fprintf(stderr, "the control library could not be registered\n");
        return 1;
    }
    QDir(ambiente.Pasta()).mkpath(QStringLiteral("site"));
    const QString site = ambiente.Caminho(QStringLiteral("site"));
    if (!CriarArquivo(site + QStringLiteral("/grande.bin"))) {
        std::fprintf(stderr, "the 200 MB file could not be written\n");
        return 1;
    }
    QProcess servidor;
    int porta = 0;
    if (!IniciarServidor(servidor, site, porta)) {
        std::fprintf(stderr, "the local server did not start\n");
        return 1;
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/grande.bin").arg(porta);
    const QString destino = ambiente.Caminho(QStringLiteral("baixado.bin"));

    QWidget janela;
    Hospedeiro host;
    QObject* controle = plataforma::Componentes::CriarObjeto(QStringLiteral("Kestrane.CDownload"), &janela);
    if (!controle || !Ligar(controle, &host))
        return 1;

    std::vector<double> nossos;
    std::vector<double> curls;
    qint64 picoKb = 0;
    for (int i = 0; i < kRepeticoes; ++i) {
        QFile::remove(destino);
        ZerarPicoMemoria();
        QElapsedTimer relogio;
        relogio.start();
        const bool ok = plataforma::Componentes::ChamarMetodo(controle, QStringLiteral("Baixar"), {url, destino}).toBool();
        nossos.push_back(relogio.nsecsElapsed() / 1e9);
        picoKb = std::max(picoKb, PicoMemoriaKb());
        if (!ok || QFileInfo(destino).size() != kTamanho ||
            (i == 0 && Resumo(destino) != Resumo(site + QStringLiteral("/grande.bin")))) {
            std::fprintf(stderr, "Baixar failed\n");
            return 1;
        }

        QFile::remove(destino);
        relogio.restart();
        const int codigo = QProcess::execute(QStringLiteral("curl"),
                                             {QStringLiteral("-s"), QStringLiteral("-f"), QStringLiteral("-o"), destino, url});
        curls.push_back(relogio.nsecsElapsed() / 1e9);
        if (codigo != 0 || QFileInfo(destino).size() != kTamanho) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }
    }
    QFile::remove(destino);
    servidor.terminate();
    servidor.waitForFinished(5000);

    // Cancel during a slow transfer: from Cancelar, called from the event
    // loop as a button would, to the report with code -1.
    apoio::ServidorHttpTeste lento;
    apoio::RespostaHttpTeste gotejamento;
    gotejamento.bloco = 1000;
    gotejamento.intervaloMs = 20;
    gotejamento.repetirBlocos = 1000000;
    lento.Definir(QStringLiteral("/lento"), gotejamento);
    std::vector<double> cancelamentos;
    for (int i = 0; i < 5; ++i) {
        host.canceladoEmNs = -1;
        host.transferindo = false;
        host.relogio.invalidate();
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            if (!host.transferindo || host.relogio.isValid())
                return;
            host.relogio.start();
            plataforma::Componentes::ChamarMetodo(controle, QStringLiteral("Cancelar"));
        });
        vigia.start(37);
        plataforma::Componentes::ChamarMetodo(controle, QStringLiteral("Baixar"),
                                              {lento.Endereco(QStringLiteral("/lento")), destino});
        vigia.stop();
        if (host.canceladoEmNs < 0) {
            std::fprintf(stderr, "the cancel was not reported\n");
            return 1;
        }
        cancelamentos.push_back(host.canceladoEmNs / 1e6);
    }

    std::printf("figure download_200mb_s %.3f s\n", Mediana(nossos));
    std::printf("figure download_200mb_curl_s %.3f s\n", Mediana(curls));
    std::printf("figure download_peak_mb %.1f MB\n", picoKb / 1024.0);
    std::printf("figure download_cancel_ms %.1f ms\n", *std::max_element(cancelamentos.begin(), cancelamentos.end()));
    return 0;
}

#include "bench_download.moc"
