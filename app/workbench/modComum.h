#pragma once
// Behaviour every window of the program shares.
#include "app/Exporta.h"

#include <QString>

class QWidget;
namespace orvessa { class Formulario; }

namespace qeltrano {

QELTRANO_EXPORT QString NomeProduto();
// major.minor.revision, the revision as it is (the version line, the
// application's version).
QELTRANO_EXPORT QString VersaoCompleta();
// Product name, a blank and major.minor.revision, the revision with at least
// two digits: "Qeltrano 1.0.05".
QELTRANO_EXPORT QString ObterTituloVersao();
QELTRANO_EXPORT QString MontarTituloVersao(const QString& produto, int major, int minor, int revision);
// The executable's base name: the product name normalised, blanks removed.
QELTRANO_EXPORT QString ObterNomeExecutavel();
// The image name the process table shows for it: with ".exe" on Windows only.
QELTRANO_EXPORT QString ObterImagemExecutavel();

// Set while the application's own event loop runs, so closing the last
// window ends it (and nothing quits a test's event loops).
QELTRANO_EXPORT void DefinirEmExecucao(bool executando);
QELTRANO_EXPORT bool EmExecucao();

// Screen.MousePointer values.
namespace Ponteiro {
inline constexpr int Padrao = 0;
inline constexpr int Ampulheta = 11;
inline constexpr int SetaEAmpulheta = 13;
}  // namespace Ponteiro
QELTRANO_EXPORT void DefinirPonteiroTela(int ponteiro);

// Unloads every loaded window (each runs its own unload code); then, when
// asked, shows the splash window unless it is loaded.
QELTRANO_EXPORT void DescarregarFormularios(bool exibirSplash);

// Enter/Esc navigation. Zeroes `codigo` when it handled the key.
QELTRANO_EXPORT void TratarTecla(orvessa::Formulario* janela, int& codigo);

// Centres the window in the desktop work area, cascaded by 100 twips for
// every other loaded window of the same Name.
QELTRANO_EXPORT void CarregarPosicao(orvessa::Formulario* janela);

// Sets the window icon from the program's icon resource `nome`; with
// `tambemDono` the top owner window gets it too.
QELTRANO_EXPORT void DefinirIcone(QWidget* janela, const QString& nome, bool tambemDono);

// Registers a component library again: the file is looked for in the
// program's component folder "ilib". False when any step fails.
QELTRANO_EXPORT bool RegistrarComponente(const QString& arquivo);
// Runs the library's DllRegisterServer on a worker thread, waiting at most
// `limiteMs`. True when the entry ran to its end within the time.
QELTRANO_EXPORT bool RegistrarDll(const QString& caminho, int limiteMs = 10000);
// The component folder: "ilib" beside the program's libraries.
QELTRANO_EXPORT QString PastaComponentes();
QELTRANO_EXPORT void DefinirPastaComponentes(const QString& pasta);  // tests

}  // namespace qeltrano
