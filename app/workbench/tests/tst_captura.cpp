// The desktop picture kept for the error report.
#include "Apoio.h"
#include "app/workbench/XScreen.h"
#include "suite/Controles.h"
#include "suite/Formulario.h"
#include "suite/Utilitarios.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>
#include <QSet>
#include <QtTest>
#include <memory>

using namespace qeltrano;

namespace {

bool TelaCarregada()
{
    const auto janelas = orvessa::Formulario::FormulariosCarregados();
    for (const orvessa::Formulario* janela : janelas) {
        if (janela->Name() == QLatin1String("XScreen"))
            return true;
    }
    return false;
}

QString SemExtensao(const QString& nome)
{
    return nome.left(nome.lastIndexOf(QLatin1Char('.')));
}

}  // namespace

class TstCaptura : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    // Stands for the desktop: one window over the whole screen, in a colour
    // the picture must show.
    std::unique_ptr<QWidget> desktop_;

    QString Temporario() const { return ambiente_->Caminho(QStringLiteral("temp")); }

private slots:
    void initTestCase()
    {
        desktop_ = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        desktop_->setAutoFillBackground(true);
        QPalette paleta = desktop_->palette();
        paleta.setColor(QPalette::Window, QColor(200, 30, 40));
        desktop_->setPalette(paleta);
        desktop_->setGeometry(QGuiApplication::primaryScreen()->geometry());
        desktop_->show();
        QVERIFY(QTest::qWaitForWindowExposed(desktop_.get()));
    }

    void cleanupTestCase() { desktop_.reset(); }

    void init() { ambiente_ = std::make_unique<apoio::AmbienteTeste>(); }
    void cleanup() { ambiente_.reset(); }

    void duasCapturas()
    {
        const QString primeira = PrintScreenEx();
        const QString segunda = PrintScreenEx();

        QVERIFY(!primeira.isEmpty());
        QVERIFY(!segunda.isEmpty());
        QCOMPARE(QFileInfo(primeira).absolutePath(), Temporario());
        QVERIFY(primeira.endsWith(QStringLiteral(".jpg")));

        // Each capture leaves its bitmap beside its JPEG; all four names differ.
        const QStringList bitmaps = QDir(Temporario()).entryList({QStringLiteral("*.bmp")}, QDir::Files);
        const QStringList jpegs = QDir(Temporario()).entryList({QStringLiteral("*.jpg")}, QDir::Files);
        QCOMPARE(bitmaps.size(), 2);
        QCOMPARE(jpegs.size(), 2);
        QVERIFY(jpegs.contains(QFileInfo(primeira).fileName()));
        QVERIFY(jpegs.contains(QFileInfo(segunda).fileName()));
        QSet<QString> nomes;
        for (const QString& nome : bitmaps + jpegs)
            nomes.insert(SemExtensao(nome));
        QCOMPARE(nomes.size(), 4);
    }

    // The JPEG is the desktop as it looked: its size and its colours.
    void conteudoDaCaptura()
    {
        const QString jpeg = PrintScreenEx();
        QVERIFY(!jpeg.isEmpty());
        QImageReader leitor(jpeg);
        QCOMPARE(leitor.format(), QByteArray("jpeg"));
        const QImage imagem = leitor.read();
        QVERIFY(!imagem.isNull());

        const QStringList bitmaps = QDir(Temporario()).entryList({QStringLiteral("*.bmp")}, QDir::Files);
        QCOMPARE(bitmaps.size(), 1);
        const QImage bitmap(QDir(Temporario()).filePath(bitmaps.first()), "BMP");
        QVERIFY(!bitmap.isNull());
        QCOMPARE(imagem.size(), bitmap.size());
        const QScreen* tela = QGuiApplication::primaryScreen();
        QCOMPARE(imagem.size(), tela->geometry().size());

        const QColor meio = imagem.pixelColor(imagem.width() / 2, imagem.height() / 2);
        QVERIFY2(qAbs(meio.red() - 200) < 16 && qAbs(meio.green() - 30) < 16 && qAbs(meio.blue() - 40) < 16,
                 qPrintable(meio.name()));
    }

    // The window lives for one capture only and is never seen.
    void janelaOculta()
    {
        XScreen janela;
        QVERIFY(!janela.PrintScreenEx().isEmpty());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(w == desktop_.get() || !w->isVisible());
        QVERIFY(!janela.isVisible());
        QVERIFY(!janela.Carregado());
        QVERIFY(!TelaCarregada());
        QVERIFY(!janela.imgScreen()->Imagem().isNull());

        PrintScreenEx();
        QVERIFY(!TelaCarregada());
    }

    // A scratch folder that cannot be written: no picture, no crash.
    void pastaSemEscrita()
    {
        const QString arquivo = ambiente_->EscreverArquivo(QStringLiteral("arquivo"), "x");
        orvessa::Utilitarios::Instancia().DefinirDiretorioTemporario(arquivo + QStringLiteral("/sub"));
        const QStringList antes = QDir(ambiente_->Pasta()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        QCOMPARE(PrintScreenEx(), QString());

        QCOMPARE(QDir(ambiente_->Pasta()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), antes);
        QVERIFY(QDir(Temporario()).entryList(QDir::Files).isEmpty());
        QVERIFY(!TelaCarregada());
    }
};

QTEST_MAIN(TstCaptura)
#include "tst_captura.moc"
