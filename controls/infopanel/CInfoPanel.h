#pragma once
// A tinted panel with an icon, a one-pixel border and a marked-up text that
// wraps inside it; it grows downwards when the text needs more room.
#include "platform/Componentes.h"

#include <QWidget>

namespace orvessa {
class USAlphaImage;
class USLabel;
}  // namespace orvessa

namespace kestrane {

class CInfoPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Texto READ Texto WRITE DefinirTexto)
    Q_PROPERTY(long BackColor READ BackColor WRITE DefinirBackColor)
    Q_PROPERTY(long BorderColor READ BorderColor WRITE DefinirBorderColor)
public:
    // OLE colours, blue-green-red.
    static constexpr long BackColorPadrao = 0xFEE5C3;
    static constexpr long BorderColorPadrao = 0xF6AD6B;
    // Fixed places of the design, in pixels.
    static constexpr int MargemTexto = 14;
    static constexpr int EsquerdaIcone = 12;
    static constexpr int LadoIcone = 32;

    explicit CInfoPanel(QWidget* pai = nullptr);

    QString Texto() const;
    // Trims the blanks at both ends and lays the panel out again.
    void DefinirTexto(const QString& texto);
    long BackColor() const { return backColor_; }
    void DefinirBackColor(long cor);
    long BorderColor() const { return borderColor_; }
    void DefinirBorderColor(long cor);

    // Persistence: keys "Texto", "BackColor", "BorderColor". A text read
    // from the bag is shown as stored.
    Q_INVOKABLE void ReadProperties(plataforma::PropertyBag* bag);
    Q_INVOKABLE void WriteProperties(plataforma::PropertyBag* bag) const;

    QSize sizeHint() const override;

signals:
    // A persisted property changed, so the host knows to save it.
    void PropertyChanged(const QString& nome);

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    void Organizar();
    void AplicarBackColor(long cor);
    void AplicarBorderColor(long cor);

    long backColor_ = BackColorPadrao;
    long borderColor_ = BorderColorPadrao;
    QColor corFundo_;
    orvessa::USLabel* lblM_;
    orvessa::USAlphaImage* Icone_;
    QWidget* Linha_;
    bool organizando_ = false;
};

}  // namespace kestrane
