#include "app/workbench/nucleo/EscritaLegenda.h"

#include "app/workbench/nucleo/Formatos.h"
#include "platform/Texto.h"

#include <QSaveFile>
#include <QStringEncoder>
#include <QStringTokenizer>
#include <QSysInfo>

namespace qeltrano {

namespace {

constexpr char MarcaUtf16LE[] = "\xFF\xFE";
constexpr qsizetype LimiteBloco = 256 * 1024;

enum class Tipo { Invalido, SRT, MDVD };

Tipo TipoDe(const QString& formato)
{
    if (formato == QLatin1String(FormatoSRT))
        return Tipo::SRT;
    if (formato == QLatin1String(FormatoMDVD))
        return Tipo::MDVD;
    return Tipo::Invalido;
}

// Appends one row as text; r is the 0-based row number. Everything goes
// straight into saida: a row costs no temporary string.
void AcrescentarLinha(QString& saida, Tipo tipo, qsizetype r, const LinhaLegenda& linha)
{
    static const QLatin1String fimLinha("\r\n");
    if (tipo == Tipo::SRT) {
        char16_t digitos[20];
        qsizetype n = 0;
        for (qulonglong v = qulonglong(r) + 1; v > 0; v /= 10)
            digitos[n++] = char16_t(u'0' + v % 10);
        while (n > 0)
            saida += QChar(digitos[--n]);
        saida += fimLinha;
        // The time line loses the blanks around it, as a trimmed whole.
        const qsizetype inicioTempo = saida.size();
        saida += linha.inicio;
        saida += QLatin1String(" --> ");
        saida += linha.fim;
        const QStringView tempo = plataforma::Trim(QStringView(saida).sliced(inicioTempo));
        const qsizetype brancos = tempo.data() - (saida.constData() + inicioTempo);
        saida.truncate(inicioTempo + brancos + tempo.size());
        saida.remove(inicioTempo, brancos);
        saida += fimLinha;
        // An empty text writes no text line at all, just the block's end.
        if (!linha.texto.isEmpty()) {
            for (const QStringView parte : QStringView(linha.texto).tokenize(u'|')) {
                saida += parte;
                saida += fimLinha;
            }
        }
        saida += fimLinha;
    } else {
        saida += u'{';
        saida += linha.inicio;
        saida += QLatin1String("}{");
        saida += linha.fim;
        saida += u'}';
        saida += linha.texto;
        saida += fimLinha;
    }
}

// QString holds UTF-16 already: on a little-endian machine its bytes are
// the file's, with no encoding pass or copy.
QByteArrayView Utf16LE(const QString& texto, QByteArray& reserva)
{
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        return QByteArrayView(reinterpret_cast<const char*>(texto.utf16()), texto.size() * 2);
    } else {
        QStringEncoder codificador(QStringConverter::Utf16LE);
        reserva = codificador.encode(texto);
        return reserva;
    }
}

QString FormatoInvalido(const QString& formato)
{
    return QStringLiteral("Formato de legenda sem escrita: \"%1\".").arg(formato);
}

}  // namespace

QByteArray MontarLegenda(const QString& formato, const QList<LinhaLegenda>& linhas)
{
    const Tipo tipo = TipoDe(formato);
    if (tipo == Tipo::Invalido)
        return {};
    QByteArray bytes(MarcaUtf16LE, 2);
    QString texto;
    for (qsizetype r = 0; r < linhas.size(); ++r)
        AcrescentarLinha(texto, tipo, r, linhas[r]);
    QByteArray reserva;
    bytes += Utf16LE(texto, reserva);
    return bytes;
}

bool EscreverLegenda(const QString& caminho, const QString& formato, int total,
                     const std::function<LinhaLegenda(int)>& linha,
                     const std::function<void(int)>& progresso, QString* erro)
{
    auto falhar = [erro](const QString& motivo) {
        if (erro)
            *erro = motivo;
        return false;
    };
    const Tipo tipo = TipoDe(formato);
    if (tipo == Tipo::Invalido)
        return falhar(FormatoInvalido(formato));

    QSaveFile arquivo(caminho);
    if (!arquivo.open(QIODevice::WriteOnly))
        return falhar(arquivo.errorString());

    auto gravar = [&arquivo](QByteArrayView bytes) {
        return arquivo.write(bytes.data(), bytes.size()) == bytes.size();
    };
    QByteArray reserva;
    if (!gravar(QByteArrayView(MarcaUtf16LE, 2)))
        return falhar(arquivo.errorString());

    // Rows are gathered into blocks so a long grid is neither held twice in
    // memory nor written one tiny piece at a time.
    QString bloco;
    bloco.reserve(LimiteBloco + 4096);
    for (int r = 0; r < total; ++r) {
        AcrescentarLinha(bloco, tipo, r, linha(r));
        if (bloco.size() >= LimiteBloco) {
            if (!gravar(Utf16LE(bloco, reserva)))
                return falhar(arquivo.errorString());
            bloco.clear();
        }
        if (progresso)
            progresso(r);
    }
    if (!bloco.isEmpty() && !gravar(Utf16LE(bloco, reserva)))
        return falhar(arquivo.errorString());
    if (!arquivo.commit())
        return falhar(arquivo.errorString());
    if (erro)
        erro->clear();
    return true;
}

}  // namespace qeltrano
