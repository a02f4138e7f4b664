#include "app/workbench/XScreen.h"

#include "app/workbench/modErros.h"
#include "platform/CapturaTela.h"
#include "suite/Controles.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QImage>
#include <memory>

namespace qeltrano {

XScreen::XScreen(QWidget* dono) : orvessa::Formulario(QStringLiteral("XScreen"), dono),
                                  imgScreen_(new orvessa::USAlphaImage(this))
{
    imgScreen_->setObjectName(QStringLiteral("imgScreen"));
}

XScreen::~XScreen() = default;

QString XScreen::PrintScreenEx()
{
    QString resultado;
    try {
        Carregar();
        const orvessa::Utilitarios& util = orvessa::Utilitarios::Instancia();
        const QString pasta = util.DiretorioTemporario();
        const QString bitmap = pasta + QLatin1Char('/') + util.GerarAleatorio(QStringLiteral("."), 4, 99) +
                               QStringLiteral(".bmp");
        const QString jpeg = pasta + QLatin1Char('/') + util.GerarAleatorio(QStringLiteral("."), 4, 99) +
                             QStringLiteral(".jpg");

        // A failed grab or write shows up as a bitmap that cannot be loaded.
        const QImage tela = plataforma::CapturarAreaTrabalho();
        if (!tela.isNull())
            tela.save(bitmap, "BMP");
        if (imgScreen_->CarregarImagem(bitmap) && imgScreen_->SalvarJPG(jpeg))
            resultado = jpeg;
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("XScreen.PrintScreenEx"));
        resultado.clear();
    }
    try {
        Descarregar(true);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("XScreen.PrintScreenEx"));
    }
    return resultado;
}

QString PrintScreenEx()
{
    try {
        // The window needs a widget application; without one there is no
        // desktop to take either.
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return QString();
        auto janela = std::make_unique<XScreen>();
        return janela->PrintScreenEx();
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("PrintScreenEx"));
        return QString();
    }
}

}  // namespace qeltrano
