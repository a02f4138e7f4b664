#pragma once
// The program's one working window: the original and translation grids,
// the language lists, the two options, the action buttons, the description
// line, the progress bar and the version line.
#include "app/Exporta.h"
#include "app/workbench/nucleo/LinhaLegenda.h"
#include "suite/Formulario.h"

#include <QString>
#include <QStringList>
#include <array>

class QLayout;
class QVBoxLayout;
class QWidget;

namespace orvessa {
class USButton;
class USCheckBox;
class USComboBox;
class USFlexGrid;
class USForm;
class USLabel;
class USProgressBar;
class USStatusBar;
}  // namespace orvessa

namespace qeltrano {

class QELTRANO_EXPORT fPrincipal : public orvessa::Formulario {
    Q_OBJECT
public:
    fPrincipal();

    static QString TextoOpcaoApenasIguais();
    static QString TextoOpcaoOffline();

    // Window fields.
    QString FormatoArquivo;
    bool EmProcessamento = false;
    bool EmTraducao = false;
    bool TraducaoCancelada = false;

    // Controls, by the names and indices the window's code uses.
    orvessa::USForm* USForm1 = nullptr;
    orvessa::USFlexGrid* FlexGrid(int indice) const { return grades_.at(indice); }
    orvessa::USComboBox* USComboBoxX(int indice) const { return idiomas_.at(indice); }
    orvessa::USCheckBox* chkOpcao(int indice) const { return opcoes_.at(indice); }
    orvessa::USButton* btnAcao(int indice) const { return botoes_.at(indice); }
    orvessa::USLabel* lblDescription = nullptr;
    orvessa::USLabel* lblST = nullptr;
    orvessa::USProgressBar* USProgressBar1 = nullptr;
    orvessa::USStatusBar* USStatusBar1 = nullptr;

    // The steps the commands run, public so tests and benchmarks can drive
    // one alone; users reach them through the buttons.
    void ImportarLegenda(const QString& caminho);
    // False when the fill failed (the message was shown); both grids then
    // hold the same rows.
    bool PreencherGrade(QList<LinhaLegenda> linhas);
    // False when the file could not be written (the message was shown).
    bool ExportarLegenda(const QString& caminho);

    QString TraduzirTexto(const QString& texto, const QString& origem, const QString& destino);

    // Language keys of the selected items.
    QString IdiomaOrigem() const;
    QString IdiomaDestino() const;

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancelar, int modo) override;
    void Form_Unload() override;

private:
    // Event handlers, reached through the controls' signals.
    void btnAcao_Click(int Index);
    void chkOpcao_Click(int Index);
    void ExibirVersao();
    void SincronizarMarcacao(int Index, int linha);
    void SincronizarRolagem(int Index);

    void CriarControles();
    QLayout* CriarIdiomasEOpcoes();
    QWidget* CriarGrades();
    QLayout* CriarBotoes();
    void CriarRodape(QVBoxLayout* corpo);
    void PrepararColunas(int indice);
    void Abrir();
    void Salvar();
    void Formatar(const QString& abertura, const QString& fechamento);
    void IncluirLinha();
    void ExcluirLinhasMarcadas();
    void IniciarOuInterromperTraducao();
    void IniciarTraducao();
    void InterromperTraducao();
    void RestaurarBotaoTraducao();
    bool TemLegenda() const;
    int Aviso(const QString& texto, int estilo);
    int Mensagem(const QString& texto, int estilo);

    std::array<orvessa::USFlexGrid*, 2> grades_{};
    std::array<orvessa::USComboBox*, 2> idiomas_{};
    std::array<orvessa::USCheckBox*, 2> opcoes_{};
    std::array<orvessa::USButton*, 10> botoes_{};
};

// The single main window, created on first use.
QELTRANO_EXPORT fPrincipal* FormPrincipal();
// Releases it (tests start each case with a fresh window).
QELTRANO_EXPORT void LiberarFormPrincipal();

}  // namespace qeltrano
