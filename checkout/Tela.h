#pragma once
// What the checkout's screens share: the background picture rule, the
// pointer restored and the fold-up after a successful payment on activation.
#include "checkout/Exporta.h"
#include "suite/Formulario.h"

#include <QImage>

namespace vendalo {

class VENDALO_EXPORT TelaCheckout : public orvessa::Formulario {
    Q_OBJECT
public:
    TelaCheckout(const QString& nome, QWidget* dono);

    // The host's picture in the images folder, else the screen's default
    // file there; a null image when neither exists.
    static QImage CarregarFundo(const QString& pasta, const QString& imagem, const QString& padrao);
    QImage Fundo() const { return fundo_; }

protected:
    void DefinirFundo(const QImage& imagem);
    // The mouse pointer back to the default, whatever was set over it.
    static void RestaurarPonteiro();
    // Pointer back to normal; unloads itself while FecharTelas is set.
    virtual void Form_Activate();
    bool event(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

private:
    QImage fundo_;
};

}  // namespace vendalo
