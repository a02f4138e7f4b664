#pragma once
// The suite's grid: a table view over a model of text rows. Rows hold any
// number of text cells plus a mark the user sets (a check box in the row
// header: click it, or press Space on the row). Built for 100,000 rows.
#include "suite/Exporta.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace orvessa {

class ORVESSA_EXPORT ModeloGrade : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloGrade(QObject* pai = nullptr);

    int rowCount(const QModelIndex& pai = QModelIndex()) const override;
    int columnCount(const QModelIndex& pai = QModelIndex()) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int papel) override;
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

    // While redrawing is off, changes are not announced one by one; turning
    // it on again resets the views once.
    void DefinirRedesenhar(bool ligado);
    bool Redesenhar() const { return redesenhar_; }
    // The real number of rows, also while redrawing is off.
    int TotalLinhas() const { return static_cast<int>(linhas_.size()); }

    void AdicionarColuna(const QString& titulo, int alinhamento);
    void LimparColunas();
    int AdicionarLinha(const QString& celulasTab, int posicao = -1);
    int AdicionarLinha(QStringList celulas, int posicao = -1);
    void RemoverLinha(int linha);
    void Limpar();
    void ReservarLinhas(int total) { linhas_.reserve(size_t(std::max(total, 0))); }
    QString Celula(int linha, int coluna) const;
    void DefinirCelula(int linha, int coluna, const QString& texto);
    bool Marcada(int linha) const;
    void DefinirMarcada(int linha, bool marcada);
    int TotalMarcadas() const { return totalMarcadas_; }

signals:
    void MarcacaoAlterada(int linha);
    void CelulaAlterada(int linha, int coluna);

private:
    struct Linha {
        QStringList celulas;
        bool marcada = false;
    };
    QStringList titulos_;
    std::vector<int> alinhamentos_;
    std::vector<Linha> linhas_;
    int totalMarcadas_ = 0;
    bool redesenhar_ = true;
    bool pendente_ = false;
    // What the views were last told while redrawing is off.
    int linhasAnunciadas_ = 0;
};

class ORVESSA_EXPORT USFlexGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int TotalLinhas READ TotalLinhas)
    Q_PROPERTY(int LinhaAtual READ LinhaAtual WRITE DefinirLinhaAtual)
public:
    explicit USFlexGrid(QWidget* pai = nullptr);

    int TotalLinhas() const;
    QString Celula(int linha, int coluna) const;
    void DefinirCelula(int linha, int coluna, const QString& texto);
    // -1 when there is no current row.
    int LinhaAtual() const;
    void DefinirLinhaAtual(int linha);
    bool Marcada(int linha) const;
    void DefinirMarcada(int linha, bool marcada);
    int TotalMarcadas() const;

    // Width in twips; alignment as the suite numbers it (5: left, centred vertically).
    void AdicionarColuna(const QString& titulo, double larguraTwips, int alinhamento = 5);
    void LimparColunas();
    // Tab-separated cells; at `posicao` (-1: at the end). Returns the new row.
    int AdicionarLinha(const QString& celulasTab, int posicao = -1);
    // The cells as they are: a cell may hold any character, TAB included.
    int AdicionarLinha(QStringList celulas, int posicao = -1);
    void RemoverLinha(int linha);
    // Room for this many rows, ahead of a fill.
    void ReservarLinhas(int total) { modelo_->ReservarLinhas(total); }
    // False empties the rows; True ends a fill (scrolls to the top).
    void LimparGrade(bool fimPreenchimento);
    void DefinirRedesenhar(bool ligado);
    bool Redesenhar() const;
    void Atualizar();

    ModeloGrade* Modelo() const { return modelo_; }

signals:
    void MarcacaoAlterada(int linha);
    void LinhaAtualAlterada(int linha);

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void VerificarLinhaAtual();
    ModeloGrade* modelo_;
    int linhaAtualAnunciada_ = -1;
    std::vector<int> larguras_;  // pixels, as the columns were added
    // A current row set while redrawing is off beyond what the view knows
    // (-2: none pending).
    int linhaPendente_ = -2;
    int linhaAntesReset_ = -1;
    bool emEstrutura_ = false;
};

}  // namespace orvessa
