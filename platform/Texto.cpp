#include "platform/Texto.h"

#include <QSysInfo>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace plataforma {

namespace {

// One pass, with room for four bytes out per byte in (the most UTF-8 needs
// for one character); input that is not valid, or cut short, fails.
std::optional<QByteArray> Iconv(const char* de, const char* para, const QByteArray& entrada)
{
    iconv_t cd = iconv_open(para, de);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray saida(entrada.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(entrada.constData());
    size_t inRestante = size_t(entrada.size());
    char* out = saida.data();
    size_t outRestante = size_t(saida.size());
    const size_t r = iconv(cd, &in, &inRestante, &out, &outRestante);
    iconv_close(cd);
    if (r == size_t(-1) || inRestante != 0)
        return std::nullopt;
    saida.resize(saida.size() - qsizetype(outRestante));
    return saida;
}

}  // namespace

QStringView Trim(QStringView texto)
{
    while (!texto.isEmpty() && texto.front() == u' ')
        texto = texto.sliced(1);
    while (!texto.isEmpty() && texto.back() == u' ')
        texto.chop(1);
    return texto;
}

QString Trim(const QString& texto)
{
    const QStringView aparado = Trim(QStringView(texto));
    return aparado.size() == texto.size() ? texto : aparado.toString();
}

QString TextoEntre(const QString& texto, const QString& inicio, const QString& fim)
{
    const qsizetype posicaoInicio = texto.indexOf(inicio, 0, Qt::CaseInsensitive);
    if (posicaoInicio < 0)
        return QString();
    const qsizetype depois = posicaoInicio + inicio.size();
    const qsizetype posicaoFim = texto.indexOf(fim, depois, Qt::CaseInsensitive);
    if (posicaoFim < 0)
        return QString();
    return texto.mid(depois, posicaoFim - depois);
}

// In blocks, so a large file needs no output buffer of four times its size.
// iconv refuses the five undefined bytes; each is kept as its own value.
QString DecodificarWindows1252(const QByteArray& bytes)
{
    iconv_t cd = iconv_open(QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    QString saida;
    saida.reserve(bytes.size());
    std::vector<char16_t> bloco(32 * 1024);
    char* entrada = const_cast<char*>(bytes.constData());
    size_t restante = size_t(bytes.size());
    while (restante > 0) {
        char* destino = reinterpret_cast<char*>(bloco.data());
        size_t livre = bloco.size() * sizeof(char16_t);
        const size_t r = iconv(cd, &entrada, &restante, &destino, &livre);
        saida.append(QStringView(bloco.data(), qsizetype(bloco.size() - livre / sizeof(char16_t))));
        if (r == size_t(-1) && errno != E2BIG) {
            saida.append(QChar(char16_t(static_cast<unsigned char>(*entrada))));
            ++entrada;
            --restante;
        }
    }
    iconv_close(cd);
    return saida;
}

std::optional<QByteArray> CodificarWindows1252(const QString& texto)
{
    return Iconv("UTF-8", "WINDOWS-1252", texto.toUtf8());
}

std::optional<QString> DecodificarCharset(const QByteArray& charset, const QByteArray& bytes)
{
    if (auto utf8 = Iconv(charset.constData(), "UTF-8", bytes))
        return QString::fromUtf8(*utf8);
    return std::nullopt;
}

}  // namespace plataforma
