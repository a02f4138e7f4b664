#pragma once
// The file dialog: the real Qt dialog (in Portuguese), or the test seam.
#include "suite/Exporta.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace orvessa {

class ORVESSA_EXPORT DialogoArquivo {
public:
    enum : long {
        OFN_OVERWRITEPROMPT = 0x2,
        OFN_FILEMUSTEXIST = 0x1000,
        OFN_LONGNAMES = 0x200000,
        OFN_EXPLORER = 0x80000,
    };
    // The program's open and save dialogs: long names, the explorer look,
    // only files that exist.
    static constexpr long OpcoesPadrao = OFN_LONGNAMES | OFN_EXPLORER | OFN_FILEMUSTEXIST;
    enum Tipo : int { Abrir = 1, Salvar = 2 };

    QString DiretorioInicial;  // start folder or last file; after the dialog, the folder it ended in
    long OpcoesDialogo = 0;
    QString FiltroArquivos;    // "description|patterns|description|patterns"

    // kind 1 open, 2 save; modal.
    void ExibirDialogo(int tipo, const QString& titulo, QWidget* pai = nullptr);
    bool DialogoCancelado() const { return cancelado_; }
    QString NomeArquivoEscolhido() const { return escolhido_; }

    // "desc|*.a;*.b|desc|*.c" -> {"desc (*.a *.b)", "desc (*.c)"}.
    static QStringList FiltrosQt(const QString& filtro);

private:
    bool cancelado_ = true;
    QString escolhido_;
};

}  // namespace orvessa
