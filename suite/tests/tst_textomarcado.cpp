// The marked-up text is rendered through Qt's rich text, so the checks read
// back what a QTextDocument makes of the HTML: the characters shown and the
// bold, underline and colour of each run.
#include "suite/TextoMarcado.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace orvessa;

namespace {

// "text[b,u,#rrggbb]" for each run of equal formatting, joined by "|".
QString Trechos(const QString& html)
{
    QTextDocument documento;
    documento.setHtml(html);
    QStringList trechos;
    QString atual;
    QString formatoAtual;
    auto fechar = [&] {
        if (!atual.isEmpty())
            trechos << atual + u'[' + formatoAtual + u']';
        atual.clear();
    };
    for (QTextBlock bloco = documento.begin(); bloco.isValid(); bloco = bloco.next()) {
        if (bloco != documento.begin()) {
            // A new paragraph shows as a line break, same format as before.
            atual += u'\n';
        }
        for (auto it = bloco.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            QStringList partes;
            if (cf.fontWeight() >= QFont::Bold)
                partes << QStringLiteral("b");
            if (cf.fontUnderline())
                partes << QStringLiteral("u");
            if (cf.hasProperty(QTextFormat::ForegroundBrush))
                partes << cf.foreground().color().name();
            const QString formato = partes.join(u',');
            if (formato != formatoAtual)
                fechar();
            formatoAtual = formato;
            QString texto = f.text();
            texto.replace(QChar::LineSeparator, u'\n');
            atual += texto;
        }
    }
    fechar();
    return trechos.join(u'|');
}

}  // namespace

class TstTextoMarcado : public QObject {
    Q_OBJECT
private slots:
    void html_data()
    {
        QTest::addColumn<QString>("marcado");
        QTest::addColumn<QString>("trechos");
        QTest::newRow("aviso") << "<b>Atenção</b>: aguarde." << "Atenção[b]|: aguarde.[]";
        QTest::newRow("sinais literais") << "a < b & c > d \"e\"" << "a < b & c > d \"e\"[]";
        QTest::newRow("menor antes de etiqueta") << "1 <2 <b>x</b>" << "1 <2 []|x[b]";
        QTest::newRow("etiqueta desconhecida") << "<i>x</i> <script>y</script>"
                                               << "<i>x</i> <script>y</script>[]";
        QTest::newRow("maiusculas") << "<B>n</B><U>s</U>" << "n[b]|s[u]";
        QTest::newRow("aninhadas") << "<b>a<u>b</u>c</b>" << "a[b]|b[b,u]|c[b]";
        QTest::newRow("cruzadas") << "<b>a<u>b</b>c</u>" << "a[b]|b[b,u]|c[u]";
        QTest::newRow("sem fechar") << "<b>a<u>b" << "a[b]|b[b,u]";
        QTest::newRow("fecho sem abertura") << "</u>x</b>y" << "xy[]";
        QTest::newRow("quebra") << "um<br>dois<BR>tres" << "um\ndois\ntres[]";
        QTest::newRow("cor azul-verde-vermelho") << "<c=&H000040C0&>laranja</c>" << "laranja[#c04000]";
        QTest::newRow("cor sem & final") << "<c=&H000040C0>laranja</c>" << "laranja[#c04000]";
        QTest::newRow("cor curta") << "<c=&HFF&>vermelho</c>" << "vermelho[#ff0000]";
        QTest::newRow("cor maiuscula") << "<C=&hFF0000&>azul</C>" << "azul[#0000ff]";
        QTest::newRow("cor dentro de negrito") << "<b>a<c=&HFF00&>v</b>w</c>" << "a[b]|v[b,#00ff00]|w[#00ff00]";
        QTest::newRow("cor invalida") << "<c=&HZZ&>x</c>" << "<c=&HZZ&>x[]";
        QTest::newRow("brancos") << "a  b" << "a  b[]";
        QTest::newRow("quebra de linha do texto") << "a\r\nb\nc\rd" << "a\nb\nc\nd[]";
    }
    void html()
    {
        QFETCH(QString, marcado);
        QFETCH(QString, trechos);
        QCOMPARE(Trechos(TextoMarcadoParaHtml(marcado)), trechos);
    }

    void simples_data()
    {
        QTest::addColumn<QString>("marcado");
        QTest::addColumn<QString>("simples");
        QTest::newRow("etiquetas") << "<b>Atenção</b>: <u>x</u> <c=&H0000FF&>y</c>" << "Atenção: x y";
        QTest::newRow("quebra") << "a<br>b" << "a\nb";
        QTest::newRow("literais") << "a < b & <i>c</i>" << "a < b & <i>c</i>";
        QTest::newRow("fecho solto") << "</b>x" << "x";
    }
    void simples()
    {
        QFETCH(QString, marcado);
        QFETCH(QString, simples);
        QCOMPARE(TextoMarcadoParaSimples(marcado), simples);
    }

    void cores_data()
    {
        QTest::addColumn<qlonglong>("ole");
        QTest::addColumn<QColor>("cor");
        QTest::newRow("laranja") << qlonglong(0x000040C0) << QColor(0xC0, 0x40, 0x00);
        QTest::newRow("balao") << qlonglong(0xE1FFFF) << QColor(0xFF, 0xFF, 0xE1);
        QTest::newRow("branco") << qlonglong(0xFFFFFF) << QColor(Qt::white);
        QTest::newRow("cor do sistema") << qlonglong(0x8000000F) << QColor(0xF0, 0xF0, 0xF0);
    }
    void cores()
    {
        QFETCH(qlonglong, ole);
        QFETCH(QColor, cor);
        QCOMPARE(CorOle(long(ole)), cor);
        if (ole <= 0xFFFFFF)
            QCOMPARE(OleDeCor(cor), long(ole));
    }
};

QTEST_MAIN(TstTextoMarcado)
#include "tst_textomarcado.moc"
