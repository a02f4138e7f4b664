// Ending processes by image name, on children this test starts itself under
// names no other process carries; opening addresses and files; the desktop
// capture.
#include "CapturadorUrls.h"

#include "platform/CapturaTela.h"
#include "platform/Processos.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

QString NomeUnico(const QString& prefixo)
{
    return prefixo + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

QString ImagemDoPid(qint64 pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
}

}  // namespace

class TstProcessos : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> pasta_;
    std::vector<std::unique_ptr<QProcess>> filhos_;

    // A copy of a program under a name that only this test's children have.
    QString Copia(const QString& origem, const QString& nome)
    {
        const QString destino = pasta_->filePath(nome);
        if (!QFile::copy(origem, destino))
            return QString();
        QFile::setPermissions(destino, QFile::permissions(origem) | QFile::ExeOwner);
        return destino;
    }

    QProcess* Iniciar(const QString& programa, const QStringList& argumentos)
    {
        filhos_.push_back(std::make_unique<QProcess>());
        QProcess* p = filhos_.back().get();
        p->start(programa, argumentos);
        return p->waitForStarted(5000) ? p : nullptr;
    }

private slots:
    void init()
    {
        pasta_ = std::make_unique<QTemporaryDir>();
        QVERIFY(pasta_->isValid());
    }

    void cleanup()
    {
        // Whatever a failed check left running, this test started it.
        for (auto& p : filhos_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        filhos_.clear();
    }

    void encerraSoOsDaImagem()
    {
        const QString nome = NomeUnico(QStringLiteral("dorme_"));
        const QString programa = Copia(QStringLiteral("/bin/sleep"), nome);
        const QString outro = Copia(QStringLiteral("/bin/sleep"), NomeUnico(QStringLiteral("vizinho_")));
        QVERIFY(!programa.isEmpty() && !outro.isEmpty());
        QProcess* a = Iniciar(programa, {"60"});
        QProcess* b = Iniciar(programa, {"60"});
        QProcess* vizinho = Iniciar(outro, {"60"});
        QVERIFY(a && b && vizinho);

        // As the Windows program names it, with ".exe".
        QCOMPARE(plataforma::EncerrarProcessosPorImagem(nome + QStringLiteral(".EXE"), false), 2);
        QVERIFY(a->waitForFinished(5000));
        QVERIFY(b->waitForFinished(5000));
        QCOMPARE(a->exitStatus(), QProcess::CrashExit);
        QCOMPARE(vizinho->state(), QProcess::Running);
        QCOMPARE(plataforma::EncerrarProcessosPorImagem(nome, false), 0);  // nothing left of it
    }

    void quemIgnoraSigtermRecebeSigkill()
    {
        const QString nome = NomeUnico(QStringLiteral("teimoso_"));
        const QString programa = Copia(QStringLiteral("/bin/sleep"), nome);
        QVERIFY(!programa.isEmpty());
        // An ignored SIGTERM survives exec, so the copy itself ignores it.
        QProcess* p = Iniciar(QStringLiteral("/bin/sh"), {"-c", "trap '' TERM; exec \"$0\" 60", programa});
        QVERIFY(p);
        QTRY_COMPARE(ImagemDoPid(p->processId()), nome);

        QCOMPARE(plataforma::EncerrarProcessosPorImagem(nome, false), 1);
        QVERIFY(p->waitForFinished(5000));
        QCOMPARE(p->exitStatus(), QProcess::CrashExit);
    }

    void semCorrespondencia_data()
    {
        QTest::addColumn<QString>("imagem");
        QTest::newRow("nome que ninguém tem") << NomeUnico(QStringLiteral("ninguem_"));
        QTest::newRow("vazio") << QString();
        QTest::newRow("só a extensão") << QStringLiteral(".exe");
    }

    void semCorrespondencia()
    {
        QFETCH(QString, imagem);
        QCOMPARE(plataforma::EncerrarProcessosPorImagem(imagem, true), 0);
    }

    // The auxiliary program, copied under a unique name, ends its sibling of
    // the same image and then, only when asked, itself.
    void processoAtualPorUltimo_data()
    {
        QTest::addColumn<bool>("incluirAtual");
        QTest::newRow("sem o atual") << false;
        QTest::newRow("com o atual") << true;
    }

    void processoAtualPorUltimo()
    {
        QFETCH(bool, incluirAtual);
        const QString nome = NomeUnico(QStringLiteral("auxiliar_"));
        const QString programa = Copia(QStringLiteral(PLATAFORMA_AUXILIAR), nome);
        QVERIFY(!programa.isEmpty());
        QProcess* irmao = Iniciar(programa, {"esperar"});
        QVERIFY(irmao);
        QVERIFY(irmao->waitForReadyRead(5000));

        QProcess* p = Iniciar(programa, {"encerrar", nome + QStringLiteral(".exe"), incluirAtual ? "1" : "0"});
        QVERIFY(p);
        QVERIFY(p->waitForFinished(10000));
        const QString saida = QString::fromLocal8Bit(p->readAllStandardOutput());
        QVERIFY2(saida.contains(QStringLiteral("imagem=") + nome), qPrintable(saida));
        QVERIFY(irmao->waitForFinished(5000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        if (incluirAtual) {
            QVERIFY2(!saida.contains(QStringLiteral("voltou")), qPrintable(saida));
            QCOMPARE(p->exitCode(), 1);
        } else {
            QVERIFY2(saida.contains(QStringLiteral("sinalizados=1\nvoltou")), qPrintable(saida));
            QCOMPARE(p->exitCode(), 0);
        }
    }

    void imagemDoProcessoAtual()
    {
        QCOMPARE(plataforma::ImagemProcessoAtual(), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    }

    void abrirComProgramaPadrao_data()
    {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QUrl>("esperado");

        QTest::newRow("endereço") << "https://exemplo.com.br/baixar?v=1.0.5&x=a%20b"
                                  << QUrl(QStringLiteral("https://exemplo.com.br/baixar?v=1.0.5&x=a%20b"));
        QTest::newRow("correio") << "mailto:suporte@exemplo.com.br" << QUrl(QStringLiteral("mailto:suporte@exemplo.com.br"));
        QTest::newRow("caminho com espaços") << "/tmp/minhas legendas/episódio 1.srt"
                                             << QUrl::fromLocalFile(QStringLiteral("/tmp/minhas legendas/episódio 1.srt"));
        QTest::newRow("caminho relativo") << "pasta/arquivo.txt"
                                          << QUrl::fromLocalFile(QFileInfo(QStringLiteral("pasta/arquivo.txt")).absoluteFilePath());
        QTest::newRow("dois-pontos no nome") << "/tmp/a:b.txt" << QUrl::fromLocalFile(QStringLiteral("/tmp/a:b.txt"));
    }

    void abrirComProgramaPadrao()
    {
        QFETCH(QString, entrada);
        QFETCH(QUrl, esperado);
        // Handlers catch the request, so no browser or program is started.
        bool aberto = false;
        QList<QUrl> abertos;
        {
            apoio::CapturadorUrls capturador({QStringLiteral("file"), QStringLiteral("https"), QStringLiteral("mailto")});
            aberto = plataforma::AbrirComProgramaPadrao(entrada);
            abertos = capturador.urls;
        }
        QVERIFY(aberto);
        QCOMPARE(abertos, QList<QUrl>({esperado}));
    }

    void capturaMostraAsJanelas()
    {
        QWidget janela;
        janela.setWindowFlag(Qt::FramelessWindowHint);
        janela.setGeometry(120, 90, 160, 100);
        janela.setAutoFillBackground(true);
        QPalette paleta = janela.palette();
        paleta.setColor(QPalette::Window, QColor(200, 30, 60));
        janela.setPalette(paleta);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));

        const QImage imagem = plataforma::CapturarAreaTrabalho();
        QVERIFY(!imagem.isNull());
        QRect area;
        for (QScreen* tela : QGuiApplication::screens())
            area = area.united(tela->geometry());
        QCOMPARE(imagem.size(), area.size());
        const QPoint dentro = janela.geometry().center() - area.topLeft();
        QCOMPARE(imagem.pixelColor(dentro), QColor(200, 30, 60));
        const QPoint fora = janela.geometry().topLeft() - QPoint(20, 20) - area.topLeft();
        QVERIFY(imagem.pixelColor(fora) != QColor(200, 30, 60));
    }
};

QTEST_MAIN(TstProcessos)
#include "tst_processos.moc"
