// The forms runtime: loading, unloading, the loaded collection, key preview.
#include "suite/Formulario.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace orvessa;

namespace {

class Janela : public Formulario {
public:
    explicit Janela(const QString& nome = QStringLiteral("FTeste"), QWidget* dono = nullptr) : Formulario(nome, dono)
    {
        auto* layout = new QVBoxLayout(this);
        campo = new QLineEdit(this);
        layout->addWidget(new QLabel(QStringLiteral("Nome:"), this));
        layout->addWidget(campo);
        connect(campo, &QLineEdit::returnPressed, this, [this] { eventos << QStringLiteral("campo"); });
    }

    QLineEdit* campo;
    QStringList eventos;
    QList<int> teclas;
    bool recusar = false;
    bool zerar = false;
    int modoVisto = -1;
    int cargas = 0;
    int descargas = 0;
    bool naListaAoCarregar = false;
    std::function<void()> aoConsultar;

protected:
    void Form_Load() override
    {
        ++cargas;
        naListaAoCarregar = FormulariosCarregados().contains(this);
        // Controls made at load time take part in the preview too.
        auto* tardio = new QLineEdit(this);
        tardio->setObjectName(QStringLiteral("tardio"));
        layout()->addWidget(tardio);
    }
    void Form_QueryUnload(bool& cancelar, int modo) override
    {
        modoVisto = modo;
        if (aoConsultar)
            aoConsultar();
        cancelar = recusar;
    }
    void Form_Unload() override { ++descargas; }
    void Form_KeyDown(int& codigo, Qt::KeyboardModifiers) override
    {
        teclas << codigo;
        eventos << QStringLiteral("KeyDown %1").arg(codigo);
        if (zerar)
            codigo = 0;
    }
};

}  // namespace

class TesteFormulario : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void carregaUmaVezEEntraNaColecao()
    {
        Janela a(QStringLiteral("FContato"));
        Janela b(QStringLiteral("fSobre"));
        QVERIFY(!a.Carregado());
        QCOMPARE(a.Name(), QStringLiteral("FContato"));
        QVERIFY(!Formulario::FormulariosCarregados().contains(&a));

        a.Exibir();
        a.Exibir();
        b.Carregar();
        QCOMPARE(a.cargas, 1);
        QVERIFY(a.naListaAoCarregar);
        QVERIFY(a.Carregado() && a.isVisible());
        QVERIFY(b.Carregado() && !b.isVisible());
        QCOMPARE(Formulario::FormulariosCarregados(), (QList<Formulario*>{&a, &b}));
        QVERIFY(a.property("Carregado").toBool());

        QVERIFY(a.Descarregar());
        QVERIFY(!a.Carregado());
        QVERIFY(!a.isVisible());
        QCOMPARE(a.descargas, 1);
        QCOMPARE(a.modoVisto, 1);
        QCOMPARE(Formulario::FormulariosCarregados(), QList<Formulario*>{&b});

        // Loaded again later: the load code runs again.
        a.Carregar();
        QCOMPARE(a.cargas, 2);
        {
            Janela c;
            c.Carregar();
            QCOMPARE(Formulario::FormulariosCarregados().size(), 3);
        }
        QCOMPARE(Formulario::FormulariosCarregados().size(), 2);
        a.Descarregar(true);
        b.Descarregar(true);
        QVERIFY(Formulario::FormulariosCarregados().isEmpty());
    }

    void fecharRecusadoMantemAJanela()
    {
        Janela j;
        j.Exibir();
        QVERIFY(QTest::qWaitForWindowExposed(&j));
        j.recusar = true;

        QVERIFY(!j.close());
        QCOMPARE(j.modoVisto, 0);  // by the user
        QVERIFY(j.isVisible());
        QVERIFY(j.Carregado());
        QVERIFY(!j.Descarregar());
        QCOMPARE(j.descargas, 0);
        QVERIFY(Formulario::FormulariosCarregados().contains(&j));

        // A forced unload does not ask.
        j.modoVisto = -1;
        QVERIFY(j.Descarregar(true));
        QCOMPARE(j.modoVisto, -1);
        QCOMPARE(j.descargas, 1);
        QVERIFY(!j.isVisible());
        QVERIFY(!Formulario::FormulariosCarregados().contains(&j));

        j.recusar = false;
        j.Exibir();
        QVERIFY(j.close());
        QVERIFY(!j.Carregado());
        QCOMPARE(j.descargas, 2);
    }

    void descarregarDentroDaConsultaNaoRepete()
    {
        Janela j;
        j.Carregar();
        int aninhadas = 0;
        j.aoConsultar = [&] {
            ++aninhadas;
            QVERIFY(!j.Descarregar());  // still being decided
        };
        QVERIFY(j.Descarregar());
        QCOMPARE(aninhadas, 1);
        QCOMPARE(j.descargas, 1);

        // A forced unload during a refusal wins.
        j.Carregar();
        j.recusar = true;
        j.aoConsultar = [&] { QVERIFY(j.Descarregar(true)); };
        QVERIFY(j.Descarregar());
        QVERIFY(!j.Carregado());
        QCOMPARE(j.descargas, 2);
    }

    void exibirModalVoltaQuandoDescarrega()
    {
        Janela dono(QStringLiteral("fPrincipal"));
        dono.Exibir();
        Janela j(QStringLiteral("FDialogo"), &dono);
        bool modalDurante = false;
        QTimer::singleShot(50, &j, [&] {
            modalDurante = j.isVisible() && j.isModal();
            j.close();
        });
        j.ExibirModal();
        QVERIFY(modalDurante);
        QVERIFY(!j.Carregado());
        QVERIFY(!j.isVisible());
        QCOMPARE(j.descargas, 1);
        dono.Descarregar(true);
    }

    void teclaChegaAJanelaAntesDoControle()
    {
        Janela j;
        j.Exibir();
        j.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&j));
        j.campo->setFocus();
        QTRY_VERIFY(j.campo->hasFocus());

        QTest::keyClick(j.campo, Qt::Key_Return);
        QCOMPARE(j.eventos, (QStringList{QStringLiteral("KeyDown 13"), QStringLiteral("campo")}));

        QTest::keyClick(j.campo, Qt::Key_Escape);
        QTest::keyClick(j.campo, Qt::Key_A);
        QTest::keyClicks(j.findChild<QLineEdit*>(QStringLiteral("tardio")), QStringLiteral("b"));
        QCOMPARE(j.teclas, (QList<int>{13, 27, 65, 66}));
        QCOMPARE(j.campo->text(), QStringLiteral("a"));

        // Zeroed by the handler: the control never sees it.
        j.zerar = true;
        j.eventos.clear();
        QTest::keyClick(j.campo, Qt::Key_Return);
        QTest::keyClick(j.campo, Qt::Key_X);
        QCOMPARE(j.eventos, (QStringList{QStringLiteral("KeyDown 13"), QStringLiteral("KeyDown 88")}));
        QCOMPARE(j.campo->text(), QStringLiteral("a"));
        j.Descarregar(true);
    }

    void teclaDeUmaJanelaFilhaNaoPassaPeloDono()
    {
        Janela dono(QStringLiteral("fPrincipal"));
        dono.Exibir();
        Janela filha(QStringLiteral("fSobre"), &dono);
        filha.Exibir();
        QTest::keyClick(filha.campo, Qt::Key_Return);
        QCOMPARE(filha.teclas, QList<int>{13});
        QVERIFY(dono.teclas.isEmpty());
        filha.Descarregar(true);
        dono.Descarregar(true);
    }

    void codigosDasTeclas_data()
    {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificadores");
        QTest::addColumn<int>("codigo");
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 13;
        QTest::newRow("Enter do teclado numérico") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << 27;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << 9;
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 9;
        QTest::newRow("letra") << int(Qt::Key_Q) << 0 << 81;
        QTest::newRow("dígito") << int(Qt::Key_7) << 0 << 55;
        QTest::newRow("dígito do teclado numérico") << int(Qt::Key_7) << int(Qt::KeypadModifier) << 103;
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 112;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << 46;
        QTest::newRow("seta para baixo") << int(Qt::Key_Down) << 0 << 40;
        QTest::newRow("sem código") << int(Qt::Key_VolumeUp) << 0 << 0;
    }

    void codigosDasTeclas()
    {
        QFETCH(int, tecla);
        QFETCH(int, modificadores);
        QFETCH(int, codigo);
        const QKeyEvent evento(QEvent::KeyPress, tecla, Qt::KeyboardModifiers(modificadores));
        QCOMPARE(Formulario::CodigoTecla(&evento), codigo);
    }

    void ordemDeTabulacao()
    {
        Janela j;
        auto* multi = new QPlainTextEdit(&j);
        auto* opcao = new QCheckBox(&j);
        auto* botao = new QPushButton(QStringLiteral("OK"), &j);
        j.layout()->addWidget(multi);
        j.layout()->addWidget(opcao);
        j.layout()->addWidget(botao);
        auto* rotulo = j.findChild<QLabel*>();
        QCOMPARE(Formulario::TabIndex(j.campo), 0);
        QCOMPARE(Formulario::TabIndex(multi), 1);
        QCOMPARE(Formulario::TabIndex(opcao), 2);
        QCOMPARE(Formulario::TabIndex(botao), 3);
        QCOMPARE(Formulario::TabIndex(rotulo), 1);  // not focusable: after the field, before the rest

        QWidget::setTabOrder(botao, multi);
        QCOMPARE(Formulario::TabIndex(j.campo), 0);
        QCOMPARE(Formulario::TabIndex(opcao), 1);
        QCOMPARE(Formulario::TabIndex(botao), 2);
        QCOMPARE(Formulario::TabIndex(multi), 3);
        QCOMPARE(Formulario::TabIndex(nullptr), -1);
    }
};

QTEST_MAIN(TesteFormulario)
#include "tst_formulario.moc"
