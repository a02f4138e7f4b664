// Registering a component library again when an error says it is not
// correctly registered.
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"

#include "platform/Biblioteca.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qeltrano {

namespace {

QString& PastaDefinida()
{
    static QString pasta;
    return pasta;
}

// Libraries whose registration entry overran the limit: the worker may still
// run inside them, so they stay loaded for the life of the process.
std::mutex mutexPresas;
std::vector<void*> bibliotecasPresas;

void ManterCarregada(void* biblioteca)
{
    std::lock_guard<std::mutex> trava(mutexPresas);
    bibliotecasPresas.push_back(biblioteca);
}

// Shared by the caller and the worker; whichever of them lives longer frees it.
struct EstadoRegistro {
    std::mutex mutex;
    std::condition_variable terminou;
    bool concluido = false;
};

}  // namespace

QString PastaComponentes()
{
    if (!PastaDefinida().isEmpty())
        return PastaDefinida();
    const QString pasta = QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/ilib");
    const QString canonica = QFileInfo(pasta).canonicalFilePath();
    // A missing folder still gives an absolute path, never "": a bare file
    // name would let the loader look for the library elsewhere.
    return canonica.isEmpty() ? QDir::cleanPath(QFileInfo(pasta).absoluteFilePath()) : canonica;
}

void DefinirPastaComponentes(const QString& pasta)
{
    PastaDefinida() = pasta;
}

bool RegistrarComponente(const QString& arquivo)
{
    try {
        // The name comes from an error's text: it must name a file in the
        // component folder, never a path that leads out of it.
        if (arquivo.contains(QLatin1Char('/')) || arquivo.contains(QLatin1Char('\\')) ||
            arquivo == QLatin1String(".") || arquivo == QLatin1String(".."))
            return false;
        return RegistrarDll(PastaComponentes() + QLatin1Char('/') + arquivo);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("RegistrarComponente"));
        return false;
    }
}

bool RegistrarDll(const QString& caminho, int limiteMs)
{
    try {
        auto estado = std::make_shared<EstadoRegistro>();
        QString erro;
        void* biblioteca = plataforma::CarregarBiblioteca(caminho, &erro);
        if (!biblioteca) {
            qWarning("RegistrarDll: %s", qPrintable(erro));
            return false;
        }

        using Entrada = long (*)();
        auto entrada = plataforma::Entrada<Entrada>(biblioteca, "DllRegisterServer");
        if (!entrada) {
            plataforma::LiberarBiblioteca(biblioteca);
            return false;
        }

        std::thread trabalhador;
        try {
            trabalhador = std::thread([entrada, estado] {
                try {
                    entrada();  // only that it returns counts, not what it returns
                } catch (...) {
                    RegistrarErroIgnorado(QStringLiteral("RegistrarDll"));
                }
                {
                    std::lock_guard<std::mutex> trava(estado->mutex);
                    estado->concluido = true;
                }
                estado->terminou.notify_all();
            });
        } catch (...) {
            plataforma::LiberarBiblioteca(biblioteca);
            return false;
        }

        // From here on the worker runs: it is either joined or let go, so
        // the thread object never ends joinable.
        bool concluido = false;
        try {
            std::unique_lock<std::mutex> trava(estado->mutex);
            concluido = estado->terminou.wait_for(trava, std::chrono::milliseconds(limiteMs < 0 ? 0 : limiteMs),
                                                  [&] { return estado->concluido; });
        } catch (...) {
            concluido = false;
        }
        if (concluido) {
            try {
                trabalhador.join();
            } catch (...) {
                trabalhador.detach();
                ManterCarregada(biblioteca);
                return true;
            }
            plataforma::LiberarBiblioteca(biblioteca);
            return true;
        }
        // Give up on the worker but never unload its code under it.
        trabalhador.detach();
        ManterCarregada(biblioteca);
        return false;
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("RegistrarDll"));
        return false;
    }
}

}  // namespace qeltrano
