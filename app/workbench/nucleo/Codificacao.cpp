#include "app/workbench/nucleo/Codificacao.h"

#include "platform/Texto.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstring>

namespace qeltrano {

namespace {

bool ComecaCom(const QByteArray& bytes, const char* marca, qsizetype tamanho)
{
    return bytes.size() >= tamanho && std::memcmp(bytes.constData(), marca, size_t(tamanho)) == 0;
}

bool SoAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

}  // namespace

// Stateless: an incomplete sequence at the end is an error (and shows as a
// replacement character) instead of being held back for input that never
// comes.
constexpr auto FlagsDecodificacao = QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless;

QString DecodificarTexto(const QByteArray& bytes)
{
    // UTF-32 LE's mark begins with UTF-16 LE's, so it is tried first.
    struct Marca {
        const char* bytes;
        qsizetype tamanho;
        QStringConverter::Encoding codificacao;
    };
    static constexpr Marca marcas[] = {
        {"\xFF\xFE\x00\x00", 4, QStringConverter::Utf32LE}, {"\x00\x00\xFE\xFF", 4, QStringConverter::Utf32BE},
        {"\xEF\xBB\xBF", 3, QStringConverter::Utf8},         {"\xFF\xFE", 2, QStringConverter::Utf16LE},
        {"\xFE\xFF", 2, QStringConverter::Utf16BE},
    };
    for (const Marca& marca : marcas) {
        if (ComecaCom(bytes, marca.bytes, marca.tamanho)) {
            QStringDecoder decodificador(marca.codificacao, FlagsDecodificacao);
            return decodificador.decode(QByteArrayView(bytes).sliced(marca.tamanho));
        }
    }
    if (SoAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, FlagsDecodificacao);
    QString texto = utf8.decode(bytes);
    if (!utf8.hasError())
        return texto;
    return plataforma::DecodificarWindows1252(bytes);
}

LinhasTexto DividirLinhasTexto(QStringView texto)
{
    LinhasTexto linhas;
    const qsizetype n = texto.size();
    const QChar* d = texto.data();
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        linhas.append(texto.sliced(inicio, i - inicio));
        if (c == u'\r' && i + 1 < n && d[i + 1] == u'\n')
            ++i;
        inicio = i + 1;
    }
    if (inicio < n)
        linhas.append(texto.sliced(inicio));
    return linhas;
}

QStringList DividirLinhas(const QString& texto)
{
    QStringList linhas;
    for (const QStringView linha : DividirLinhasTexto(texto))
        linhas.append(linha.toString());
    return linhas;
}

LinhasTexto VistasDe(const QStringList& linhas)
{
    LinhasTexto vistas;
    vistas.reserve(linhas.size());
    for (const QString& linha : linhas)
        vistas.append(linha);
    return vistas;
}

TextoArquivo LerLinhasArquivo(const QString& caminho)
{
    TextoArquivo resultado;
    const QFileInfo info(caminho);
    if (!info.exists()) {
        resultado.erro = QStringLiteral("O arquivo não existe: %1").arg(caminho);
        return resultado;
    }
    if (info.isDir()) {
        resultado.erro = QStringLiteral("O caminho é uma pasta: %1").arg(caminho);
        return resultado;
    }
    // A device or a pipe could be read for ever.
    if (!info.isFile()) {
        resultado.erro = QStringLiteral("Não é um arquivo comum: %1").arg(caminho);
        return resultado;
    }
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly)) {
        resultado.erro = arquivo.errorString();
        return resultado;
    }
    // Read, not mapped: a file another program cuts short while it is read
    // must give an error, not end the program.
    const QByteArray bytes = arquivo.readAll();
    if (arquivo.error() != QFileDevice::NoError) {
        resultado.erro = arquivo.errorString();
        return resultado;
    }
    resultado.texto = DecodificarTexto(bytes);
    resultado.linhas = DividirLinhasTexto(resultado.texto);
    resultado.ok = true;
    return resultado;
}

}  // namespace qeltrano
