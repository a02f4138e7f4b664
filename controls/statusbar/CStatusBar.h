#pragma once
// A bar of fixed height that paints its theme picture over its whole face.
#include <QPixmap>
#include <QWidget>

namespace kestrane {

class CStatusBar : public QWidget {
    Q_OBJECT
    // Kept for hosts that bind them: both read 0 and writes are discarded.
    Q_PROPERTY(float Width READ Width WRITE DefinirWidth)
    Q_PROPERTY(float Height READ Height WRITE DefinirHeight)
public:
    static constexpr double AlturaTwips = 800;

    explicit CStatusBar(QWidget* pai = nullptr);

    float Width() const { return 0; }
    void DefinirWidth(float) {}
    float Height() const { return 0; }
    void DefinirHeight(float) {}

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    int AlturaPixels() const;
    void Desenhar();

    QPixmap picTheme_;
};

}  // namespace kestrane
