// The runtime's rounding to a whole number: halves to the even neighbour,
// whatever rounding mode a host left the thread in, and that mode kept.
#include "platform/Arredondamento.h"

#include <QTest>

#include <cfenv>

class TstArredondamento : public QObject {
    Q_OBJECT

private slots:
    void metadesVaoParaOPar_data()
    {
        QTest::addColumn<int>("modo");
        QTest::newRow("ao mais próximo") << FE_TONEAREST;
        QTest::newRow("para cima") << FE_UPWARD;
        QTest::newRow("para baixo") << FE_DOWNWARD;
        QTest::newRow("para o zero") << FE_TOWARDZERO;
    }

    void metadesVaoParaOPar()
    {
        QFETCH(int, modo);
        const struct {
            double valor;
            double esperado;
        } casos[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                     {2.4999, 2}, {2.5001, 3}, {49999.5, 50000}, {32766.5, 32766}};
        QCOMPARE(std::fesetround(modo), 0);
        for (const auto& c : casos) {
            const double obtido = plataforma::ArredondarPar(c.valor);
            QCOMPARE(std::fegetround(), modo);
            if (obtido != c.esperado) {
                std::fesetround(FE_TONEAREST);
                QFAIL(qPrintable(QStringLiteral("%1 -> %2, esperado %3").arg(c.valor).arg(obtido).arg(c.esperado)));
            }
        }
        std::fesetround(FE_TONEAREST);
    }
};

QTEST_GUILESS_MAIN(TstArredondamento)
#include "tst_arredondamento.moc"
