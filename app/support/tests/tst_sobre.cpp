// The about box: its texts, the single instance, the link, and what the
// opening does when the control library is missing or has moved.
#include "Apoio.h"
#include "CapturadorUrls.h"

#include "Versao.h"
#include "app/Configuracao.h"
#include "app/support/fSobre.h"
#include "app/workbench/modComum.h"
#include "platform/Componentes.h"
#include "platform/ErroExecucao.h"
#include "suite/Controles.h"
#include "suite/Tema.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <cmath>
#include <memory>
#include <optional>

using qeltrano::fSobre;

namespace {

const QString ArquivoKestrane = QStringLiteral("libkestrane.so");

int CaixasAbertas()
{
    int total = 0;
    for (orvessa::Formulario* janela : orvessa::Formulario::FormulariosCarregados())
        total += janela->Name() == QLatin1String("fSobre") ? 1 : 0;
    return total;
}

// The error the opening raised, if any.
std::optional<plataforma::ErroExecucao> ErroAoExibir(QWidget* dono)
{
    try {
        qeltrano::ExibirSobre(dono);
    } catch (const plataforma::ErroExecucao& erro) {
        return erro;
    }
    return std::nullopt;
}

void Mover(QWidget* alvo, const QPoint& ponto)
{
    QMouseEvent movimento(QEvent::MouseMove, ponto, alvo->mapToGlobal(ponto), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
    QApplication::sendEvent(alvo, &movimento);
}

void Fechar()
{
    if (fSobre* caixa = qeltrano::FormSobre(); caixa && caixa->Carregado())
        caixa->btnSair()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TesteSobre : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        qeltrano::DefinirPastaComponentes(QString());
    }

    void cleanup()
    {
        try {
            Fechar();
        } catch (...) {
            qWarning("cleanup: a janela não fechou");
        }
        ambiente_.reset();
    }

    // Nothing registered: the opening fails with 429 and leaves no window.
    void semRegistro()
    {
        const auto erro = ErroAoExibir(nullptr);
        QVERIFY(erro.has_value());
        QCOMPARE(erro->Numero(), 429L);
        QCOMPARE(CaixasAbertas(), 0);
    }

    // Registered from a file that is gone: 339 naming the file; registering
    // it again from the component folder mends the opening.
    void bibliotecaMovida()
    {
        const QString original = qeltrano::PastaComponentes() + QLatin1Char('/') + ArquivoKestrane;
        QVERIFY2(QFile::exists(original), qPrintable(original));
        QDir(ambiente_->Pasta()).mkpath(QStringLiteral("antiga"));
        const QString copia = ambiente_->Caminho(QStringLiteral("antiga/") + ArquivoKestrane);
        QVERIFY(QFile::copy(original, copia));
        // Registered the way an installer does it, in a process of its own,
        // so that this one never holds the old file.
        const QString regsvr = QCoreApplication::applicationDirPath() + QStringLiteral("/regsvr");
        QVERIFY2(QFile::exists(regsvr), qPrintable(regsvr));
        QProcess registro;
        registro.start(regsvr, {QStringLiteral("/s"), QStringLiteral("--raiz-registro"), ambiente_->Caminho(QStringLiteral("hkcu")),
                                QStringLiteral("--raiz-maquina"), ambiente_->Caminho(QStringLiteral("hklm")), copia});
        QVERIFY(registro.waitForFinished(30000));
        QCOMPARE(registro.exitCode(), 0);
        QCOMPARE(QFileInfo(plataforma::Componentes::BibliotecaDe(QStringLiteral("9D23CF34-7580-4AF9-B9A3-F46AE7F2A5CE")))
                     .absoluteFilePath(),
                 QFileInfo(copia).absoluteFilePath());
        QVERIFY(QFile::remove(copia));

        const auto erro = ErroAoExibir(nullptr);
        QVERIFY(erro.has_value());
        QCOMPARE(erro->Numero(), 339L);
        QVERIFY2(erro->Descricao().contains(QLatin1Char('\'') + ArquivoKestrane + QLatin1Char('\'')),
                 qPrintable(erro->Descricao()));
        QCOMPARE(CaixasAbertas(), 0);

        QVERIFY(qeltrano::RegistrarComponente(ArquivoKestrane));
        QVERIFY(!ErroAoExibir(nullptr).has_value());
        fSobre* caixa = qeltrano::FormSobre();
        QVERIFY(caixa && caixa->Carregado());
        QWidget* barra = caixa->StatusBarEx1();
        QVERIFY(barra);
        QCOMPARE(QString::fromLatin1(plataforma::Componentes::TipoDe(barra)->nome), QStringLiteral("CStatusBar"));
        QCOMPARE(barra->height(), static_cast<int>(std::lround(orvessa::TwipsParaPixelsY(800))));
    }

    // The command opens one box, owned by the caller; a second call while it
    // is open does nothing; after closing, the next opening builds anew.
    void umaCaixaSo()
    {
        QVERIFY(qeltrano::RegistrarComponente(ArquivoKestrane));
        QWidget dono;
        dono.show();
        qeltrano::ExibirSobre(&dono);
        QPointer<fSobre> primeira = qeltrano::FormSobre();
        QVERIFY(primeira && primeira->Carregado() && primeira->isVisible());
        QCOMPARE(primeira->parentWidget(), &dono);
        QVERIFY(primeira->isWindow());
        QCOMPARE(primeira->USForm1()->Caption(), QStringLiteral("Sobre o Qeltrano"));
        QPointer<QWidget> barra = primeira->StatusBarEx1();

        qeltrano::ExibirSobre(&dono);
        QCOMPARE(qeltrano::FormSobre(), primeira.data());
        QCOMPARE(CaixasAbertas(), 1);
        QCOMPARE(primeira->StatusBarEx1(), barra.data());

        primeira->btnSair()->click();
        QCOMPARE(CaixasAbertas(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!primeira);
        QVERIFY(!barra);

        qeltrano::ExibirSobre(&dono);
        QVERIFY(qeltrano::FormSobre() && qeltrano::FormSobre()->Carregado());
        QCOMPARE(CaixasAbertas(), 1);
        Fechar();
    }

    void versaoConstruida()
    {
        QVERIFY(qeltrano::RegistrarComponente(ArquivoKestrane));
        qeltrano::ExibirSobre(nullptr);
        fSobre* caixa = qeltrano::FormSobre();
        QCOMPARE(caixa->lblVersao(0)->Caption(), QStringLiteral("%1.%2").arg(versao::Major).arg(versao::Minor));
        QCOMPARE(caixa->lblVersao(1)->Caption(), fSobre::TextoRevisao(versao::Revision));
        QCOMPARE(caixa->lblVersao(1)->Caption().toInt(), versao::Revision);
        QVERIFY(caixa->lblVersao(1)->Caption().size() >= 2);
        QCOMPARE(caixa->lblSite()->text(), qeltrano::Config().SiteFabricante);
    }

    void textoVersao_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("versao");
        QTest::addColumn<QString>("revisao");
        QTest::newRow("1.3.6") << 1 << 3 << 6 << "1.3" << "06";
        QTest::newRow("revisao 5") << 2 << 0 << 5 << "2.0" << "05";
        QTest::newRow("revisao 0") << 1 << 0 << 0 << "1.0" << "00";
        QTest::newRow("dois digitos") << 10 << 12 << 42 << "10.12" << "42";
        QTest::newRow("tres digitos") << 1 << 2 << 123 << "1.2" << "123";
    }

    void textoVersao()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, versao);
        QFETCH(QString, revisao);
        QCOMPARE(fSobre::TextoVersao(major, minor), versao);
        QCOMPARE(fSobre::TextoRevisao(revision), revisao);
    }

    // Underlined only while the pointer is over the link: a move over any
    // other part of the window takes the underline away.
    void sublinhadoSoSobreOLink()
    {
        QVERIFY(qeltrano::RegistrarComponente(ArquivoKestrane));
        qeltrano::ExibirSobre(nullptr);
        fSobre* caixa = qeltrano::FormSobre();
        QVERIFY(QTest::qWaitForWindowExposed(caixa));
        QLabel* site = caixa->lblSite();
        QVERIFY(!site->font().underline());

        Mover(site, QPoint(3, 3));
        QVERIFY(site->font().underline());
        Mover(site, QPoint(6, 4));
        QVERIFY(site->font().underline());

        Mover(caixa, QPoint(2, caixa->height() / 2));
        QVERIFY(!site->font().underline());

        Mover(site, QPoint(3, 3));
        QVERIFY(site->font().underline());
        // Over another label: the move reaches the window.
        Mover(caixa->lblVersao(0), QPoint(1, 1));
        QVERIFY(!site->font().underline());
    }

    // A click on the link opens the maker's site, and only that click.
    void cliqueAbreSite()
    {
        QVERIFY(qeltrano::RegistrarComponente(ArquivoKestrane));
        auto captura = std::make_unique<apoio::CapturadorUrls>(QStringList{QStringLiteral("https"), QStringLiteral("http")});
        qeltrano::ExibirSobre(nullptr);
        fSobre* caixa = qeltrano::FormSobre();
        QVERIFY(QTest::qWaitForWindowExposed(caixa));

        QTest::mouseClick(caixa->lblVersao(0), Qt::LeftButton);
        QTest::mouseClick(caixa->lblSite(), Qt::RightButton);
        QVERIFY(captura->urls.isEmpty());
        QTest::mouseClick(caixa->lblSite(), Qt::LeftButton);
        const QList<QUrl> abertos = captura->urls;
        captura.reset();
        QCOMPARE(abertos, QList<QUrl>{QUrl(qeltrano::Config().SiteFabricante)});
        QVERIFY(caixa->Carregado());
    }
};

QTEST_MAIN(TesteSobre)
#include "tst_sobre.moc"
