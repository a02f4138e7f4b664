#include "checkout/Tela.h"

#include "checkout/SemErros.h"
#include "checkout/modGlobal.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPainter>
#include <QTimer>

namespace vendalo {

TelaCheckout::TelaCheckout(const QString& nome, QWidget* dono) : orvessa::Formulario(nome, dono) {}

QImage TelaCheckout::CarregarFundo(const QString& pasta, const QString& imagem, const QString& padrao)
{
    const auto& u = orvessa::Utilitarios::Instancia();
    const QString a = pasta + QLatin1Char('/') + imagem;
    if (!imagem.isEmpty() && u.ArquivoExiste(a, 0)) {
        QImage fundo(a);
        if (!fundo.isNull())
            return fundo;
    }
    const QString b = pasta + QLatin1Char('/') + padrao;
    if (u.ArquivoExiste(b, 0))
        return QImage(b);
    return QImage();
}

void TelaCheckout::DefinirFundo(const QImage& imagem)
{
    fundo_ = imagem;
    update();
}

void TelaCheckout::RestaurarPonteiro()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TelaCheckout::Form_Activate()
{
    RestaurarPonteiro();
    if (Parametros().FecharTelas) {
        // Not from inside the activation itself: the modal loop of the
        // screen above may still be unwinding.
        QTimer::singleShot(0, this, [this] {
            if (Carregado() && Parametros().FecharTelas)
                Descarregar();
        });
    }
}

bool TelaCheckout::event(QEvent* evento)
{
    if (evento->type() == QEvent::WindowActivate)
        SemErros("TelaCheckout.Form_Activate", [this] { Form_Activate(); });
    return orvessa::Formulario::event(evento);
}

void TelaCheckout::paintEvent(QPaintEvent* evento)
{
    if (fundo_.isNull()) {
        orvessa::Formulario::paintEvent(evento);
        return;
    }
    QPainter pintor(this);
    pintor.drawImage(rect(), fundo_);
}

}  // namespace vendalo
