// A second process for the tests: ends processes by image, or writes and
// reads the registry from outside the test process.
//   plataforma_auxiliar esperar
//   plataforma_auxiliar encerrar <imagem> <incluirAtual 0|1>
//   plataforma_auxiliar gravar <raiz> <chave> <prefixo> <quantos>
//   plataforma_auxiliar ler <raiz> <chave> <nome>
//   plataforma_auxiliar bloquear <raiz>   (holds the user hive's lock file
//                                          until its standard input closes)
#include "platform/Processos.h"
#include "platform/Registro.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QStringList>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const QString comando = a.value(1);
    if (comando == QLatin1String("esperar") && a.size() == 2) {
        std::puts("pronto");
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    if (comando == QLatin1String("encerrar") && a.size() == 4) {
        std::printf("imagem=%s\n", qPrintable(plataforma::ImagemProcessoAtual()));
        std::fflush(stdout);
        const int n = plataforma::EncerrarProcessosPorImagem(a.at(2), a.at(3) == QLatin1String("1"));
        std::printf("sinalizados=%d\nvoltou\n", n);
        return 0;
    }
    if (comando == QLatin1String("gravar") && a.size() == 6) {
        plataforma::Registro::DefinirRaizes(a.at(2), a.at(2));
        const int quantos = a.at(5).toInt();
        for (int i = 0; i < quantos; ++i)
            if (!plataforma::Registro::GravarDword(plataforma::Hive::CurrentUser, a.at(3), a.at(4) + QString::number(i),
                                                   quint32(i)))
                return 1;
        return 0;
    }
    if (comando == QLatin1String("ler") && a.size() == 5) {
        plataforma::Registro::DefinirRaizes(a.at(2), a.at(2));
        const auto v = plataforma::Registro::LerTexto(plataforma::Hive::CurrentUser, a.at(3), a.at(4));
        if (!v)
            return 1;
        std::puts(v->toUtf8().constData());
        return 0;
    }
    if (comando == QLatin1String("bloquear") && a.size() == 3) {
        QDir().mkpath(a.at(2));
        QLockFile bloqueio(a.at(2) + QStringLiteral("/HKEY_CURRENT_USER.lock"));
        if (!bloqueio.tryLock(10000))
            return 1;
        std::puts("pronto");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    std::fputs("uso: plataforma_auxiliar esperar | encerrar ... | gravar ... | ler ... | bloquear ...\n", stderr);
    return 2;
}
