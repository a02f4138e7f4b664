#include "app/workbench/FSplash.h"

#include "app/workbench/modComum.h"
#include "suite/Controles.h"

#include <QPointer>
#include <QVBoxLayout>

namespace qeltrano {

FSplash::FSplash() : orvessa::Formulario(QStringLiteral("FSplash"))
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    auto* layout = new QVBoxLayout(this);
    auto* titulo = new orvessa::USLabel(this);
    titulo->DefinirCaption(QStringLiteral("<b>%1</b>").arg(ObterTituloVersao()));
    titulo->setAlignment(Qt::AlignCenter);
    layout->addWidget(titulo);
    resize(320, 120);
}

FSplash* FormSplash()
{
    static QPointer<FSplash> splash;
    if (!splash)
        splash = new FSplash;
    return splash;
}

}  // namespace qeltrano
