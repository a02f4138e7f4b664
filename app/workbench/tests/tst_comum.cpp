// Behaviour every window shares: the cascade of CarregarPosicao, Enter/Esc
// navigation, the window icon, unloading every window, and the program
// ending when its main window closes.
#include "Apoio.h"
#include "Respostas.h"

#include "app/workbench/FSplash.h"
#include "app/workbench/fPrincipal.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modGlobal.h"
#include "suite/Controles.h"
#include "suite/Formulario.h"
#include "suite/Tema.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace qeltrano;

namespace {

class Janela : public orvessa::Formulario {
public:
    explicit Janela(const QString& nome = QStringLiteral("fTeste")) : orvessa::Formulario(nome)
    {
        auto* layout = new QVBoxLayout(this);
        simples = new orvessa::USTextBox(this);
        segunda = new orvessa::USTextBox(this);
        guardada = new orvessa::USTextBox(this);
        guardada->setProperty("Tag", QStringLiteral("Keep"));
        multi = new orvessa::USTextBoxEx(this);
        botao = new orvessa::USButton(QStringLiteral("OK"), this);
        for (QWidget* w : {static_cast<QWidget*>(simples), static_cast<QWidget*>(segunda),
                           static_cast<QWidget*>(guardada), static_cast<QWidget*>(multi),
                           static_cast<QWidget*>(botao)})
            layout->addWidget(w);
        resize(300, 240);
    }
    int ultimoCodigo = -1;
    orvessa::USTextBox* simples;
    orvessa::USTextBox* segunda;
    orvessa::USTextBox* guardada;
    orvessa::USTextBoxEx* multi;
    orvessa::USButton* botao;

protected:
    void Form_Load() override { CarregarPosicao(this); }
    void Form_KeyDown(int& codigo, Qt::KeyboardModifiers) override
    {
        TratarTecla(this, codigo);
        ultimoCodigo = codigo;
    }
};

}  // namespace

class TesteComum : public QObject {
    Q_OBJECT
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;

private slots:
    void initTestCase() { ambiente_ = std::make_unique<apoio::AmbienteTeste>(); }

    void cascataDeCemTwips()
    {
        Janela primeira, segunda, terceira, outra(QStringLiteral("fOutra"));
        primeira.Carregar();
        segunda.Carregar();
        terceira.Carregar();
        outra.Carregar();
        const double passoX = orvessa::TwipsParaPixelsX(100);
        const double passoY = orvessa::TwipsParaPixelsY(100);
        QVERIFY(std::abs(segunda.x() - primeira.x() - passoX) <= 1);
        QVERIFY(std::abs(segunda.y() - primeira.y() - passoY) <= 1);
        QVERIFY(std::abs(terceira.x() - primeira.x() - 2 * passoX) <= 1);
        // Another Name starts its own cascade: it sits where the first does.
        QCOMPARE(outra.pos(), primeira.pos());
        // Centred in the work area.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(std::abs(primeira.x() + primeira.width() / 2 - area.center().x()) <= 2);
    }

    void janelaMaximizadaNaoSeMove()
    {
        Janela janela;
        janela.move(7, 9);
        janela.setWindowState(Qt::WindowMaximized);
        const QPoint antes = janela.pos();
        // The pointer is reset all the same.
        DefinirPonteiroTela(Ponteiro::SetaEAmpulheta);
        CarregarPosicao(&janela);
        QCOMPARE(janela.pos(), antes);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void enterEEsc()
    {
        Janela janela;
        janela.Exibir();
        QApplication::setActiveWindow(&janela);
        QVERIFY(QTest::qWaitForWindowActive(&janela));

        // Enter in a single-line box moves on as Tab does.
        janela.simples->setFocus();
        QTest::keyClick(janela.simples, Qt::Key_Return);
        QCOMPARE(janela.ultimoCodigo, 0);
        QTRY_VERIFY(janela.segunda->hasFocus());

        // Left alone in a multi-line box and in one tagged "Keep".
        for (QWidget* caixa : {static_cast<QWidget*>(janela.multi), static_cast<QWidget*>(janela.guardada)}) {
            caixa->setFocus();
            QTest::keyClick(caixa, Qt::Key_Return);
            QCOMPARE(janela.ultimoCodigo, 13);
            QApplication::processEvents();
            QVERIFY(caixa->hasFocus());
        }
        QCOMPARE(janela.multi->toPlainText(), QStringLiteral("\n"));

        // Esc goes back one control.
        janela.segunda->setFocus();
        QTest::keyClick(janela.segunda, Qt::Key_Escape);
        QCOMPARE(janela.ultimoCodigo, 0);
        QTRY_VERIFY(janela.simples->hasFocus());

        // At the first control the Esc is swallowed and the focus stays.
        QCOMPARE(orvessa::Formulario::TabIndex(janela.simples), 0);
        QTest::keyClick(janela.simples, Qt::Key_Escape);
        QCOMPARE(janela.ultimoCodigo, 0);
        QApplication::processEvents();
        QVERIFY(janela.simples->hasFocus());

        // A button is no input control: the key goes on to it.
        janela.botao->setFocus();
        QTest::keyClick(janela.botao, Qt::Key_Return);
        QCOMPARE(janela.ultimoCodigo, 13);
    }

    void iconeDaJanela()
    {
        Janela janela;
        QVERIFY(janela.windowIcon().isNull() || janela.windowIcon().availableSizes().isEmpty());
        DefinirIcone(&janela, QStringLiteral("EXEICON"), true);
        QVERIFY(!janela.windowIcon().availableSizes().isEmpty());
        const QIcon antes = janela.windowIcon();
        DefinirIcone(&janela, QStringLiteral("NAO-EXISTE"), true);
        QCOMPARE(janela.windowIcon().cacheKey(), antes.cacheKey());
    }

    void descarregarTodasAsJanelas()
    {
        Janela a, b(QStringLiteral("fOutra"));
        a.Exibir();
        b.Exibir();
        QVERIFY(a.Carregado() && b.Carregado());
        DescarregarFormularios(false);
        QVERIFY(!a.Carregado() && !b.Carregado());
        QVERIFY(orvessa::Formulario::FormulariosCarregados().isEmpty());
        // The splash has no load code of its own: it never reads as loaded.
        DescarregarFormularios(true);
        QVERIFY(FormSplash()->isVisible());
        QVERIFY(!FormSplash()->Carregado());
        FormSplash()->hide();
    }

    void nomeDoExecutavel()
    {
        QCOMPARE(ObterNomeExecutavel(), QStringLiteral("qeltrano"));
        QCOMPARE(ObterImagemExecutavel(), QStringLiteral("qeltrano"));
    }

    // Last: it runs the application's own event loop.
    void fecharAJanelaPrincipalEncerraOPrograma()
    {
        apoio::Respostas respostas;
        Main();
        QVERIFY(FormPrincipal()->isVisible());
        QTimer::singleShot(100, [] { FormPrincipal()->close(); });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
        DefinirEmExecucao(true);
        const int codigo = QApplication::exec();
        DefinirEmExecucao(false);
        QCOMPARE(codigo, 0);
        QVERIFY(!FormPrincipal()->Carregado());
    }
};

QTEST_MAIN(TesteComum)
#include "tst_comum.moc"
