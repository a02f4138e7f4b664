// The letter tab: its 26 buttons, their tooltips and the Click event.
#include "Apoio.h"
#include "ApoioKestrane.h"

#include "suite/Tema.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>

using plataforma::Componentes;
using plataforma::PropertyBag;

namespace {

constexpr int DispidToolTipTitle = 0x68030000;

int Px(double twips)
{
    return static_cast<int>(std::lround(orvessa::TwipsParaPixelsX(twips)));
}

int PxY(double twips)
{
    return static_cast<int>(std::lround(orvessa::TwipsParaPixelsY(twips)));
}

}  // namespace

class TesteTabLetras : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<QWidget> host_;
    QWidget* abas_ = nullptr;

    // The buttons in index order, by the letter each carries as its tag.
    QList<QAbstractButton*> Botoes() const
    {
        QList<QAbstractButton*> botoes = abas_->findChildren<QAbstractButton*>();
        std::sort(botoes.begin(), botoes.end(), [](QAbstractButton* a, QAbstractButton* b) {
            return a->property("Tag").toString() < b->property("Tag").toString();
        });
        return botoes;
    }

    QAbstractButton* Botao(const QString& letra) const
    {
        for (QAbstractButton* botao : abas_->findChildren<QAbstractButton*>())
            if (botao->property("Tag").toString() == letra)
                return botao;
        return nullptr;
    }

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        QVERIFY(apoio::RegistrarKestrane());
        host_ = std::make_unique<QWidget>();
        abas_ = apoio::CriarControle(QStringLiteral("Kestrane.CTabLetras"), host_.get());
        QVERIFY(abas_);
    }

    void cleanup()
    {
        host_.reset();
        ambiente_.reset();
    }

    // One button per letter, in a row at 405-twip steps, in tab order, each
    // with its picture.
    void botoes()
    {
        const QList<QAbstractButton*> botoes = Botoes();
        QCOMPARE(botoes.size(), 26);
        for (int i = 0; i < botoes.size(); ++i) {
            QAbstractButton* botao = botoes[i];
            QCOMPARE(botao->property("Tag").toString(), QString(QChar(u'A' + i)));
            QCOMPARE(botao->geometry(), QRect(Px(405.0 * i), 0, Px(390), PxY(410)));
            QVERIFY2(!botao->icon().isNull(), qPrintable(botao->property("Tag").toString()));
            QVERIFY(!botao->icon().pixmap(botao->iconSize()).isNull());
            if (i > 0)
                QCOMPARE(botoes[i - 1]->nextInFocusChain(), botao);
        }
    }

    void dicas_data()
    {
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("descricaoW");
        QTest::newRow("vazio") << QString() << "Clique neste botão para listar  que começam com a letra W";
        QTest::newRow("simples") << "Clientes" << "Clique neste botão para listar clientes que começam com a letra W";
        QTest::newRow("caixa mista") << "FiLmes ANTIGOS"
                                     << "Clique neste botão para listar filmes antigos que começam com a letra W";
        QTest::newRow("acentos") << "AÇÕES" << "Clique neste botão para listar ações que começam com a letra W";
    }

    // Set by DISPID: every title is the host's text as given, and every
    // description names the items in lower case and the button's letter.
    void dicas()
    {
        QFETCH(QString, titulo);
        QFETCH(QString, descricaoW);
        Componentes::DefinirPropriedade(abas_, DispidToolTipTitle, titulo);
        QCOMPARE(Componentes::ObterPropriedade(abas_, DispidToolTipTitle).toString(), titulo);
        const QString abertura = descricaoW.chopped(1);
        for (QAbstractButton* botao : Botoes()) {
            const QString letra = botao->property("Tag").toString();
            QCOMPARE(botao->property("ToolTipTitle").toString(), titulo);
            QCOMPARE(botao->property("ToolTipDescription").toString(), abertura + letra);
        }
        QCOMPARE(Botao(QStringLiteral("W"))->property("ToolTipDescription").toString(), descricaoW);
        QVERIFY(Botao(QStringLiteral("W"))->toolTip().contains(QStringLiteral("letra W")));
    }

    // Clicks raise Click with the button's letter, before the click returns.
    void cliques()
    {
        host_->resize(Px(405.0 * 26), PxY(410));
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
        QSignalSpy espiao(abas_, SIGNAL(Click(QString)));
        QVERIFY(espiao.isValid());
        for (const QString& letra : {QStringLiteral("W"), QStringLiteral("X"), QStringLiteral("Y")}) {
            QAbstractButton* botao = Botao(letra);
            QVERIFY(botao);
            QTest::mouseClick(botao, Qt::LeftButton);
            QCOMPARE(espiao.size() > 0 ? espiao.last().at(0).toString() : QString(), letra);
        }
        QCOMPARE(espiao.size(), 3);
    }

    // The title comes from the bag under any case of its key and is written
    // back; a bag without it keeps the current title.
    void persistencia()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("tooltiptitle"), QStringLiteral("Músicas"));
        QVERIFY(QMetaObject::invokeMethod(abas_, "ReadProperties", Qt::DirectConnection,
                                          Q_ARG(plataforma::PropertyBag*, &bag)));
        QCOMPARE(abas_->property("ToolTipTitle").toString(), QStringLiteral("Músicas"));
        QCOMPARE(Botao(QStringLiteral("M"))->property("ToolTipDescription").toString(),
                 QStringLiteral("Clique neste botão para listar músicas que começam com a letra M"));

        PropertyBag vazia;
        QVERIFY(QMetaObject::invokeMethod(abas_, "ReadProperties", Qt::DirectConnection,
                                          Q_ARG(plataforma::PropertyBag*, &vazia)));
        QCOMPARE(abas_->property("ToolTipTitle").toString(), QStringLiteral("Músicas"));

        PropertyBag saida;
        QVERIFY(QMetaObject::invokeMethod(abas_, "WriteProperties", Qt::DirectConnection,
                                          Q_ARG(plataforma::PropertyBag*, &saida)));
        QCOMPARE(saida.ReadProperty(QStringLiteral("TOOLTIPTITLE")).toString(), QStringLiteral("Músicas"));
    }
};

QTEST_MAIN(TesteTabLetras)
#include "tst_tabletras.moc"
