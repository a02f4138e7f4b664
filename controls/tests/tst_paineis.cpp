// The status bar and the information panel, created as a host creates them.
#include "Apoio.h"
#include "ApoioKestrane.h"

#include "suite/Tema.h"

#include <QImage>
#include <QLabel>
#include <QTest>
#include <cmath>
#include <memory>

using plataforma::Componentes;
using plataforma::PropertyBag;

namespace {

constexpr int DispidWidth = 0x68030001;
constexpr int DispidHeight = 0x68030000;
constexpr int DispidTexto = 0x68030002;
constexpr int DispidBackColor = 0x68030001;
constexpr int DispidBorderColor = 0x68030000;

int AlturaBarra()
{
    return static_cast<int>(std::lround(orvessa::TwipsParaPixelsY(800)));
}

void Ler(QObject* controle, PropertyBag* bag)
{
    QVERIFY(QMetaObject::invokeMethod(controle, "ReadProperties", Qt::DirectConnection,
                                      Q_ARG(plataforma::PropertyBag*, bag)));
}

void Gravar(QObject* controle, PropertyBag* bag)
{
    QVERIFY(QMetaObject::invokeMethod(controle, "WriteProperties", Qt::DirectConnection,
                                      Q_ARG(plataforma::PropertyBag*, bag)));
}

long Cor(QObject* controle, int dispid)
{
    return static_cast<long>(Componentes::ObterPropriedade(controle, dispid).toLongLong());
}

QColor Rgb(long bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QString TextoLongo()
{
    QStringList palavras;
    for (int i = 0; i < 60; ++i)
        palavras << QStringLiteral("palavra%1").arg(i);
    return QStringLiteral("<b>Dica</b>: ") + palavras.join(QLatin1Char(' '));
}

}  // namespace

class TestePaineis : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<QWidget> host_;

    QWidget* Criar(const char* progId)
    {
        return apoio::CriarControle(QString::fromLatin1(progId), host_.get());
    }

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        QVERIFY(apoio::RegistrarKestrane());
        host_ = std::make_unique<QWidget>();
        host_->resize(640, 480);
    }

    void cleanup()
    {
        host_.reset();
        ambiente_.reset();
    }

    void barraAltura_data()
    {
        QTest::addColumn<int>("largura");
        QTest::addColumn<int>("altura");
        QTest::newRow("baixa") << 300 << 5;
        QTest::newRow("alta") << 520 << 400;
        QTest::newRow("a propria") << 180 << AlturaBarra();
    }

    // Whatever the host asks, the bar is 800 twips high and as wide as asked.
    void barraAltura()
    {
        QFETCH(int, largura);
        QFETCH(int, altura);
        QWidget* barra = Criar("Kestrane.CStatusBar");
        QVERIFY(barra);
        barra->setGeometry(0, 10, largura, altura);
        QCOMPARE(barra->height(), AlturaBarra());
        QCOMPARE(barra->width(), largura);
        barra->resize(largura + 40, altura * 2 + 1);
        QCOMPARE(barra->height(), AlturaBarra());
        QCOMPARE(barra->width(), largura + 40);
    }

    // Width and Height read 0 and a write neither fails nor moves the bar.
    void barraPropriedadesInertes()
    {
        QWidget* barra = Criar("Kestrane.CStatusBar");
        QVERIFY(barra);
        barra->setGeometry(0, 0, 400, 10);
        const QRect antes = barra->geometry();
        for (const int dispid : {DispidWidth, DispidHeight}) {
            QCOMPARE(Componentes::ObterPropriedade(barra, dispid).toDouble(), 0.0);
            Componentes::DefinirPropriedade(barra, dispid, 1234.5);
            QCOMPARE(Componentes::ObterPropriedade(barra, dispid).toDouble(), 0.0);
        }
        Componentes::DefinirPropriedade(barra, QStringLiteral("height"), 99);
        QCOMPARE(Componentes::ObterPropriedade(barra, QStringLiteral("HEIGHT")).toDouble(), 0.0);
        QCOMPARE(barra->geometry(), antes);
    }

    // The picture covers the whole face, stretched: the strip shades from top
    // to bottom and is the same at both ends of a row.
    void barraPinta()
    {
        QWidget* barra = Criar("Kestrane.CStatusBar");
        QVERIFY(barra);
        barra->setGeometry(0, 0, 700, 10);
        const QImage face = barra->grab().toImage();
        QCOMPARE(face.height(), AlturaBarra());
        const int meio = face.height() / 2;
        const QColor esquerda = face.pixelColor(3, meio), direita = face.pixelColor(face.width() - 4, meio);
        QVERIFY2(esquerda.blue() > esquerda.red() + 60, "the face is not the blue theme strip");
        QVERIFY(std::abs(esquerda.blue() - direita.blue()) < 24);
        QVERIFY(face.pixelColor(3, 4).lightness() > face.pixelColor(3, face.height() - 4).lightness());
    }

    void painelCoresPadrao()
    {
        QWidget* painel = Criar("Kestrane.CInfoPanel");
        QVERIFY(painel);
        painel->setGeometry(0, 0, 300, 80);
        QCOMPARE(Cor(painel, DispidBackColor), 0xFEE5C3L);
        QCOMPARE(Cor(painel, DispidBorderColor), 0xF6AD6BL);
        QImage face = painel->grab().toImage();
        QCOMPARE(face.pixelColor(0, 0), Rgb(0xF6AD6B));
        QCOMPARE(face.pixelColor(painel->width() - 1, painel->height() - 1), Rgb(0xF6AD6B));
        QCOMPARE(face.pixelColor(painel->width() - 5, 4), Rgb(0xFEE5C3));

        // A colour set is shown at once.
        Componentes::DefinirPropriedade(painel, DispidBackColor, 0x0000FF);
        Componentes::DefinirPropriedade(painel, QStringLiteral("bordercolor"), 0x00FF00);
        face = painel->grab().toImage();
        QCOMPARE(face.pixelColor(painel->width() - 5, 4), QColor(255, 0, 0));
        QCOMPARE(face.pixelColor(0, 0), QColor(0, 255, 0));
    }

    // A let trims the blanks at both ends; what the bag holds is kept as is.
    void painelTextoAparado()
    {
        QWidget* painel = Criar("Kestrane.CInfoPanel");
        QVERIFY(painel);
        Componentes::DefinirPropriedade(painel, DispidTexto, QStringLiteral("   <b>Atenção</b>: campo  "));
        QCOMPARE(Componentes::ObterPropriedade(painel, DispidTexto).toString(),
                 QStringLiteral("<b>Atenção</b>: campo"));

        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("texto"), QStringLiteral("  com brancos  "));
        Ler(painel, &bag);
        QCOMPARE(Componentes::ObterPropriedade(painel, DispidTexto).toString(), QStringLiteral("  com brancos  "));
    }

    // Keys in any case come in, and what goes out reads back the same.
    void painelBagIdaEVolta()
    {
        QWidget* painel = Criar("Kestrane.CInfoPanel");
        QVERIFY(painel);
        PropertyBag entrada;
        entrada.WriteProperty(QStringLiteral("TEXTO"), QStringLiteral(" Olá <u>mundo</u>"));
        entrada.WriteProperty(QStringLiteral("backcolor"), 0x123456);
        entrada.WriteProperty(QStringLiteral("BorderCOLOR"), 0x654321);
        Ler(painel, &entrada);
        QCOMPARE(painel->property("Texto").toString(), QStringLiteral(" Olá <u>mundo</u>"));
        QCOMPARE(Cor(painel, DispidBackColor), 0x123456L);
        QCOMPARE(Cor(painel, DispidBorderColor), 0x654321L);
        QCOMPARE(painel->grab().toImage().pixelColor(0, 0), Rgb(0x654321));

        PropertyBag saida;
        Gravar(painel, &saida);
        QCOMPARE(saida.ReadProperty(QStringLiteral("texto")).toString(), QStringLiteral(" Olá <u>mundo</u>"));
        QCOMPARE(saida.ReadProperty(QStringLiteral("BACKCOLOR")).toLongLong(), 0x123456LL);
        QCOMPARE(saida.ReadProperty(QStringLiteral("bordercolor")).toLongLong(), 0x654321LL);

        QWidget* outro = Criar("Kestrane.CInfoPanel");
        Ler(outro, &saida);
        QCOMPARE(outro->property("Texto").toString(), QStringLiteral(" Olá <u>mundo</u>"));
        QCOMPARE(Cor(outro, DispidBackColor), 0x123456L);
        QCOMPARE(Cor(outro, DispidBorderColor), 0x654321L);
    }

    // A form saved without the keys gets the default colours back, even on
    // a panel whose colours were changed before.
    void painelBagSemChaves()
    {
        QWidget* painel = Criar("Kestrane.CInfoPanel");
        QVERIFY(painel);
        painel->setProperty("Texto", QStringLiteral("antes"));
        painel->setProperty("BackColor", 0x111111);
        painel->setProperty("BorderColor", 0x222222);
        PropertyBag vazia;
        Ler(painel, &vazia);
        QCOMPARE(painel->property("Texto").toString(), QString());
        QCOMPARE(Cor(painel, DispidBackColor), 0xFEE5C3L);
        QCOMPARE(Cor(painel, DispidBorderColor), 0xF6AD6BL);
        PropertyBag saida;
        Gravar(painel, &saida);
        QCOMPARE(saida.ReadProperty(QStringLiteral("BackColor"), 0xFEE5C3).toLongLong(), 0xFEE5C3LL);
        QCOMPARE(saida.ReadProperty(QStringLiteral("BorderColor"), 0xF6AD6B).toLongLong(), 0xF6AD6BLL);
    }

    // A colour the bag holds as something else than a number is no colour.
    void painelBagCorInvalida()
    {
        QWidget* painel = Criar("Kestrane.CInfoPanel");
        QVERIFY(painel);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("BackColor"), QStringLiteral("azul"));
        Ler(painel, &bag);
        QCOMPARE(Cor(painel, DispidBackColor), 0xFEE5C3L);
    }

    // A long text grows the panel to the label's bottom + 14; a shorter one
    // later leaves it at that height. The icon stays centred, the border on
    // the edge.
    void painelCresceENaoEncolhe()
    {
        host_->show();
        QWidget* painel = Criar("Kestrane.CInfoPanel");
        QVERIFY(painel);
        painel->setGeometry(10, 10, 300, 60);
        painel->show();
        auto* rotulo = painel->findChild<QLabel*>(QStringLiteral("lblM"));
        QWidget* icone = painel->findChild<QWidget*>(QStringLiteral("Icone"));
        QWidget* borda = painel->findChild<QWidget*>(QStringLiteral("Linha"));
        QVERIFY(rotulo && icone && borda);

        painel->setProperty("Texto", QStringLiteral("Curto"));
        QCOMPARE(painel->height(), 60);
        QCOMPARE(rotulo->width(), 300 - (rotulo->x() + 14));

        painel->setProperty("Texto", TextoLongo());
        const int crescida = painel->height();
        QVERIFY2(crescida > 60, "the panel did not grow");
        QCOMPARE(crescida, rotulo->y() + rotulo->height() + 14);
        QVERIFY(rotulo->height() >= rotulo->heightForWidth(rotulo->width()));
        QCOMPARE(icone->geometry(), QRect(12, (crescida - 32) / 2, 32, 32));
        QCOMPARE(borda->geometry(), painel->rect());

        painel->setProperty("Texto", QStringLiteral("Curto de novo"));
        QCOMPARE(painel->height(), crescida);
        QCOMPARE(borda->geometry(), painel->rect());

        // Wider, the label follows the new width.
        painel->resize(420, painel->height());
        QCOMPARE(rotulo->width(), 420 - (rotulo->x() + 14));
        QCOMPARE(borda->geometry(), painel->rect());
    }
};

QTEST_MAIN(TestePaineis)
#include "tst_paineis.moc"
