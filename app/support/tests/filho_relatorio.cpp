// Child program of the report tests: the program's application object, an
// error no class fits, and a user who answers every window that opens.
//   filho_relatorio <pasta> <porta smtp> <arquivo ca> <site>
// Prints (flushed at once: the handler ends the process without flushing)
// "relatorio" when the report window shows, "assistente" when the update
// assistant does, and "continuou" if the handler ever returned.
#include "app/Aplicacao.h"
#include "app/Configuracao.h"
#include "app/support/FRelatorioErros.h"
#include "app/support/XTelaAssistenteAtualizacoes.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/Registro.h"
#include "suite/Controles.h"
#include "suite/Dialogos.h"
#include "suite/Formulario.h"
#include "suite/Utilitarios.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {

void Dizer(const QString& texto)
{
    std::fputs(texto.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    qeltrano::Aplicacao aplicacao(argc, argv);
    if (argc < 5)
        return 2;
    const QString pasta = QString::fromLocal8Bit(argv[1]);
    QStandardPaths::setTestModeEnabled(true);
    for (const char* sub : {"hkcu", "hklm", "temp"})
        QDir(pasta).mkpath(QString::fromLatin1(sub));
    plataforma::Registro::DefinirRaizes(pasta + QStringLiteral("/hkcu"), pasta + QStringLiteral("/hklm"));
    orvessa::Utilitarios::Instancia().DefinirDiretorioTemporario(pasta + QStringLiteral("/temp"));
    qeltrano::Config().HostRelaySmtp = QStringLiteral("127.0.0.1");
    qeltrano::Config().PortaRelaySmtp = QString::fromLocal8Bit(argv[2]).toInt();
    qeltrano::Config().CertificadosSmtp = QString::fromLocal8Bit(argv[3]);
    qeltrano::Config().SiteFabricante = QString::fromLocal8Bit(argv[4]);
    qeltrano::Config().PastaPrograma = pasta;
    if (!qeltrano::RegistrarComponente(QStringLiteral("libkestrane.so")))
        Dizer(QStringLiteral("sem biblioteca de controles"));

    orvessa::Dialogos::DefinirRespostaCaixas([](const orvessa::CaixaExibida& caixa) {
        Dizer(QStringLiteral("caixa ") + caixa.texto.section(QLatin1Char('\r'), 0, 0));
        return 1;
    });
    // The user: types an address into the report window and sends; turns
    // the update down.
    auto* usuario = new QTimer(&aplicacao);
    QObject::connect(usuario, &QTimer::timeout, [] {
        for (orvessa::Formulario* janela : orvessa::Formulario::FormulariosCarregados()) {
            if (!janela->isVisible() || janela->property("respondida").toBool())
                continue;
            if (auto* relatorio = qobject_cast<qeltrano::FRelatorioErros*>(janela)) {
                janela->setProperty("respondida", true);
                Dizer(QStringLiteral("relatorio"));
                relatorio->txtEmail()->DefinirTexto(QStringLiteral("usuario@cliente.com.br"));
                // Clicked from a fresh event: a timer is never re-entered, and
                // the send and the update check nest inside this click.
                QTimer::singleShot(0, relatorio, [relatorio] { relatorio->USBtn(0)->click(); });
            } else if (auto* assistente = qobject_cast<qeltrano::XTelaAssistenteAtualizacoes*>(janela)) {
                janela->setProperty("respondida", true);
                Dizer(QStringLiteral("assistente"));
                QTimer::singleShot(0, assistente, [assistente] { assistente->USBtn(1)->click(); });
            }
        }
    });
    usuario->start(50);
    QTimer::singleShot(0, [] {
        qeltrano::TratarErro(QStringLiteral("filho"), QStringLiteral("main"), 5,
                             QStringLiteral("Invalid procedure call or argument"), 12);
        Dizer(QStringLiteral("continuou"));
    });
    const int codigo = aplicacao.exec();
    Dizer(QStringLiteral("fim"));
    return codigo;
}
