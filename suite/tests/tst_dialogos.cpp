// Message boxes and file dialogs: the real Qt dialogs and the answerer seam.
#include "suite/DialogoArquivo.h"
#include "suite/Dialogos.h"
#include "suite/Tema.h"
#include "suite/TextoMarcado.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace orvessa;

namespace {

// Runs `acao` on the first modal window that opens; gives up (closing
// nothing) after a few seconds so a missing dialog fails instead of hanging.
void AoAbrirModal(std::function<void(QWidget*)> acao)
{
    auto* relogio = new QTimer;
    auto inicio = std::make_shared<QElapsedTimer>();
    inicio->start();
    relogio->setInterval(10);
    QObject::connect(relogio, &QTimer::timeout, [relogio, acao, inicio] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            relogio->stop();
            relogio->deleteLater();
            acao(modal);
        } else if (inicio->elapsed() > 10000) {
            relogio->stop();
            relogio->deleteLater();
        }
    });
    relogio->start();
}

QString SemAtalho(QString texto)
{
    return texto.remove(QLatin1Char('&'));
}

struct Observado {
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    QStringList botoes;
    QString padrao;
    QString texto;
    Qt::TextFormat formato = Qt::AutoText;
    QString titulo;
};

Observado Observar(QMessageBox* caixa)
{
    Observado o;
    o.icone = caixa->icon();
    for (QAbstractButton* b : caixa->buttons())
        o.botoes << SemAtalho(b->text());
    o.botoes.sort();
    if (caixa->defaultButton())
        o.padrao = SemAtalho(caixa->defaultButton()->text());
    o.texto = caixa->text();
    o.formato = caixa->textFormat();
    o.titulo = caixa->windowTitle();
    return o;
}

}  // namespace

class TesteDialogos : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        CarregarTraducoes(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void init()
    {
        Dialogos::DefinirRespostaCaixas(nullptr);
        Dialogos::DefinirRespostaArquivos(nullptr);
        Dialogos::LimparRegistro();
    }

    void respondedorRecebeACaixaERegistra()
    {
        QList<CaixaExibida> vistas;
        Dialogos::DefinirRespostaCaixas([&](const CaixaExibida& c) {
            vistas << c;
            return c.estilo == 36 ? 6 : 7;
        });
        QCOMPARE(Dialogos::ExibirCaixa(TipoCaixa::Mensagem, QStringLiteral("Deseja <b>continuar</b>?"), 36,
                                       QStringLiteral("Qeltrano")),
                 6);
        QCOMPARE(Dialogos::ExibirCaixa(TipoCaixa::Aviso, QStringLiteral("<b>Atenção</b>: x"), 292,
                                       QStringLiteral("Qeltrano")),
                 7);
        QCOMPARE(Dialogos::ExibirCaixaSistema(QStringLiteral("Erro <b>literal</b>"), 16, QStringLiteral("T")), 7);

        QCOMPARE(vistas.size(), 3);
        const QList<CaixaExibida>& registro = Dialogos::CaixasExibidas();
        QCOMPARE(registro.size(), 3);
        QCOMPARE(registro.at(0).tipo, TipoCaixa::Mensagem);
        QCOMPARE(registro.at(0).texto, QStringLiteral("Deseja <b>continuar</b>?"));
        QCOMPARE(registro.at(0).estilo, 36);
        QCOMPARE(registro.at(0).titulo, QStringLiteral("Qeltrano"));
        QCOMPARE(registro.at(1).tipo, TipoCaixa::Aviso);
        QCOMPARE(registro.at(2).tipo, TipoCaixa::Sistema);
        QCOMPARE(registro.at(2).texto, QStringLiteral("Erro <b>literal</b>"));
        QVERIFY(!QApplication::activeModalWidget());

        Dialogos::LimparRegistro();
        QVERIFY(Dialogos::CaixasExibidas().isEmpty());
    }

    // Each style the program passes: icon, buttons, default button, and the
    // answer Enter (the default) and Esc give. A Yes/No box closed with Esc
    // answers neither Yes nor No.
    void estilosDaCaixaReal_data()
    {
        QTest::addColumn<int>("estilo");
        QTest::addColumn<int>("icone");
        QTest::addColumn<QStringList>("botoes");
        QTest::addColumn<QString>("padrao");
        QTest::addColumn<int>("respostaEnter");
        QTest::addColumn<int>("respostaEsc");

        const QStringList ok{QStringLiteral("OK")};
        const QStringList simNao{QStringLiteral("Não"), QStringLiteral("Sim")};
        QTest::newRow("16 crítico") << 16 << int(QMessageBox::Critical) << ok << "OK" << 1 << 1;
        QTest::newRow("48 exclamação") << 48 << int(QMessageBox::Warning) << ok << "OK" << 1 << 1;
        QTest::newRow("64 informação") << 64 << int(QMessageBox::Information) << ok << "OK" << 1 << 1;
        QTest::newRow("36 pergunta") << 36 << int(QMessageBox::Question) << simNao << "Sim" << 6 << 2;
        QTest::newRow("292 não por padrão") << 292 << int(QMessageBox::Question) << simNao << "Não" << 7 << 2;
        QTest::newRow("84 sim/não com exclamação") << 84 << int(QMessageBox::Warning) << simNao << "Sim" << 6 << 2;
    }

    void estilosDaCaixaReal()
    {
        QFETCH(int, estilo);
        QFETCH(int, icone);
        QFETCH(QStringList, botoes);
        QFETCH(QString, padrao);
        QFETCH(int, respostaEnter);
        QFETCH(int, respostaEsc);

        for (const int tecla : {int(Qt::Key_Return), int(Qt::Key_Escape)}) {
            Observado visto;
            AoAbrirModal([&](QWidget* janela) {
                if (auto* caixa = qobject_cast<QMessageBox*>(janela)) {
                    visto = Observar(caixa);
                    QTest::keyClick(caixa, Qt::Key(tecla));
                } else {
                    janela->close();
                }
            });
            const int resposta = Dialogos::ExibirCaixa(TipoCaixa::Aviso, QStringLiteral("Texto"), estilo,
                                                       QStringLiteral("Qeltrano"));
            QCOMPARE(int(visto.icone), icone);
            QCOMPARE(visto.botoes, botoes);
            QCOMPARE(visto.padrao, padrao);
            QCOMPARE(visto.titulo, QStringLiteral("Qeltrano"));
            QCOMPARE(resposta, tecla == Qt::Key_Return ? respostaEnter : respostaEsc);
        }
    }

    void caixaRealEmPortuguesComTextoMarcado()
    {
        const QString marcado = QStringLiteral("<b>Atenção</b>: o arquivo <u>x & y</u> já existe.<br>Substituir?");
        Observado visto;
        QStringList textosBotoes;
        AoAbrirModal([&](QWidget* janela) {
            auto* caixa = qobject_cast<QMessageBox*>(janela);
            if (!caixa) {
                janela->close();
                return;
            }
            visto = Observar(caixa);
            QAbstractButton* nao = nullptr;
            for (QAbstractButton* b : caixa->buttons()) {
                textosBotoes << b->text();
                if (SemAtalho(b->text()) == QStringLiteral("Não"))
                    nao = b;
            }
            if (nao)
                QTest::mouseClick(nao, Qt::LeftButton);
            else
                caixa->close();
        });
        const int resposta = Dialogos::ExibirCaixa(TipoCaixa::Aviso, marcado, 36, QStringLiteral("Qeltrano"));
        QCOMPARE(resposta, 7);
        QCOMPARE(visto.botoes, (QStringList{QStringLiteral("Não"), QStringLiteral("Sim")}));
        QCOMPARE(visto.formato, Qt::RichText);
        QCOMPARE(visto.texto, TextoMarcadoParaHtml(marcado));
        QVERIFY(visto.texto.contains(QStringLiteral("<b>")));
        QVERIFY(visto.texto.contains(QStringLiteral("&amp;")));
        QCOMPARE(Dialogos::CaixasExibidas().size(), 1);
        QCOMPARE(Dialogos::CaixasExibidas().first().texto, marcado);
    }

    void caixaDoSistemaMostraOTextoComoE()
    {
        const QString texto = QStringLiteral("Erro 91 em <b>Form_Load</b>");
        Observado visto;
        AoAbrirModal([&](QWidget* janela) {
            if (auto* caixa = qobject_cast<QMessageBox*>(janela))
                visto = Observar(caixa);
            QTest::keyClick(janela, Qt::Key_Return);
        });
        QCOMPARE(Dialogos::ExibirCaixaSistema(texto, 16, QStringLiteral("Qeltrano")), 1);
        QCOMPARE(visto.formato, Qt::PlainText);
        QCOMPARE(visto.texto, texto);
        QCOMPARE(int(visto.icone), int(QMessageBox::Critical));
        QCOMPARE(Dialogos::CaixasExibidas().first().tipo, TipoCaixa::Sistema);
    }

    void filtrosNoFormatoDoQt_data()
    {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("descrição já com a lista") << "Arquivos suportados (*.sub;*.srt)|*.sub;*.srt"
                                                  << QStringList{QStringLiteral("Arquivos suportados (*.sub *.srt)")};
        QTest::newRow("dois pares") << "MicroDVD Subtitles (*.sub)|*.sub|SubRip Subtitles|*.srt"
                                    << QStringList{QStringLiteral("MicroDVD Subtitles (*.sub)"),
                                                   QStringLiteral("SubRip Subtitles (*.srt)")};
        QTest::newRow("vírgula na descrição")
            << "Arquivos Word, Excel, PDF, ZIP e imagem|*.doc;*.docx;*.pdf"
            << QStringList{QStringLiteral("Arquivos Word, Excel, PDF, ZIP e imagem (*.doc *.docx *.pdf)")};
        QTest::newRow("descrição sem padrões") << "Todos" << QStringList{QStringLiteral("Todos (*)")};
        QTest::newRow("vazio") << "" << QStringList{};
    }

    void filtrosNoFormatoDoQt()
    {
        QFETCH(QString, filtro);
        QFETCH(QStringList, esperado);
        QCOMPARE(DialogoArquivo::FiltrosQt(filtro), esperado);
    }

    void dialogoComRespondedor()
    {
        QTemporaryDir pasta;
        const QString arquivo = pasta.filePath(QStringLiteral("legenda.srt"));
        QList<DialogoArquivoExibido> vistos;
        RespostaDialogoArquivo proxima{false, arquivo};
        Dialogos::DefinirRespostaArquivos([&](const DialogoArquivoExibido& d) {
            vistos << d;
            return proxima;
        });

        DialogoArquivo dialogo;
        dialogo.DiretorioInicial = QStringLiteral("/nao/existe/ultimo.srt");
        dialogo.OpcoesDialogo = 0x281000;
        dialogo.FiltroArquivos = QStringLiteral("SubRip Subtitles (*.srt)|*.srt");
        dialogo.ExibirDialogo(2, QStringLiteral("::. Salvar arquivo de legenda"));
        QVERIFY(!dialogo.DialogoCancelado());
        QCOMPARE(dialogo.NomeArquivoEscolhido(), arquivo);
        QCOMPARE(QDir::fromNativeSeparators(dialogo.DiretorioInicial), QDir(pasta.path()).absolutePath());
        QCOMPARE(vistos.size(), 1);
        QCOMPARE(vistos.first().tipo, 2);
        QCOMPARE(vistos.first().titulo, QStringLiteral("::. Salvar arquivo de legenda"));
        QCOMPARE(vistos.first().diretorioInicial, QStringLiteral("/nao/existe/ultimo.srt"));
        QCOMPARE(vistos.first().opcoes, 0x281000L);
        QCOMPARE(Dialogos::DialogosExibidos().size(), 1);

        // A cancelled dialog leaves the start folder and chooses nothing.
        proxima = RespostaDialogoArquivo{};
        const QString antes = dialogo.DiretorioInicial;
        dialogo.ExibirDialogo(1, QStringLiteral("::. Abrir"));
        QVERIFY(dialogo.DialogoCancelado());
        QVERIFY(dialogo.NomeArquivoEscolhido().isEmpty());
        QCOMPARE(dialogo.DiretorioInicial, antes);
        QCOMPARE(Dialogos::DialogosExibidos().size(), 2);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void dialogoRealDeAbrir()
    {
        QTemporaryDir pasta;
        QDir(pasta.path()).mkdir(QStringLiteral("sub"));
        const QString destino = pasta.filePath(QStringLiteral("sub/filme.srt"));
        {
            QFile f(destino);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("1\n");
        }
        QFile(pasta.filePath(QStringLiteral("anterior.srt"))).open(QIODevice::WriteOnly);

        QString pastaInicial, titulo, tipoPasta;
        QStringList filtros;
        QFileDialog::FileMode modo = QFileDialog::AnyFile;
        bool naoNativo = false;
        AoAbrirModal([&](QWidget* janela) {
            auto* dialogo = qobject_cast<QFileDialog*>(janela);
            if (!dialogo) {
                janela->close();
                return;
            }
            pastaInicial = dialogo->directory().absolutePath();
            titulo = dialogo->windowTitle();
            filtros = dialogo->nameFilters();
            modo = dialogo->fileMode();
            naoNativo = dialogo->testOption(QFileDialog::DontUseNativeDialog);
            auto* nome = dialogo->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!nome) {
                dialogo->reject();
                return;
            }
            // The name box's list of suggestions fills in as the folder loads
            // and would race the typed keys; without it the keys reach the box.
            nome->setCompleter(nullptr);
            // The folder is read in the background; a user types once it shows.
            auto* modelo = dialogo->findChild<QFileSystemModel*>();
            auto pastaLida = [&](int entradas) {
                return QTest::qWaitFor(
                    [&] {
                        return modelo && modelo->rowCount(modelo->index(dialogo->directory().absolutePath())) >= entradas;
                    },
                    5000);
            };
            // As a user does it: into the folder "sub", then the file.
            if (!pastaLida(2) || !QTest::qWaitFor([&] { return dialogo->isActiveWindow() && nome->hasFocus(); }, 5000)) {
                dialogo->reject();
                return;
            }
            tipoPasta = modelo->index(pasta.filePath(QStringLiteral("sub"))).siblingAtColumn(2).data().toString();
            nome->clear();
            QTest::keyClicks(nome, QStringLiteral("sub"));
            QTest::keyClick(nome, Qt::Key_Return);
            if (!QTest::qWaitFor([&] { return dialogo->directory().dirName() == QStringLiteral("sub"); }, 5000) ||
                !pastaLida(1)) {
                dialogo->reject();
                return;
            }
            nome->clear();
            QTest::keyClicks(nome, QStringLiteral("filme.srt"));
            QTest::keyClick(nome, Qt::Key_Return);
            if (dialogo->isVisible())
                dialogo->reject();
        });

        DialogoArquivo dialogo;
        dialogo.DiretorioInicial = pasta.path();
        dialogo.OpcoesDialogo = 0x281000;
        dialogo.FiltroArquivos = QStringLiteral("Arquivos suportados (*.sub;*.srt)|*.sub;*.srt");
        dialogo.ExibirDialogo(1, QStringLiteral("::. Abrir arquivo de legenda"));

        QCOMPARE(pastaInicial, QDir(pasta.path()).absolutePath());
        QCOMPARE(titulo, QStringLiteral("::. Abrir arquivo de legenda"));
        QCOMPARE(filtros, QStringList{QStringLiteral("Arquivos suportados (*.sub *.srt)")});
        QCOMPARE(modo, QFileDialog::ExistingFile);
        QVERIFY(naoNativo);
        QCOMPARE(tipoPasta, QStringLiteral("Pasta"));  // in Portuguese, like the rest of the dialog
        QVERIFY(!dialogo.DialogoCancelado());
        QCOMPARE(QFileInfo(dialogo.NomeArquivoEscolhido()).canonicalFilePath(), QFileInfo(destino).canonicalFilePath());
        QCOMPARE(QFileInfo(dialogo.DiretorioInicial).canonicalFilePath(),
                 QFileInfo(pasta.filePath(QStringLiteral("sub"))).canonicalFilePath());
    }

    void dialogoRealDeSalvar_data()
    {
        QTest::addColumn<long>("opcoes");
        QTest::addColumn<bool>("pergunta");
        QTest::newRow("sem OFN_OVERWRITEPROMPT") << 0x281000L << false;
        QTest::newRow("com OFN_OVERWRITEPROMPT") << 0x281002L << true;
    }

    void dialogoRealDeSalvar()
    {
        QFETCH(long, opcoes);
        QFETCH(bool, pergunta);
        QTemporaryDir pasta;
        const QString ultimo = pasta.filePath(QStringLiteral("ultimo.srt"));
        QFile(ultimo).open(QIODevice::WriteOnly);
        bool confirma = !pergunta;
        QFileDialog::AcceptMode modo = QFileDialog::AcceptOpen;
        QString pastaInicial;
        QStringList escolhidos;
        AoAbrirModal([&](QWidget* janela) {
            if (auto* dialogo = qobject_cast<QFileDialog*>(janela)) {
                confirma = !dialogo->testOption(QFileDialog::DontConfirmOverwrite);
                modo = dialogo->acceptMode();
                pastaInicial = dialogo->directory().absolutePath();
                escolhidos = dialogo->selectedFiles();
            }
            QTest::keyClick(janela, Qt::Key_Escape);
        });
        // Started from the last file: in its folder, with its name filled in.
        DialogoArquivo dialogo;
        dialogo.DiretorioInicial = ultimo;
        dialogo.OpcoesDialogo = opcoes;
        dialogo.FiltroArquivos = QStringLiteral("SubRip Subtitles (*.srt)|*.srt");
        dialogo.ExibirDialogo(2, QStringLiteral("::. Salvar arquivo de legenda"));
        QVERIFY(dialogo.DialogoCancelado());
        QVERIFY(dialogo.NomeArquivoEscolhido().isEmpty());
        QCOMPARE(modo, QFileDialog::AcceptSave);
        QCOMPARE(confirma, pergunta);
        QCOMPARE(pastaInicial, QDir(pasta.path()).absolutePath());
        QCOMPARE(escolhidos, QStringList{QDir(pasta.path()).absoluteFilePath(QStringLiteral("ultimo.srt"))});
    }
};

QTEST_MAIN(TesteDialogos)
#include "tst_dialogos.moc"
