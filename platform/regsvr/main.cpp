// regsvr [/u] [/s] [--raiz-registro <pasta>] [--raiz-maquina <pasta>] <biblioteca>
//
// Loads a component library and runs its DllRegisterServer (with /u its
// DllUnregisterServer). The exit code is 0 only when the entry ran and
// returned success. --raiz-registro points the registry at another folder
// (both hives, unless --raiz-maquina names one for the machine hive).
#include "platform/Biblioteca.h"
#include "platform/Registro.h"
#include "platform/TipoBiblioteca.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

enum Saida { Sucesso = 0, Uso = 2, CargaFalhou = 3, SemEntrada = 4, EntradaFalhou = 5 };

bool silencioso = false;

void Dizer(std::FILE* destino, const QString& texto)
{
    if (silencioso)
        return;
    std::fputs(texto.toLocal8Bit().constData(), destino);
    std::fputc('\n', destino);
    std::fflush(destino);
}

bool Opcao(const QString& arg, QChar letra)
{
    return arg.size() == 2 && (arg.at(0) == QLatin1Char('/') || arg.at(0) == QLatin1Char('-')) &&
           arg.at(1).toLower() == letra;
}

const char* kUso =
    "Uso: regsvr [/u] [/s] [--raiz-registro <pasta>] [--raiz-maquina <pasta>] <biblioteca>\n"
    "  /u  remove o registro da biblioteca (DllUnregisterServer)\n"
    "  /s  silencioso: nenhuma mensagem";

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    bool desregistrar = false;
    QString raizUsuario;
    QString raizMaquina;
    QStringList arquivos;
    bool usoErrado = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (Opcao(a, QLatin1Char('u'))) {
            desregistrar = true;
        } else if (Opcao(a, QLatin1Char('s'))) {
            silencioso = true;
        } else if (a == QLatin1String("--raiz-registro") || a == QLatin1String("--raiz-maquina")) {
            if (i + 1 >= args.size()) {
                usoErrado = true;
                break;
            }
            (a == QLatin1String("--raiz-registro") ? raizUsuario : raizMaquina) = args.at(++i);
        } else if (a.startsWith(QLatin1String("--"))) {
            usoErrado = true;
        } else {
            arquivos.append(a);
        }
    }
    if (usoErrado || arquivos.size() != 1) {
        Dizer(stderr, QString::fromLatin1(kUso));
        return Uso;
    }
    if (!raizUsuario.isEmpty())
        plataforma::Registro::DefinirRaizes(raizUsuario, raizMaquina.isEmpty() ? raizUsuario : raizMaquina);
    else if (!raizMaquina.isEmpty())
        plataforma::Registro::DefinirRaizes(QString(), raizMaquina);

    // Absolute, so the library finds and registers its own full path.
    const QString caminho = QFileInfo(arquivos.first()).absoluteFilePath();
    QString erro;
    void* alca = plataforma::CarregarBiblioteca(caminho, &erro);
    if (!alca) {
        Dizer(stderr, QStringLiteral("Não foi possível carregar %1: %2").arg(caminho, erro));
        return CargaFalhou;
    }
    const char* entrada = desregistrar ? PLATAFORMA_ENTRADA_DESREGISTRO : PLATAFORMA_ENTRADA_REGISTRO;
    auto funcao = plataforma::Entrada<FuncaoRegistro>(alca, entrada);
    if (!funcao) {
        Dizer(stderr, QStringLiteral("O ponto de entrada %1 não foi encontrado em %2.")
                          .arg(QString::fromLatin1(entrada), caminho));
        return SemEntrada;
    }
    const long resultado = funcao();
    if (resultado != 0) {
        Dizer(stderr, QStringLiteral("%1 falhou em %2 (código 0x%3).")
                          .arg(QString::fromLatin1(entrada), caminho)
                          .arg(quint32(resultado), 8, 16, QLatin1Char('0')));
        return EntradaFalhou;
    }
    Dizer(stdout, desregistrar ? QStringLiteral("Remoção do registro concluída: %1").arg(caminho)
                               : QStringLiteral("Registro concluído: %1").arg(caminho));
    // The library stays loaded until the process ends: objects or threads it
    // started during registration may still use it.
    return Sucesso;
}
