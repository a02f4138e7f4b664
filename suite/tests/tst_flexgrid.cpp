// The grid: rows, marks, current row, editing and batched filling.
#include "suite/Tema.h"
#include "suite/USFlexGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace orvessa;

namespace {

QString Linha(int i)
{
    return QStringLiteral("%1\t%2\tTexto %3").arg(i * 10).arg(i * 10 + 5).arg(i);
}

void Colunas(USFlexGrid& grade)
{
    grade.AdicionarColuna(QStringLiteral("Início"), 2000, 5);
    grade.AdicionarColuna(QStringLiteral("Final"), 2000, 5);
    grade.AdicionarColuna(QStringLiteral("Texto Original"), 9600, 5);
}

void Preencher(USFlexGrid& grade, int total)
{
    grade.DefinirRedesenhar(false);
    for (int i = 0; i < total; ++i)
        grade.AdicionarLinha(Linha(i));
    grade.DefinirRedesenhar(true);
}

QPoint PontoDaMarca(USFlexGrid& grade, int linha)
{
    QHeaderView* cabecalho = grade.verticalHeader();
    return QPoint(cabecalho->width() / 2,
                  cabecalho->sectionViewportPosition(linha) + cabecalho->sectionSize(linha) / 2);
}

}  // namespace

class TesteFlexGrid : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        CarregarTraducoes(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void cemMilLinhas()
    {
        USFlexGrid grade;
        Colunas(grade);
        grade.resize(800, 500);
        grade.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grade));
        QSignalSpy inseridas(grade.Modelo(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reinicios(grade.Modelo(), &QAbstractItemModel::modelReset);

        Preencher(grade, 100000);
        grade.Atualizar();
        grade.LimparGrade(true);
        QCOMPARE(inseridas.count(), 0);
        QCOMPARE(reinicios.count(), 1);
        QCOMPARE(grade.TotalLinhas(), 100000);
        QCOMPARE(grade.Modelo()->rowCount(), 100000);
        QCOMPARE(grade.verticalHeader()->count(), 100000);
        QCOMPARE(grade.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(grade.Celula(99999, 2), QStringLiteral("Texto 99999"));
        QCOMPARE(grade.Celula(99999, 0), QStringLiteral("999990"));
        QCOMPARE(grade.Celula(100000, 0), QString());
        QCOMPARE(grade.Celula(0, 7), QString());

        grade.DefinirLinhaAtual(99999);
        QCOMPARE(grade.LinhaAtual(), 99999);
        QCoreApplication::processEvents();
        QVERIFY(grade.rowAt(grade.viewport()->height() / 2) > 99000);
        grade.DefinirMarcada(99998, true);
        QCOMPARE(grade.TotalMarcadas(), 1);
        QCoreApplication::processEvents();
    }

    void colunasComLarguraEmTwips()
    {
        USFlexGrid grade;
        Colunas(grade);
        QCOMPARE(grade.Modelo()->columnCount(), 3);
        QCOMPARE(grade.Modelo()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Texto Original"));
        QCOMPARE(grade.horizontalHeader()->sectionSize(0), qRound(TwipsParaPixelsX(2000)));
        grade.AdicionarLinha(Linha(1));
        QCOMPARE(Qt::Alignment(grade.Modelo()->data(grade.Modelo()->index(0, 0), Qt::TextAlignmentRole).toInt()),
                 Qt::AlignLeft | Qt::AlignVCenter);
        grade.LimparColunas();
        QCOMPARE(grade.Modelo()->columnCount(), 0);
        QCOMPARE(grade.Celula(0, 2), QStringLiteral("Texto 1"));  // cells stay with their row
    }

    void marcaPeloCabecalhoEPeloEspaco()
    {
        USFlexGrid grade;
        Colunas(grade);
        Preencher(grade, 20);
        grade.resize(700, 400);
        grade.show();
        grade.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&grade));
        QSignalSpy marcas(&grade, &USFlexGrid::MarcacaoAlterada);

        QWidget* cabecalho = grade.verticalHeader()->viewport();
        QTest::mouseClick(cabecalho, Qt::LeftButton, {}, PontoDaMarca(grade, 3));
        QVERIFY(grade.Marcada(3));
        QCOMPARE(grade.TotalMarcadas(), 1);
        QCOMPARE(marcas.count(), 1);
        QCOMPARE(marcas.last().at(0).toInt(), 3);
        QCOMPARE(grade.Modelo()->headerData(3, Qt::Vertical, Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(grade.Modelo()->data(grade.Modelo()->index(3, 1), Qt::BackgroundRole).isValid());
        QVERIFY(!grade.Modelo()->data(grade.Modelo()->index(4, 1), Qt::BackgroundRole).isValid());
        // The click also makes it the current row.
        QCOMPARE(grade.LinhaAtual(), 3);

        QTest::mouseClick(cabecalho, Qt::LeftButton, {}, PontoDaMarca(grade, 3));
        QVERIFY(!grade.Marcada(3));
        QCOMPARE(marcas.count(), 2);
        // A quick pair of clicks is two clicks.
        QTest::mouseClick(cabecalho, Qt::LeftButton, {}, PontoDaMarca(grade, 8));
        QTest::mouseDClick(cabecalho, Qt::LeftButton, {}, PontoDaMarca(grade, 8));
        QVERIFY(!grade.Marcada(8));
        QCOMPARE(marcas.count(), 4);

        grade.setFocus();
        grade.DefinirLinhaAtual(5);
        QTest::keyClick(&grade, Qt::Key_Space);
        QVERIFY(grade.Marcada(5));
        QCOMPARE(marcas.last().at(0).toInt(), 5);
        QTest::keyClick(&grade, Qt::Key_Space);
        QVERIFY(!grade.Marcada(5));
        QCOMPARE(grade.TotalMarcadas(), 0);

        // Setting the value a row already has is no change.
        const int antes = marcas.count();
        grade.DefinirMarcada(7, false);
        QCOMPARE(marcas.count(), antes);
        grade.DefinirMarcada(7, true);
        QCOMPARE(marcas.count(), antes + 1);
        grade.DefinirMarcada(50, true);  // no such row
        QCOMPARE(marcas.count(), antes + 1);
        QCOMPARE(grade.TotalMarcadas(), 1);
    }

    void linhaAtualAvisaSoQuandoMuda()
    {
        USFlexGrid grade;
        Colunas(grade);
        Preencher(grade, 10);
        QCOMPARE(grade.LinhaAtual(), -1);
        grade.resize(700, 400);
        grade.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grade));
        QSignalSpy linhas(&grade, &USFlexGrid::LinhaAtualAlterada);

        grade.DefinirLinhaAtual(7);
        QCOMPARE(grade.LinhaAtual(), 7);
        QCOMPARE(linhas.count(), 1);
        QCOMPARE(linhas.last().at(0).toInt(), 7);
        grade.DefinirLinhaAtual(7);
        QCOMPARE(linhas.count(), 1);
        grade.DefinirLinhaAtual(10);  // beyond the last row: ignored
        QCOMPARE(grade.LinhaAtual(), 7);
        QCOMPARE(linhas.count(), 1);

        // By the user.
        const QRect celula = grade.visualRect(grade.Modelo()->index(2, 2));
        QTest::mouseClick(grade.viewport(), Qt::LeftButton, {}, celula.center());
        QCOMPARE(grade.LinhaAtual(), 2);
        QCOMPARE(linhas.count(), 2);
        QCOMPARE(linhas.last().at(0).toInt(), 2);
        QVERIFY(grade.selectionModel()->isRowSelected(2, QModelIndex()));

        grade.DefinirLinhaAtual(-1);
        QCOMPARE(grade.LinhaAtual(), -1);
        QCOMPARE(linhas.last().at(0).toInt(), -1);
    }

    void inserirERemoverNaPosicao()
    {
        USFlexGrid grade;
        Colunas(grade);
        Preencher(grade, 5);
        grade.DefinirMarcada(3, true);
        grade.DefinirLinhaAtual(3);
        QSignalSpy linhas(&grade, &USFlexGrid::LinhaAtualAlterada);

        QCOMPARE(grade.AdicionarLinha(QStringLiteral("\t\t"), 2), 2);
        QCOMPARE(grade.TotalLinhas(), 6);
        QCOMPARE(grade.Celula(2, 2), QString());
        QCOMPARE(grade.Celula(3, 2), QStringLiteral("Texto 2"));
        QVERIFY(grade.Marcada(4));  // the mark moved with its row
        QVERIFY(!grade.Marcada(3));
        QCOMPARE(grade.LinhaAtual(), 4);  // so did the current row
        QCOMPARE(linhas.last().at(0).toInt(), 4);

        QCOMPARE(grade.AdicionarLinha(QStringLiteral("a\tb\tfim"), 99), 6);
        QCOMPARE(grade.AdicionarLinha(QStringLiteral("x\ty\tfim2")), 7);
        QCOMPARE(grade.Celula(7, 2), QStringLiteral("fim2"));

        grade.RemoverLinha(4);
        QCOMPARE(grade.TotalLinhas(), 7);
        QCOMPARE(grade.TotalMarcadas(), 0);
        QCOMPARE(grade.Celula(4, 2), QStringLiteral("Texto 4"));
        QVERIFY(grade.LinhaAtual() >= 0 && grade.LinhaAtual() < grade.TotalLinhas());
        grade.RemoverLinha(-1);
        grade.RemoverLinha(7);
        QCOMPARE(grade.TotalLinhas(), 7);

        grade.LimparGrade(false);
        QCOMPARE(grade.TotalLinhas(), 0);
        QCOMPARE(grade.LinhaAtual(), -1);
        QCOMPARE(linhas.last().at(0).toInt(), -1);
        QCOMPARE(grade.Modelo()->columnCount(), 3);
    }

    void edicaoComDuploClique()
    {
        USFlexGrid grade;
        Colunas(grade);
        Preencher(grade, 4);
        grade.resize(700, 400);
        grade.show();
        grade.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&grade));
        QSignalSpy celulas(grade.Modelo(), &ModeloGrade::CelulaAlterada);

        // A double click: the first click's press and release, then the
        // second press that the system reports as a double click.
        const QRect alvo = grade.visualRect(grade.Modelo()->index(1, 2));
        QTest::mouseClick(grade.viewport(), Qt::LeftButton, {}, alvo.center());
        QTest::mouseDClick(grade.viewport(), Qt::LeftButton, {}, alvo.center());
        QLineEdit* editor = nullptr;
        QTRY_VERIFY((editor = qobject_cast<QLineEdit*>(QApplication::focusWidget())) != nullptr);
        QCOMPARE(editor->text(), QStringLiteral("Texto 1"));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("Ola, <i>mundo</i>"));
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor hands its text over once the key is processed.
        QTRY_COMPARE(grade.Celula(1, 2), QStringLiteral("Ola, <i>mundo</i>"));
        QCOMPARE(celulas.count(), 1);
        QCOMPARE(celulas.first().at(0).toInt(), 1);
        QCOMPARE(celulas.first().at(1).toInt(), 2);
        QCOMPARE(grade.Celula(0, 2), QStringLiteral("Texto 0"));
    }

    void redesenharDesligadoAgrupaAsMudancas()
    {
        USFlexGrid grade;
        Colunas(grade);
        Preencher(grade, 10);
        grade.DefinirLinhaAtual(6);
        QSignalSpy inseridas(grade.Modelo(), &QAbstractItemModel::rowsInserted);
        QSignalSpy removidas(grade.Modelo(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy dados(grade.Modelo(), &QAbstractItemModel::dataChanged);
        QSignalSpy reinicios(grade.Modelo(), &QAbstractItemModel::modelReset);

        // Nothing to show: no reset.
        grade.DefinirRedesenhar(false);
        grade.DefinirRedesenhar(true);
        QCOMPARE(reinicios.count(), 0);

        grade.DefinirRedesenhar(false);
        QVERIFY(!grade.Redesenhar());
        grade.AdicionarLinha(QStringLiteral("\t\tnova"), 0);
        grade.DefinirCelula(1, 2, QStringLiteral("editada"));
        grade.RemoverLinha(9);
        // The counts are already right while the views wait.
        QCOMPARE(grade.TotalLinhas(), 10);
        QCOMPARE(grade.Celula(0, 2), QStringLiteral("nova"));
        QCOMPARE(grade.Modelo()->rowCount(), 10);
        grade.DefinirRedesenhar(true);
        QCOMPARE(inseridas.count(), 0);
        QCOMPARE(removidas.count(), 0);
        QCOMPARE(dados.count(), 0);
        QCOMPARE(reinicios.count(), 1);
        QCOMPARE(grade.Celula(1, 2), QStringLiteral("editada"));
        QCOMPARE(grade.LinhaAtual(), 6);  // the current row survives the reset

        // A current row set while off is applied at the end; one beyond the
        // remaining rows falls back to the last.
        grade.DefinirRedesenhar(false);
        for (int i = 0; i < 5; ++i)
            grade.AdicionarLinha(Linha(100 + i));
        grade.DefinirLinhaAtual(13);
        QCOMPARE(grade.LinhaAtual(), 13);
        grade.DefinirRedesenhar(true);
        QCOMPARE(grade.LinhaAtual(), 13);
        QCOMPARE(grade.Celula(13, 2), QStringLiteral("Texto 103"));

        grade.DefinirRedesenhar(false);
        while (grade.TotalLinhas() > 4)
            grade.RemoverLinha(0);
        grade.DefinirRedesenhar(true);
        QCOMPARE(grade.LinhaAtual(), 3);
        QCOMPARE(grade.Modelo()->rowCount(), 4);
    }
};

QTEST_MAIN(TesteFlexGrid)
#include "tst_flexgrid.moc"
