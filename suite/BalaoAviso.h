#pragma once
// A balloon tip pointing at a control; one at a time per process.
#include "suite/Exporta.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace orvessa {

class ORVESSA_EXPORT BalaoAviso {
public:
    static BalaoAviso& Instancia();

    // Callers pass the title "Atenção!", icon 2 (warning) and back colour
    // &HE1FFFF. The text is marked-up.
    void ExibirBalao(const QString& titulo, const QString& texto, QWidget* ancora, int icone,
                     int reservado, long corFundo, int reservado2);
    void OcultarBalao();
    // The control the shown balloon points at; null when none is shown.
    QWidget* ControleBalao() const;
    bool Visivel() const;
    // The text shown, for tests.
    QString TextoExibido() const;

    // The convention every validated text box follows: hide on change, on
    // losing focus and on mouse down; on gaining focus hide a balloon that
    // points at another control.
    static void AplicarConvencao(QWidget* caixaTexto);

private:
    BalaoAviso() = default;
    QPointer<QWidget> balao_;
    QPointer<QWidget> ancora_;
    QString texto_;
};

}  // namespace orvessa
