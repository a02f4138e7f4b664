// Blank-only trimming, Windows-1252 both ways, and decoding from a charset
// named at run time.
#include "platform/Texto.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QByteArray>)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QByteArray Indefinidos("\x81\x8D\x8F\x90\x9D");

QByteArray TodosOsBytes()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

}  // namespace

class TstTexto : public QObject {
    Q_OBJECT
private slots:
    void trim_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("blanks at both ends") << QStringLiteral("  a b  ") << QStringLiteral("a b");
        QTest::newRow("tabs are text") << QStringLiteral("\t a \t") << QStringLiteral("\t a \t");
        QTest::newRow("line breaks are text") << QStringLiteral(" \r\na\n ") << QStringLiteral("\r\na\n");
        QTest::newRow("no-break space is text") << QStringLiteral(" \u00A0a ") << QStringLiteral("\u00A0a");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("all blanks") << QStringLiteral("    ") << QString();
    }
    void trim()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        QCOMPARE(plataforma::Trim(texto), esperado);
        // The view form follows the same rule.
        QCOMPARE(plataforma::Trim(QStringView(texto)).toString(), esperado);
    }

    void decodificarWindows1252()
    {
        const QString texto = plataforma::DecodificarWindows1252(TodosOsBytes());
        QCOMPARE(texto.size(), 256);
        for (int b = 0; b < 256; ++b) {
            const char16_t c = texto.at(b).unicode();
            if (b < 0x80 || b >= 0xA0 || Indefinidos.contains(char(b)))
                QCOMPARE(int(c), b);
            else
                QVERIFY2(c > 0xFF, qPrintable(QString::number(b, 16)));
        }
        QCOMPARE(texto.at(0x80), QChar(0x20AC));
        QCOMPARE(texto.at(0x9F), QChar(0x0178));

        // Longer than one conversion block, undefined bytes on every round.
        const QByteArray longo = TodosOsBytes().repeated(300);
        QCOMPARE(plataforma::DecodificarWindows1252(longo), texto.repeated(300));
    }

    void codificarWindows1252_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<std::optional<QByteArray>>("esperado");
        QTest::newRow("ascii") << QStringLiteral("a\tb\r\n") << std::optional<QByteArray>("a\tb\r\n");
        QTest::newRow("latin and the 0x80 row")
            << QStringLiteral("é€ŸÿŽ") << std::optional<QByteArray>("\xE9\x80\x9F\xFF\x8E");
        QTest::newRow("empty") << QString() << std::optional<QByteArray>(QByteArray());
        QTest::newRow("outside the code page") << QStringLiteral("aĀb") << std::optional<QByteArray>();
        // Decoding keeps the undefined bytes as C1 controls, but they have no
        // byte to go back to: whoever writes must pick another encoding.
        QTest::newRow("C1 of an undefined byte") << QStringLiteral("a\u0081") << std::optional<QByteArray>();
    }
    void codificarWindows1252()
    {
        QFETCH(QString, texto);
        QFETCH(std::optional<QByteArray>, esperado);
        const std::optional<QByteArray> bytes = plataforma::CodificarWindows1252(texto);
        QCOMPARE(bytes.has_value(), esperado.has_value());
        if (esperado) {
            QCOMPARE(*bytes, *esperado);
            QCOMPARE(plataforma::DecodificarWindows1252(*bytes), texto);
        }
    }

    void decodificarCharset_data()
    {
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::optional<QString>>("esperado");
        QTest::newRow("latin-9") << QByteArray("ISO-8859-15") << QByteArray("\xA4 \xBC")
                                 << std::optional<QString>(QStringLiteral("€ Œ"));
        QTest::newRow("windows-1251") << QByteArray("CP1251") << QByteArray("\xC4\xE0")
                                      << std::optional<QString>(QStringLiteral("Да"));
        QTest::newRow("unknown name") << QByteArray("no-such-charset") << QByteArray("abc")
                                      << std::optional<QString>();
        QTest::newRow("invalid bytes") << QByteArray("UTF-8") << QByteArray("a\xFF") << std::optional<QString>();
        QTest::newRow("cut short") << QByteArray("UTF-8") << QByteArray("a\xC3") << std::optional<QString>();
    }
    void decodificarCharset()
    {
        QFETCH(QByteArray, charset);
        QFETCH(QByteArray, bytes);
        QFETCH(std::optional<QString>, esperado);
        QCOMPARE(plataforma::DecodificarCharset(charset, bytes), esperado);
    }
};

QTEST_MAIN(TstTexto)
#include "tst_texto.moc"
