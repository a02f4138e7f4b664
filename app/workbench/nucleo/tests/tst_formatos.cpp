// Decoding of subtitle files and the format detector.
#include "Apoio.h"

#include "app/workbench/nucleo/Codificacao.h"
#include "app/workbench/nucleo/Formatos.h"

#include <QFile>
#include <QStringEncoder>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace qeltrano;

class TstFormatos : public QObject {
    Q_OBJECT

private slots:
    void decodificar_data();
    void decodificar();
    void dividirLinhas_data();
    void dividirLinhas();
    void verificarLinhas_data();
    void verificarLinhas();
    void verificarArquivo_data();
    void verificarArquivo();
    void arquivoIlegivel_data();
    void arquivoIlegivel();
    void linhaEnormeComChave_data();
    void linhaEnormeComChave();
    void mesmasLinhasParaDeteccaoELeitura();

private:
    apoio::AmbienteTeste ambiente_;
};

void TstFormatos::decodificar_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("texto");

    QTest::newRow("ascii") << QByteArray("1\r\nabc") << QStringLiteral("1\r\nabc");
    QTest::newRow("utf-8 sem marca") << QByteArray("Ol\xC3\xA1 \xE2\x82\xAC") << QStringLiteral("Olá €");
    QTest::newRow("utf-8 com marca") << QByteArray("\xEF\xBB\xBF" "1\nA\xC3\xA7\xC3\xA3o") << QStringLiteral("1\nAção");
    QTest::newRow("utf-16 le com marca") << QByteArray("\xFF\xFE" "1\0\n\0\xE9\0", 8) << QStringLiteral("1\né");
    QTest::newRow("utf-16 be com marca") << QByteArray("\xFE\xFF\0" "1\0\n\0\xE9", 8) << QStringLiteral("1\né");
    QTest::newRow("utf-32 le com marca") << QByteArray("\xFF\xFE\0\0" "1\0\0\0\xE9\0\0\0", 12) << QStringLiteral("1é");
    QTest::newRow("utf-32 be com marca") << QByteArray("\0\0\xFE\xFF\0\0\0" "1\0\0\0\xE9", 12) << QStringLiteral("1é");
    QTest::newRow("utf-16 com byte sobrando") << QByteArray("\xFF\xFE" "1\0x", 5) << QStringLiteral("1\uFFFD");
    QTest::newRow("só a marca") << QByteArray("\xEF\xBB\xBF") << QString();
    QTest::newRow("windows-1252") << QByteArray("Ol\xE1 \x80 \x93x\x94") << QStringLiteral("Olá € \u201Cx\u201D");
    // One invalid sequence makes the whole file Windows-1252: the valid
    // UTF-8 pair shows as two characters, but no byte is lost.
    QTest::newRow("utf-8 válido e inválido")
        << QByteArray("\xC3\xA9 e \xE9") << QStringLiteral("\u00C3\u00A9 e é");
    QTest::newRow("bytes indefinidos do 1252") << QByteArray("a\x81\x8D\x8F\x90\x9D")
                                              << QStringLiteral("a\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("utf-8 truncado") << QByteArray("fim \xC3") << QStringLiteral("fim Ã");
}

void TstFormatos::decodificar()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, texto);
    QCOMPARE(DecodificarTexto(bytes), texto);
}

void TstFormatos::dividirLinhas_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QStringList>("linhas");

    QTest::newRow("vazio") << QString() << QStringList();
    QTest::newRow("cr lf") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lf") << QStringLiteral("a\nb") << QStringList{"a", "b"};
    QTest::newRow("cr sozinho") << QStringLiteral("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("misturados") << QStringLiteral("a\r\r\nb\n\nc") << QStringList{"a", "", "b", "", "c"};
    QTest::newRow("linhas vazias no fim") << QStringLiteral("a\r\n\r\n") << QStringList{"a", ""};
    QTest::newRow("só um fim de linha") << QStringLiteral("\r\n") << QStringList{""};
}

void TstFormatos::dividirLinhas()
{
    QFETCH(QString, texto);
    QFETCH(QStringList, linhas);
    QCOMPARE(DividirLinhas(texto), linhas);
}

void TstFormatos::verificarLinhas_data()
{
    QTest::addColumn<QStringList>("linhas");
    QTest::addColumn<QString>("formato");

    const QString tempo = QStringLiteral("00:00:01,000 --> 00:00:03,500");
    QTest::newRow("subrip") << QStringList{"1", tempo, "Olá"} << "SRT";
    QTest::newRow("hora com um dígito") << QStringList{"1", "0:00:01,000 --> 0:00:03,500", "Olá"}
                                        << "Não reconhecido";
    QTest::newRow("seta na posição 14 de qualquer linha") << QStringList{"abcdefghijklm-->"} << "SRT";
    QTest::newRow("sub1") << QStringList{"******** START SCRIPT ********"} << "SUB1";
    QTest::newRow("sub1 incompleto") << QStringList{"******** START SCRIPT *******"} << "Não reconhecido";
    QTest::newRow("sub2") << QStringList{"[SUBTITLE]"} << "SUB2";
    QTest::newRow("sub2 em minúsculas") << QStringList{"[subtitle]"} << "Não reconhecido";
    QTest::newRow("microdvd") << QStringList{"{100}{250}Texto"} << "mDVD";
    QTest::newRow("contagem recomeça a cada linha") << QStringList{"{1}", "{1}{2}"} << "mDVD";
    QTest::newRow("duas chaves em cada linha") << QStringList{"{1}", "{2}", "{3}"} << "Não reconhecido";
    QTest::newRow("chave fora do início") << QStringList{"x{1}{2}"} << "Não reconhecido";
    QTest::newRow("mpl2") << QStringList{"[1][2]Texto"} << "MPL2";
    QTest::newRow("colchetes insuficientes") << QStringList{"[1]2]"} << "Não reconhecido";
    QTest::newRow("primeira linha que casa decide") << QStringList{"{1}{2}", "1", tempo} << "mDVD";
    QTest::newRow("chaves antes da seta") << QStringList{"{1}{2", "1", tempo} << "SRT";
    QTest::newRow("seta vence as chaves na mesma linha") << QStringList{"{12345678901}-->{}"} << "SRT";
    QTest::newRow("nenhuma linha") << QStringList{} << "Não reconhecido";
}

void TstFormatos::verificarLinhas()
{
    QFETCH(QStringList, linhas);
    QFETCH(QString, formato);
    QCOMPARE(VerificarFormatoLinhas(linhas), formato);
}

void TstFormatos::verificarArquivo_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("formato");

    const QString srt = QStringLiteral("1\r\n00:00:01,000 --> 00:00:03,500\r\nOlá\r\n\r\n");
    QStringEncoder le(QStringConverter::Utf16LE);
    QStringEncoder be(QStringConverter::Utf16BE);
    QTest::newRow("vazio") << QByteArray() << "Não reconhecido";
    QTest::newRow("binário com nome .srt") << QByteArray("\x00\x01\xFF\xFE\x7F\x80\r\r\n\x00{\x00", 12)
                                            << "Não reconhecido";
    QTest::newRow("utf-16 le com marca") << QByteArray("\xFF\xFE") + QByteArray(le.encode(srt)) << "SRT";
    QTest::newRow("utf-16 be com marca") << QByteArray("\xFE\xFF") + QByteArray(be.encode(srt)) << "SRT";
    QTest::newRow("utf-8 com marca e só cr") << QByteArray("\xEF\xBB\xBF{1}{2}\xC3\xA9\r{3}{4}") << "mDVD";
}

void TstFormatos::verificarArquivo()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, formato);
    const Verificacao v = VerificarFormato(ambiente_.EscreverArquivo(QStringLiteral("legenda.srt"), bytes));
    QCOMPARE(v.formato, formato);
    QVERIFY(!v.erroLeitura);
    QCOMPARE(v.Resultado(), formato == FormatoNaoReconhecido() ? ResultadoVerificacao::NaoReconhecido
                                                               : ResultadoVerificacao::Reconhecido);
}

void TstFormatos::arquivoIlegivel_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("inexistente") << "inexistente";
    QTest::newRow("pasta") << "pasta";
    QTest::newRow("sem permissão") << "sem permissão";
    QTest::newRow("fila sem quem escreva") << "fifo";
}

void TstFormatos::arquivoIlegivel()
{
    QFETCH(QString, caso);
    QString caminho = ambiente_.Caminho(QStringLiteral("nao-existe.srt"));
    if (caso == "pasta") {
        caminho = ambiente_.Pasta();
    } else if (caso == "fifo") {
        caminho = ambiente_.Caminho(QStringLiteral("fila.srt"));
        QCOMPARE(mkfifo(QFile::encodeName(caminho).constData(), 0600), 0);
    } else if (caso == "sem permissão") {
        if (geteuid() == 0)
            QSKIP("root lê qualquer arquivo");
        caminho = ambiente_.EscreverArquivo(QStringLiteral("trancado.srt"), "{1}{2}x\r\n");
        QFile::setPermissions(caminho, QFileDevice::Permissions());
    }
    const Verificacao v = VerificarFormato(caminho);
    QCOMPARE(v.formato, FormatoNaoReconhecido());
    QVERIFY(v.erroLeitura);
    QVERIFY(!v.erro.isEmpty());
    QCOMPARE(v.Resultado(), ResultadoVerificacao::ErroLeitura);
}

void TstFormatos::linhaEnormeComChave_data()
{
    QTest::addColumn<QByteArray>("fim");
    QTest::addColumn<QString>("formato");
    QTest::newRow("quarta chave no fim") << QByteArray("}{2}texto") << "mDVD";
    QTest::newRow("só três chaves") << QByteArray("}{2") << "Não reconhecido";
}

// A single line of 20 MB that begins with "{": counted to its end, no limit.
void TstFormatos::linhaEnormeComChave()
{
    QFETCH(QByteArray, fim);
    QFETCH(QString, formato);
    QByteArray bytes = "{" + QByteArray(20 * 1024 * 1024, 'a') + fim;
    const QString caminho = ambiente_.EscreverArquivo(QStringLiteral("enorme.sub"), bytes);
    const Verificacao v = VerificarFormato(caminho);
    QCOMPARE(v.formato, formato);
    QVERIFY(!v.erroLeitura);
}

// What the detector saw is what the readers get: the same decoded lines.
void TstFormatos::mesmasLinhasParaDeteccaoELeitura()
{
    QStringEncoder be(QStringConverter::Utf16BE);
    const QString texto = QStringLiteral("{1}{2}Ação\r{3}{4}Fim\n");
    const QString caminho = ambiente_.EscreverArquivo(QStringLiteral("be.sub"),
                                                      QByteArray("\xFE\xFF") + QByteArray(be.encode(texto)));
    const TextoArquivo lido = LerLinhasArquivo(caminho);
    QVERIFY(lido.ok);
    QCOMPARE(lido.linhas, (LinhasTexto{u"{1}{2}Ação", u"{3}{4}Fim"}));
    QCOMPARE(VerificarFormatoLinhas(lido.linhas), VerificarFormato(caminho).formato);
}

QTEST_GUILESS_MAIN(TstFormatos)
#include "tst_formatos.moc"
