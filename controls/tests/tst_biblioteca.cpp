// The library's identity, its type table and how hosts create its controls
// and reach their members and events late bound.
#include "Apoio.h"
#include "ApoioKestrane.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using plataforma::Componentes;
using plataforma::TipoMembro;

Q_DECLARE_METATYPE(TipoMembro)

namespace {

const plataforma::ClasseTipo* Classe(const plataforma::BibliotecaTipo& tipos, const QString& nome)
{
    for (int i = 0; i < tipos.totalClasses; ++i)
        if (nome == QLatin1String(tipos.classes[i].nome))
            return &tipos.classes[i];
    return nullptr;
}

const plataforma::MembroTipo* Membro(const plataforma::ClasseTipo& classe, const QString& nome)
{
    for (int i = 0; i < classe.totalMembros; ++i)
        if (nome == QLatin1String(classe.membros[i].nome))
            return &classe.membros[i];
    return nullptr;
}

bool TemSinal(const QMetaObject* meta, const QString& nome)
{
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod metodo = meta->method(i);
        if (metodo.methodType() == QMetaMethod::Signal && QString::fromLatin1(metodo.name()) == nome)
            return true;
    }
    return false;
}

bool TemMetodo(const QMetaObject* meta, const QString& nome)
{
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod metodo = meta->method(i);
        if (metodo.methodType() == QMetaMethod::Method && QString::fromLatin1(metodo.name()) == nome)
            return true;
    }
    return false;
}

}  // namespace

class TesteBiblioteca : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<QWidget> host_;

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        QVERIFY(apoio::RegistrarKestrane());
        host_ = std::make_unique<QWidget>();
    }

    void cleanup()
    {
        host_.reset();
        ambiente_.reset();
    }

    void identidade()
    {
        const plataforma::BibliotecaTipo* tipos = apoio::TiposKestrane();
        QVERIFY(tipos);
        QCOMPARE(QString::fromLatin1(tipos->nome), QStringLiteral("Kestrane"));
        QCOMPARE(QString::fromLatin1(tipos->libid), QStringLiteral("21EE3506-2691-4F85-AE83-728AA2436326"));
        QCOMPARE(QString::fromLatin1(tipos->textoAjuda), QStringLiteral("::. Kestrane"));
        QCOMPARE(tipos->totalClasses, 4);
    }

    void classes_data()
    {
        QTest::addColumn<QString>("classe");
        QTest::addColumn<QString>("clsid");
        QTest::addColumn<QString>("iid");
        QTest::addColumn<QString>("iidEventos");
        QTest::newRow("CStatusBar") << "CStatusBar" << "9D23CF34-7580-4AF9-B9A3-F46AE7F2A5CE"
                                    << "54274CB9-8704-44CD-B666-1FEAEA47EFCC" << "076768B9-0A8E-40DD-ADCA-805D013D0017";
        QTest::newRow("CInfoPanel") << "CInfoPanel" << "21EBF5DD-E224-43D4-A2CE-9DC87B52CB00"
                                    << "B14D22AB-89CB-4AAE-A05F-C4EA793EF410" << "34181E57-FB57-4E29-AA68-DCFD99B61921";
        QTest::newRow("CDownload") << "CDownload" << "0A55F8E9-8B8E-4F8A-8701-49675D629595"
                                   << "7CE3DC44-DDDC-4DF2-A7F3-DCABEDC759DC" << "C4B9E4CA-17F3-4E22-8774-E2678A0A9444";
        QTest::newRow("CTabLetras") << "CTabLetras" << "5D6D7152-1FAC-4493-93DB-D2D1DA3C5D5B"
                                    << "108BDD45-402E-41E9-B202-97294E640BA5" << "F50A2C02-B688-4069-BA79-504435E6327C";
    }

    // Every class is known to the registry by its ProgID and CLSID.
    void classes()
    {
        QFETCH(QString, classe);
        QFETCH(QString, clsid);
        QFETCH(QString, iid);
        QFETCH(QString, iidEventos);
        const plataforma::ClasseTipo* tipo = Classe(*apoio::TiposKestrane(), classe);
        QVERIFY(tipo);
        QCOMPARE(QString::fromLatin1(tipo->clsid), clsid);
        QCOMPARE(QString::fromLatin1(tipo->interfacePadrao), QStringLiteral("_") + classe);
        QCOMPARE(QString::fromLatin1(tipo->iidPadrao), iid);
        QCOMPARE(QString::fromLatin1(tipo->interfaceEventos), QStringLiteral("__") + classe);
        QCOMPARE(QString::fromLatin1(tipo->iidEventos), iidEventos);
        QCOMPARE(Componentes::ClsidDe(QStringLiteral("Kestrane.") + classe), clsid);
        QCOMPARE(QFileInfo(Componentes::BibliotecaDe(clsid)).canonicalFilePath(),
                 QFileInfo(apoio::CaminhoKestrane()).canonicalFilePath());
    }

    void membros_data()
    {
        QTest::addColumn<QString>("classe");
        QTest::addColumn<QString>("membro");
        QTest::addColumn<int>("dispid");
        QTest::addColumn<TipoMembro>("tipo");
        const auto linha = [](const char* classe, const char* membro, int dispid, TipoMembro tipo) {
            QTest::addRow("%s.%s", classe, membro) << QString::fromLatin1(classe) << QString::fromLatin1(membro)
                                                  << dispid << tipo;
        };
        linha("CStatusBar", "Width", 0x68030001, TipoMembro::Propriedade);
        linha("CStatusBar", "Height", 0x68030000, TipoMembro::Propriedade);
        linha("CInfoPanel", "Texto", 0x68030002, TipoMembro::Propriedade);
        linha("CInfoPanel", "BackColor", 0x68030001, TipoMembro::Propriedade);
        linha("CInfoPanel", "BorderColor", 0x68030000, TipoMembro::Propriedade);
        linha("CDownload", "Tamanho", 0x68030002, TipoMembro::Propriedade);
        linha("CDownload", "Baixando", 0x68030001, TipoMembro::PropriedadeSomenteLeitura);
        linha("CDownload", "Cancelado", 0x68030000, TipoMembro::Propriedade);
        linha("CDownload", "getContentType", 0x60030004, TipoMembro::Metodo);
        linha("CDownload", "getHTMLFromUrl", 0x60030005, TipoMembro::Metodo);
        linha("CDownload", "Baixar", 0x60030006, TipoMembro::Metodo);
        linha("CDownload", "Cancelar", 0x60030007, TipoMembro::Metodo);
        linha("CDownload", "Erros", 1, TipoMembro::Evento);
        linha("CDownload", "Progresso", 2, TipoMembro::Evento);
        linha("CDownload", "Concluido", 3, TipoMembro::Evento);
        linha("CTabLetras", "ToolTipTitle", 0x68030000, TipoMembro::Propriedade);
        linha("CTabLetras", "Click", 1, TipoMembro::Evento);
    }

    // The type table holds each member with its DISPID; on a created control
    // the DISPID leads to the Qt property, method or signal of that name.
    void membros()
    {
        QFETCH(QString, classe);
        QFETCH(QString, membro);
        QFETCH(int, dispid);
        QFETCH(TipoMembro, tipo);
        const plataforma::ClasseTipo* tipoClasse = Classe(*apoio::TiposKestrane(), classe);
        QVERIFY(tipoClasse);
        const plataforma::MembroTipo* registro = Membro(*tipoClasse, membro);
        QVERIFY2(registro, qPrintable(membro));
        QCOMPARE(registro->dispid, dispid);
        QCOMPARE(registro->tipo, tipo);

        QObject* controle = Componentes::CriarObjeto(QStringLiteral("Kestrane.") + classe, host_.get());
        QVERIFY(controle);
        const plataforma::MembroTipo* porDispid = Componentes::MembroPorDispid(controle, dispid);
        QVERIFY(porDispid);
        QCOMPARE(QString::fromLatin1(porDispid->nome), membro);
        QCOMPARE(Componentes::MembroPorNome(controle, membro.toLower()), porDispid);
        const QMetaObject* meta = controle->metaObject();
        switch (tipo) {
        case TipoMembro::Propriedade:
            QVERIFY(meta->indexOfProperty(qPrintable(membro)) >= 0);
            QVERIFY(meta->property(meta->indexOfProperty(qPrintable(membro))).isWritable());
            QCOMPARE(Componentes::ObterPropriedade(controle, dispid), controle->property(qPrintable(membro)));
            break;
        case TipoMembro::PropriedadeSomenteLeitura:
            QVERIFY(meta->indexOfProperty(qPrintable(membro)) >= 0);
            break;
        case TipoMembro::Metodo:
            QVERIFY(TemMetodo(meta, membro));
            break;
        case TipoMembro::Evento:
            QVERIFY(TemSinal(meta, membro));
            break;
        case TipoMembro::PropriedadeSomenteEscrita:
            QFAIL("the controls have no write-only property");
        case TipoMembro::PropriedadeIndexada:
            QFAIL("the controls have no indexed property");
        }
    }

    // The table is exactly the one above: nothing more per class.
    void semMembrosAlemDaTabela()
    {
        const plataforma::BibliotecaTipo* tipos = apoio::TiposKestrane();
        QCOMPARE(Classe(*tipos, QStringLiteral("CStatusBar"))->totalMembros, 2);
        QCOMPARE(Classe(*tipos, QStringLiteral("CInfoPanel"))->totalMembros, 3);
        QCOMPARE(Classe(*tipos, QStringLiteral("CDownload"))->totalMembros, 10);
        QCOMPARE(Classe(*tipos, QStringLiteral("CTabLetras"))->totalMembros, 2);
    }

    void criar_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("classe");
        QTest::newRow("progid") << "Kestrane.CInfoPanel" << "CInfoPanel";
        QTest::newRow("clsid") << "5D6D7152-1FAC-4493-93DB-D2D1DA3C5D5B" << "CTabLetras";
        QTest::newRow("clsid entre chaves, minusculas") << "{9d23cf34-7580-4af9-b9a3-f46ae7f2a5ce}" << "CStatusBar";
        QTest::newRow("download") << "Kestrane.CDownload" << "CDownload";
    }

    void criar()
    {
        QFETCH(QString, id);
        QFETCH(QString, classe);
        QWidget* controle = apoio::CriarControle(id, host_.get());
        QVERIFY(controle);
        QCOMPARE(controle->parentWidget(), host_.get());
        QVERIFY(Componentes::TipoDe(controle));
        QCOMPARE(QString::fromLatin1(Componentes::TipoDe(controle)->nome), classe);
    }

    // Events arrive synchronously, before the raising call returns.
    void eventoPorDispid()
    {
        QWidget* abas = apoio::CriarControle(QStringLiteral("Kestrane.CTabLetras"), host_.get());
        QVERIFY(abas);
        const QByteArray assinatura = Componentes::AssinaturaEvento(abas, 1);
        QCOMPARE(assinatura, QByteArray(SIGNAL(Click(QString))));
        QSignalSpy espiao(abas, assinatura.constData());
        QVERIFY(espiao.isValid());
        auto* botao = abas->findChildren<QAbstractButton*>().value(2);
        QVERIFY(botao);
        botao->click();
        QCOMPARE(espiao.size(), 1);
        QCOMPARE(espiao.at(0).at(0).toString(), QStringLiteral("C"));
    }

    void desregistrar()
    {
        const auto desregistrar = apoio::EntradaKestrane<FuncaoRegistro>(PLATAFORMA_ENTRADA_DESREGISTRO);
        QVERIFY(desregistrar);
        QCOMPARE(desregistrar(), 0L);
        QVERIFY(Componentes::ClsidDe(QStringLiteral("Kestrane.CStatusBar")).isEmpty());
        try {
            Componentes::CriarObjeto(QStringLiteral("Kestrane.CStatusBar"), host_.get());
            QFAIL("created after unregistering");
        } catch (const plataforma::ErroExecucao& erro) {
            QCOMPARE(erro.Numero(), 429L);
        }
    }
};

QTEST_MAIN(TesteBiblioteca)
#include "tst_biblioteca.moc"
