#include "suite/TextoMarcado.h"

#include <QList>

namespace orvessa {

namespace {

enum class Marca { Negrito, Sublinhado, Cor, Quebra };

struct Etiqueta {
    Marca marca;
    bool fecha = false;
    long cor = 0;
    qsizetype tamanho = 0;  // characters the tag takes in the source
};

bool DigitoHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
}

// "&HBBGGRR&", "&HBBGGRR", "&HFF&" or a decimal number, as colour tags carry it.
bool LerCor(QStringView valor, long& cor)
{
    if (valor.size() > 2 && valor[0] == u'&' && valor[1].toLower() == u'h') {
        QStringView digitos = valor.mid(2);
        if (digitos.endsWith(u'&'))
            digitos.chop(1);
        if (digitos.isEmpty() || digitos.size() > 8)
            return false;
        for (QChar c : digitos)
            if (!DigitoHex(c))
                return false;
        bool ok = false;
        const qulonglong numero = digitos.toULongLong(&ok, 16);
        if (!ok)
            return false;
        cor = static_cast<long>(static_cast<quint32>(numero));
        return true;
    }
    if (valor.isEmpty() || valor.size() > 10)
        return false;
    for (QChar c : valor)
        if (!c.isDigit() || c.unicode() > 127)
            return false;
    bool ok = false;
    const qulonglong numero = valor.toULongLong(&ok, 10);
    if (!ok || numero > 0xFFFFFFFFull)
        return false;
    cor = static_cast<long>(static_cast<quint32>(numero));
    return true;
}

// Recognises a tag at `texto[pos]` (which is '<'); false for anything else,
// which is then shown literally.
bool LerEtiqueta(const QString& texto, qsizetype pos, Etiqueta& etiqueta)
{
    const qsizetype fim = texto.indexOf(u'>', pos + 1);
    if (fim < 0)
        return false;
    const QStringView dentro = QStringView(texto).mid(pos + 1, fim - pos - 1);
    etiqueta.tamanho = fim - pos + 1;
    auto igual = [&](QStringView nome) { return dentro.compare(nome, Qt::CaseInsensitive) == 0; };
    if (igual(u"b")) { etiqueta.marca = Marca::Negrito; return true; }
    if (igual(u"/b")) { etiqueta.marca = Marca::Negrito; etiqueta.fecha = true; return true; }
    if (igual(u"u")) { etiqueta.marca = Marca::Sublinhado; return true; }
    if (igual(u"/u")) { etiqueta.marca = Marca::Sublinhado; etiqueta.fecha = true; return true; }
    if (igual(u"br")) { etiqueta.marca = Marca::Quebra; return true; }
    if (igual(u"/c")) { etiqueta.marca = Marca::Cor; etiqueta.fecha = true; return true; }
    if (dentro.size() > 2 && dentro.left(2).compare(u"c=", Qt::CaseInsensitive) == 0) {
        etiqueta.marca = Marca::Cor;
        return LerCor(dentro.mid(2).trimmed(), etiqueta.cor);
    }
    return false;
}

QString AbrirHtml(const Etiqueta& e)
{
    switch (e.marca) {
    case Marca::Negrito:
        return QStringLiteral("<b>");
    case Marca::Sublinhado:
        return QStringLiteral("<u>");
    case Marca::Cor:
        return QStringLiteral("<span style=\"color:%1\">").arg(CorOle(e.cor).name());
    case Marca::Quebra:
        break;
    }
    return QString();
}

QString FecharHtml(const Etiqueta& e)
{
    switch (e.marca) {
    case Marca::Negrito:
        return QStringLiteral("</b>");
    case Marca::Sublinhado:
        return QStringLiteral("</u>");
    case Marca::Cor:
        return QStringLiteral("</span>");
    case Marca::Quebra:
        break;
    }
    return QString();
}

void EscaparCaractere(QChar c, QString& saida)
{
    switch (c.unicode()) {
    case '<': saida += QLatin1String("&lt;"); break;
    case '>': saida += QLatin1String("&gt;"); break;
    case '&': saida += QLatin1String("&amp;"); break;
    case '"': saida += QLatin1String("&quot;"); break;
    case '\n':
    case '\r': saida += QLatin1String("<br>"); break;
    default: saida += c;
    }
}

// Windows' default system colours, for OLE colours that name one
// (high bit set, index in the low byte).
long CorSistema(int indice)
{
    static const long rgb[] = {
        0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
        0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0,
        0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
        0xFFFFE1};
    if (indice < 0 || indice >= int(sizeof(rgb) / sizeof(rgb[0])))
        return 0x000000;
    return rgb[indice];
}

}  // namespace

QString TextoMarcadoParaHtml(const QString& marcado)
{
    // pre-wrap keeps runs of blanks, as the text is shown literally.
    QString saida = QStringLiteral("<span style=\"white-space:pre-wrap\">");
    QList<Etiqueta> abertas;
    for (qsizetype i = 0; i < marcado.size();) {
        const QChar c = marcado[i];
        Etiqueta e;
        if (c == u'<' && LerEtiqueta(marcado, i, e)) {
            i += e.tamanho;
            if (e.marca == Marca::Quebra) {
                saida += QLatin1String("<br>");
            } else if (!e.fecha) {
                saida += AbrirHtml(e);
                abertas.append(e);
            } else {
                qsizetype alvo = abertas.size() - 1;
                while (alvo >= 0 && abertas[alvo].marca != e.marca)
                    --alvo;
                if (alvo < 0)
                    continue;  // nothing of that kind is open
                // HTML needs proper nesting: close what was opened inside,
                // then open it again after.
                for (qsizetype k = abertas.size() - 1; k >= alvo; --k)
                    saida += FecharHtml(abertas[k]);
                abertas.removeAt(alvo);
                for (qsizetype k = alvo; k < abertas.size(); ++k)
                    saida += AbrirHtml(abertas[k]);
            }
            continue;
        }
        if (c == u'\r' && i + 1 < marcado.size() && marcado[i + 1] == u'\n')
            ++i;  // a CR LF pair is one line break
        EscaparCaractere(marcado[i], saida);
        ++i;
    }
    for (qsizetype k = abertas.size() - 1; k >= 0; --k)
        saida += FecharHtml(abertas[k]);
    saida += QLatin1String("</span>");
    return saida;
}

QString TextoMarcadoParaSimples(const QString& marcado)
{
    QString saida;
    saida.reserve(marcado.size());
    for (qsizetype i = 0; i < marcado.size();) {
        Etiqueta e;
        if (marcado[i] == u'<' && LerEtiqueta(marcado, i, e)) {
            if (e.marca == Marca::Quebra)
                saida += u'\n';
            i += e.tamanho;
            continue;
        }
        saida += marcado[i];
        ++i;
    }
    return saida;
}

QColor CorOle(long bgr)
{
    const quint32 valor = static_cast<quint32>(bgr);
    long rgbSistema = -1;
    if (valor & 0x80000000u)
        rgbSistema = CorSistema(int(valor & 0xFF));
    if (rgbSistema >= 0)
        return QColor(int((rgbSistema >> 16) & 0xFF), int((rgbSistema >> 8) & 0xFF), int(rgbSistema & 0xFF));
    return QColor(int(valor & 0xFF), int((valor >> 8) & 0xFF), int((valor >> 16) & 0xFF));
}

long OleDeCor(const QColor& cor)
{
    const QColor rgb = cor.toRgb();
    return long(rgb.red()) | (long(rgb.green()) << 8) | (long(rgb.blue()) << 16);
}

}  // namespace orvessa
