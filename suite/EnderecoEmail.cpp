#include "suite/EnderecoEmail.h"

#include "platform/Texto.h"

#include <QRegularExpression>

namespace orvessa {

bool EnderecoEmailValido(const QString& endereco)
{
    const QString e = plataforma::Trim(endereco);
    if (e.size() > 254)
        return false;
    const qsizetype arroba = e.indexOf(QLatin1Char('@'));
    if (arroba <= 0 || arroba != e.lastIndexOf(QLatin1Char('@')))
        return false;
    const QString local = e.left(arroba);
    const QString dominio = e.mid(arroba + 1);
    // Anchored at the very ends ("$" would also match before a final line
    // break).
    static const QRegularExpression reLocal(QRegularExpression::anchoredPattern(
        QStringLiteral("[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*")));
    static const QRegularExpression reDominio(QRegularExpression::anchoredPattern(
        QStringLiteral("([A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?\\.)+[A-Za-z]{2,63}")));
    return local.size() <= 64 && reLocal.match(local).hasMatch() && reDominio.match(dominio).hasMatch();
}

}  // namespace orvessa
