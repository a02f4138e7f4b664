#include "app/workbench/nucleo/EscritaLegenda.h"

#include "app/workbench/nucleo/Formatos.h"
#include "platform/Texto.h"

#include <QSaveFile>
#include <QStringEncoder>

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

// Appends one row as text; r is the 0-based row number.
void AcrescentarLinha(QString& saida, Tipo tipo, qsizetype r, const LinhaLegenda& linha)
{
    static const QLatin1String fimLinha("\r\n");
    if (tipo == Tipo::SRT) {
        saida += QString::number(r + 1);
        saida += fimLinha;
        saida += plataforma::Trim(linha.inicio + QLatin1String(" --> ") + linha.fim);
        saida += fimLinha;
        // An empty text writes no text line at all, just the block's end.
        if (!linha.texto.isEmpty()) {
            for (const QStringView parte : QStringView(linha.texto).split(u'|')) {
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

QByteArray Utf16LE(const QString& texto)
{
    QStringEncoder codificador(QStringConverter::Utf16LE);
    return codificador.encode(texto);
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
    bytes += Utf16LE(texto);
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

    auto gravar = [&arquivo](const QByteArray& bytes) {
        return arquivo.write(bytes) == bytes.size();
    };
    if (!gravar(QByteArray(MarcaUtf16LE, 2)))
        return falhar(arquivo.errorString());

    // Rows are gathered into blocks so a long grid is neither held twice in
    // memory nor written one tiny piece at a time.
    QString bloco;
    bloco.reserve(LimiteBloco + 4096);
    for (int r = 0; r < total; ++r) {
        AcrescentarLinha(bloco, tipo, r, linha(r));
        if (bloco.size() >= LimiteBloco) {
            if (!gravar(Utf16LE(bloco)))
                return falhar(arquivo.errorString());
            bloco.clear();
        }
        if (progresso)
            progresso(r);
    }
    if (!bloco.isEmpty() && !gravar(Utf16LE(bloco)))
        return falhar(arquivo.errorString());
    if (!arquivo.commit())
        return falhar(arquivo.errorString());
    if (erro)
        erro->clear();
    return true;
}

}  // namespace qeltrano
