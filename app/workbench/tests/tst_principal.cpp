// The main window: load, options, language lists, grid sync, close, the
// dispatcher and its editing commands, open and save.
#include "Apoio.h"
#include "Respostas.h"

#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/fPrincipal.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/Configuracoes.h"
#include "suite/Controles.h"
#include "suite/USFlexGrid.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

using namespace qeltrano;

namespace {

const QString kOcupado = QStringLiteral("O aplicativo está ocupado");
const QString kNenhuma = QStringLiteral("Nenhuma legenda selecionada");

QByteArray Windows1252(const QString& texto)
{
    QByteArray bytes;
    for (QChar c : texto)
        bytes.append(c.unicode() < 256 ? char(c.unicode()) : '?');
    return bytes;
}

QString LerUtf16(const QString& caminho)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = arquivo.readAll();
    if (!bytes.startsWith("\xFF\xFE"))
        return QStringLiteral("<sem BOM>");
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
}

// Runs one statement on the cache file through a connection of its own, as
// another program would.
bool ExecutarNoCache(const QString& sql)
{
    const QString nome = QStringLiteral("outro_programa");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(CacheTraducao::CaminhoEmUso());
        QSqlQuery q(db);
        ok = db.open() && q.exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
    return ok;
}

const QByteArray kTresBlocos("1\r\n00:00:01,000 --> 00:00:02,000\r\nUm\r\n\r\n"
                             "2\r\n00:00:03,000 --> 00:00:04,000\r\nDois\r\n\r\n"
                             "3\r\n00:00:05,000 --> 00:00:06,000\r\nTrês\r\n\r\n");

}  // namespace

class TestePrincipal : public QObject {
    Q_OBJECT

    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::Respostas> respostas_;
    QStringList encerramentos_;

    fPrincipal* Janela() { return FormPrincipal(); }

    void PreencherLinhas(int total)
    {
        QList<LinhaLegenda> linhas;
        for (int i = 0; i < total; ++i)
            linhas.append({QString::number(i * 10), QString::number(i * 10 + 5), QStringLiteral("Texto %1").arg(i)});
        Janela()->PreencherGrade(linhas);
    }

private slots:
    void initTestCase()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        DefinirEncerramento([this] { encerramentos_ << TextoRelatorioErros; });
        CacheTraducao::DefinirCaminho(ambiente_->Caminho(QStringLiteral("db.sqlite")));
    }

    void init()
    {
        respostas_ = std::make_unique<apoio::Respostas>();
        ReiniciarTratamentoErros();
        encerramentos_.clear();
        LiberarFormPrincipal();
        Janela()->Carregar();
    }

    void cleanup()
    {
        LiberarFormPrincipal();
        respostas_.reset();
    }

    void primeiraExecucaoSemConfiguracoes()
    {
        QCOMPARE(Janela()->chkOpcao(0)->Value(), 0);
        QCOMPARE(Janela()->chkOpcao(1)->Value(), 0);
        QCOMPARE(Janela()->USForm1->Caption(), ObterTituloVersao());
        QVERIFY(Janela()->lblST->Caption().startsWith(QStringLiteral("<b>Versão:</b> ")));
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 0);
        QCOMPARE(Janela()->btnAcao(7)->Caption(), QStringLiteral("&Iniciar Tradução"));
        QCOMPARE(Janela()->btnAcao(6)->ToolTipDescription(),
                 QStringLiteral("Excluir todas as linhas selecionadas"));
    }

    void listasDeIdiomas()
    {
        orvessa::USComboBox* origem = Janela()->USComboBoxX(0);
        orvessa::USComboBox* destino = Janela()->USComboBoxX(1);
        QCOMPARE(origem->count(), 52);
        QCOMPARE(destino->count(), 51);
        QCOMPARE(Janela()->IdiomaOrigem(), QStringLiteral("auto"));
        QCOMPARE(Janela()->IdiomaDestino(), QStringLiteral("pt"));
        QCOMPARE(origem->ChaveItem(origem->LocalizarItem(QStringLiteral("Hebraico"))), QStringLiteral("iw"));
        QCOMPARE(destino->ChaveItem(destino->LocalizarItem(QStringLiteral("Chinês"))), QStringLiteral("zh-CN"));
        QCOMPARE(destino->ChaveItem(destino->count() - 1), QStringLiteral("yi"));
        QCOMPARE(origem->itemData(1, Qt::ForegroundRole).value<QColor>(), QColor(0x1F, 0x32, 0x9C));
    }

    void opcaoSobreviveAoReinicio()
    {
        Janela()->chkOpcao(1)->click();
        QCOMPARE(plataforma::GetSetting(NomeProduto(), QStringLiteral("Opcões"), fPrincipal::TextoOpcaoOffline()),
                 QStringLiteral("1"));
        LiberarFormPrincipal();
        Janela()->Carregar();
        QCOMPARE(Janela()->chkOpcao(1)->Value(), 1);
        QCOMPARE(Janela()->chkOpcao(0)->Value(), 0);
        Janela()->chkOpcao(1)->click();
    }

    void tituloDaVersao_data()
    {
        QTest::addColumn<int>("revisao");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("um digito") << 5 << "Editor 2.1.05";
        QTest::newRow("tres digitos") << 123 << "Editor 2.1.123";
    }
    void tituloDaVersao()
    {
        QFETCH(int, revisao);
        QFETCH(QString, titulo);
        QCOMPARE(MontarTituloVersao(QStringLiteral("Editor"), 2, 1, revisao), titulo);
    }

    void gradesAcompanhamUmaAOutra()
    {
        PreencherLinhas(10);
        Janela()->FlexGrid(1)->DefinirLinhaAtual(7);
        QCOMPARE(Janela()->FlexGrid(0)->LinhaAtual(), 7);
        Janela()->FlexGrid(0)->DefinirLinhaAtual(3);
        QCOMPARE(Janela()->FlexGrid(1)->LinhaAtual(), 3);
        Janela()->FlexGrid(1)->DefinirMarcada(4, true);
        QVERIFY(Janela()->FlexGrid(0)->Marcada(4));
        Janela()->FlexGrid(0)->DefinirMarcada(4, false);
        QVERIFY(!Janela()->FlexGrid(1)->Marcada(4));
        // While a file is read or written the grids do not follow each other.
        Janela()->EmProcessamento = true;
        Janela()->FlexGrid(1)->DefinirLinhaAtual(9);
        QCOMPARE(Janela()->FlexGrid(0)->LinhaAtual(), 3);
        Janela()->EmProcessamento = false;
    }

    void fecharOcupadoMantemAJanela_data()
    {
        QTest::addColumn<bool>("processando");
        QTest::newRow("importando") << true;
        QTest::newRow("traduzindo") << false;
    }
    void fecharOcupadoMantemAJanela()
    {
        QFETCH(bool, processando);
        Janela()->show();
        (processando ? Janela()->EmProcessamento : Janela()->EmTraducao) = true;
        QVERIFY(!Janela()->close());
        QVERIFY(Janela()->Carregado());
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Aguarde o termino do processo")).size(), 1);
        QCOMPARE(respostas_->Caixas().constLast().estilo, 48);
        Janela()->EmProcessamento = Janela()->EmTraducao = false;
        QVERIFY(Janela()->close());
        QVERIFY(!Janela()->Carregado());
    }

    void comandosRecusadosEnquantoOcupado()
    {
        PreencherLinhas(3);
        Janela()->EmProcessamento = true;
        for (int i : {0, 1, 2, 5, 6, 8}) {
            respostas_->Limpar();
            Janela()->btnAcao(i)->click();
            QCOMPARE(respostas_->CaixasCom(kOcupado).size(), 1);
        }
        // The start passes the guard as the stop command, and is refused.
        respostas_->Limpar();
        Janela()->btnAcao(7)->click();
        QCOMPARE(respostas_->CaixasCom(kOcupado).size(), 1);
        QVERIFY(!Janela()->EmTraducao);
        Janela()->EmProcessamento = false;
        QCOMPARE(Janela()->FlexGrid(0)->Celula(0, 2), QStringLiteral("Texto 0"));
    }

    void semLegendaOsComandosAvisam()
    {
        Janela()->btnAcao(1)->click();
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Antes de salvar, você deve abrir uma legenda.")).size(), 1);
        for (int i = 2; i <= 7; ++i)
            Janela()->btnAcao(i)->click();
        QCOMPARE(respostas_->CaixasCom(kNenhuma).size(), 6);
    }

    void formatacao_data()
    {
        QTest::addColumn<int>("botao");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("negrito") << 2 << "Olá" << "<b>Olá</b>";
        QTest::newRow("italico") << 3 << "Olá" << "<i>Olá</i>";
        QTest::newRow("sublinhado") << 4 << "Olá" << "<u>Olá</u>";
        QTest::newRow("ja abre") << 2 << "<b>Olá" << "<b>Olá";
        QTest::newRow("ja fecha") << 2 << "Olá</b>" << "Olá</b>";
        QTest::newRow("outra marca") << 2 << "<i>Olá</i>" << "<b><i>Olá</i></b>";
    }
    void formatacao()
    {
        QFETCH(int, botao);
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        PreencherLinhas(3);
        Janela()->FlexGrid(0)->DefinirLinhaAtual(1);
        for (int g = 0; g < 2; ++g)
            Janela()->FlexGrid(g)->DefinirCelula(1, 2, texto);
        Janela()->btnAcao(botao)->click();
        QCOMPARE(Janela()->FlexGrid(0)->Celula(1, 2), esperado);
        QCOMPARE(Janela()->FlexGrid(1)->Celula(1, 2), esperado);
        QCOMPARE(Janela()->FlexGrid(0)->Celula(0, 2), QStringLiteral("Texto 0"));
    }

    void incluirLinhaAposAAtual()
    {
        PreencherLinhas(3);
        Janela()->FlexGrid(0)->DefinirLinhaAtual(1);
        respostas_->Responder(QStringLiteral("Deseja incluir"), 7);
        Janela()->btnAcao(5)->click();
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 3);
        respostas_->Responder(QStringLiteral("Deseja incluir"), 6);
        Janela()->btnAcao(5)->click();
        for (int g = 0; g < 2; ++g) {
            QCOMPARE(Janela()->FlexGrid(g)->TotalLinhas(), 4);
            QCOMPARE(Janela()->FlexGrid(g)->Celula(2, 2), QString());
            QCOMPARE(Janela()->FlexGrid(g)->Celula(3, 2), QStringLiteral("Texto 2"));
        }
    }

    void excluirLinhasMarcadas()
    {
        PreencherLinhas(5);
        // Nothing marked, then every row marked: both refused.
        Janela()->btnAcao(6)->click();
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Nenhuma linha marcada para exclusão.")).size(), 1);
        for (int i = 0; i < 5; ++i)
            Janela()->FlexGrid(0)->DefinirMarcada(i, true);
        Janela()->btnAcao(6)->click();
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Você não pode excluir todas as linhas")).size(), 1);
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 5);
        for (int i = 0; i < 5; ++i)
            Janela()->FlexGrid(0)->DefinirMarcada(i, i == 1 || i == 2);
        Janela()->btnAcao(6)->click();
        for (int g = 0; g < 2; ++g) {
            QCOMPARE(Janela()->FlexGrid(g)->TotalLinhas(), 3);
            QCOMPARE(Janela()->FlexGrid(g)->Celula(0, 2), QStringLiteral("Texto 0"));
            QCOMPARE(Janela()->FlexGrid(g)->Celula(1, 2), QStringLiteral("Texto 3"));
        }
        QCOMPARE(Janela()->FlexGrid(0)->TotalMarcadas(), 0);
    }

    void abrirESalvarSubRip()
    {
        const QString origem = ambiente_->EscreverArquivo(
            QStringLiteral("filme.srt"),
            Windows1252(QStringLiteral("1\r\n00:00:01,000 --> 00:00:03,500\r\nOlá, João!\r\nTudo bem?\r\n\r\n"
                                       "7\r\n00:00:04,000 --> 00:00:05,000\r\nAté já\r\n")));
        respostas_->ResponderArquivo(origem);
        Janela()->btnAcao(0)->click();
        QCOMPARE(Janela()->FormatoArquivo, QStringLiteral("SRT"));
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 2);
        QCOMPARE(Janela()->FlexGrid(1)->Celula(0, 2), QStringLiteral("Olá, João!|Tudo bem?"));
        QCOMPARE(Janela()->FlexGrid(0)->Celula(1, 0), QStringLiteral("00:00:04,000"));
        QCOMPARE(Janela()->USForm1->Caption(), ObterTituloVersao() + QStringLiteral(" -> ") + origem);
        QCOMPARE(respostas_->Dialogos().constLast().tipo, 1);
        QCOMPARE(respostas_->Dialogos().constLast().filtro,
                 QStringLiteral("Arquivos suportados (*.sub;*.srt)|*.sub;*.srt"));

        Janela()->FlexGrid(1)->DefinirCelula(1, 2, QStringLiteral("See you"));
        // A name without extension gets ".srt"; the question is asked for
        // the file really written.
        const QString destino = ambiente_->Caminho(QStringLiteral("traducao"));
        ambiente_->EscreverArquivo(QStringLiteral("traducao.srt"), "antigo");
        respostas_->ResponderArquivo(destino);
        respostas_->Responder(QStringLiteral("já existe"), 6);
        Janela()->btnAcao(1)->click();
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("já existe")).size(), 1);
        QCOMPARE(respostas_->Caixas().constLast().texto, QStringLiteral("Arquivo salvo com sucesso."));
        QCOMPARE(LerUtf16(destino + QStringLiteral(".srt")),
                 QStringLiteral("1\r\n00:00:01,000 --> 00:00:03,500\r\nOlá, João!\r\nTudo bem?\r\n\r\n"
                                "2\r\n00:00:04,000 --> 00:00:05,000\r\nSee you\r\n\r\n"));
        QVERIFY(!QFile::exists(destino));
        CacheTraducao* cache = CacheTraducao::Conexao();
        QVERIFY(cache);
        QCOMPARE(cache->Consultar(QStringLiteral("Até já"), QStringLiteral("auto"), QStringLiteral("pt")),
                 QStringLiteral("See you"));

        // With the off-line option on, opening again takes the cached row.
        Janela()->chkOpcao(1)->DefinirValue(1);
        respostas_->ResponderArquivo(origem);
        Janela()->btnAcao(0)->click();
        QCOMPARE(Janela()->FlexGrid(1)->Celula(1, 2), QStringLiteral("See you"));
        QCOMPARE(Janela()->FlexGrid(1)->Celula(0, 2), QStringLiteral("Olá, João!|Tudo bem?"));
        Janela()->chkOpcao(1)->DefinirValue(0);
    }

    void salvarNaoSubstituiSemConfirmacao()
    {
        const QString origem = ambiente_->EscreverArquivo(QStringLiteral("a.sub"), "{1}{2}Um\n{3}{4}Dois|linhas\n\n");
        respostas_->ResponderArquivo(origem);
        Janela()->btnAcao(0)->click();
        QCOMPARE(Janela()->FormatoArquivo, QStringLiteral("mDVD"));
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 2);
        const QString destino = ambiente_->EscreverArquivo(QStringLiteral("b.SUB"), "antigo");
        respostas_->ResponderArquivo(destino);
        respostas_->Responder(QStringLiteral("já existe"), 7);
        Janela()->btnAcao(1)->click();
        QFile arquivo(destino);
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        QCOMPARE(arquivo.readAll(), QByteArray("antigo"));
        QVERIFY(respostas_->CaixasCom(QStringLiteral("Arquivo salvo")).isEmpty());
        respostas_->Responder(QStringLiteral("já existe"), 6);
        respostas_->ResponderArquivo(destino);
        Janela()->btnAcao(1)->click();
        QCOMPARE(LerUtf16(destino), QStringLiteral("{1}{2}Um\r\n{3}{4}Dois|linhas\r\n"));
    }

    void importacaoRecusadaNaoMudaNada()
    {
        PreencherLinhas(2);
        Janela()->FormatoArquivo = QStringLiteral("SRT");
        const QString mpl2 = ambiente_->EscreverArquivo(QStringLiteral("x.sub"), "[1][2][3]Texto\n");
        Janela()->ImportarLegenda(mpl2);
        QCOMPARE(Janela()->FormatoArquivo, QStringLiteral("SRT"));
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 2);
        const auto caixas = respostas_->CaixasCom(QStringLiteral("Formato do arquivo: MPL2"));
        QCOMPARE(caixas.size(), 1);
        QCOMPARE(caixas.first().estilo, 16);
        QVERIFY(caixas.first().texto.endsWith(QStringLiteral("\r\nFormato suportado: mDVD (MicroDVD Subtitles)")));

        // A MicroDVD line without its braces: the message names the line.
        const QString ruim = ambiente_->EscreverArquivo(QStringLiteral("y.sub"), "{1}{2}Um\n\nsem chaves\n");
        Janela()->ImportarLegenda(ruim);
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Erro ao importar o arquivo")).size(), 1);
        QVERIFY(respostas_->Caixas().constLast().texto.endsWith(QStringLiteral("<br><br>Linha inválida: 3")));
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 2);
        QVERIFY(!Janela()->EmProcessamento);

        // A path that does not exist: nothing changes, nothing is shown.
        respostas_->Limpar();
        Janela()->ImportarLegenda(ambiente_->Caminho(QStringLiteral("nao-existe.srt")));
        QVERIFY(respostas_->Caixas().isEmpty());
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 2);
    }

    // The cache's table is gone while a file opens with the off-line option
    // on: the handler hears of it, and the grids, the format and the caption
    // stay as they were, so a later save cannot write a cut-down file.
    void cacheComFalhaAoAbrirNaoDesalinhaAsGrades()
    {
        PreencherLinhas(2);
        Janela()->FormatoArquivo = QStringLiteral("mDVD");
        const QString caption = Janela()->USForm1->Caption();
        QVERIFY(CacheTraducao::Conexao());
        QVERIFY(ExecutarNoCache(QStringLiteral("DROP TABLE tbl_traducao")));
        Janela()->chkOpcao(1)->DefinirValue(1);
        Janela()->ImportarLegenda(ambiente_->EscreverArquivo(QStringLiteral("tres.srt"), kTresBlocos));
        Janela()->chkOpcao(1)->DefinirValue(0);
        QCOMPARE(encerramentos_.size(), 1);
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Função: PreencherGrade\r\n")).size(), 1);
        QVERIFY(respostas_->CaixasCom(QStringLiteral("Erro ao importar")).isEmpty());
        for (int g = 0; g < 2; ++g) {
            QCOMPARE(Janela()->FlexGrid(g)->TotalLinhas(), 2);
            QVERIFY(Janela()->FlexGrid(g)->Redesenhar());
        }
        QCOMPARE(Janela()->FormatoArquivo, QStringLiteral("mDVD"));
        QCOMPARE(Janela()->USForm1->Caption(), caption);
        QVERIFY(!Janela()->EmProcessamento);
        CacheTraducao::Liberar();
        QFile::remove(CacheTraducao::CaminhoEmUso());
    }

    // A cache that cannot store costs no edit: the file is complete on disk
    // before the cache is asked, and the handler hears of the failure.
    void cacheComFalhaAoSalvarDeixaOArquivoInteiro()
    {
        Janela()->ImportarLegenda(ambiente_->EscreverArquivo(QStringLiteral("tres.srt"), kTresBlocos));
        QCOMPARE(Janela()->FlexGrid(1)->TotalLinhas(), 3);
        QVERIFY(CacheTraducao::Conexao());
        QVERIFY(ExecutarNoCache(QStringLiteral("DROP TABLE tbl_traducao")));
        const QString destino = ambiente_->Caminho(QStringLiteral("salva.srt"));
        respostas_->ResponderArquivo(destino);
        Janela()->btnAcao(1)->click();
        QCOMPARE(encerramentos_.size(), 1);
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Função: ExportarLegenda\r\n")).size(), 1);
        QCOMPARE(LerUtf16(destino), QString::fromUtf8(kTresBlocos));
        QVERIFY(!Janela()->EmProcessamento);
        CacheTraducao::Liberar();
        QFile::remove(CacheTraducao::CaminhoEmUso());
    }

    // A cache statement that fails while a row is translated reaches the
    // handler under the procedure's name; the row still gets its trimmed text.
    void erroDoCacheAoTraduzirVaiAoTratador()
    {
        QVERIFY(CacheTraducao::Conexao());
        QVERIFY(ExecutarNoCache(QStringLiteral("DROP TABLE tbl_traducao")));
        Janela()->chkOpcao(1)->DefinirValue(1);
        QCOMPARE(Janela()->TraduzirTexto(QStringLiteral("  Olá  "), QStringLiteral("pt"), QStringLiteral("en")),
                 QStringLiteral("Olá"));
        Janela()->chkOpcao(1)->DefinirValue(0);
        QCOMPARE(encerramentos_.size(), 1);
        const auto caixas = respostas_->CaixasCom(QStringLiteral("Table 'tbl_traducao' doesn't exist"));
        QCOMPARE(caixas.size(), 1);
        QVERIFY(caixas.first().texto.contains(QStringLiteral("Módulo: fPrincipal")));
        QVERIFY(caixas.first().texto.contains(QStringLiteral("Função: TraduzirTexto")));
        CacheTraducao::Liberar();
        QFile::remove(CacheTraducao::CaminhoEmUso());
    }

    // Another program stored one key twice: saving still works and stores.
    void cacheComChavesRepetidasSalva()
    {
        CacheTraducao::Liberar();
        QFile::remove(CacheTraducao::CaminhoEmUso());
        QVERIFY(ExecutarNoCache(QStringLiteral(
            "CREATE TABLE tbl_traducao (c_texto_original TEXT NOT NULL, c_idioma_origem TEXT NOT NULL, "
            "c_idioma_destino TEXT NOT NULL, c_texto_traduzido TEXT)")));
        for (int i = 0; i < 2; ++i)
            QVERIFY(ExecutarNoCache(QStringLiteral("INSERT INTO tbl_traducao VALUES ('Um', 'auto', 'pt', 'x')")));
        Janela()->ImportarLegenda(ambiente_->EscreverArquivo(QStringLiteral("tres.srt"), kTresBlocos));
        Janela()->FlexGrid(1)->DefinirCelula(0, 2, QStringLiteral("One"));
        const QString destino = ambiente_->Caminho(QStringLiteral("repetidas.srt"));
        respostas_->ResponderArquivo(destino);
        Janela()->btnAcao(1)->click();
        QVERIFY(encerramentos_.isEmpty());
        QCOMPARE(respostas_->Caixas().constLast().texto, QStringLiteral("Arquivo salvo com sucesso."));
        QCOMPARE(CacheTraducao::Conexao()->Consultar(QStringLiteral("Um"), QStringLiteral("auto"), QStringLiteral("pt")),
                 QStringLiteral("One"));
        CacheTraducao::Liberar();
        QFile::remove(CacheTraducao::CaminhoEmUso());
    }

    // Whatever a line holds survives open and save: a TAB, in both formats.
    void tabulacaoNoTextoSobreviveAbrirESalvar_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("conteudo");
        QTest::newRow("SubRip") << "tab.srt"
                                << "1\r\n00:00:01,000 --> 00:00:02,000\r\nantes\tdepois\r\nfim\tda\tlinha\r\n\r\n";
        QTest::newRow("MicroDVD") << "tab.sub" << "{1}{2}antes\tdepois|fim\r\n";
    }

    void tabulacaoNoTextoSobreviveAbrirESalvar()
    {
        QFETCH(QString, nome);
        QFETCH(QString, conteudo);
        Janela()->ImportarLegenda(ambiente_->EscreverArquivo(nome, conteudo.toUtf8()));
        QCOMPARE(Janela()->FlexGrid(1)->TotalLinhas(), 1);
        QVERIFY(Janela()->FlexGrid(0)->Celula(0, 2).startsWith(QStringLiteral("antes\tdepois")));
        const QString destino = ambiente_->Caminho(QStringLiteral("copia-") + nome);
        respostas_->ResponderArquivo(destino);
        Janela()->btnAcao(1)->click();
        QCOMPARE(LerUtf16(destino), conteudo);
    }

    // Many tools write SubRip without counters; UTF-32 files carry a mark.
    void subRipSemContadoresEUtf32()
    {
        const QByteArray semContadores("00:00:01,000 --> 00:00:02,000\nUm\n\n00:00:03,000 --> 00:00:04,000\n"
                                       "Dois\nlinhas\n\n00:00:05,000 --> 00:00:06,000\nTrês\n");
        const QString caminho = ambiente_->EscreverArquivo(QStringLiteral("sem.srt"), semContadores);
        Janela()->ImportarLegenda(caminho);
        QCOMPARE(Janela()->FormatoArquivo, QStringLiteral("SRT"));
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 3);
        QCOMPARE(Janela()->FlexGrid(1)->Celula(1, 2), QStringLiteral("Dois|linhas"));
        QCOMPARE(Janela()->FlexGrid(1)->Celula(2, 1), QStringLiteral("00:00:06,000"));

        QStringEncoder utf32(QStringConverter::Utf32LE);
        const QString texto = QString::fromUtf8(kTresBlocos);
        Janela()->ImportarLegenda(ambiente_->EscreverArquivo(QStringLiteral("utf32.srt"),
                                                             QByteArray("\xFF\xFE\0\0", 4) + QByteArray(utf32.encode(texto))));
        QVERIFY(respostas_->Caixas().isEmpty());
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 3);
        QCOMPARE(Janela()->FlexGrid(0)->Celula(2, 2), QStringLiteral("Três"));
    }

    // A file whose every block fails is refused with the import message and
    // its reason; the grids and the format stay.
    void arquivoSemBlocoValidoEhRecusado()
    {
        PreencherLinhas(2);
        Janela()->FormatoArquivo = QStringLiteral("SRT");
        Janela()->ImportarLegenda(ambiente_->EscreverArquivo(QStringLiteral("ruim.sub"), "{{{{\n{}}}\n"));
        QCOMPARE(respostas_->Caixas().size(), 1);
        QCOMPARE(respostas_->Caixas().constLast().texto,
                 QStringLiteral("<b>Atenção</b>: Erro ao importar o arquivo. É possível que o arquivo de destino esteja "
                                "sendo usado por outro processo.<br><br>Linha inválida: 1"));
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 2);
        QCOMPARE(Janela()->FormatoArquivo, QStringLiteral("SRT"));
    }

    void arquivoVazioDaGradesVazias()
    {
        PreencherLinhas(0);
        QCOMPARE(Janela()->FlexGrid(0)->TotalLinhas(), 0);
        QCOMPARE(Janela()->FlexGrid(1)->Modelo()->columnCount(), 3);
        QCOMPARE(Janela()->FlexGrid(1)->Modelo()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Texto Traduzido"));
        QVERIFY(Janela()->lblDescription->Caption().contains(QStringLiteral("<b>Texto Original</b>")));
        QCOMPARE(Janela()->USProgressBar1->Value(), 0);
    }

    // Kestrane is not registered in the test's registry yet: the about box
    // cannot build its status bar, and the error handler takes over.
    void sobreSemBibliotecaDeControlesVaiAoTratador()
    {
        Janela()->btnAcao(8)->click();
        QCOMPARE(encerramentos_.size(), 1);
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("erro de ActiveX")).size(), 1);
        QVERIFY(TextoRelatorioErros.contains(QStringLiteral("Função: btnAcao_Click(8)\r\n")));
        QVERIFY(TextoRelatorioErros.contains(QStringLiteral("Número do erro: 429\r\n")));
        QVERIFY(!Janela()->Carregado());
    }

    void sobreAbreUmaSoVez()
    {
        QVERIFY(RegistrarComponente(QStringLiteral("libkestrane.so")));
        Janela()->btnAcao(8)->click();
        Janela()->btnAcao(8)->click();
        int abertas = 0;
        for (auto* janela : orvessa::Formulario::FormulariosCarregados())
            abertas += janela->Name() == QLatin1String("fSobre");
        QCOMPARE(abertas, 1);
        QVERIFY(encerramentos_.isEmpty());
        DescarregarFormularios(false);
    }

    void abrirPeloDialogoReal()
    {
        // No answerer: the real file dialog is shown and driven here.
        orvessa::Dialogos::DefinirRespostaArquivos(nullptr);
        const QString origem = ambiente_->EscreverArquivo(QStringLiteral("real.srt"),
                                                          "1\n00:00:01,000 --> 00:00:02,000\nReal\n");
        // As a user would: once the dialog shows, pick the file and accept;
        // the folder loads in the background, so try again until it closes.
        // After 10 s give up and cancel, so the test fails instead of hanging.
        bool encontrado = false;
        QTimer relogio;
        QElapsedTimer espera;
        espera.start();
        connect(&relogio, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* dialogo = qobject_cast<QFileDialog*>(modal);
            if (espera.elapsed() > 10000) {
                if (modal)
                    modal->close();
                return;
            }
            if (!dialogo || !dialogo->isVisible())
                return;
            auto* nome = dialogo->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!nome)
                return;
            encontrado = true;
            // Typed as a full path, the name does not depend on the folder
            // the dialog is still reading.
            nome->setCompleter(nullptr);
            nome->setText(origem);
            static_cast<QDialog*>(dialogo)->accept();
        });
        relogio.start(50);
        Janela()->btnAcao(0)->click();
        relogio.stop();
        QVERIFY(encontrado);
        QCOMPARE(Janela()->FlexGrid(0)->Celula(0, 2), QStringLiteral("Real"));
        QCOMPARE(plataforma::GetSetting(NomeProduto(), QStringLiteral("Principal"),
                                        QStringLiteral("Último arquivo aberto")),
                 ambiente_->Pasta());
    }
};

QTEST_MAIN(TestePrincipal)
#include "tst_principal.moc"
