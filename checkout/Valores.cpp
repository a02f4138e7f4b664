#include "checkout/Valores.h"

#include <QLocale>

namespace vendalo {
namespace {

const QLocale& Brasil()
{
    static const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    return brasil;
}

}  // namespace

QString FormatarValor(double valor)
{
    return Brasil().toString(valor, 'f', 2);
}

std::optional<double> LerValor(const QString& texto)
{
    bool ok = false;
    const double v = Brasil().toDouble(texto.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

QString ValorParaServico(double valor)
{
    return QLocale::c().toString(valor, 'g', QLocale::FloatingPointShortest);
}

}  // namespace vendalo
