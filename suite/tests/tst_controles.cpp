// The skinned controls, the balloon tip and the twips conversion.
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"
#include "suite/EnderecoEmail.h"
#include "suite/Tema.h"
#include "suite/TextoMarcado.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace orvessa;

class TesteControles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        CarregarTraducoes(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void cleanup()
    {
        BalaoAviso::Instancia().OcultarBalao();
    }

    void dicaDoBotaoDefinidaPorNome()
    {
        USButton botao;
        // Hosts bind the two members late, by name.
        QVERIFY(botao.setProperty("ToolTipTitle", QStringLiteral("Abrir")));
        QVERIFY(botao.setProperty("ToolTipDescription", QStringLiteral("Abrir uma <legenda> & mais")));
        QCOMPARE(botao.ToolTipTitle(), QStringLiteral("Abrir"));
        QVERIFY(botao.toolTip().contains(QStringLiteral("<b>Abrir</b>")));
        QVERIFY(botao.toolTip().contains(QStringLiteral("Abrir uma &lt;legenda&gt; &amp; mais")));
        botao.DefinirToolTipDescription(QStringLiteral("Iniciar a tradução automática"));
        QVERIFY(botao.toolTip().contains(QStringLiteral("Iniciar a tradução automática")));
        QVERIFY(!botao.toolTip().contains(QStringLiteral("legenda")));
        botao.DefinirToolTipTitle(QString());
        botao.DefinirToolTipDescription(QString());
        QVERIFY(botao.toolTip().isEmpty());
    }

    void caixaDeMarcarSoAvisaOUsuario()
    {
        QWidget janela;
        auto* caixa = new USCheckBox(&janela);
        caixa->DefinirLegenda(QStringLiteral("Usar tradução off-line quando disponível"));
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        QSignalSpy cliques(caixa, &USCheckBox::Click);

        caixa->DefinirValue(1);
        QCOMPARE(caixa->Value(), 1);
        caixa->DefinirValue(0);
        QCOMPARE(cliques.count(), 0);

        QTest::mouseClick(caixa, Qt::LeftButton);
        QCOMPARE(caixa->Value(), 1);
        QCOMPARE(cliques.count(), 1);
        caixa->setFocus();
        QTest::keyClick(caixa, Qt::Key_Space);
        QCOMPARE(caixa->Value(), 0);
        QCOMPARE(cliques.count(), 2);
    }

    void listaComChavesECores()
    {
        USComboBox lista;
        lista.AdicionarItem(QStringLiteral("Inglês"), QStringLiteral("en"));
        lista.AdicionarItem(QStringLiteral("Português"), QStringLiteral("pt"), QColor(Qt::red));
        QCOMPARE(lista.ChaveItem(0), QStringLiteral("en"));
        QCOMPARE(lista.ChaveItem(1), QStringLiteral("pt"));
        QCOMPARE(lista.ChaveItem(2), QString());
        QCOMPARE(lista.ChaveItem(-1), QString());
        QCOMPARE(lista.LocalizarItem(QStringLiteral("Português")), 1);
        QCOMPARE(lista.LocalizarItem(QStringLiteral("Alemão")), -1);
        QVERIFY(!lista.itemData(0, Qt::ForegroundRole).isValid());
        QCOMPARE(lista.itemData(1, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        lista.DefinirIndiceSelecionado(1);
        QCOMPARE(lista.Texto(), QStringLiteral("Português"));
        lista.LimparItens();
        QCOMPARE(lista.IndiceSelecionado(), -1);
    }

    void emailValido_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::newRow("simples") << "joao@exemplo.com.br" << true;
        QTest::newRow("com mais e ponto") << "maria.silva+suporte@mail.exemplo.org" << true;
        QTest::newRow("espaços em volta") << "  joao@exemplo.com  " << true;
        QTest::newRow("sem arroba") << "joao.exemplo.com" << false;
        QTest::newRow("duas arrobas") << "jo@ao@exemplo.com" << false;
        QTest::newRow("sem domínio") << "joao@" << false;
        QTest::newRow("sem nome") << "@exemplo.com" << false;
        QTest::newRow("domínio sem ponto") << "joao@localhost" << false;
        QTest::newRow("ponto duplo") << "jo..ao@exemplo.com" << false;
        QTest::newRow("ponto no fim do nome") << "joao.@exemplo.com" << false;
        QTest::newRow("hífen na borda do domínio") << "joao@-exemplo.com" << false;
        QTest::newRow("espaço no meio") << "jo ao@exemplo.com" << false;
        QTest::newRow("final numérico") << "joao@exemplo.123" << false;
        QTest::newRow("vazio") << "" << false;
        // What a local part may hold, and what could end a header or an
        // envelope address.
        QTest::newRow("apóstrofo") << "o'neil@exemplo.com.br" << true;
        QTest::newRow("todos os símbolos permitidos") << "a!#$%&'*+/=?^_`{|}~-z@exemplo.com" << true;
        QTest::newRow("quebra de linha no fim") << "joao@exemplo.com\n" << false;
        QTest::newRow("quebra de linha no meio") << "joao@exemplo.com\r\nBcc: x@y.com" << false;
        QTest::newRow("sinal de menor") << "jo<ao@exemplo.com" << false;
        QTest::newRow("sinal de maior") << "joao>@exemplo.com" << false;
        QTest::newRow("vírgula") << "joao,maria@exemplo.com" << false;
        QTest::newRow("aspas") << "\"joao\"@exemplo.com" << false;
        QTest::newRow("tabulação") << "jo\tao@exemplo.com" << false;
        QTest::newRow("acento") << "joão@exemplo.com" << false;
    }

    // The text box asks the rule the mail sender asks too.
    void emailValido()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QCOMPARE(orvessa::EnderecoEmailValido(texto), valido);
        USTextBox caixa;
        caixa.DefinirTexto(texto);
        if (caixa.Texto() == texto)
            QCOMPARE(caixa.EmailValido(), valido);
    }

    void dataValida_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valida");
        QTest::newRow("comum") << "15/03/1980" << true;
        QTest::newRow("29 de fevereiro bissexto") << "29/02/2024" << true;
        QTest::newRow("29 de fevereiro comum") << "29/02/2023" << false;
        QTest::newRow("mês 13") << "01/13/2020" << false;
        QTest::newRow("sem zeros") << "1/3/1980" << false;
        QTest::newRow("ordem americana") << "1980-03-15" << false;
        QTest::newRow("texto") << "ontem" << false;
        QTest::newRow("vazio") << "" << false;
    }

    void dataValida()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valida);
        USTextBox caixa;
        caixa.DefinirTexto(texto);
        QCOMPARE(caixa.DataValida(), valida);
    }

    void valorNumerico_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<double>("valor");
        QTest::newRow("inteiro") << "3" << 3.0;
        QTest::newRow("vírgula decimal") << "2,5" << 2.5;
        QTest::newRow("ponto decimal") << "1.5" << 1.5;
        QTest::newRow("número e texto") << "12 unidades" << 12.0;
        QTest::newRow("negativo") << "-4" << -4.0;
        QTest::newRow("texto") << "abc" << 0.0;
        QTest::newRow("vazio") << "" << 0.0;
    }

    void valorNumerico()
    {
        QFETCH(QString, texto);
        QFETCH(double, valor);
        USTextBox caixa;
        caixa.DefinirTexto(texto);
        QCOMPARE(caixa.Valor(), valor);
        QCOMPARE(caixa.TamanhoTexto(), int(texto.size()));
    }

    void barraDeProgressoFicaNaFaixa()
    {
        USProgressBar barra;
        barra.DefinirMaximo(10);
        barra.DefinirValue(15);
        QCOMPARE(barra.Value(), 10);
        barra.DefinirValue(-3);
        QCOMPARE(barra.Value(), 0);
        barra.DefinirValue(7);
        barra.DefinirMaximo(4);
        QCOMPARE(barra.Value(), 4);
        barra.DefinirMaximo(-1);  // an empty subtitle's last row
        QCOMPARE(barra.Maximo(), 0);
        QCOMPARE(barra.Value(), 0);
    }

    void rotuloRedesenhaSoComAsDuasChavesLigadas()
    {
        USLabel rotulo;
        rotulo.DefinirCaption(QStringLiteral("<b>Versão:</b> 1.0.5"));
        QCOMPARE(rotulo.text(), TextoMarcadoParaHtml(QStringLiteral("<b>Versão:</b> 1.0.5")));
        QCOMPARE(rotulo.textFormat(), Qt::RichText);
        QVERIFY(rotulo.wordWrap());
        const QString antes = rotulo.text();

        // Late bound, as the panel switches them.
        QVERIFY(rotulo.setProperty("AutoRedesenhar", false));
        QVERIFY(rotulo.setProperty("AutoAjustar", false));
        const QString novo = QStringLiteral("Texto <u>novo</u> & <c=&H0000FF&>vermelho</c>");
        rotulo.DefinirCaption(novo);
        QCOMPARE(rotulo.Caption(), novo);
        QCOMPARE(rotulo.text(), antes);
        rotulo.DefinirAutoRedesenhar(true);
        QCOMPARE(rotulo.text(), antes);
        rotulo.DefinirAutoAjustar(true);
        QCOMPARE(rotulo.text(), TextoMarcadoParaHtml(novo));
    }

    void rotuloSoltoCresceComOTexto()
    {
        QWidget janela;
        auto* rotulo = new USLabel(&janela);
        rotulo->setGeometry(0, 0, 120, 10);
        rotulo->DefinirCaption(QStringLiteral("uma frase longa que precisa de várias linhas para caber no rótulo"));
        QVERIFY(rotulo->height() > 2 * rotulo->fontMetrics().height());
        QCOMPARE(rotulo->width(), 120);
    }

    void imagemCarregaESalvaJpeg()
    {
        QTemporaryDir pasta;
        QImage origem(40, 30, QImage::Format_ARGB32);
        origem.fill(QColor(10, 120, 200, 255));
        const QString png = pasta.filePath(QStringLiteral("tela.png"));
        QVERIFY(origem.save(png, "PNG"));

        USAlphaImage imagem;
        QVERIFY(!imagem.SalvarJPG(pasta.filePath(QStringLiteral("vazia.jpg"))));
        QVERIFY(imagem.CarregarImagem(png));
        QCOMPARE(imagem.Imagem().size(), QSize(40, 30));

        const QString jpg = pasta.filePath(QStringLiteral("tela.jpg"));
        QVERIFY(imagem.SalvarJPG(jpg));
        QImageReader leitor(jpg);
        QCOMPARE(leitor.format(), QByteArray("jpeg"));
        const QImage lida = leitor.read();
        QCOMPARE(lida.size(), QSize(40, 30));
        QVERIFY(qAbs(lida.pixelColor(20, 15).blue() - 200) < 12);

        // A missing or broken file fails and keeps what was shown.
        QVERIFY(!imagem.CarregarImagem(pasta.filePath(QStringLiteral("nao-existe.bmp"))));
        QFile quebrado(pasta.filePath(QStringLiteral("quebrado.png")));
        QVERIFY(quebrado.open(QIODevice::WriteOnly));
        quebrado.write("\x89PNG nada mais");
        quebrado.close();
        QVERIFY(!imagem.CarregarImagem(quebrado.fileName()));
        QCOMPARE(imagem.Imagem().size(), QSize(40, 30));
        QVERIFY(!imagem.SalvarJPG(pasta.filePath(QStringLiteral("sem/pasta/tela.jpg"))));
    }

    void molduraLevaOTituloParaAJanela()
    {
        QWidget janela;
        auto* layout = new QVBoxLayout(&janela);
        auto* moldura = new USForm(&janela);
        layout->addWidget(moldura);
        moldura->DefinirCaption(QStringLiteral("Qeltrano 1.0.05 -> /tmp/a.srt"));
        QCOMPARE(moldura->Caption(), QStringLiteral("Qeltrano 1.0.05 -> /tmp/a.srt"));
        QCOMPARE(janela.windowTitle(), QStringLiteral("Qeltrano 1.0.05 -> /tmp/a.srt"));
        moldura->AplicarTema();
        janela.resize(300, 120);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        // The band is the accent blue: the appearance colours are read
        // blue-green-red (&HE59D56 is not an orange).
        const QColor faixa = moldura->grab().toImage().pixelColor(moldura->width() - 3, moldura->height() / 2);
        QVERIFY2(faixa.blue() > faixa.red() + 60, qPrintable(faixa.name()));
    }

    void twipsEmPixels()
    {
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
        QCOMPARE(TwipsParaPixelsX(1440), dpi);
        QCOMPARE(PixelsParaTwipsX(TwipsParaPixelsX(2000)), 2000.0);
        QCOMPARE(PixelsParaTwipsY(QGuiApplication::primaryScreen()->logicalDotsPerInchY()), 1440.0);
    }

    void balaoSegueAConvencao()
    {
        QWidget janela;
        auto* layout = new QVBoxLayout(&janela);
        auto* nome = new USTextBox(&janela);
        auto* email = new USTextBox(&janela);
        auto* enviar = new USButton(QStringLiteral("Enviar"), &janela);
        layout->addWidget(nome);
        layout->addWidget(email);
        layout->addWidget(enviar);
        BalaoAviso::AplicarConvencao(nome);
        BalaoAviso::AplicarConvencao(email);
        janela.show();
        janela.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&janela));
        enviar->setFocus();
        QTRY_VERIFY(enviar->hasFocus());

        BalaoAviso& balao = BalaoAviso::Instancia();
        auto exibir = [&](QWidget* ancora) {
            balao.ExibirBalao(QStringLiteral("Atenção!"), QStringLiteral("E-mail <b>inválido</b>."), ancora, 2, 0,
                              0xE1FFFF, 0);
        };

        // As a validation shows it: the balloon, then the focus to its field.
        exibir(email);
        QVERIFY(balao.Visivel());
        QCOMPARE(balao.ControleBalao(), email);
        QCOMPARE(balao.TextoExibido(), QStringLiteral("E-mail <b>inválido</b>."));
        QVERIFY(enviar->hasFocus());  // showing it takes no focus
        email->setFocus();
        QTRY_VERIFY(email->hasFocus());
        QVERIFY(balao.Visivel());

        // A change hides it.
        QTest::keyClick(email, Qt::Key_A);
        QVERIFY(!balao.Visivel());
        QVERIFY(balao.ControleBalao() == nullptr);
        QVERIFY(balao.TextoExibido().isEmpty());

        // Losing focus hides it.
        exibir(email);
        nome->setFocus();
        QTRY_VERIFY(nome->hasFocus());
        QVERIFY(!balao.Visivel());

        // Another box gaining focus hides a balloon that points elsewhere.
        enviar->setFocus();
        QTRY_VERIFY(enviar->hasFocus());
        exibir(email);
        nome->setFocus();
        QTRY_VERIFY(nome->hasFocus());
        QVERIFY(!balao.Visivel());

        // Mouse down hides it.
        exibir(nome);
        QVERIFY(balao.Visivel());
        QTest::mousePress(nome, Qt::LeftButton);
        QVERIFY(!balao.Visivel());
        QTest::mouseRelease(nome, Qt::LeftButton);

        // One at a time.
        exibir(email);
        exibir(nome);
        QCOMPARE(balao.ControleBalao(), nome);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(janela.findChildren<QWidget*>(QStringLiteral("BalaoAviso")).size(), 1);
    }

    void balaoSomeComAAncora()
    {
        BalaoAviso& balao = BalaoAviso::Instancia();
        QWidget janela;
        auto* caixa = new USTextBox(&janela);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        balao.ExibirBalao(QStringLiteral("Atenção!"), QStringLiteral("Informe a quantidade."), caixa, 2, 0,
                          0xE1FFFF, 0);
        QVERIFY(balao.Visivel());
        auto* popup = janela.findChild<QWidget*>(QStringLiteral("BalaoAviso"));
        QVERIFY(popup);
        // Below the control, with its title and text.
        QVERIFY(popup->mapToGlobal(QPoint(0, 0)).y() >= caixa->mapToGlobal(QPoint(0, caixa->height())).y() - 1);
        auto* titulo = popup->findChild<QLabel*>(QStringLiteral("BalaoTitulo"));
        QVERIFY(titulo && titulo->text() == QStringLiteral("Atenção!") && titulo->font().bold());
        delete caixa;
        QVERIFY(!balao.Visivel());
        QVERIFY(balao.ControleBalao() == nullptr);
    }
};

QTEST_MAIN(TesteControles)
#include "tst_controles.moc"
