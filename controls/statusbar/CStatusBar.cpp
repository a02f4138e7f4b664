#include "controls/statusbar/CStatusBar.h"

#include "suite/Tema.h"

#include <QPainter>
#include <QResizeEvent>
#include <cmath>

namespace kestrane {

CStatusBar::CStatusBar(QWidget* pai) : QWidget(pai), picTheme_(QStringLiteral(":/kestrane/statusbar/tema.jpg"))
{
    setObjectName(QStringLiteral("CStatusBar"));
    setAttribute(Qt::WA_OpaquePaintEvent, !picTheme_.isNull());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(AlturaPixels());
}

int CStatusBar::AlturaPixels() const
{
    return static_cast<int>(std::lround(orvessa::TwipsParaPixelsY(AlturaTwips)));
}

QSize CStatusBar::sizeHint() const
{
    return {QWidget::sizeHint().width(), AlturaPixels()};
}

void CStatusBar::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    // Whatever height the host asks for, the bar stays as high as designed.
    const int altura = AlturaPixels();
    if (minimumHeight() != altura || maximumHeight() != altura)
        setFixedHeight(altura);
    else if (height() != altura)
        resize(width(), altura);
    Desenhar();
}

void CStatusBar::Desenhar()
{
    update();
}

void CStatusBar::paintEvent(QPaintEvent*)
{
    QPainter pintor(this);
    // Without a picture the face is only cleared.
    if (picTheme_.isNull()) {
        pintor.fillRect(rect(), palette().window());
        return;
    }
    pintor.setRenderHint(QPainter::SmoothPixmapTransform);
    pintor.drawPixmap(rect(), picTheme_, picTheme_.rect());
}

}  // namespace kestrane
