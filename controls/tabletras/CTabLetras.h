#pragma once
// A row of 26 letter buttons, "A" to "Z": a click raises Click with the
// button's letter, and every tooltip names the listed items and the letter.
#include "platform/Componentes.h"

#include <QList>
#include <QWidget>

namespace orvessa { class USButton; }

namespace kestrane {

class CTabLetras : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString ToolTipTitle READ ToolTipTitle WRITE DefinirToolTipTitle)
public:
    static constexpr int TotalLetras = 26;
    // Design layout of button i, in twips.
    static constexpr double PassoTwips = 405;
    static constexpr double LarguraTwips = 390;
    static constexpr double AlturaTwips = 410;

    explicit CTabLetras(QWidget* pai = nullptr);

    QString ToolTipTitle() const { return toolTipTitle_; }
    void DefinirToolTipTitle(const QString& titulo);

    // Persistence: key "ToolTipTitle".
    Q_INVOKABLE void ReadProperties(plataforma::PropertyBag* bag);
    Q_INVOKABLE void WriteProperties(plataforma::PropertyBag* bag) const;

    static QString LetraDoIndice(int indice);

    QSize sizeHint() const override;

signals:
    void Click(const QString& Letra);

private:
    void MontarBotoes();

    QString toolTipTitle_;
    QList<orvessa::USButton*> btnLetra_;
};

}  // namespace kestrane
