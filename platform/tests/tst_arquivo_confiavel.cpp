// Which files found on disk may be run: real files and folders with the
// modes and owners met on a shared machine.
#include "platform/ArquivoConfiavel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A user id no one logs in as.
constexpr uid_t kNinguem = 65534;

}  // namespace

class TstArquivoConfiavel : public QObject {
    Q_OBJECT

private:
    QTemporaryDir raiz_;

    // A folder and, in it, a file, with these modes; the owners given when
    // not -1.
    QString Criar(const QString& nome, mode_t modoPasta, mode_t modoArquivo, uid_t donoPasta = uid_t(-1),
                  uid_t donoArquivo = uid_t(-1))
    {
        const QString pasta = raiz_.filePath(nome);
        QDir().mkpath(pasta);
        const QString arquivo = pasta + QStringLiteral("/instalador");
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write("#!/bin/sh\n");
        f.close();
        const QByteArray a = QFile::encodeName(arquivo), p = QFile::encodeName(pasta);
        if (::chmod(a.constData(), modoArquivo) != 0 || ::chmod(p.constData(), modoPasta) != 0)
            return QString();
        if (donoArquivo != uid_t(-1) && ::chown(a.constData(), donoArquivo, gid_t(-1)) != 0)
            return QString();
        if (donoPasta != uid_t(-1) && ::chown(p.constData(), donoPasta, gid_t(-1)) != 0)
            return QString();
        return arquivo;
    }

private slots:
    void initTestCase() { QVERIFY(raiz_.isValid()); }

    void casos_data()
    {
        QTest::addColumn<int>("modoPasta");
        QTest::addColumn<int>("modoArquivo");
        QTest::addColumn<bool>("pastaDeOutro");
        QTest::addColumn<bool>("arquivoDeOutro");
        QTest::addColumn<QString>("motivo");  // "" when trusted

        QTest::newRow("sólido") << 0755 << 0755 << false << false << "";
        QTest::newRow("somente leitura") << 0700 << 0400 << false << false << "";
        QTest::newRow("arquivo do grupo") << 0755 << 0775 << false << false << "pode ser alterado pelo grupo";
        QTest::newRow("arquivo de todos") << 0755 << 0646 << false << false << "modo 0646";
        QTest::newRow("pasta do grupo") << 0775 << 0755 << false << false << "A pasta";
        QTest::newRow("pasta de todos com sticky") << 01777 << 0755 << false << false << "modo 1777";
        QTest::newRow("arquivo de outro usuário") << 0755 << 0755 << false << true << "pertence a outro usuário";
        QTest::newRow("pasta de outro usuário") << 0755 << 0755 << true << false << "pertence a outro usuário";
    }

    void casos()
    {
        QFETCH(int, modoPasta);
        QFETCH(int, modoArquivo);
        QFETCH(bool, pastaDeOutro);
        QFETCH(bool, arquivoDeOutro);
        QFETCH(QString, motivo);
        if ((pastaDeOutro || arquivoDeOutro) && ::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        const QString arquivo = Criar(QString::fromLatin1(QTest::currentDataTag()), mode_t(modoPasta),
                                      mode_t(modoArquivo), pastaDeOutro ? kNinguem : uid_t(-1),
                                      arquivoDeOutro ? kNinguem : uid_t(-1));
        QVERIFY(!arquivo.isEmpty());

        QString razao;
        const QString confiavel = plataforma::CaminhoConfiavel(arquivo, &razao);
        if (motivo.isEmpty()) {
            QCOMPARE(confiavel, QFileInfo(arquivo).canonicalFilePath());
            QVERIFY(razao.isEmpty());
        } else {
            QCOMPARE(confiavel, QString());
            QVERIFY2(razao.contains(motivo), qPrintable(razao));
        }
    }

    // A folder higher up that others may write lets them move the sound
    // folder aside and put their own in its place; with the sticky bit
    // (/tmp) they cannot move what is not theirs.
    void pastaAcima_data()
    {
        QTest::addColumn<int>("modoAcima");
        QTest::addColumn<bool>("confiavel");
        QTest::newRow("acima de todos") << 0777 << false;
        QTest::newRow("acima do grupo") << 0775 << false;
        QTest::newRow("acima de todos com sticky") << 01777 << true;
        QTest::newRow("acima sólida") << 0755 << true;
    }

    void pastaAcima()
    {
        QFETCH(int, modoAcima);
        QFETCH(bool, confiavel);
        const QString nome = QStringLiteral("acima-%1").arg(modoAcima, 0, 8);
        const QString arquivo = Criar(nome + QStringLiteral("/dentro"), 0755, 0755);
        QVERIFY(!arquivo.isEmpty());
        const QString acima = raiz_.filePath(nome);
        QVERIFY(::chmod(QFile::encodeName(acima).constData(), mode_t(modoAcima)) == 0);

        QString razao;
        const QString resultado = plataforma::CaminhoConfiavel(arquivo, &razao);
        if (confiavel) {
            QCOMPARE(resultado, QFileInfo(arquivo).canonicalFilePath());
        } else {
            QCOMPARE(resultado, QString());
            QVERIFY2(razao.contains(nome), qPrintable(razao));
        }
    }

    // What is not a file, or is not there, is never trusted.
    void semArquivo()
    {
        QString razao;
        QCOMPARE(plataforma::CaminhoConfiavel(raiz_.path(), &razao), QString());
        QVERIFY2(razao.contains(QStringLiteral("não é um arquivo comum")), qPrintable(razao));
        QCOMPARE(plataforma::CaminhoConfiavel(raiz_.filePath(QStringLiteral("nao-existe")), &razao), QString());
        QVERIFY2(razao.contains(QStringLiteral("não pôde ser lido")), qPrintable(razao));
        QCOMPARE(plataforma::CaminhoConfiavel(QString(), &razao), QString());
    }

    // A link is judged by what it points at, and the answer is that target:
    // a link in a folder anyone may change, to a sound file, gives the file;
    // a link in a sound folder, to a file the group may change, gives nothing.
    void links()
    {
        const QString solido = Criar(QStringLiteral("alvo-solido"), 0755, 0755);
        const QString fraco = Criar(QStringLiteral("alvo-fraco"), 0755, 0664);
        const QString aberta = raiz_.filePath(QStringLiteral("aberta"));
        const QString fechada = raiz_.filePath(QStringLiteral("fechada"));
        QVERIFY(QDir().mkpath(aberta) && QDir().mkpath(fechada));
        QVERIFY(::chmod(QFile::encodeName(aberta).constData(), 01777) == 0);
        QVERIFY(QFile::link(solido, aberta + QStringLiteral("/instalador")));
        QVERIFY(QFile::link(fraco, fechada + QStringLiteral("/instalador")));

        QCOMPARE(plataforma::CaminhoConfiavel(aberta + QStringLiteral("/instalador")),
                 QFileInfo(solido).canonicalFilePath());
        QString razao;
        QCOMPARE(plataforma::CaminhoConfiavel(fechada + QStringLiteral("/instalador"), &razao), QString());
        QVERIFY2(razao.contains(QLatin1String("alvo-fraco")), qPrintable(razao));
    }
};

QTEST_GUILESS_MAIN(TstArquivoConfiavel)
#include "tst_arquivo_confiavel.moc"
