#include "platform/CapturaTela.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace plataforma {

QImage CapturarAreaTrabalho()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QImage();
    const QList<QScreen*> telas = QGuiApplication::screens();
    QRect virtual_;
    for (QScreen* tela : telas)
        virtual_ = virtual_.united(tela->geometry());
    if (virtual_.isEmpty())
        return QImage();

    QImage imagem(virtual_.size(), QImage::Format_RGB32);
    imagem.fill(Qt::black);
    bool alguma = false;
    {
        QPainter pintor(&imagem);
        for (QScreen* tela : telas) {
            const QPixmap captura = tela->grabWindow(0);
            if (captura.isNull())
                continue;
            // Drawn at the screen's place and logical size, whatever its pixel ratio.
            const QRect destino = tela->geometry().translated(-virtual_.topLeft());
            pintor.drawPixmap(destino, captura);
            alguma = true;
        }
    }
    return alguma ? imagem : QImage();
}

}  // namespace plataforma
