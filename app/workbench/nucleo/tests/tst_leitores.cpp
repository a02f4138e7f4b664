// The SubRip and MicroDVD readers.
#include "Apoio.h"

#include "app/workbench/nucleo/Formatos.h"
#include "app/workbench/nucleo/modMDVD.h"

#include <QFile>
#include <QTest>

using namespace qeltrano;

namespace {

QStringList Linhas(const char* texto)
{
    return QString::fromUtf8(texto).split(u'\n');
}

LinhaLegenda Linha(const QString& inicio, const QString& fim, const QString& texto)
{
    return LinhaLegenda{inicio, fim, texto};
}

using Linhas_ = QList<LinhaLegenda>;

}  // namespace

class TstLeitores : public QObject {
    Q_OBJECT

private slots:
    void pareceNumero_data();
    void pareceNumero();
    void srt_data();
    void srt();
    void mdvd_data();
    void mdvd();
    void mdvdFalha_data();
    void mdvdFalha();
    void arquivoSrtComMarca();
    void arquivoIlegivel_data();
    void arquivoIlegivel();
    void removidoAposDeteccao();
    void respiraSemPararACadaLinha();

private:
    apoio::AmbienteTeste ambiente_;
};

void TstLeitores::pareceNumero_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("numero");
    QTest::newRow("inteiro") << "12" << true;
    QTest::newRow("com brancos") << " \t7 " << true;
    QTest::newRow("com sinal") << "-3" << true;
    QTest::newRow("decimal com ponto") << "1.5" << true;
    QTest::newRow("decimal com vírgula") << "1,5" << true;
    QTest::newRow("expoente") << "1e3" << true;
    QTest::newRow("vazio") << "" << false;
    QTest::newRow("só brancos") << "  " << false;
    QTest::newRow("só sinal") << "+" << false;
    QTest::newRow("letras depois") << "12a" << false;
    QTest::newRow("dois separadores") << "1.2.3" << false;
    QTest::newRow("expoente sem dígitos") << "1e" << false;
    QTest::newRow("linha de tempo") << "00:00:01,000 --> 00:00:02,000" << false;
    QTest::newRow("marca de ordem antes") << QStringLiteral("\uFEFF1") << false;
}

void TstLeitores::pareceNumero()
{
    QFETCH(QString, texto);
    QFETCH(bool, numero);
    QCOMPARE(PareceNumero(texto), numero);
}

void TstLeitores::srt_data()
{
    QTest::addColumn<QStringList>("entrada");
    QTest::addColumn<Linhas_>("linhas");

    const QString a = QStringLiteral("00:00:01,000");
    const QString b = QStringLiteral("00:00:03,500");
    const QString c = QStringLiteral("00:00:04,000");
    const QString d = QStringLiteral("00:00:05,250");

    QTest::newRow("dois blocos")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\nOlá\nmundo\n\n2\n00:00:04,000 --> 00:00:05,250\nFim\n\n")
        << Linhas_{Linha(a, b, "Olá|mundo"), Linha(c, d, "Fim")};
    QTest::newRow("termina dentro do bloco")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\nOlá\nmundo")
        << Linhas_{Linha(a, b, "Olá|mundo")};
    QTest::newRow("texto que é número onde se espera contador")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\nAno\n\nlixo\n1984\n00:00:04,000 --> 00:00:05,250\nFim")
        << Linhas_{Linha(a, b, "Ano"), Linha(c, d, "Fim")};
    QTest::newRow("número no texto continua o texto")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\nAno\n1984\n\n")
        << Linhas_{Linha(a, b, "Ano|1984")};
    QTest::newRow("primeira linha de texto é tomada como está")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\n2\n\n")
        << Linhas_{Linha(a, b, "2")};
    QTest::newRow("contadores ignorados e brancos extras")
        << Linhas("\n\n7\n00:00:01,000 --> 00:00:03,500\nUm\n\n\n\n 3 \n00:00:04,000 --> 00:00:05,250\nDois\n")
        << Linhas_{Linha(a, b, "Um"), Linha(c, d, "Dois")};
    QTest::newRow("linha de tempo com coordenadas")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500 X1:10 X2:20\nTexto")
        << Linhas_{Linha(a, b, "Texto")};
    QTest::newRow("linha de tempo curta")
        << Linhas("1\n00:00:01\nTexto")
        << Linhas_{Linha("00:00:01", "", "Texto")};
    QTest::newRow("legenda vazia não engole o bloco seguinte")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\n\n2\n00:00:04,000 --> 00:00:05,250\nFim\n")
        << Linhas_{Linha(a, b, ""), Linha(c, d, "Fim")};
    QTest::newRow("cortado depois da linha de tempo")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\nUm\n\n2\n00:00:04,000 --> 00:00:05,250")
        << Linhas_{Linha(a, b, "Um"), Linha(c, d, "")};
    QTest::newRow("cortado depois do contador")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\nUm\n\n2")
        << Linhas_{Linha(a, b, "Um")};
    QTest::newRow("sem contadores")
        << Linhas("00:00:01,000 --> 00:00:03,500\nUm\n\n00:00:04,000 --> 00:00:05,250\nDois\nlinhas\n\n")
        << Linhas_{Linha(a, b, "Um"), Linha(c, d, "Dois|linhas")};
    QTest::newRow("contadores só em alguns blocos")
        << Linhas("00:00:01,000 --> 00:00:03,500\nUm\n\n2\n00:00:04,000 --> 00:00:05,250\nDois\n")
        << Linhas_{Linha(a, b, "Um"), Linha(c, d, "Dois")};
    QTest::newRow("tabulação no texto")
        << Linhas("1\n00:00:01,000 --> 00:00:03,500\nantes\tdepois\n")
        << Linhas_{Linha(a, b, "antes\tdepois")};
    QTest::newRow("nada que leia como contador") << Linhas("texto\nmais texto") << Linhas_{};
    QTest::newRow("vazio") << QStringList{} << Linhas_{};
}

void TstLeitores::srt()
{
    QFETCH(QStringList, entrada);
    QFETCH(Linhas_, linhas);
    const Leitura leitura = LerLinhasSRT(entrada);
    QVERIFY(leitura.ok);
    QCOMPARE(leitura.linhas, linhas);
}

void TstLeitores::mdvd_data()
{
    QTest::addColumn<QStringList>("entrada");
    QTest::addColumn<Linhas_>("linhas");

    QTest::newRow("quebras do próprio formato") << QStringList{"{10}{20}Olá|mundo"}
                                                << Linhas_{Linha("10", "20", "Olá|mundo")};
    QTest::newRow("chaves no texto: corta na última")
        << QStringList{"{10}{20}Texto {com} chaves"} << Linhas_{Linha("10", "20}Texto {com", " chaves")};
    QTest::newRow("sequência de chaves fechando o início")
        << QStringList{"{10}}{20}x"} << Linhas_{Linha("10}", "20", "x")};
    QTest::newRow("campos vazios") << QStringList{"{}{}"} << Linhas_{Linha("", "", "")};
    QTest::newRow("linhas em branco são puladas")
        << QStringList{"", "{1}{2}Um", "   ", "{3}{4}Dois", ""}
        << Linhas_{Linha("1", "2", "Um"), Linha("3", "4", "Dois")};
    QTest::newRow("primeiro caractere não é conferido")
        << QStringList{"x1}{2}y"} << Linhas_{Linha("1", "2", "y")};
    QTest::newRow("vazio") << QStringList{} << Linhas_{};
}

void TstLeitores::mdvd()
{
    QFETCH(QStringList, entrada);
    QFETCH(Linhas_, linhas);
    const Leitura leitura = LerLinhasMDVD(entrada);
    QVERIFY(leitura.ok);
    QCOMPARE(leitura.linhas, linhas);
    QCOMPARE(leitura.linhaFalha, 0);
}

void TstLeitores::mdvdFalha_data()
{
    QTest::addColumn<QStringList>("entrada");
    QTest::addColumn<int>("linhaFalha");
    QTest::newRow("texto solto") << QStringList{"{1}{2}Um", "", "texto solto", "{3}{4}x"} << 3;
    QTest::newRow("uma chave só") << QStringList{"{10}Texto"} << 1;
    QTest::newRow("chaves todas juntas") << QStringList{"{1}{2}a", "{10}}"} << 2;
    QTest::newRow("chave só no primeiro caractere") << QStringList{"}abc}"} << 1;
}

// Any line that is neither blank nor braced discards the file and names
// its line.
void TstLeitores::mdvdFalha()
{
    QFETCH(QStringList, entrada);
    QFETCH(int, linhaFalha);
    const Leitura leitura = LerLinhasMDVD(entrada);
    QVERIFY(!leitura.ok);
    QVERIFY(leitura.linhas.isEmpty());
    QCOMPARE(leitura.linhaFalha, linhaFalha);
}

// The mark is not part of the text, so the first block is not lost.
void TstLeitores::arquivoSrtComMarca()
{
    const QString caminho = ambiente_.EscreverArquivo(
        QStringLiteral("marca.srt"), "\xEF\xBB\xBF" "1\r\n00:00:01,000 --> 00:00:02,000\r\nPrimeiro\r\n");
    const Leitura leitura = LerArquivoSRT(caminho);
    QVERIFY(leitura.ok);
    QCOMPARE(leitura.linhas, Linhas_{Linha("00:00:01,000", "00:00:02,000", "Primeiro")});
}

void TstLeitores::arquivoIlegivel_data()
{
    QTest::addColumn<bool>("pasta");
    QTest::newRow("inexistente") << false;
    QTest::newRow("pasta") << true;
}

void TstLeitores::arquivoIlegivel()
{
    QFETCH(bool, pasta);
    const QString caminho = pasta ? ambiente_.Pasta() : ambiente_.Caminho(QStringLiteral("nada.sub"));
    for (const Leitura& leitura : {LerArquivoSRT(caminho), LerArquivoMDVD(caminho)}) {
        QVERIFY(!leitura.ok);
        QVERIFY(leitura.linhas.isEmpty());
        QVERIFY(!leitura.erro.isEmpty());
    }
}

void TstLeitores::removidoAposDeteccao()
{
    const QString caminho = ambiente_.EscreverArquivo(QStringLiteral("some.sub"), "{1}{2}Um\r\n");
    QCOMPARE(VerificarFormato(caminho).formato, QStringLiteral("mDVD"));
    QVERIFY(QFile::remove(caminho));
    QVERIFY(!LerArquivoMDVD(caminho).ok);
    QVERIFY(!LerArquivoSRT(caminho).ok);
}

void TstLeitores::respiraSemPararACadaLinha()
{
    const int total = 5000;
    QByteArray sub;
    QByteArray srt;
    for (int i = 0; i < total; ++i) {
        sub += "{" + QByteArray::number(i) + "}{" + QByteArray::number(i + 1) + "}Texto\r\n";
        srt += QByteArray::number(i + 1) + "\r\n00:00:01,000 --> 00:00:02,000\r\nTexto\r\n\r\n";
    }
    const QString caminhoSub = ambiente_.EscreverArquivo(QStringLiteral("muitas.sub"), sub);
    const QString caminhoSrt = ambiente_.EscreverArquivo(QStringLiteral("muitas.srt"), srt);
    for (const bool mdvd : {true, false}) {
        int respiros = 0;
        const auto respirar = [&respiros] { ++respiros; };
        const Leitura leitura = mdvd ? LerArquivoMDVD(caminhoSub, respirar) : LerArquivoSRT(caminhoSrt, respirar);
        QVERIFY(leitura.ok);
        QCOMPARE(leitura.linhas.size(), total);
        QVERIFY(respiros >= 2);
        QVERIFY(respiros <= total / 100);
    }
}

QTEST_GUILESS_MAIN(TstLeitores)
#include "tst_leitores.moc"
