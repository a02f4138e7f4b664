// The translation run against a real endpoint on 127.0.0.1: the whole road,
// the options, the confirmations and the stop request.
#include "Apoio.h"
#include "Respostas.h"
#include "ServidorTraducao.h"

#include "app/Configuracao.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/fPrincipal.h"
#include "app/workbench/modErros.h"
#include "suite/Controles.h"
#include "suite/USFlexGrid.h"
#include "suite/Utilitarios.h"

#include <QTimer>
#include <QtTest>

using namespace qeltrano;

namespace {
const QString kIniciar = QStringLiteral("Deseja iniciar a tradução?");
const QString kInterromper = QStringLiteral("Deseja realmente interromper a tradução?");
const QString kCancelada = QStringLiteral("Você optou por cancelar o processo de tradução");
const QString kConcluida = QStringLiteral("<b>Parabéns</b>, a tradução foi concluída.");
}  // namespace

class TesteExecucao : public QObject {
    Q_OBJECT

    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::Respostas> respostas_;
    std::unique_ptr<apoio::ServidorTraducao> servidor_;
    bool conectado_ = true;

    fPrincipal* Janela() { return FormPrincipal(); }

    void PreencherLinhas(int total)
    {
        QList<LinhaLegenda> linhas;
        for (int i = 0; i < total; ++i)
            linhas.append({QString::number(i), QString::number(i + 1), QStringLiteral("Linha %1").arg(i)});
        Janela()->PreencherGrade(linhas);
    }

    int RequisicoesGet() const
    {
        int total = 0;
        for (const auto& r : servidor_->Requisicoes())
            total += r.metodo == QLatin1String("GET");
        return total;
    }

private slots:
    void initTestCase()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        DefinirEncerramento([] { QFAIL("the run must not end the program"); });
        CacheTraducao::DefinirCaminho(ambiente_->Caminho(QStringLiteral("db.sqlite")));
        orvessa::Utilitarios::Instancia().DefinirVerificadorConexao([this] { return conectado_; });
    }

    void init()
    {
        servidor_ = std::make_unique<apoio::ServidorTraducao>();
        QVERIFY(servidor_->Ouvindo());
        Config().HostTraducao = servidor_->Endereco();
        respostas_ = std::make_unique<apoio::Respostas>();
        conectado_ = true;
        LiberarFormPrincipal();
        Janela()->Carregar();
        Janela()->show();
    }

    void cleanup()
    {
        LiberarFormPrincipal();
        respostas_.reset();
        servidor_.reset();
    }

    void traduzTodasAsLinhas()
    {
        PreencherLinhas(4);
        Janela()->btnAcao(7)->click();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(Janela()->FlexGrid(1)->Celula(i, 2), QStringLiteral("[pt] Linha %1").arg(i));
        QCOMPARE(Janela()->FlexGrid(0)->Celula(3, 2), QStringLiteral("Linha 3"));
        QCOMPARE(RequisicoesGet(), 4);
        QCOMPARE(servidor_->Requisicoes().first().Valor(QStringLiteral("sl")), QStringLiteral("auto"));
        QCOMPARE(servidor_->Requisicoes().first().Valor(QStringLiteral("tl")), QStringLiteral("pt"));
        const auto fim = respostas_->CaixasCom(kConcluida);
        QCOMPARE(fim.size(), 1);
        QCOMPARE(fim.first().estilo, 64);
        QCOMPARE(Janela()->lblDescription->Caption(), fim.first().texto);
        QCOMPARE(Janela()->btnAcao(7)->Caption(), QStringLiteral("&Iniciar Tradução"));
        QCOMPARE(Janela()->btnAcao(7)->ToolTipDescription(), QStringLiteral("Iniciar a tradução automática"));
        QVERIFY(!Janela()->EmTraducao);
        QCOMPARE(Janela()->USProgressBar1->Value(), 3);
        QCOMPARE(Janela()->FlexGrid(0)->LinhaAtual(), 3);
    }

    void segundaExecucaoSoTraduzIguais()
    {
        PreencherLinhas(4);
        Janela()->FlexGrid(1)->DefinirCelula(1, 2, QStringLiteral("Editada à mão"));
        Janela()->chkOpcao(0)->DefinirValue(1);
        Janela()->btnAcao(7)->click();
        QCOMPARE(Janela()->FlexGrid(1)->Celula(1, 2), QStringLiteral("Editada à mão"));
        QCOMPARE(Janela()->FlexGrid(1)->Celula(2, 2), QStringLiteral("[pt] Linha 2"));
        QCOMPARE(RequisicoesGet(), 3);
        // Everything differs now: a second run asks nothing.
        Janela()->btnAcao(7)->click();
        QCOMPARE(RequisicoesGet(), 3);
        Janela()->chkOpcao(0)->DefinirValue(0);
    }

    void semConexao_data()
    {
        QTest::addColumn<int>("resposta");
        QTest::addColumn<bool>("traduz");
        QTest::newRow("nao cancela") << 7 << false;
        QTest::newRow("sim continua") << 6 << true;
        QTest::newRow("fechada continua") << 1 << true;
    }
    void semConexao()
    {
        QFETCH(int, resposta);
        QFETCH(bool, traduz);
        conectado_ = false;
        PreencherLinhas(2);
        respostas_->Responder(QStringLiteral("Não foi possível identificar uma conexão ativa"), resposta);
        Janela()->btnAcao(7)->click();
        const auto aviso = respostas_->CaixasCom(QStringLiteral("Deseja continuar?"));
        QCOMPARE(aviso.size(), 1);
        QCOMPARE(aviso.first().estilo, 292);
        QCOMPARE(RequisicoesGet(), traduz ? 2 : 0);
        QCOMPARE(respostas_->CaixasCom(kIniciar).size(), traduz ? 1 : 0);
    }

    void naoConfirmarNaoTraduz()
    {
        PreencherLinhas(2);
        respostas_->Responder(kIniciar, 7);
        Janela()->btnAcao(7)->click();
        QCOMPARE(RequisicoesGet(), 0);
        QCOMPARE(Janela()->btnAcao(7)->Caption(), QStringLiteral("&Iniciar Tradução"));
    }

    void gradeVaziaAvisa()
    {
        Janela()->btnAcao(7)->click();
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Nenhuma legenda selecionada")).size(), 1);
        QCOMPARE(RequisicoesGet(), 0);
    }

    void pararNaUltimaLinhaDaMensagemDeCancelamento()
    {
        PreencherLinhas(3);
        servidor_->DefinirAtraso(300);
        QString legendaAposParar;
        bool emTraducaoAoParar = false;
        // Once the last row's request is on its way, press the button again.
        QTimer relogio;
        connect(&relogio, &QTimer::timeout, this, [&] {
            if (Janela()->EmTraducao && Janela()->FlexGrid(0)->LinhaAtual() == 2 &&
                servidor_->Requisicoes().size() == 3) {
                relogio.stop();
                Janela()->btnAcao(7)->click();
                legendaAposParar = Janela()->btnAcao(7)->Caption();
                emTraducaoAoParar = Janela()->EmTraducao;
            }
        });
        relogio.start(5);
        Janela()->btnAcao(7)->click();
        QCOMPARE(respostas_->CaixasCom(kInterromper).size(), 1);
        QCOMPARE(respostas_->CaixasCom(kInterromper).first().estilo, 292);
        // The caption changed back before the row finished.
        QCOMPARE(legendaAposParar, QStringLiteral("&Iniciar Tradução"));
        QVERIFY(emTraducaoAoParar);
        const auto fim = respostas_->CaixasCom(kCancelada);
        QCOMPARE(fim.size(), 1);
        QCOMPARE(fim.first().estilo, 48);
        QVERIFY(respostas_->CaixasCom(kConcluida).isEmpty());
        QVERIFY(!Janela()->EmTraducao);
        QVERIFY(!Janela()->TraducaoCancelada);
        QCOMPARE(Janela()->FlexGrid(1)->Celula(2, 2), QStringLiteral("[pt] Linha 2"));
    }

    void recusarParadaContinua()
    {
        PreencherLinhas(3);
        servidor_->DefinirAtraso(50);
        respostas_->Responder(kInterromper, 7);
        bool parou = false;
        QTimer::singleShot(60, this, [&] {
            Janela()->btnAcao(7)->click();
            parou = Janela()->TraducaoCancelada;
        });
        Janela()->btnAcao(7)->click();
        QVERIFY(!parou);
        QCOMPARE(respostas_->CaixasCom(kConcluida).size(), 1);
        QCOMPARE(Janela()->FlexGrid(1)->Celula(2, 2), QStringLiteral("[pt] Linha 2"));
    }

    void duranteAExecucaoOutrosComandosEFecharSaoRecusados()
    {
        PreencherLinhas(3);
        servidor_->DefinirAtraso(100);
        bool fechou = true;
        QTimer::singleShot(50, this, [&] {
            Janela()->btnAcao(0)->click();
            Janela()->btnAcao(6)->click();
            fechou = Janela()->close();
        });
        Janela()->btnAcao(7)->click();
        QVERIFY(!fechou);
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("O aplicativo está ocupado")).size(), 2);
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Aguarde o termino do processo")).size(), 1);
        QVERIFY(respostas_->Dialogos().isEmpty());
        QCOMPARE(respostas_->CaixasCom(kConcluida).size(), 1);
    }

    void falhaDaRedeDaOTextoOriginal()
    {
        PreencherLinhas(2);
        Janela()->FlexGrid(0)->DefinirCelula(1, 2, QStringLiteral("  com brancos  "));
        servidor_->DefinirModo(apoio::ServidorTraducao::Modo::FalharTudo);
        Janela()->btnAcao(7)->click();
        QCOMPARE(Janela()->FlexGrid(1)->Celula(0, 2), QStringLiteral("Linha 0"));
        QCOMPARE(Janela()->FlexGrid(1)->Celula(1, 2), QStringLiteral("com brancos"));
        QCOMPARE(respostas_->CaixasCom(kConcluida).size(), 1);
    }

    void cacheComOpcaoOfflineDispensaARede()
    {
        PreencherLinhas(2);
        Janela()->btnAcao(7)->click();
        QCOMPARE(RequisicoesGet(), 2);
        Janela()->chkOpcao(1)->DefinirValue(1);
        PreencherLinhas(2);
        // Opening with the option on fills the translations from the cache.
        QCOMPARE(Janela()->FlexGrid(1)->Celula(1, 2), QStringLiteral("[pt] Linha 1"));
        Janela()->btnAcao(7)->click();
        QCOMPARE(RequisicoesGet(), 2);
        Janela()->chkOpcao(1)->DefinirValue(0);
    }
};

QTEST_MAIN(TesteExecucao)
#include "tst_execucao.moc"
