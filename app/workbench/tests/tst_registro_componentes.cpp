// Registering a component library again: the folder it is looked for in, the
// registration entry run on a worker, and the time limit.
#include "app/workbench/modComum.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>

using namespace qeltrano;

namespace {

QString Pasta(const char* caminho) { return QFileInfo(QString::fromUtf8(caminho)).absolutePath(); }
QString Nome(const char* caminho) { return QFileInfo(QString::fromUtf8(caminho)).fileName(); }

bool Carregada(const char* caminho)
{
    void* h = dlopen(caminho, RTLD_NOW | RTLD_NOLOAD);
    if (!h)
        return false;
    dlclose(h);  // only the reference RTLD_NOLOAD just took
    return true;
}

}  // namespace

class TstRegistroComponentes : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { DefinirPastaComponentes(QString()); }

    void registrarDll_data()
    {
        QTest::addColumn<QString>("caminho");
        QTest::addColumn<bool>("esperado");
        QTest::newRow("entry returns at once") << QStringLiteral(COMP_REGISTRO_RAPIDO) << true;
        QTest::newRow("entry fails but returns") << QStringLiteral(COMP_REGISTRO_FALHA) << true;
        QTest::newRow("no entry") << QStringLiteral(COMP_SEM_ENTRADA) << false;
        QTest::newRow("missing file") << Pasta(COMP_REGISTRO_RAPIDO) + QStringLiteral("/ausente.so") << false;
        QTest::newRow("a folder") << Pasta(COMP_REGISTRO_RAPIDO) + QStringLiteral("/") << false;
    }

    void registrarDll()
    {
        QFETCH(QString, caminho);
        QFETCH(bool, esperado);
        QCOMPARE(RegistrarDll(caminho), esperado);
        // A library is unloaded again once its entry has returned, or when it
        // has none.
        QVERIFY(!Carregada(QFile::encodeName(caminho).constData()));
    }

    void naoBiblioteca()
    {
        QTemporaryDir pasta;
        QFile falso(pasta.filePath(QStringLiteral("falso.ocx")));
        QVERIFY(falso.open(QIODevice::WriteOnly));
        falso.write("not an ELF file");
        falso.close();
        QVERIFY(!RegistrarDll(falso.fileName()));
    }

    void registrarComponente_data()
    {
        QTest::addColumn<QString>("arquivo");
        QTest::addColumn<bool>("esperado");
        QTest::newRow("in the folder") << Nome(COMP_REGISTRO_RAPIDO) << true;
        QTest::newRow("failing entry") << Nome(COMP_REGISTRO_FALHA) << true;
        QTest::newRow("no entry") << Nome(COMP_SEM_ENTRADA) << false;
        QTest::newRow("missing") << QStringLiteral("ausente.ocx") << false;
        QTest::newRow("empty name") << QString() << false;
        // The name comes from an error's text; a path out of the folder is
        // refused even when it leads to a real library.
        QTest::newRow("leads out of the folder")
            << QStringLiteral("../") + QDir(Pasta(COMP_REGISTRO_RAPIDO)).dirName() + QStringLiteral("/") +
                   Nome(COMP_REGISTRO_RAPIDO)
            << false;
    }

    void registrarComponente()
    {
        QFETCH(QString, arquivo);
        QFETCH(bool, esperado);
        DefinirPastaComponentes(Pasta(COMP_REGISTRO_RAPIDO));
        QCOMPARE(RegistrarComponente(arquivo), esperado);
    }

    void pastaPadrao()
    {
        DefinirPastaComponentes(QString());
        const QString pasta = PastaComponentes();
        QVERIFY(QDir::isAbsolutePath(pasta));
        QVERIFY(pasta.endsWith(QStringLiteral("/lib/ilib")));
        QCOMPARE(QDir::cleanPath(pasta), pasta);
        DefinirPastaComponentes(QStringLiteral("/tmp/outra"));
        QCOMPARE(PastaComponentes(), QStringLiteral("/tmp/outra"));
    }

    // An entry that overruns the limit: the caller gives up after the limit
    // (not when the entry returns) and the library stays loaded while the
    // worker may still run in it.
    void entradaLenta()
    {
        QElapsedTimer relogio;
        relogio.start();
        QVERIFY(!RegistrarDll(QStringLiteral(COMP_REGISTRO_LENTO)));
        const qint64 decorrido = relogio.elapsed();
        QVERIFY2(decorrido >= 9900, qPrintable(QString::number(decorrido)));
        QVERIFY2(decorrido < 11000, qPrintable(QString::number(decorrido)));
        QVERIFY(Carregada(COMP_REGISTRO_LENTO));

        // The worker ends later on its own; the library is still there after.
        QTest::qWait(1500);
        QVERIFY(Carregada(COMP_REGISTRO_LENTO));
    }

    void limiteCurto()
    {
        QVERIFY(!RegistrarDll(QStringLiteral(COMP_REGISTRO_LENTO), 200));
        QVERIFY(RegistrarDll(QStringLiteral(COMP_REGISTRO_RAPIDO), 200));
    }
};

QTEST_GUILESS_MAIN(TstRegistroComponentes)
#include "tst_registro_componentes.moc"
