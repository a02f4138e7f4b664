#include "CapturadorUrls.h"
#include "platform/Configuracoes.h"
#include "platform/Registro.h"
#include "suite/Dialogos.h"
#include "suite/LeitorRegistro.h"
#include "suite/Utilitarios.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace orvessa;

namespace {

Utilitarios& U()
{
    return Utilitarios::Instancia();
}

QByteArray Ler(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

void Escrever(const QString& caminho, const QByteArray& bytes)
{
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A settings file as a Windows program leaves it: Windows-1252 bytes, CR LF,
// comments, blank lines and several sections.
const QByteArray kIni1252 =
    "; gerado pelo atualizador \x81\x8D\r\n"
    "[Main]\r\n"
    "SuccessfullyChecked=2024-05-01\r\n"
    "\r\n"
    "[Configura\xE7\xF5" "es operacionais]\r\n"
    "; Exemplo=1 desliga a verifica\xE7\xE3o\r\n"
    "N\xE3o procurar por atualiza\xE7\xF5" "es na inicializa\xE7\xE3o =  1  \r\n"
    "Descri\xE7\xE3o=\"entre aspas\"\r\n"
    "\r\n"
    "[002]\r\n"
    "AppId=002\r\n";

}  // namespace

class TstUtilitarios : public QObject {
    Q_OBJECT

    QTemporaryDir pasta_;

    QString Caminho(const QString& nome) const { return pasta_.filePath(nome); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(pasta_.isValid());
        QDir(pasta_.path()).mkpath(QStringLiteral("hkcu"));
        QDir(pasta_.path()).mkpath(QStringLiteral("hklm"));
        plataforma::Registro::DefinirRaizes(Caminho(QStringLiteral("hkcu")), Caminho(QStringLiteral("hklm")));
        U().DefinirDiretorioTemporario(Caminho(QStringLiteral("temp")));
    }

    // --- ini files --------------------------------------------------------

    void iniLeituraDeArquivoAlheio_data()
    {
        QTest::addColumn<QString>("secao");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("valor");
        QTest::newRow("acentos, aparado") << "Configurações operacionais"
                                          << "Não procurar por atualizações na inicialização" << "1";
        QTest::newRow("sem distinguir caixa") << "CONFIGURAÇÕES OPERACIONAIS"
                                              << "não procurar por atualizações na inicialização" << "1";
        QTest::newRow("aspas retiradas") << "Configurações operacionais" << "Descrição" << "entre aspas";
        QTest::newRow("outra secao") << "main" << "successfullychecked" << "2024-05-01";
        QTest::newRow("chave de outra secao") << "002" << "SuccessfullyChecked" << "";
        QTest::newRow("comentario nao e chave") << "Configurações operacionais" << "; Exemplo" << "";
        QTest::newRow("secao ausente") << "Nada" << "AppId" << "";
    }
    void iniLeituraDeArquivoAlheio()
    {
        QFETCH(QString, secao);
        QFETCH(QString, chave);
        QFETCH(QString, valor);
        const QString arquivo = Caminho(QStringLiteral("leitura.ini"));
        Escrever(arquivo, kIni1252);
        QCOMPARE(U().LerINI(arquivo, secao, chave), valor);
    }

    // Writes keep every other byte, stay in Windows-1252 and never add a
    // second spelling of a section or key.
    void iniGravacaoPreservaOArquivo()
    {
        const QString arquivo = Caminho(QStringLiteral("gravacao.ini"));
        Escrever(arquivo, kIni1252);

        U().GravarINI(arquivo, QStringLiteral("configurações OPERACIONAIS"),
                      QStringLiteral("NÃO PROCURAR POR ATUALIZAÇÕES NA INICIALIZAÇÃO"), QStringLiteral("0"));
        U().GravarINI(arquivo, QStringLiteral("Main"), QStringLiteral("Versão"), QStringLiteral("1.3.06 ção"));
        U().GravarINI(arquivo, QStringLiteral("Endereço de cobrança"), QStringLiteral("Cidade"),
                      QStringLiteral("São Paulo"));

        const QByteArray esperado =
            "; gerado pelo atualizador \x81\x8D\r\n"
            "[Main]\r\n"
            "SuccessfullyChecked=2024-05-01\r\n"
            "Vers\xE3o=1.3.06 \xE7\xE3o\r\n"
            "\r\n"
            "[Configura\xE7\xF5" "es operacionais]\r\n"
            "; Exemplo=1 desliga a verifica\xE7\xE3o\r\n"
            "N\xE3o procurar por atualiza\xE7\xF5" "es na inicializa\xE7\xE3o=0\r\n"
            "Descri\xE7\xE3o=\"entre aspas\"\r\n"
            "\r\n"
            "[002]\r\n"
            "AppId=002\r\n"
            "\r\n"
            "[Endere\xE7o de cobran\xE7" "a]\r\n"
            "Cidade=S\xE3o Paulo\r\n";
        QCOMPARE(Ler(arquivo), esperado);
        QCOMPARE(U().LerINI(arquivo, QStringLiteral("main"), QStringLiteral("VERSÃO")), QStringLiteral("1.3.06 ção"));
    }

    void iniUtf8ComBomContinuaUtf8()
    {
        const QString arquivo = Caminho(QStringLiteral("bom.ini"));
        Escrever(arquivo, "\xEF\xBB\xBF[Se\xC3\xA7\xC3\xA3o]\nchave=velho\n");
        QCOMPARE(U().LerINI(arquivo, QStringLiteral("SEÇÃO"), QStringLiteral("chave")), QStringLiteral("velho"));
        U().GravarINI(arquivo, QStringLiteral("Seção"), QStringLiteral("Chave"), QStringLiteral("açúcar"));
        U().GravarINI(arquivo, QStringLiteral("Seção"), QStringLiteral("nova"), QStringLiteral("x"));
        QCOMPARE(Ler(arquivo), QByteArray("\xEF\xBB\xBF[Se\xC3\xA7\xC3\xA3o]\nchave=a\xC3\xA7\xC3\xBA" "car\nnova=x\n"));
    }

    void iniUtf16ContinuaUtf16()
    {
        const QString arquivo = Caminho(QStringLiteral("utf16.ini"));
        auto utf16 = [](const QString& texto) {
            return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(texto.utf16()), texto.size() * 2);
        };
        Escrever(arquivo, utf16(QStringLiteral("[Seção]\r\nk=1\r\n")));
        QCOMPARE(U().LerINI(arquivo, QStringLiteral("seção"), QStringLiteral("K")), QStringLiteral("1"));
        U().GravarINI(arquivo, QStringLiteral("Seção"), QStringLiteral("nome"), QStringLiteral("日本"));
        QCOMPARE(Ler(arquivo), utf16(QStringLiteral("[Seção]\r\nk=1\r\nnome=日本\r\n")));
    }

    void iniArquivoNovo()
    {
        const QString arquivo = Caminho(QStringLiteral("novo.ini"));
        QCOMPARE(U().LerINI(arquivo, QStringLiteral("002"), QStringLiteral("AppId")), QString());
        U().GravarINI(arquivo, QStringLiteral("002"), QStringLiteral("AppId"), QStringLiteral("002"));
        U().GravarINI(arquivo, QStringLiteral("002"), QStringLiteral("AppVersion"), QStringLiteral("1.0.05"));
        U().GravarINI(arquivo, QStringLiteral("002"), QStringLiteral("appid"), QStringLiteral("003"));
        QCOMPARE(Ler(arquivo), QByteArray("[002]\r\nAppId=003\r\nAppVersion=1.0.05\r\n"));
    }

    // Text Windows-1252 cannot carry moves the file to UTF-8 instead of
    // being lost; the accents already there survive the move.
    void iniTextoForaDe1252()
    {
        const QString arquivo = Caminho(QStringLiteral("migra.ini"));
        Escrever(arquivo, "[Se\xE7\xE3o]\r\nk=a\xE7\r\n");
        U().GravarINI(arquivo, QStringLiteral("Seção"), QStringLiteral("nome"), QStringLiteral("日本 €"));
        QCOMPARE(Ler(arquivo), QString("[Seção]\r\nk=aç\r\nnome=日本 €\r\n").toUtf8());
        QCOMPARE(U().LerINI(arquivo, QStringLiteral("seção"), QStringLiteral("NOME")), QStringLiteral("日本 €"));
    }

    void iniValorComQuebraFicaNumaLinha()
    {
        const QString arquivo = Caminho(QStringLiteral("quebra.ini"));
        U().GravarINI(arquivo, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("a\r\n[Injetada]\nb=c"));
        QCOMPARE(Ler(arquivo), QByteArray("[S]\r\nk=a [Injetada] b=c\r\n"));
        // A key that would break the structure is not written at all.
        U().GravarINI(arquivo, QStringLiteral("S"), QStringLiteral("x=y"), QStringLiteral("1"));
        U().GravarINI(arquivo, QStringLiteral("S]"), QStringLiteral("z"), QStringLiteral("1"));
        QCOMPARE(Ler(arquivo), QByteArray("[S]\r\nk=a [Injetada] b=c\r\n"));
    }

    // A write that cannot happen says so: false, and a warning naming the
    // file with the reason. The tests run as root, which no permission bit
    // stops, so the failures are made by the file system itself: a folder
    // under a plain file, a folder where the file should be, and /proc,
    // where no file can be created beside an existing one.
    void iniGravacaoQueFalhaDizPorque_data()
    {
        QTest::addColumn<QString>("arquivo");  // "%1" is the scratch folder
        QTest::addColumn<QString>("secao");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("chave recusada") << "%1/bom.ini" << "S" << "x=y" << "nome de chave recusado";
        QTest::newRow("chave de comentário") << "%1/bom.ini" << "S" << ";k" << "nome de chave recusado";
        QTest::newRow("seção recusada") << "%1/bom.ini" << "S]" << "k" << "nome de seção recusado";
        QTest::newRow("seção vazia") << "%1/bom.ini" << " " << "k" << "nome de seção recusado";
        QTest::newRow("pasta que não pode ser criada") << "%1/comum.txt/sub/x.ini" << "S" << "k"
                                                       << "não foi possível criar o arquivo";
        QTest::newRow("arquivo ilegível") << "%1/pasta.ini" << "S" << "k" << "não pôde ser lido";
        QTest::newRow("arquivo que só se lê") << "/proc/version" << "S" << "k" << "não foi possível criar o arquivo";
    }

    void iniGravacaoQueFalhaDizPorque()
    {
        QFETCH(QString, arquivo);
        QFETCH(QString, secao);
        QFETCH(QString, chave);
        QFETCH(QString, motivo);
        Escrever(Caminho(QStringLiteral("bom.ini")), "[S]\r\nk=1\r\n");
        Escrever(Caminho(QStringLiteral("comum.txt")), "x");
        QVERIFY(QDir().mkpath(Caminho(QStringLiteral("pasta.ini"))));
        arquivo.replace(QStringLiteral("%1"), pasta_.path());
        const QByteArray antes = Ler(arquivo);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^GravarINI: %1 .*%2")
                                                                  .arg(QRegularExpression::escape(arquivo),
                                                                       QRegularExpression::escape(motivo))));
        QVERIFY(!U().GravarINI(arquivo, secao, chave, QStringLiteral("novo")));
        QCOMPARE(Ler(arquivo), antes);
        QVERIFY(U().GravarINI(Caminho(QStringLiteral("bom.ini")), QStringLiteral("S"), QStringLiteral("k"),
                              QStringLiteral("2")));
    }

    void iniUltimaLinhaSemFim()
    {
        const QString arquivo = Caminho(QStringLiteral("semfim.ini"));
        Escrever(arquivo, "[A]\nk=1");
        U().GravarINI(arquivo, QStringLiteral("A"), QStringLiteral("j"), QStringLiteral("2"));
        U().GravarINI(arquivo, QStringLiteral("B"), QStringLiteral("k"), QStringLiteral("3"));
        QCOMPARE(Ler(arquivo), QByteArray("[A]\nk=1\nj=2\n\n[B]\nk=3\n"));
    }

    // Every section of the name goes with its keys and comments; the rest
    // keeps its bytes. Nothing to remove: the file stays untouched, a
    // missing one is not made.
    void iniRemoverSecao()
    {
        const QString arquivo = Caminho(QStringLiteral("remover.ini"));
        Escrever(arquivo, "; topo\r\n[A]\r\nk=1\r\n\r\n[Pagamento]\r\n; nota\r\nData2=x\r\n\r\n[B]\r\nS\xE3o=2\r\n"
                          "[PAGAMENTO]\r\nTotalItens=2\r\n");
        QVERIFY(U().RemoverSecaoINI(arquivo, QStringLiteral("pagamento")));
        QCOMPARE(Ler(arquivo), QByteArray("; topo\r\n[A]\r\nk=1\r\n\r\n[B]\r\nS\xE3o=2\r\n"));
        QVERIFY(U().RemoverSecaoINI(arquivo, QStringLiteral("Falta")));
        QCOMPARE(Ler(arquivo), QByteArray("; topo\r\n[A]\r\nk=1\r\n\r\n[B]\r\nS\xE3o=2\r\n"));
        const QString falta = Caminho(QStringLiteral("falta.ini"));
        QVERIFY(U().RemoverSecaoINI(falta, QStringLiteral("A")));
        QVERIFY(!QFile::exists(falta));
    }

    // --- cipher -----------------------------------------------------------

    void cifraIdaEVolta_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("chave");
        QTest::newRow("chave padrao") << "senha do relay" << "";
        QTest::newRow("acentos") << "Ação € 日本" << "#!";
        QTest::newRow("vazio") << "" << "k";
        QTest::newRow("longo") << QString(5000, u'x') << "uma chave longa qualquer";
    }
    void cifraIdaEVolta()
    {
        QFETCH(QString, texto);
        QFETCH(QString, chave);
        const QString cifrado = U().Cifrar(texto, chave);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]+$")).match(cifrado).hasMatch());
        QCOMPARE(U().Decifrar(cifrado, chave), texto);
        // A fresh nonce every time: the same text never looks the same twice.
        QVERIFY(U().Cifrar(texto, chave) != cifrado);
    }

    void decifrarRecusa()
    {
        const QString cifrado = U().Cifrar(QStringLiteral("segredo"), QStringLiteral("ab"));
        QCOMPARE(U().Decifrar(cifrado, QStringLiteral("ab")), QStringLiteral("segredo"));
        QCOMPARE(U().Decifrar(cifrado, QStringLiteral("aB")), QString());
        QCOMPARE(U().Decifrar(cifrado, QString()), QString());
        // One digit changed in the nonce, the body and the tag.
        for (qsizetype pos : {qsizetype(0), qsizetype(25), cifrado.size() / 2, cifrado.size() - 1}) {
            QString alterado = cifrado;
            alterado[pos] = alterado[pos] == u'0' ? u'1' : u'0';
            QCOMPARE(U().Decifrar(alterado, QStringLiteral("ab")), QString());
        }
        QCOMPARE(U().Decifrar(cifrado.left(cifrado.size() - 2), QStringLiteral("ab")), QString());
        const QStringList lixo{QString(), QStringLiteral("ABC"), QString(128, u'Z'), QString(56, u'0'),
                               QStringLiteral("00FF"), cifrado + u'0', QStringLiteral("texto qualquer")};
        for (const QString& l : lixo)
            QCOMPARE(U().Decifrar(l, QStringLiteral("ab")), QString());
    }

    // --- checks and formats -----------------------------------------------

    void cpf_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::newRow("formatado") << "529.982.247-25" << true;
        QTest::newRow("so digitos") << "52998224725" << true;
        QTest::newRow("outro valido") << "111.444.777-35" << true;
        QTest::newRow("digito verificador zero") << "123.456.789-09" << true;
        QTest::newRow("brancos em volta") << " 111.444.777-35 " << true;
        QTest::newRow("segundo digito errado") << "529.982.247-24" << false;
        QTest::newRow("primeiro digito errado") << "529.982.247-35" << false;
        QTest::newRow("todos iguais") << "111.111.111-11" << false;
        QTest::newRow("zeros") << "00000000000" << false;
        QTest::newRow("dez digitos") << "5299822472" << false;
        QTest::newRow("doze digitos") << "529982247250" << false;
        QTest::newRow("letra") << "529.98a.247-25" << false;
        QTest::newRow("separador estranho") << "529.982.247/25" << false;
        QTest::newRow("vazio") << "" << false;
    }
    void cpf()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QCOMPARE(U().ValidarCPF(texto), valido);
    }

    void validarData_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<bool>("valida");
        QTest::newRow("iso") << "2024-05-01" << 25 << true;
        QTest::newRow("bissexto") << "2024-02-29" << 25 << true;
        QTest::newRow("nao bissexto") << "2023-02-29" << 25 << false;
        QTest::newRow("mes 13") << "2024-13-01" << 25 << false;
        QTest::newRow("sem zero") << "2024-5-01" << 25 << false;
        QTest::newRow("outra forma") << "01/05/2024" << 25 << false;
        QTest::newRow("vazia") << "" << 25 << false;
        QTest::newRow("cartao MM/AAAA") << "05/2030" << 60 << true;
        QTest::newRow("cartao MM/AA") << "12/29" << 60 << true;
        QTest::newRow("cartao mes 13") << "13/29" << 60 << false;
        QTest::newRow("cartao mes 0") << "00/2030" << 60 << false;
        QTest::newRow("cartao ano de 3") << "05/203" << 60 << false;
        QTest::newRow("cartao com dia") << "2030-05-01" << 60 << false;
        QTest::newRow("codigo desconhecido") << "2024-05-01" << 7 << false;
    }
    void validarData()
    {
        QFETCH(QString, texto);
        QFETCH(int, codigo);
        QFETCH(bool, valida);
        QCOMPARE(U().ValidarData(texto, codigo), valida);
    }

    void formatarData()
    {
        const QDate d(2024, 3, 5);
        QCOMPARE(U().FormatarData(d, QStringLiteral("DD/MM/YYYY")), QStringLiteral("05/03/2024"));
        QCOMPARE(U().FormatarData(d, QStringLiteral("YYYYMMDD")), QStringLiteral("20240305"));
        QCOMPARE(U().FormatarData(d, QStringLiteral("YYYY-MM-DD")), QStringLiteral("2024-03-05"));
        QCOMPARE(U().FormatarData(QDate(), QStringLiteral("YYYY-MM-DD")), QString());
    }

    void formatarTamanho_data()
    {
        QTest::addColumn<double>("bytes");
        QTest::addColumn<QString>("texto");
        QTest::newRow("zero") << 0.0 << "0 bytes";
        QTest::newRow("um") << 1.0 << "1 byte";
        QTest::newRow("bytes") << 512.0 << "512 bytes";
        QTest::newRow("kb") << 1536.0 << "1,5 KB";
        QTest::newRow("mb") << 3.2 * 1024 * 1024 << "3,2 MB";
        QTest::newRow("arredonda para a unidade seguinte") << 1023.97 * 1024 << "1,0 MB";
        QTest::newRow("gb") << 8.0 * 1024 * 1024 * 1024 << "8,0 GB";
        QTest::newRow("negativo") << -5.0 << "0 bytes";
    }
    void formatarTamanho()
    {
        QFETCH(double, bytes);
        QFETCH(QString, texto);
        QCOMPARE(U().FormatarTamanho(bytes), texto);
    }

    void textoEntreMarcadores_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("trecho");
        QTest::newRow("erro xml") << "<Resposta><Erro Codigo=\"171\">Valor inválido</Erro></Resposta>"
                                  << "<erro codigo=" << "</ERRO>" << "\"171\">Valor inválido";
        QTest::newRow("primeiro par") << "a[1]b[2]" << "[" << "]" << "1";
        QTest::newRow("sem inicio") << "abc" << "[" << "]" << "";
        QTest::newRow("sem fim") << "a[bc" << "[" << "]" << "";
        QTest::newRow("fim so antes do inicio") << "]a[b" << "[" << "]" << "";
    }
    void textoEntreMarcadores()
    {
        QFETCH(QString, texto);
        QFETCH(QString, inicio);
        QFETCH(QString, fim);
        QFETCH(QString, trecho);
        QCOMPARE(U().TextoEntreMarcadores(texto, inicio, fim), trecho);
    }

    void normalizarTexto_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("normal");
        QTest::newRow("produto") << "Qeltrano" << "qeltrano";
        QTest::newRow("acentos") << "Tradução Fácil" << "traducao facil";
        QTest::newRow("maiusculas acentuadas") << "ÀÉÎÕÜÇ" << "aeiouc";
    }
    void normalizarTexto()
    {
        QFETCH(QString, texto);
        QFETCH(QString, normal);
        QCOMPARE(U().NormalizarTexto(texto), normal);
    }

    void gerarAleatorio()
    {
        static const QRegularExpression seguro(QStringLiteral("^[0-9a-z.]+$"));
        QSet<QString> vistos;
        for (int i = 0; i < 200; ++i) {
            const QString nome = U().GerarAleatorio(QStringLiteral("."), 4, 99);
            QVERIFY2(seguro.match(nome).hasMatch(), qPrintable(nome));
            const QStringList partes = nome.split(u'.');
            QVERIFY(partes.size() >= 4);
            for (int p = 0; p < 4; ++p) {
                bool ok = false;
                const int n = partes[p].toInt(&ok);
                QVERIFY(ok && n >= 0 && n <= 99);
            }
            vistos.insert(nome);
        }
        QCOMPARE(vistos.size(), 200);
        // One number of 0..99 alone would repeat; two calls in a row differ.
        const QString a = U().GerarAleatorio(QString(), 1, 99);
        const QString b = U().GerarAleatorio(QString(), 1, 99);
        QVERIFY(a != b);
        QVERIFY(seguro.match(a).hasMatch());
    }

    // --- files --------------------------------------------------------------

    void diretorioTemporario()
    {
        U().DefinirDiretorioTemporario(Caminho(QStringLiteral("scratch/sub/")));
        const QString pasta = U().DiretorioTemporario();
        QCOMPARE(pasta, Caminho(QStringLiteral("scratch/sub")));
        QVERIFY(QFileInfo(pasta).isDir());
        U().DefinirDiretorioTemporario(Caminho(QStringLiteral("temp")));
    }

    void arquivoExisteEExcluir()
    {
        const QString arquivo = Caminho(QStringLiteral("existe.txt"));
        const QString subpasta = Caminho(QStringLiteral("uma pasta"));
        Escrever(arquivo, "x");
        QVERIFY(QDir().mkpath(subpasta));
        QVERIFY(U().ArquivoExiste(arquivo, 0));
        QVERIFY(!U().ArquivoExiste(subpasta, 0));
        QVERIFY(!U().ArquivoExiste(Caminho(QStringLiteral("nao existe.txt")), 0));
        QVERIFY(!U().ArquivoExiste(QString(), 0));
        U().ExcluirArquivo(arquivo);
        U().ExcluirArquivo(subpasta);
        QVERIFY(!QFileInfo::exists(arquivo));
        QVERIFY(QFileInfo(subpasta).isDir());
    }

    void registrarPastaArquivo()
    {
        const QString a = Caminho(QStringLiteral("a"));
        const QString b = Caminho(QStringLiteral("b"));
        QVERIFY(QDir().mkpath(a));
        QVERIFY(QDir().mkpath(b));
        Escrever(b + QStringLiteral("/legenda.srt"), "1");
        U().RegistrarPastaArquivo(a);
        U().RegistrarPastaArquivo(b + QStringLiteral("/legenda.srt"));  // a file: its folder counts
        U().RegistrarPastaArquivo(a);
        auto pasta = [](int i) {
            return plataforma::GetSetting(QStringLiteral("Orvessa"), QStringLiteral("Pastas recentes"),
                                          QStringLiteral("Pasta%1").arg(i));
        };
        QCOMPARE(pasta(1), a);
        QCOMPARE(pasta(2), b);
        QCOMPARE(pasta(3), QString());
    }

    // --- registry reader ------------------------------------------------------

    void leitorRegistro()
    {
        using plataforma::Hive;
        using plataforma::Registro;
        const QString chave = QStringLiteral("SOFTWARE\\Tellumar\\{E4B3F92D-41E8-4486-9E75-89CAA05A54D8}");
        QVERIFY(Registro::GravarTexto(Hive::LocalMachine, chave, QString(), QStringLiteral("12abc")));
        QVERIFY(Registro::GravarTexto(Hive::LocalMachine, chave, QStringLiteral("DocumentsFolder"),
                                      QStringLiteral("/dados/Config")));
        QVERIFY(Registro::GravarDword(Hive::LocalMachine, chave, QStringLiteral("Contagem"), 4000000000u));

        const LeitorRegistro leitor;
        const QString completa = QStringLiteral("HKEY_LOCAL_MACHINE\\") + chave;
        QCOMPARE(leitor.LerValorChave(completa, QString()), QStringLiteral("12abc"));
        QCOMPARE(leitor.LerValorChave(completa, QStringLiteral("documentsfolder")), QStringLiteral("/dados/Config"));
        QCOMPARE(leitor.LerValorChave(completa, QStringLiteral("Contagem")), QStringLiteral("4000000000"));
        QCOMPARE(leitor.LerValorChave(QStringLiteral("HKLM\\") + chave, QStringLiteral("Contagem")),
                 QStringLiteral("4000000000"));
        QCOMPARE(leitor.LerValorChave(completa, QStringLiteral("Ausente")), QString());
        QCOMPARE(leitor.LerValorChave(completa + QStringLiteral("\\Sub"), QString()), QString());
        QCOMPARE(leitor.LerValorChave(QStringLiteral("HKEY_NADA\\") + chave, QString()), QString());
        QCOMPARE(leitor.LerValorChave(QStringLiteral("HKEY_CURRENT_USER\\") + chave, QString()), QString());
    }

    // --- message boxes and the connection test --------------------------------

    void caixasPassamPeloServicoDeDialogos()
    {
        QList<TipoCaixa> tipos;
        Dialogos::DefinirRespostaCaixas([&](const CaixaExibida& c) {
            tipos << c.tipo;
            return c.estilo == 36 ? 7 : 1;
        });
        QCOMPARE(U().CaixaMensagem(QStringLiteral("<b>Deseja</b> continuar?"), 36, QStringLiteral("Qeltrano")), 7);
        QCOMPARE(U().CaixaMensagemAviso(QStringLiteral("<b>Atenção</b>: x"), 48, QStringLiteral("Qeltrano")), 1);
        Dialogos::DefinirRespostaCaixas(nullptr);
        QCOMPARE(tipos, (QList<TipoCaixa>{TipoCaixa::Mensagem, TipoCaixa::Aviso}));
        const auto& exibidas = Dialogos::CaixasExibidas();
        QVERIFY(!exibidas.isEmpty());
        QCOMPARE(exibidas.back().texto, QStringLiteral("<b>Atenção</b>: x"));
        QCOMPARE(exibidas.back().titulo, QStringLiteral("Qeltrano"));
    }

    void verificadorConexao()
    {
        bool conectado = false;
        U().DefinirVerificadorConexao([&] { return conectado; });
        QVERIFY(!U().ConexaoInternetAtiva());
        conectado = true;
        QVERIFY(U().ConexaoInternetAtiva());
        U().DefinirVerificadorConexao(nullptr);
    }

    // An address without a scheme is a web address, never a file.
    void abrirUrlSemEsquema()
    {
        apoio::CapturadorUrls capturador({QStringLiteral("file"), QStringLiteral("https")});
        U().AbrirURL(QStringLiteral("www.qeltrano.example/sobre"));
        U().AbrirURL(QStringLiteral(" https://www.qeltrano.example "));
        QCOMPARE(capturador.urls, (QList<QUrl>{QUrl(QStringLiteral("https://www.qeltrano.example/sobre")),
                                               QUrl(QStringLiteral("https://www.qeltrano.example"))}));
    }
};

QTEST_MAIN(TstUtilitarios)
#include "tst_utilitarios.moc"
