#include "app/Aplicacao.h"
#include "app/workbench/modGlobal.h"
#include "suite/Tema.h"

int main(int argc, char* argv[])
{
    qeltrano::Aplicacao aplicacao(argc, argv);
    QCoreApplication::setApplicationName(qeltrano::NomeProduto());
    QCoreApplication::setApplicationVersion(qeltrano::VersaoCompleta());
    // Windows unload themselves; the main window ends the loop when none is left.
    QApplication::setQuitOnLastWindowClosed(false);
    orvessa::CarregarTraducoes(aplicacao);
    orvessa::AplicarTemaAplicacao(aplicacao);

    qeltrano::Main();
    qeltrano::DefinirEmExecucao(true);
    const int codigo = aplicacao.exec();
    qeltrano::DefinirEmExecucao(false);
    return codigo;
}
