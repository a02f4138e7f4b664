// The central error handler: which boxes each error shows, the report, the
// guard against a second error, the end of the process, and the
// application object that hands escaped exceptions to the handler.
#include "Apoio.h"
#include "Respostas.h"
#include "Versao.h"
#include "app/Aplicacao.h"
#include "app/Configuracao.h"
#include "app/workbench/modComum.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/modErros.h"
#include "platform/ErroExecucao.h"
#include "suite/Formulario.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <new>
#include <stdexcept>

using namespace qeltrano;

namespace {

const QString kMarcador =
    QStringLiteral("Esta variável tem que conter dados para que o sistema finalize sem perguntar");

// Which of the handler's boxes a text is.
QString Letra(const QString& texto)
{
    if (texto.startsWith(QStringLiteral("Atenção: O aplicativo retornou um erro de ActiveX")))
        return QStringLiteral("A");
    if (texto.contains(QStringLiteral("não foram registrados corretamente. Efetuamos a correção automática.")))
        return QStringLiteral("B1");
    if (texto.contains(QStringLiteral("não foram registrados corretamente. Para resolver este problema")))
        return QStringLiteral("B2");
    if (texto.startsWith(QStringLiteral("Atenção: Memória insuficiente")))
        return QStringLiteral("C");
    if (texto.startsWith(QStringLiteral("Atenção: A base de dados está desatualizada")))
        return QStringLiteral("D");
    if (texto.startsWith(QStringLiteral("Atenção: O aplicativo retornou um erro de automação")))
        return QStringLiteral("F");
    return QStringLiteral("?");
}

// A control whose event handler throws what the test asks for.
class Lancador : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> lancar;

protected:
    bool event(QEvent* evento) override
    {
        if (evento->type() == QEvent::User && lancar)
            lancar();
        return QWidget::event(evento);
    }
};

class Objeto : public QObject {
public:
    std::function<void()> lancar;
    bool event(QEvent* evento) override
    {
        if (evento->type() == QEvent::User && lancar)
            lancar();
        return QObject::event(evento);
    }
};

}  // namespace

class TstErros : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::Respostas> respostas_;
    int encerramentos_ = 0;
    int relatoriosExibidos_ = 0;
    std::function<void()> aoExibirRelatorio_;
    QString pastaComponentes_;

    QStringList Letras() const
    {
        QStringList letras;
        for (const auto& caixa : respostas_->Caixas())
            letras << Letra(caixa.texto);
        return letras;
    }

    QStringList ArquivosTemporarios() const
    {
        return QDir(ambiente_->Caminho(QStringLiteral("temp"))).entryList(QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        DefinirEncerramento([this] { ++encerramentos_; });
        DefinirExibicaoRelatorio([this] {
            ++relatoriosExibidos_;
            if (aoExibirRelatorio_)
                aoExibirRelatorio_();
        });
        pastaComponentes_ = QFileInfo(QStringLiteral(COMP_REGISTRO_RAPIDO)).absolutePath();
    }

    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        respostas_ = std::make_unique<apoio::Respostas>();
        respostas_->DefinirPadrao(1);
        ReiniciarTratamentoErros();
        VersaoADODB.clear();
        DefinirPastaComponentes(pastaComponentes_);
        encerramentos_ = 0;
        relatoriosExibidos_ = 0;
        aoExibirRelatorio_ = nullptr;
    }

    void cleanup()
    {
        respostas_.reset();
        ambiente_.reset();
        DefinirPastaComponentes(QString());
        ReiniciarTratamentoErros();
    }

    void classificacao_data()
    {
        QTest::addColumn<long>("numero");
        QTest::addColumn<QString>("descricao");
        QTest::addColumn<QStringList>("caixas");
        QTest::addColumn<bool>("relatorio");

        const QString registrado = QFileInfo(QStringLiteral(COMP_REGISTRO_RAPIDO)).fileName();
        const QString naoRegistrado =
            QStringLiteral("' or one of its dependencies not correctly registered: a file is missing or invalid");

        QTest::newRow("339 re-registered") << 339L << QStringLiteral("Component '") + registrado + naoRegistrado
                                           << QStringList{"A", "B1"} << false;
        QTest::newRow("339 file missing") << 339L << QStringLiteral("Component 'ausente.ocx") + naoRegistrado
                                          << QStringList{"A", "B2"} << false;
        QTest::newRow("not registered, no apostrophes")
            << 5L << QStringLiteral("Component or one of its dependencies NOT CORRECTLY REGISTERED")
            << QStringList{"B2"} << false;
        QTest::newRow("file name with a folder")
            << 339L << QStringLiteral("Component '../testes/") + registrado + naoRegistrado
            << QStringList{"A", "B2"} << false;
        QTest::newRow("429 unmatched") << 429L << QStringLiteral("ActiveX component can't create object")
                                       << QStringList{"A"} << true;
        QTest::newRow("372 unmatched") << 372L << QStringLiteral("Failed to load control 'X' from x.ocx")
                                       << QStringList{"A"} << true;
        QTest::newRow("automation error, other case")
            << 440L << QStringLiteral("aUtOmAtIoN eRrOr The object invoked has disconnected") << QStringList{"F"}
            << true;
        QTest::newRow("automation error without the blank")
            << 440L << QStringLiteral("Automation error") << QStringList{} << true;
        QTest::newRow("method and object literal")
            << 440L << QStringLiteral("Method '~' of object '~' failed") << QStringList{"A"} << true;
        QTest::newRow("method and object named")
            << 440L << QStringLiteral("Method 'Open' of object 'Connection' failed") << QStringList{} << true;
        QTest::newRow("method then automation")
            << 440L << QStringLiteral("method '~' of object '~' failed: automation error Unspecified")
            << QStringList{"A", "F"} << true;
        QTest::newRow("out of memory, any text") << 7L << QStringLiteral("Falha qualquer") << QStringList{"C"}
                                                 << false;
        QTest::newRow("registration wins over error 7") << 7L << QStringLiteral("x") + naoRegistrado
                                                        << QStringList{"B2"} << false;
        QTest::newRow("unknown column") << 3265L << QStringLiteral("[SQLite] unknown COLUMN 'c_x' in field list")
                                        << QStringList{"D"} << false;
        QTest::newRow("table doesn't exist") << -2147217865L
                                             << QStringLiteral("Table 'tbl_traducao' doesn't exist")
                                             << QStringList{"D"} << false;
        QTest::newRow("429 with unknown column") << 429L << QStringLiteral("Unknown column")
                                                 << QStringList{"A", "D"} << false;
    }

    void classificacao()
    {
        QFETCH(long, numero);
        QFETCH(QString, descricao);
        QFETCH(QStringList, caixas);
        QFETCH(bool, relatorio);

        TratarErro(QStringLiteral("fPrincipal"), QStringLiteral("btnAcao_Click(2)"), numero, descricao, 3);

        QCOMPARE(Letras(), caixas);
        for (const auto& caixa : respostas_->Caixas()) {
            QCOMPARE(caixa.tipo, orvessa::TipoCaixa::Sistema);
            QCOMPARE(caixa.estilo, 16);
            QCOMPARE(caixa.titulo, QString::fromUtf8(versao::NomeProduto));
        }
        QCOMPARE(relatoriosExibidos_, relatorio ? 1 : 0);
        if (relatorio)
            QVERIFY(TextoRelatorioErros.startsWith(QStringLiteral("RELATÓRIO DE ERROS - ")));
        else
            QCOMPARE(TextoRelatorioErros, kMarcador);
        QCOMPARE(encerramentos_, 1);
    }

    void textosDasCaixas_data()
    {
        QTest::addColumn<long>("numero");
        QTest::addColumn<QString>("descricao");
        QTest::addColumn<QString>("esperado");

        const QString s1 = QStringLiteral("\r\n\r\nSe o problema presistir reinstale o aplicativo ou entre em "
                                          "contato com o suporte técnico através do e-mail: suporte@teste.example.");
        const QString s2 = QStringLiteral("\r\n\r\nSe o problema presistir entre em contato com o suporte técnico "
                                          "através do e-mail: suporte@teste.example.");
        const auto d1 = [](const QString& descricao) {
            return QStringLiteral("\r\n\r\nDescrição: ") + descricao +
                   QStringLiteral("\r\nMódulo: fPrincipal\r\nFunção: USBtn_Click(1)\r\nLinha: 40");
        };
        const auto d2 = [](const QString& descricao) {
            return QStringLiteral("\r\n\r\nDescrição do erro: ") + descricao +
                   QStringLiteral("\r\nMódulo: fPrincipal\r\nFunção: USBtn_Click(1)\r\nLinha: 40");
        };
        const QString falta = QStringLiteral("Component or one of its dependencies not correctly registered");

        QTest::newRow("A") << 429L << QStringLiteral("Can't create")
                           << QStringLiteral("Atenção: O aplicativo retornou um erro de ActiveX e para resolver este "
                                             "problema recomendamos que você reinicie o seu computador.") +
                                  d1(QStringLiteral("Can't create")) + s1;
        QTest::newRow("B2") << 1L << falta
                            << QStringLiteral("Atenção: Alguns arquivos necessários para que este software funcione "
                                              "corretamente estão corrompidos, ausentes ou não foram registrados "
                                              "corretamente. Para resolver este problema recomendamos que você "
                                              "reinicie o seu computador.") +
                                   d2(falta) + s1;
        QTest::newRow("C") << 7L << QStringLiteral("Out of memory")
                           << QStringLiteral("Atenção: Memória insuficiente para executar este aplicativo. Para "
                                             "resolver este problema, reinicie o seu computador.") +
                                  s1;
        QTest::newRow("D") << 3L << QStringLiteral("Unknown column 'x'")
                           << QStringLiteral("Atenção: A base de dados está desatualizada e para resolver este "
                                             "problema recomendamos que você atualize o software.") +
                                  d2(QStringLiteral("Unknown column 'x'")) + s1;
        QTest::newRow("F") << 3L << QStringLiteral("Automation error x")
                           << QStringLiteral("Atenção: O aplicativo retornou um erro de automação e para resolver "
                                             "este problema recomendamos que você reinicie o seu computador.") +
                                  s2;
    }

    void textosDasCaixas()
    {
        QFETCH(long, numero);
        QFETCH(QString, descricao);
        QFETCH(QString, esperado);
        const QString caixaAnterior = Config().CaixaSuporte;
        Config().CaixaSuporte = QStringLiteral("suporte@teste.example");

        TratarErro(QStringLiteral("fPrincipal"), QStringLiteral("USBtn_Click(1)"), numero, descricao, 40);
        Config().CaixaSuporte = caixaAnterior;

        QCOMPARE(respostas_->Caixas().size(), 1);
        QCOMPARE(respostas_->Caixas().first().texto, esperado);
    }

    void caixaB1()
    {
        const QString arquivo = QFileInfo(QStringLiteral(COMP_REGISTRO_FALHA)).fileName();
        const QString descricao = QStringLiteral("Component '") + arquivo +
                                  QStringLiteral("' or one of its dependencies not correctly registered");
        TratarErro(QStringLiteral("m"), QStringLiteral("p"), 5, descricao, 0);
        QCOMPARE(respostas_->Caixas().size(), 1);
        QCOMPARE(respostas_->Caixas().first().texto,
                 QStringLiteral("Atenção: Alguns arquivos necessários para que este software funcione corretamente "
                                "estão corrompidos, ausentes ou não foram registrados corretamente. Efetuamos a "
                                "correção automática.\r\n\r\nDescrição do erro: ") +
                     descricao + QStringLiteral("\r\nMódulo: m\r\nFunção: p\r\nLinha: 0\r\n\r\nSe o problema "
                                                "presistir reinstale o aplicativo ou entre em contato com o suporte "
                                                "técnico através do e-mail: ") +
                     Config().CaixaSuporte + QStringLiteral("."));
    }

    void textoDoRelatorio()
    {
        // The handler asks the open cache for its version.
        CacheTraducao::DefinirCaminho(ambiente_->Caminho(QStringLiteral("db.sqlite")));
        QVERIFY(CacheTraducao::Conexao());
        const QString versaoBanco = CacheTraducao::VersaoEmUso();
        QVERIFY(!versaoBanco.isEmpty());
        TratarErro(QStringLiteral("FContato"), QStringLiteral("EnviarEmail"), 91,
                   QStringLiteral("Object variable or With block variable not set"), 0);

        const QString titulo = TituloRelatorioErros(QString::fromUtf8(versao::NomeProduto), versao::Major,
                                                    versao::Minor, versao::Revision);
        QCOMPARE(TextoRelatorioErros, titulo + QStringLiteral("\r\n"
                                                              "\r\n"
                                                              "Formulário: FContato\r\n"
                                                              "Função: EnviarEmail\r\n"
                                                              "Linha: 0\r\n"
                                                              "Número do erro: 91\r\n"
                                                              "Descrição do erro: Object variable or With block "
                                                              "variable not set\r\n"
                                                              "Versão do ADODB: ") + versaoBanco + QStringLiteral("\r\n"));
        CacheTraducao::DefinirCaminho(QString());
        QVERIFY(titulo.startsWith(QStringLiteral("RELATÓRIO DE ERROS - ")));
        QVERIFY(!titulo.contains(QRegularExpression(QStringLiteral("[a-z]"))));
    }

    void tituloDoRelatorio()
    {
        QCOMPARE(TituloRelatorioErros(QStringLiteral("Qeltrano"), 1, 2, 5),
                 QStringLiteral("RELATÓRIO DE ERROS - QELTRANO 1.2.05"));
        QCOMPARE(TituloRelatorioErros(QStringLiteral("Qeltrano"), 2, 0, 123),
                 QStringLiteral("RELATÓRIO DE ERROS - QELTRANO 2.0.123"));
    }

    // The report is written and every window unloaded before the report
    // window is shown.
    void ordemDoRelatorio()
    {
        orvessa::Formulario janela(QStringLiteral("fPrincipal"));
        janela.Carregar();
        QVERIFY(janela.Carregado());
        bool janelaCarregada = true;
        QString textoNaExibicao;
        QStringList caixasNaExibicao;
        aoExibirRelatorio_ = [&] {
            janelaCarregada = janela.Carregado();
            textoNaExibicao = TextoRelatorioErros;
            caixasNaExibicao = Letras();
        };

        TratarErro(QStringLiteral("fPrincipal"), QStringLiteral("Form_Load"), 429, QStringLiteral("x"), 0);

        QCOMPARE(relatoriosExibidos_, 1);
        QVERIFY(!janelaCarregada);
        QVERIFY(textoNaExibicao.contains(QStringLiteral("Número do erro: 429\r\n")));
        QCOMPARE(caixasNaExibicao, QStringList{"A"});
        QCOMPARE(encerramentos_, 1);
    }

    // Advice boxes end the program without closing the windows: there is no
    // report to make room for.
    void caixaFinalSemDescarregar()
    {
        orvessa::Formulario janela(QStringLiteral("fPrincipal"));
        janela.Carregar();
        TratarErro(QStringLiteral("fPrincipal"), QStringLiteral("x"), 7, QStringLiteral("x"), 0);
        QVERIFY(janela.Carregado());
        QCOMPARE(encerramentos_, 1);
        janela.Descarregar(true);
    }

    void guarda_data()
    {
        QTest::addColumn<QString>("situacao");
        QTest::newRow("error pending") << QStringLiteral("pendente");
        QTest::newRow("report being written") << QStringLiteral("relatorio");
        QTest::newRow("report window loaded") << QStringLiteral("FRelatorioErros");
        QTest::newRow("update assistant loaded") << QStringLiteral("XTelaAssistenteAtualizacoes");
    }

    void guarda()
    {
        QFETCH(QString, situacao);
        std::unique_ptr<orvessa::Formulario> janela;
        if (situacao == QLatin1String("pendente")) {
            TratarErro(QStringLiteral("a"), QStringLiteral("b"), 7, QStringLiteral("x"), 0);
        } else if (situacao == QLatin1String("relatorio")) {
            TratarErro(QStringLiteral("a"), QStringLiteral("b"), 91, QStringLiteral("x"), 0);
        } else {
            janela = std::make_unique<orvessa::Formulario>(situacao);
            janela->Carregar();
        }
        respostas_->Limpar();
        respostas_->DefinirPadrao(1);
        encerramentos_ = 0;
        relatoriosExibidos_ = 0;
        const QString texto = TextoRelatorioErros;
        const QString captura = ArquivoCapturaTela;
        const QStringList arquivos = ArquivosTemporarios();
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);

        TratarErro(QStringLiteral("c"), QStringLiteral("d"), 429, QStringLiteral("Unknown column"), 1);

        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(respostas_->Caixas().isEmpty());
        QCOMPARE(TextoRelatorioErros, texto);
        QCOMPARE(ArquivoCapturaTela, captura);
        QCOMPARE(ArquivosTemporarios(), arquivos);
        QCOMPARE(relatoriosExibidos_, 0);
        QCOMPARE(encerramentos_, 0);
    }

    // The handler resets the pointer even when it goes on to handle the error.
    void ponteiroRestaurado()
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        TratarErro(QStringLiteral("a"), QStringLiteral("b"), 7, QStringLiteral("x"), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // The desktop is taken before any box covers it.
    void capturaAntesDasCaixas()
    {
        QWidget desktop(nullptr, Qt::FramelessWindowHint);
        desktop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        desktop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&desktop));
        QString capturaNaCaixa;
        respostas_->AoExibir(QStringLiteral("Atenção"), [&] {
            capturaNaCaixa = ArquivoCapturaTela;
            return 1;
        });

        TratarErro(QStringLiteral("a"), QStringLiteral("b"), 7, QStringLiteral("x"), 0);

        QVERIFY(ArquivoCapturaTela.endsWith(QStringLiteral(".jpg")));
        QVERIFY(QFileInfo::exists(ArquivoCapturaTela));
        QCOMPARE(capturaNaCaixa, ArquivoCapturaTela);
    }

    // A step that throws does not stop the ones after it.
    void falhasNoTratamento()
    {
        respostas_->AoExibir(QStringLiteral("ActiveX"), []() -> int { throw std::runtime_error("box failed"); });
        aoExibirRelatorio_ = [] { throw std::runtime_error("report window failed"); };

        TratarErro(QStringLiteral("a"), QStringLiteral("b"), 429, QStringLiteral("Automation error x"), 0);

        QCOMPARE(Letras(), (QStringList{"A", "F"}));
        QVERIFY(TextoRelatorioErros.contains(QStringLiteral("Número do erro: 429")));
        QCOMPARE(relatoriosExibidos_, 1);
        QCOMPARE(encerramentos_, 1);
    }

    // Only this process ends: another copy of the program keeps running.
    void encerraSoEsteProcesso()
    {
        // Both copies carry the program's own image name, as two running
        // windows of the program would.
        QTemporaryDir pasta;
        const QString programa = pasta.filePath(ObterNomeExecutavel());
        QVERIFY(QFile::copy(QStringLiteral(FILHO_TRATAR_ERRO), programa));
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        QProcess outraCopia;
        outraCopia.setProcessEnvironment(ambiente);
        outraCopia.start(programa, {QStringLiteral("esperar"), pasta.filePath("a")});
        QVERIFY(outraCopia.waitForStarted());
        QByteArray pronto;
        while (!pronto.contains("pronto") && outraCopia.waitForReadyRead(20000))
            pronto += outraCopia.readAllStandardOutput();
        QVERIFY(pronto.contains("pronto"));

        QProcess comErro;
        comErro.setProcessEnvironment(ambiente);
        comErro.start(programa, {QStringLiteral("erro"), pasta.filePath("b")});
        QVERIFY(comErro.waitForStarted());
        const bool terminou = comErro.waitForFinished(30000);
        if (!terminou)
            comErro.kill();
        QVERIFY2(terminou, "the handler did not end the process");

        const QByteArray saida = comErro.readAllStandardOutput();
        QCOMPARE(comErro.exitStatus(), QProcess::NormalExit);
        QVERIFY(comErro.exitCode() != 0);
        QVERIFY2(saida.contains("Atenção: Memória insuficiente para executar este aplicativo."), saida.constData());
        QVERIFY2(!saida.contains("continuou") && !saida.contains("evento") && !saida.contains("fim"),
                 saida.constData());

        // Time for an ending, had it been sent, to be seen.
        QVERIFY2(!outraCopia.waitForFinished(1500), "the other copy of the program was ended too");
        QCOMPARE(outraCopia.state(), QProcess::Running);
        outraCopia.kill();
        outraCopia.waitForFinished(10000);
    }

    void excecoesDeEventos_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("caixas");
        QTest::addColumn<QString>("linhas");

        QTest::newRow("runtime error") << 0 << QStringLiteral("A")
                                       << QStringLiteral("Linha: 12|Número do erro: 429|"
                                                         "Descrição do erro: ActiveX component can't create object");
        QTest::newRow("out of memory") << 1 << QStringLiteral("C") << QString();
        QTest::newRow("std::exception") << 2 << QString()
                                        << QStringLiteral("Linha: 0|Número do erro: 51|"
                                                          "Descrição do erro: Internal error: falhou");
        QTest::newRow("anything else") << 3 << QString()
                                       << QStringLiteral("Número do erro: 51|Descrição do erro: Internal error");
    }

    void excecoesDeEventos()
    {
        QFETCH(int, tipo);
        QFETCH(QString, caixas);
        QFETCH(QString, linhas);

        orvessa::Formulario janela(QStringLiteral("FTeste"));
        auto* controle = new Lancador(&janela);
        controle->setObjectName(QStringLiteral("lblAviso"));
        controle->lancar = [tipo] {
            switch (tipo) {
            case 0: throw plataforma::ErroExecucao(429, QStringLiteral("ActiveX component can't create object"), 12);
            case 1: throw std::bad_alloc();
            case 2: throw std::runtime_error("falhou");
            default: throw 42;
            }
        };
        QEvent evento(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(controle, &evento), false);

        QCOMPARE(Letras(), caixas.isEmpty() ? QStringList() : caixas.split(QLatin1Char('|')));
        QCOMPARE(encerramentos_, 1);
        if (linhas.isEmpty()) {
            QCOMPARE(TextoRelatorioErros, kMarcador);
            return;
        }
        QVERIFY(TextoRelatorioErros.contains(QStringLiteral("\r\nFormulário: FTeste\r\n")));
        QVERIFY(TextoRelatorioErros.contains(QStringLiteral("\r\nFunção: lblAviso_User\r\n")));
        for (const QString& linha : linhas.split(QLatin1Char('|')))
            QVERIFY2(TextoRelatorioErros.contains(QStringLiteral("\r\n") + linha + QStringLiteral("\r\n")),
                     qPrintable(linha));
    }

    // Outside any window the receiver's class names the module.
    void excecaoForaDeJanela()
    {
        Objeto objeto;
        objeto.lancar = [] { throw plataforma::ErroExecucao(5, QStringLiteral("Invalid procedure call"), 0); };
        QEvent evento(QEvent::User);
        QCoreApplication::sendEvent(&objeto, &evento);
        QVERIFY(TextoRelatorioErros.contains(QStringLiteral("\r\nFormulário: QObject\r\n")));
        QVERIFY(TextoRelatorioErros.contains(QStringLiteral("\r\nFunção: User\r\n")));
    }

    // Events that throw nothing are delivered as before.
    void eventoSemExcecao()
    {
        Lancador controle;
        QEvent evento(QEvent::User);
        QCoreApplication::sendEvent(&controle, &evento);
        QCOMPARE(encerramentos_, 0);
        QVERIFY(TextoRelatorioErros.isEmpty());
    }
};

int main(int argc, char* argv[])
{
    // The program's own application object, so escaped exceptions reach the
    // handler as they would in the program.
    qeltrano::Aplicacao aplicacao(argc, argv);
    TstErros teste;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&teste, argc, argv);
}

#include "tst_erros.moc"
