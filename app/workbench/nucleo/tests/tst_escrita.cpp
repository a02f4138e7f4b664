// Writing subtitles, and files that go read -> write -> read unchanged.
#include "Apoio.h"

#include "app/workbench/nucleo/EscritaLegenda.h"
#include "app/workbench/nucleo/Formatos.h"
#include "app/workbench/nucleo/modMDVD.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <stdexcept>
#include <unistd.h>

using namespace qeltrano;

namespace {

QByteArray Ler(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TextoUtf16(const QByteArray& bytes)
{
    QStringDecoder d(QStringConverter::Utf16LE);
    return d.decode(QByteArrayView(bytes).sliced(2));
}

QList<LinhaLegenda> Grade(const QStringList& linhas)
{
    QList<LinhaLegenda> grade;
    for (const QString& linha : linhas) {
        const QStringList campos = linha.split(u'\t');
        grade.append({campos.value(0), campos.value(1), campos.value(2)});
    }
    return grade;
}

// A SubRip time, hours beyond 99 included.
QString Tempo(qint64 ms)
{
    return QStringLiteral("%1:%2:%3,%4")
        .arg(ms / 3600000, 2, 10, QChar(u'0'))
        .arg(ms / 60000 % 60, 2, 10, QChar(u'0'))
        .arg(ms / 1000 % 60, 2, 10, QChar(u'0'))
        .arg(ms % 1000, 3, 10, QChar(u'0'));
}

Leitura LerConforme(const QString& caminho)
{
    const QString formato = VerificarFormato(caminho).formato;
    if (formato == QLatin1String(FormatoSRT))
        return LerArquivoSRT(caminho);
    if (formato == QLatin1String(FormatoMDVD))
        return LerArquivoMDVD(caminho);
    return {};
}

}  // namespace

class TstEscrita : public QObject {
    Q_OBJECT

private slots:
    void montar_data();
    void montar();
    void gradeVazia_data();
    void gradeVazia();
    void escreverIgualAMontar();
    void formatoSemEscrita();
    void falhaNaoEstragaArquivoAnterior();
    void destinoImpossivel_data();
    void destinoImpossivel();
    void idaEVolta_data();
    void idaEVolta();
    void cemMilLinhas();

private:
    apoio::AmbienteTeste ambiente_;
};

void TstEscrita::montar_data()
{
    QTest::addColumn<QString>("formato");
    QTest::addColumn<QStringList>("linhas");
    QTest::addColumn<QString>("texto");

    QTest::newRow("subrip numerado de novo, uma linha por parte")
        << "SRT" << QStringList{"00:00:01,000\t00:00:02,000\tOlá|mundo", "00:00:03,000\t00:00:04,000\tFim"}
        << QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\nOlá\r\nmundo\r\n\r\n"
                          "2\r\n00:00:03,000 --> 00:00:04,000\r\nFim\r\n\r\n");
    QTest::newRow("subrip apara a linha de tempo") << "SRT" << QStringList{"\t\tx"}
                                                   << QStringLiteral("1\r\n-->\r\nx\r\n\r\n");
    QTest::newRow("subrip apara só as pontas da linha de tempo") << "SRT" << QStringList{"  a \tb  \tx"}
                                                              << QStringLiteral("1\r\na  --> b\r\nx\r\n\r\n");
    QTest::newRow("subrip com texto vazio") << "SRT" << QStringList{"a\tb\t"}
                                            << QStringLiteral("1\r\na --> b\r\n\r\n");
    QTest::newRow("subrip com parte vazia") << "SRT" << QStringList{"a\tb\tum||dois"}
                                            << QStringLiteral("1\r\na --> b\r\num\r\n\r\ndois\r\n\r\n");
    QTest::newRow("microdvd mantém as barras") << "mDVD" << QStringList{"10\t20\tOlá|mundo", "30\t40\t"}
                                               << QStringLiteral("{10}{20}Olá|mundo\r\n{30}{40}\r\n");
}

void TstEscrita::montar()
{
    QFETCH(QString, formato);
    QFETCH(QStringList, linhas);
    QFETCH(QString, texto);
    const QByteArray bytes = MontarLegenda(formato, Grade(linhas));
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    QCOMPARE(TextoUtf16(bytes), texto);
}

void TstEscrita::gradeVazia_data()
{
    QTest::addColumn<QString>("formato");
    QTest::newRow("subrip") << "SRT";
    QTest::newRow("microdvd") << "mDVD";
}

void TstEscrita::gradeVazia()
{
    QFETCH(QString, formato);
    const QString caminho = ambiente_.Caminho(QStringLiteral("vazia-") + formato);
    QString erro;
    QVERIFY(EscreverLegenda(caminho, formato, 0, [](int) { return LinhaLegenda{}; }, {}, &erro));
    QCOMPARE(Ler(caminho), QByteArray("\xFF\xFE"));
}

void TstEscrita::escreverIgualAMontar()
{
    const QList<LinhaLegenda> grade = Grade({"1\t2\tUm|dois", "3\t4\tTrês"});
    const QString caminho = ambiente_.Caminho(QStringLiteral("saida.srt"));
    QList<int> progresso;
    QString erro = QStringLiteral("antigo");
    QVERIFY(EscreverLegenda(caminho, QStringLiteral("SRT"), int(grade.size()),
                            [&grade](int r) { return grade.at(r); },
                            [&progresso](int r) { progresso.append(r); }, &erro));
    QVERIFY(erro.isEmpty());
    QCOMPARE(progresso, (QList<int>{0, 1}));
    QCOMPARE(Ler(caminho), MontarLegenda(QStringLiteral("SRT"), grade));
}

void TstEscrita::formatoSemEscrita()
{
    const QString caminho = ambiente_.EscreverArquivo(QStringLiteral("mpl2.txt"), "original");
    QString erro;
    QVERIFY(!EscreverLegenda(caminho, QStringLiteral("MPL2"), 1, [](int) { return LinhaLegenda{}; }, {}, &erro));
    QVERIFY(!erro.isEmpty());
    QCOMPARE(Ler(caminho), QByteArray("original"));
    QVERIFY(MontarLegenda(QStringLiteral("MPL2"), {}).isEmpty());
}

// A save that breaks off midway (here the row source throws, as an error
// raised while storing a row would) leaves the earlier file whole.
void TstEscrita::falhaNaoEstragaArquivoAnterior()
{
    const QString caminho = ambiente_.EscreverArquivo(QStringLiteral("anterior.srt"), "conteudo anterior");
    bool lancou = false;
    try {
        EscreverLegenda(caminho, QStringLiteral("SRT"), 100000,
                        [](int r) {
                            if (r == 50000)
                                throw std::runtime_error("falha no meio");
                            return LinhaLegenda{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("texto")};
                        },
                        {}, nullptr);
    } catch (const std::runtime_error&) {
        lancou = true;
    }
    QVERIFY(lancou);
    QCOMPARE(Ler(caminho), QByteArray("conteudo anterior"));
    QCOMPARE(QDir(ambiente_.Pasta()).entryList({QStringLiteral("anterior.srt*")}, QDir::Files),
             QStringList{QStringLiteral("anterior.srt")});
}

void TstEscrita::destinoImpossivel_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("pasta no lugar do arquivo") << "pasta";
    QTest::newRow("pasta-mãe é arquivo") << "mae";
    QTest::newRow("pasta sem escrita") << "somente leitura";
}

void TstEscrita::destinoImpossivel()
{
    QFETCH(QString, caso);
    QString caminho;
    if (caso == "pasta") {
        QDir(ambiente_.Pasta()).mkpath(QStringLiteral("sou-pasta.srt"));
        caminho = ambiente_.Caminho(QStringLiteral("sou-pasta.srt"));
    } else if (caso == "mae") {
        caminho = ambiente_.EscreverArquivo(QStringLiteral("arquivo"), "x") + QStringLiteral("/saida.srt");
    } else {
        if (geteuid() == 0)
            QSKIP("root escreve em qualquer pasta");
        const QString pasta = ambiente_.Caminho(QStringLiteral("trancada"));
        QDir().mkpath(pasta);
        caminho = pasta + QStringLiteral("/saida.srt");
        QFile::setPermissions(pasta, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    QString erro;
    QVERIFY(!EscreverLegenda(caminho, QStringLiteral("SRT"), 1,
                             [](int) { return LinhaLegenda{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}; },
                             {}, &erro));
    QVERIFY(!erro.isEmpty());
}

void TstEscrita::idaEVolta_data()
{
    QTest::addColumn<QString>("formato");
    QTest::addColumn<QByteArray>("bytes");

    const QString srt = QStringLiteral(
        "1\r\n00:00:01,000 --> 00:00:03,500\r\nAção e emoção|não\r\nduas linhas\r\n\r\n"
        "2\r\n00:00:04,000 --> 00:00:06,000\r\n\"Olá\", disse ele — é 10 €.\r\n\r\n"
        "3\r\n00:01:00,000 --> 00:01:02,000\r\nÚltima, sem linha em branco");
    const QString sub = QStringLiteral("{100}{250}Ação e emoção|não\r\n{260}{300}\"Olá\" — é 10 €.\r\n{400}{500}Última\r\n");

    for (const auto& [nome, formato, texto] : {std::tuple{"subrip", QStringLiteral("SRT"), srt},
                                               std::tuple{"microdvd", QStringLiteral("mDVD"), sub}}) {
        QStringEncoder w1252("windows-1252");
        QStringEncoder utf8(QStringConverter::Utf8);
        QStringEncoder le(QStringConverter::Utf16LE);
        QStringEncoder be(QStringConverter::Utf16BE);
        QTest::addRow("%s windows-1252", nome) << formato << QByteArray(w1252.encode(texto));
        QTest::addRow("%s utf-8", nome) << formato << QByteArray(utf8.encode(texto));
        QTest::addRow("%s utf-8 com marca", nome) << formato << QByteArray("\xEF\xBB\xBF") + QByteArray(utf8.encode(texto));
        QTest::addRow("%s utf-16 le com marca", nome) << formato << QByteArray("\xFF\xFE") + QByteArray(le.encode(texto));
        QTest::addRow("%s utf-16 be com marca", nome) << formato << QByteArray("\xFE\xFF") + QByteArray(be.encode(texto));
    }
}

void TstEscrita::idaEVolta()
{
    QFETCH(QString, formato);
    QFETCH(QByteArray, bytes);
    const QString original = ambiente_.EscreverArquivo(QStringLiteral("original"), bytes);
    QCOMPARE(VerificarFormato(original).formato, formato);
    const Leitura primeira = LerConforme(original);
    QVERIFY(primeira.ok);
    QCOMPARE(primeira.linhas.size(), 3);
    QVERIFY(primeira.linhas.at(0).texto.endsWith(QStringLiteral("Ação e emoção|não") +
                                           (formato == "SRT" ? QStringLiteral("|duas linhas") : QString())));

    const QList<LinhaLegenda> grade = primeira.linhas;
    const QString copia = ambiente_.Caminho(QStringLiteral("copia"));
    QString erro;
    QVERIFY(EscreverLegenda(copia, formato, int(grade.size()), [&grade](int r) { return grade.at(r); }, {}, &erro));
    const Leitura segunda = LerConforme(copia);
    QVERIFY(segunda.ok);
    QCOMPARE(segunda.linhas, primeira.linhas);
}

void TstEscrita::cemMilLinhas()
{
    const int total = 100000;
    for (const QString& formato : {QStringLiteral("SRT"), QStringLiteral("mDVD")}) {
        const QString caminho = ambiente_.Caminho(QStringLiteral("grande-") + formato);
        int ultimo = -1;
        QString erro;
        const bool srt = formato == QLatin1String(FormatoSRT);
        const auto marca = [srt](int r) { return srt ? Tempo(qint64(r) * 1000) : QString::number(r * 25); };
        QVERIFY(EscreverLegenda(caminho, formato, total,
                                [&marca](int r) {
                                    return LinhaLegenda{marca(r), marca(r + 1), QStringLiteral("Linha %1|segunda").arg(r)};
                                },
                                [&ultimo](int r) { ultimo = r; }, &erro));
        QCOMPARE(ultimo, total - 1);
        const Leitura leitura = LerConforme(caminho);
        QVERIFY(leitura.ok);
        QCOMPARE(leitura.linhas.size(), total);
        QCOMPARE(leitura.linhas.last(), (LinhaLegenda{marca(total - 1), marca(total), QStringLiteral("Linha 99999|segunda")}));
        if (srt) {
            // The reader skips the counters: check them in the bytes.
            QFile f(caminho);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString texto = TextoUtf16(f.readAll());
            for (const char* contador : {"\r\n\r\n10\r\n", "\r\n\r\n9999\r\n", "\r\n\r\n100000\r\n"})
                QVERIFY2(texto.contains(QLatin1String(contador)), contador);
        }
    }
}

QTEST_GUILESS_MAIN(TstEscrita)
#include "tst_escrita.moc"
