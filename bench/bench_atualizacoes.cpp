// The update check against a site on 127.0.0.1 whose answer is 400 MB: the
// peak memory of the whole process (server included) while the check
// meets it, which the cap on text answers keeps small.
#include "Apoio.h"
#include "ServidorHttpTeste.h"

#include "app/Configuracao.h"
#include "app/support/modUpdates.h"
#include "suite/Utilitarios.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cstdio>

namespace {

qint64 PicoMemoriaKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const auto m = QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+) kB")).match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    apoio::AmbienteTeste ambiente;
    orvessa::Utilitarios::Instancia().DefinirVerificadorConexao([] { return true; });
    QDir(ambiente.Pasta()).mkpath(QStringLiteral("programa"));
    qeltrano::Config().PastaPrograma = ambiente.Caminho(QStringLiteral("programa"));

    apoio::ServidorHttpTeste servidor;
    apoio::RespostaHttpTeste enorme;
    enorme.tamanhoAnunciado = -2;
    enorme.bloco = 64 * 1024;
    enorme.repetirBlocos = 400 * 16;  // 400 MB
    servidor.Definir(QStringLiteral("/checkversion.asp"), enorme);
    qeltrano::Config().SiteFabricante = servidor.Endereco();

    const bool oferta = qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false);
    if (oferta) {
        std::fprintf(stderr, "a resposta de 400 MB foi aceita\n");
        return 1;
    }
    std::printf("figure text_answer_cap_peak_mb %.1f MB\n", PicoMemoriaKb() / 1024.0);
    return 0;
}
