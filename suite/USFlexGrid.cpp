#include "suite/USFlexGrid.h"

#include "suite/Tema.h"

#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace orvessa {

namespace {

// The suite's alignment numbers: 4/5/6 centre, left and right on the middle
// line (5 is what the windows pass); 1-3 the same on the top line, 7-9 on the
// bottom line; anything else left on the middle line.
Qt::Alignment Alinhamento(int codigo)
{
    switch (codigo) {
    case 1: return Qt::AlignLeft | Qt::AlignTop;
    case 2: return Qt::AlignHCenter | Qt::AlignTop;
    case 3: return Qt::AlignRight | Qt::AlignTop;
    case 4: return Qt::AlignHCenter | Qt::AlignVCenter;
    case 6: return Qt::AlignRight | Qt::AlignVCenter;
    case 7: return Qt::AlignLeft | Qt::AlignBottom;
    case 8: return Qt::AlignHCenter | Qt::AlignBottom;
    case 9: return Qt::AlignRight | Qt::AlignBottom;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

const QColor& TomMarcada()
{
    static const QColor tom(0xDC, 0xEA, 0xFA);  // the accent blue, much lighter
    return tom;
}

constexpr int kMaxColunas = 1024;

}  // namespace

// ---------------------------------------------------------------- ModeloGrade

ModeloGrade::ModeloGrade(QObject* pai) : QAbstractTableModel(pai) {}

int ModeloGrade::rowCount(const QModelIndex& pai) const
{
    if (pai.isValid())
        return 0;
    return redesenhar_ ? static_cast<int>(linhas_.size()) : linhasAnunciadas_;
}

int ModeloGrade::columnCount(const QModelIndex& pai) const
{
    return pai.isValid() ? 0 : static_cast<int>(titulos_.size());
}

QVariant ModeloGrade::data(const QModelIndex& indice, int papel) const
{
    if (!indice.isValid() || indice.row() >= TotalLinhas())
        return QVariant();
    const Linha& linha = linhas_[static_cast<size_t>(indice.row())];
    switch (papel) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return indice.column() < linha.celulas.size() ? linha.celulas.at(indice.column()) : QString();
    case Qt::TextAlignmentRole:
        return static_cast<int>(Alinhamento(
            indice.column() < static_cast<int>(alinhamentos_.size()) ? alinhamentos_[indice.column()] : 5));
    case Qt::BackgroundRole:
        return linha.marcada ? QVariant(TomMarcada()) : QVariant();
    default:
        return QVariant();
    }
}

bool ModeloGrade::setData(const QModelIndex& indice, const QVariant& valor, int papel)
{
    if (!indice.isValid() || papel != Qt::EditRole || indice.row() >= TotalLinhas())
        return false;
    DefinirCelula(indice.row(), indice.column(), valor.toString());
    return true;
}

QVariant ModeloGrade::headerData(int secao, Qt::Orientation orientacao, int papel) const
{
    if (orientacao == Qt::Horizontal) {
        if (papel == Qt::DisplayRole && secao >= 0 && secao < titulos_.size())
            return titulos_.at(secao);
        if (papel == Qt::TextAlignmentRole)
            return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant();
    }
    if (papel == Qt::CheckStateRole && secao >= 0 && secao < TotalLinhas())
        return Marcada(secao) ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

Qt::ItemFlags ModeloGrade::flags(const QModelIndex& indice) const
{
    if (!indice.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void ModeloGrade::DefinirRedesenhar(bool ligado)
{
    if (ligado == redesenhar_)
        return;
    if (!ligado) {
        linhasAnunciadas_ = TotalLinhas();
        pendente_ = false;
        redesenhar_ = false;
        return;
    }
    if (!pendente_) {
        redesenhar_ = true;
        return;
    }
    // One reset for the whole batch instead of a signal per row.
    beginResetModel();
    redesenhar_ = true;
    pendente_ = false;
    endResetModel();
}

void ModeloGrade::AdicionarColuna(const QString& titulo, int alinhamento)
{
    if (titulos_.size() >= kMaxColunas)
        return;
    const int coluna = static_cast<int>(titulos_.size());
    beginInsertColumns(QModelIndex(), coluna, coluna);
    titulos_ << titulo;
    alinhamentos_.push_back(alinhamento);
    endInsertColumns();
}

void ModeloGrade::LimparColunas()
{
    if (titulos_.isEmpty())
        return;
    beginRemoveColumns(QModelIndex(), 0, static_cast<int>(titulos_.size()) - 1);
    titulos_.clear();
    alinhamentos_.clear();
    endRemoveColumns();
}

int ModeloGrade::AdicionarLinha(const QString& celulasTab, int posicao)
{
    return AdicionarLinha(celulasTab.split(QLatin1Char('\t')), posicao);
}

int ModeloGrade::AdicionarLinha(QStringList celulas, int posicao)
{
    const int total = TotalLinhas();
    const int linha = (posicao < 0 || posicao > total) ? total : posicao;
    Linha nova;
    nova.celulas = std::move(celulas);
    if (redesenhar_)
        beginInsertRows(QModelIndex(), linha, linha);
    linhas_.insert(linhas_.begin() + linha, std::move(nova));
    if (redesenhar_)
        endInsertRows();
    else
        pendente_ = true;
    return linha;
}

void ModeloGrade::RemoverLinha(int linha)
{
    if (linha < 0 || linha >= TotalLinhas())
        return;
    if (redesenhar_)
        beginRemoveRows(QModelIndex(), linha, linha);
    if (linhas_[static_cast<size_t>(linha)].marcada)
        --totalMarcadas_;
    linhas_.erase(linhas_.begin() + linha);
    if (redesenhar_)
        endRemoveRows();
    else
        pendente_ = true;
}

void ModeloGrade::Limpar()
{
    if (linhas_.empty())
        return;
    if (!redesenhar_) {
        linhas_.clear();
        totalMarcadas_ = 0;
        pendente_ = true;
        return;
    }
    beginResetModel();
    linhas_.clear();
    linhas_.shrink_to_fit();
    totalMarcadas_ = 0;
    endResetModel();
}

QString ModeloGrade::Celula(int linha, int coluna) const
{
    if (linha < 0 || linha >= TotalLinhas() || coluna < 0)
        return QString();
    const QStringList& celulas = linhas_[static_cast<size_t>(linha)].celulas;
    return coluna < celulas.size() ? celulas.at(coluna) : QString();
}

void ModeloGrade::DefinirCelula(int linha, int coluna, const QString& texto)
{
    if (linha < 0 || linha >= TotalLinhas() || coluna < 0 || coluna >= kMaxColunas)
        return;
    QStringList& celulas = linhas_[static_cast<size_t>(linha)].celulas;
    if (coluna < celulas.size() && celulas.at(coluna) == texto)
        return;
    while (celulas.size() <= coluna)
        celulas << QString();
    celulas[coluna] = texto;
    if (redesenhar_) {
        const QModelIndex i = index(linha, coluna);
        if (i.isValid())
            emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    } else {
        pendente_ = true;
    }
    emit CelulaAlterada(linha, coluna);
}

bool ModeloGrade::Marcada(int linha) const
{
    return linha >= 0 && linha < TotalLinhas() && linhas_[static_cast<size_t>(linha)].marcada;
}

void ModeloGrade::DefinirMarcada(int linha, bool marcada)
{
    if (linha < 0 || linha >= TotalLinhas())
        return;
    Linha& l = linhas_[static_cast<size_t>(linha)];
    if (l.marcada == marcada)
        return;
    l.marcada = marcada;
    totalMarcadas_ += marcada ? 1 : -1;
    if (redesenhar_) {
        emit headerDataChanged(Qt::Vertical, linha, linha);
        if (!titulos_.isEmpty())
            emit dataChanged(index(linha, 0), index(linha, static_cast<int>(titulos_.size()) - 1),
                             {Qt::BackgroundRole});
    } else {
        pendente_ = true;
    }
    emit MarcacaoAlterada(linha);
}

// ---------------------------------------------------------------- row header

// The vertical header: one check box per row, the row's mark.
class CabecalhoMarcas : public QHeaderView {
public:
    explicit CabecalhoMarcas(USFlexGrid* grade) : QHeaderView(Qt::Vertical, grade), grade_(grade)
    {
        setObjectName(QStringLiteral("CabecalhoMarcas"));
        setSectionsClickable(true);
        setHighlightSections(false);
    }

protected:
    QSize sizeHint() const override
    {
        const int lado = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
        return QSize(lado + 12, QHeaderView::sizeHint().height());
    }

    void paintSection(QPainter* p, const QRect& r, int secao) const override
    {
        p->save();
        QHeaderView::paintSection(p, r, secao);
        p->restore();
        QStyleOptionButton opcao;
        opcao.initFrom(this);
        const int lado = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
        opcao.rect = QRect(0, 0, lado, lado);
        opcao.rect.moveCenter(r.center());
        opcao.state = QStyle::State_Enabled | (grade_->Marcada(secao) ? QStyle::State_On : QStyle::State_Off);
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opcao, p, this);
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        Alternar(e);
        QHeaderView::mousePressEvent(e);
    }

    // The second click of a quick pair toggles again, as on any check box.
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        Alternar(e);
        QHeaderView::mouseDoubleClickEvent(e);
    }

private:
    void Alternar(QMouseEvent* e)
    {
        if (e->button() != Qt::LeftButton)
            return;
        const int linha = logicalIndexAt(e->position().toPoint());
        if (linha >= 0 && linha < grade_->TotalLinhas())
            grade_->DefinirMarcada(linha, !grade_->Marcada(linha));
    }

    USFlexGrid* grade_;
};

// ---------------------------------------------------------------- USFlexGrid

USFlexGrid::USFlexGrid(QWidget* pai) : QTableView(pai), modelo_(new ModeloGrade(this))
{
    setVerticalHeader(new CabecalhoMarcas(this));
    setModel(modelo_);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setAlternatingRowColors(true);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);

    // Every row the same height: the view never measures 100,000 rows.
    QHeaderView* linhas = verticalHeader();
    linhas->setSectionResizeMode(QHeaderView::Fixed);
    linhas->setDefaultSectionSize(fontMetrics().height() + 8);
    linhas->setMinimumSectionSize(fontMetrics().height() + 2);
    QHeaderView* colunas = horizontalHeader();
    colunas->setSectionResizeMode(QHeaderView::Interactive);
    colunas->setHighlightSections(false);
    colunas->setStretchLastSection(true);
    colunas->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(modelo_, &ModeloGrade::MarcacaoAlterada, this, &USFlexGrid::MarcacaoAlterada);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (emEstrutura_)
            return;
        linhaPendente_ = -2;
        VerificarLinhaAtual();
    });
    auto inicio = [this] { emEstrutura_ = true; };
    auto fim = [this] {
        emEstrutura_ = false;
        VerificarLinhaAtual();
    };
    connect(modelo_, &QAbstractItemModel::rowsAboutToBeInserted, this, inicio);
    connect(modelo_, &QAbstractItemModel::rowsAboutToBeRemoved, this, inicio);
    connect(modelo_, &QAbstractItemModel::rowsInserted, this, fim);
    connect(modelo_, &QAbstractItemModel::rowsRemoved, this, fim);
    connect(modelo_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        linhaAntesReset_ = LinhaAtual();
        emEstrutura_ = true;
    });
    // Connected after the view's own reset handling, which clears the
    // current index; the row is put back where it can be.
    connect(modelo_, &QAbstractItemModel::modelReset, this, [this] {
        emEstrutura_ = false;
        linhaPendente_ = -2;
        const int total = TotalLinhas();
        const int linha = qMin(linhaAntesReset_, total - 1);
        if (linha >= 0 && modelo_->columnCount() > 0)
            selectionModel()->setCurrentIndex(modelo_->index(linha, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        else if (linha >= 0)
            linhaPendente_ = linha;
        VerificarLinhaAtual();
    });
}

void USFlexGrid::VerificarLinhaAtual()
{
    const int linha = LinhaAtual();
    if (linha != linhaAtualAnunciada_) {
        linhaAtualAnunciada_ = linha;
        emit LinhaAtualAlterada(linha);
    }
}

int USFlexGrid::TotalLinhas() const
{
    return modelo_->TotalLinhas();
}

QString USFlexGrid::Celula(int linha, int coluna) const
{
    return modelo_->Celula(linha, coluna);
}

void USFlexGrid::DefinirCelula(int linha, int coluna, const QString& texto)
{
    modelo_->DefinirCelula(linha, coluna, texto);
}

int USFlexGrid::LinhaAtual() const
{
    const int total = TotalLinhas();
    if (linhaPendente_ != -2)
        return qMin(linhaPendente_, total - 1);
    const QModelIndex atual = currentIndex();
    if (!atual.isValid())
        return -1;
    return qMin(atual.row(), total - 1);
}

void USFlexGrid::DefinirLinhaAtual(int linha)
{
    if (linha >= TotalLinhas())
        return;
    if (linha < 0) {
        linhaPendente_ = -2;
        selectionModel()->clear();
        VerificarLinhaAtual();
        return;
    }
    const int coluna = qMax(currentIndex().column(), 0);
    const QModelIndex alvo = modelo_->index(linha, coluna);
    if (!alvo.isValid()) {
        // Beyond what the view was told while redrawing is off: applied at
        // the reset that ends the batch.
        linhaPendente_ = linha;
        VerificarLinhaAtual();
        return;
    }
    linhaPendente_ = -2;
    selectionModel()->setCurrentIndex(alvo, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (modelo_->Redesenhar())
        scrollTo(alvo);
    VerificarLinhaAtual();
}

bool USFlexGrid::Marcada(int linha) const
{
    return modelo_->Marcada(linha);
}

void USFlexGrid::DefinirMarcada(int linha, bool marcada)
{
    modelo_->DefinirMarcada(linha, marcada);
}

int USFlexGrid::TotalMarcadas() const
{
    return modelo_->TotalMarcadas();
}

void USFlexGrid::AdicionarColuna(const QString& titulo, double larguraTwips, int alinhamento)
{
    modelo_->AdicionarColuna(titulo, alinhamento);
    const int coluna = modelo_->columnCount() - 1;
    if (coluna < 0)
        return;
    larguras_.resize(coluna + 1, 0);
    larguras_[coluna] = larguraTwips > 0 ? qMax(1, qRound(TwipsParaPixelsX(larguraTwips))) : 0;
    // The last column fills the grid's width; the others keep their own.
    QHeaderView* cabecalho = horizontalHeader();
    for (int c = 0; c <= coluna; ++c) {
        if (larguras_[c] > 0 && (c < coluna || !cabecalho->stretchLastSection()))
            cabecalho->resizeSection(c, larguras_[c]);
    }
}

void USFlexGrid::LimparColunas()
{
    modelo_->LimparColunas();
    larguras_.clear();
}

int USFlexGrid::AdicionarLinha(const QString& celulasTab, int posicao)
{
    return modelo_->AdicionarLinha(celulasTab, posicao);
}

int USFlexGrid::AdicionarLinha(QStringList celulas, int posicao)
{
    return modelo_->AdicionarLinha(std::move(celulas), posicao);
}

void USFlexGrid::RemoverLinha(int linha)
{
    modelo_->RemoverLinha(linha);
}

void USFlexGrid::LimparGrade(bool fimPreenchimento)
{
    if (fimPreenchimento) {
        scrollToTop();
        return;
    }
    modelo_->Limpar();
}

void USFlexGrid::DefinirRedesenhar(bool ligado)
{
    if (ligado == modelo_->Redesenhar())
        return;
    if (!ligado)
        setUpdatesEnabled(false);
    modelo_->DefinirRedesenhar(ligado);
    if (ligado)
        setUpdatesEnabled(true);
}

bool USFlexGrid::Redesenhar() const
{
    return modelo_->Redesenhar();
}

void USFlexGrid::Atualizar()
{
    viewport()->update();
    verticalHeader()->viewport()->update();
    horizontalHeader()->viewport()->update();
}

void USFlexGrid::keyPressEvent(QKeyEvent* evento)
{
    // Space marks or unmarks the current row.
    if (evento->key() == Qt::Key_Space && (evento->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        state() != QAbstractItemView::EditingState) {
        const int linha = LinhaAtual();
        if (linha >= 0) {
            DefinirMarcada(linha, !Marcada(linha));
            evento->accept();
            return;
        }
    }
    QTableView::keyPressEvent(evento);
}

}  // namespace orvessa
