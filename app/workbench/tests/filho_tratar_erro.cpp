// Child program of the error handler's tests.
//   filho_tratar_erro esperar <pasta>  waits (a second copy of the program)
//   filho_tratar_erro erro <pasta>     hands error 7 to the handler from an
//                                      event, with the box answered
// Everything it prints is flushed at once: the handler ends the process
// without flushing anything.
#include "app/workbench/modErros.h"
#include "platform/Registro.h"
#include "suite/Dialogos.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {

void Dizer(const char* texto)
{
    std::fputs(texto, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication aplicacao(argc, argv);
    if (argc < 3)
        return 2;
    const QString modo = QString::fromLocal8Bit(argv[1]);
    const QString pasta = QString::fromLocal8Bit(argv[2]);

    // Never the user's registry or scratch folder.
    QStandardPaths::setTestModeEnabled(true);
    QDir(pasta).mkpath(QStringLiteral("hkcu"));
    QDir(pasta).mkpath(QStringLiteral("hklm"));
    QDir(pasta).mkpath(QStringLiteral("temp"));
    plataforma::Registro::DefinirRaizes(pasta + QStringLiteral("/hkcu"), pasta + QStringLiteral("/hklm"));
    orvessa::Utilitarios::Instancia().DefinirDiretorioTemporario(pasta + QStringLiteral("/temp"));

    if (modo == QLatin1String("esperar")) {
        QTimer::singleShot(0, [] { Dizer("pronto"); });
        QTimer::singleShot(60000, &aplicacao, &QCoreApplication::quit);
        return aplicacao.exec();
    }
    if (modo != QLatin1String("erro"))
        return 2;

    orvessa::Dialogos::DefinirRespostaCaixas([](const orvessa::CaixaExibida& caixa) {
        Dizer(caixa.texto.section(QLatin1Char('\r'), 0, 0).toUtf8().constData());
        return 1;
    });
    QTimer::singleShot(0, [] {
        qeltrano::TratarErro(QStringLiteral("filho"), QStringLiteral("main"), 7, QStringLiteral("Out of memory"), 0);
        Dizer("continuou");
    });
    // Would run if the handler let the event loop go on.
    QTimer::singleShot(50, [] { Dizer("evento"); });
    const int codigo = aplicacao.exec();
    Dizer("fim");
    return codigo;
}
