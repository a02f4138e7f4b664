#include "checkout/modRegistry.h"

#include "platform/Arredondamento.h"

#include <QRegularExpression>
#include <QVariant>

#include <cmath>

namespace vendalo {
namespace {

using plataforma::Registro;

// The number a text starts with, as a numeric read of typed text takes it:
// blanks skipped, "&H" hexadecimal, else a decimal with "." ; 0 when none.
quint32 ValorDword(const QString& texto)
{
    const QString t = texto.trimmed();
    static const QRegularExpression hexa(QStringLiteral("^&[Hh]([0-9A-Fa-f]{1,8})"));
    const QRegularExpressionMatch h = hexa.match(t);
    if (h.hasMatch())
        return h.captured(1).toUInt(nullptr, 16);
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)"));
    const QRegularExpressionMatch d = decimal.match(t);
    if (!d.hasMatch())
        return 0;
    const double v = plataforma::ArredondarPar(d.captured(0).toDouble());
    if (v >= 4294967296.0 || v <= -2147483649.0)
        return 0;
    return quint32(qint64(v));
}

}  // namespace

bool CriarChave(plataforma::Hive hive, const QString& chave)
{
    if (Registro::CriarChave(hive, chave))
        return true;
    // The key's path holds the service token: the log names only the file.
    qWarning("Vendalo: CriarChave: a chave não foi criada em %s", qPrintable(Registro::ArquivoHive(hive)));
    return false;
}

QString LerValorRegistro(plataforma::Hive hive, const QString& chave, const QString& nome)
{
    const std::optional<QVariant> valor = Registro::LerValor(hive, chave, nome);
    if (!valor)
        return QString();
    if (valor->typeId() == QMetaType::UInt)
        return QString::number(valor->toUInt(), 16).toUpper();
    QString texto = valor->toString();
    const qsizetype nul = texto.indexOf(QChar(0));
    if (nul >= 0)
        texto.truncate(nul);
    return texto;
}

bool GravarValorRegistro(plataforma::Hive hive, const QString& chave, const QString& nome, const QString& texto)
{
    return GravarValoresRegistro(hive, {{chave, nome, texto}});
}

bool GravarValoresRegistro(plataforma::Hive hive, const QList<EscritaRegistro>& escritas)
{
    // Keys and values in one write: the key is created first, then the value
    // keeps the type it has.
    plataforma::LoteRegistro lote;
    for (const EscritaRegistro& e : escritas) {
        if (!e.texto) {
            lote.ExcluirValor(e.chave, e.nome);
            continue;
        }
        lote.CriarChave(e.chave);
        const std::optional<QVariant> atual = Registro::LerValor(hive, e.chave, e.nome);
        if (atual && atual->typeId() == QMetaType::UInt)
            lote.GravarDword(e.chave, e.nome, ValorDword(*e.texto));
        else
            lote.GravarTexto(e.chave, e.nome, *e.texto);
    }
    if (lote.Vazio() || Registro::Aplicar(hive, lote))
        return true;
    qWarning("Vendalo: GravarValorRegistro: %lld valor(es) não foram gravados em %s",
             static_cast<long long>(escritas.size()), qPrintable(Registro::ArquivoHive(hive)));
    return false;
}

}  // namespace vendalo
