#include "controls/tabletras/CTabLetras.h"

#include "suite/Controles.h"
#include "suite/Tema.h"

#include <QIcon>
#include <algorithm>
#include <cmath>

namespace kestrane {
namespace {

int Px(double twips, bool vertical)
{
    const double px = vertical ? orvessa::TwipsParaPixelsY(twips) : orvessa::TwipsParaPixelsX(twips);
    return static_cast<int>(std::lround(px));
}

}  // namespace

CTabLetras::CTabLetras(QWidget* pai) : QWidget(pai)
{
    setObjectName(QStringLiteral("CTabLetras"));
    const int largura = Px(LarguraTwips, false);
    const int altura = Px(AlturaTwips, true);
    const int lado = std::max(8, std::min(largura, altura) - 4);
    for (int i = 0; i < TotalLetras; ++i) {
        const QString letra = LetraDoIndice(i);
        auto* botao = new orvessa::USButton(this);
        botao->setObjectName(QStringLiteral("btnLetra"));
        botao->setProperty("Index", i);
        botao->setProperty("Tag", letra);
        botao->setAccessibleName(letra);
        botao->setGeometry(Px(PassoTwips * i, false), 0, largura, altura);
        QIcon imagem;
        imagem.addFile(QStringLiteral(":/kestrane/tabletras/%1.png").arg(letra));
        imagem.addFile(QStringLiteral(":/kestrane/tabletras/%1@2x.png").arg(letra));
        botao->setIcon(imagem);
        botao->setIconSize(QSize(lado, lado));
        botao->setFocusPolicy(Qt::StrongFocus);
        // The picture is the button's face: no text padding around it.
        botao->setStyleSheet(QStringLiteral("padding: 0px; min-height: 0px; min-width: 0px;"));
        connect(botao, &QAbstractButton::clicked, this, [this, botao] {
            emit Click(botao->property("Tag").toString());
        });
        if (!btnLetra_.isEmpty())
            QWidget::setTabOrder(btnLetra_.last(), botao);
        btnLetra_.append(botao);
    }
}

QString CTabLetras::LetraDoIndice(int indice)
{
    if (indice < 0 || indice >= TotalLetras)
        return {};
    return QString(QChar(u'A' + indice));
}

void CTabLetras::DefinirToolTipTitle(const QString& titulo)
{
    toolTipTitle_ = titulo;
    MontarBotoes();
}

void CTabLetras::MontarBotoes()
{
    const QString itens = toolTipTitle_.toLower();
    for (int i = 0; i < btnLetra_.size(); ++i) {
        // Late bound, by member name, as a host would reach any button.
        btnLetra_[i]->setProperty("ToolTipTitle", toolTipTitle_);
        btnLetra_[i]->setProperty("ToolTipDescription",
                                  QStringLiteral("Clique neste botão para listar ") + itens +
                                      QStringLiteral(" que começam com a letra ") + LetraDoIndice(i));
    }
}

void CTabLetras::ReadProperties(plataforma::PropertyBag* bag)
{
    if (!bag)
        return;
    toolTipTitle_ = bag->ReadProperty(QStringLiteral("ToolTipTitle"), toolTipTitle_).toString();
    MontarBotoes();
}

void CTabLetras::WriteProperties(plataforma::PropertyBag* bag) const
{
    if (!bag)
        return;
    bag->WriteProperty(QStringLiteral("ToolTipTitle"), toolTipTitle_, QString());
}

QSize CTabLetras::sizeHint() const
{
    return {Px(PassoTwips * (TotalLetras - 1) + LarguraTwips, false), Px(AlturaTwips, true)};
}

}  // namespace kestrane
