#include "app/workbench/nucleo/modMDVD.h"

#include "app/workbench/nucleo/Codificacao.h"

#include <limits>

namespace qeltrano {

namespace {

constexpr int IntervaloRespiro = 500;

void Respirar(const std::function<void()>& respirar, qsizetype linhas)
{
    if (respirar && linhas % IntervaloRespiro == 0)
        respirar();
}

bool Branco(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool EhDigito(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool LinhaEmBranco(QStringView linha)
{
    for (const QChar c : linha) {
        if (!Branco(c))
            return false;
    }
    return true;
}

Leitura LerSRT(const LinhasTexto& linhas, const std::function<void()>& respirar)
{
    Leitura leitura;
    const qsizetype n = linhas.size();
    qsizetype i = 0;
    leitura.linhas.reserve(n / 4 + 1);
    while (i < n) {
        const QStringView primeira = linhas[i++];
        const bool contador = PareceNumero(primeira);
        if (!contador && !LinhaDeTempoSRT(primeira))
            continue;
        // A file cut off after its counter has no subtitle left to keep.
        if (contador && i >= n)
            break;
        const QStringView tempo = contador ? linhas[i++] : primeira;
        QString texto;
        if (i < n) {
            // The text lines run to an empty line or the end of the file; an
            // empty first line is an empty subtitle: it ends the block rather
            // than swallowing the next block's counter and time.
            const qsizetype primeiraTexto = i++;
            qsizetype tamanho = linhas[primeiraTexto].size();
            qsizetype fimTexto = i;
            if (tamanho > 0) {
                while (fimTexto < n && !linhas[fimTexto].isEmpty())
                    tamanho += 1 + linhas[fimTexto++].size();
                // The empty line that ends the block is read with it.
                i = fimTexto < n ? fimTexto + 1 : fimTexto;
            }
            texto.reserve(tamanho);
            texto += linhas[primeiraTexto];
            for (qsizetype k = primeiraTexto + 1; k < fimTexto; ++k) {
                texto += u'|';
                texto += linhas[k];
            }
        }
        leitura.linhas.append(LinhaLegenda{tempo.left(12).toString(), tempo.mid(17, 12).toString(), std::move(texto)});
        Respirar(respirar, leitura.linhas.size());
    }
    leitura.ok = true;
    return leitura;
}

Leitura LerMDVD(const LinhasTexto& linhas, const std::function<void()>& respirar)
{
    Leitura leitura;
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        const QStringView linha = linhas[i];
        if (LinhaEmBranco(linha))
            continue;
        // p1: the first "}" from the second character on, moved to the end
        // of a run of "}"; p2: the last "}" after it. Both 0-based here.
        qsizetype p1 = linha.indexOf(u'}', 1);
        qsizetype p2 = -1;
        if (p1 >= 0) {
            while (p1 + 1 < linha.size() && linha[p1 + 1] == u'}')
                ++p1;
            p2 = linha.lastIndexOf(u'}');
            if (p2 <= p1)
                p2 = -1;
        }
        if (p2 < 0) {
            leitura.linhas.clear();
            leitura.linhaFalha = int(qMin<qsizetype>(i + 1, std::numeric_limits<int>::max()));
            leitura.erro = QStringLiteral("Linha %1 sem as chaves de início e fim.").arg(i + 1);
            return leitura;
        }
        leitura.linhas.append(LinhaLegenda{linha.mid(1, p1 - 1).toString(), linha.mid(p1 + 2, p2 - p1 - 2).toString(),
                                           linha.mid(p2 + 1).toString()});
        Respirar(respirar, leitura.linhas.size());
    }
    leitura.ok = true;
    return leitura;
}

Leitura LerArquivo(const QString& caminho, const std::function<void()>& respirar,
                   Leitura (*ler)(const LinhasTexto&, const std::function<void()>&))
{
    const TextoArquivo texto = LerLinhasArquivo(caminho);
    if (!texto.ok) {
        Leitura falha;
        falha.erro = texto.erro;
        return falha;
    }
    if (respirar)
        respirar();
    return ler(texto.linhas, respirar);
}

}  // namespace

bool PareceNumero(QStringView texto)
{
    const qsizetype n = texto.size();
    qsizetype i = 0;
    while (i < n && Branco(texto[i]))
        ++i;
    if (i < n && (texto[i] == u'+' || texto[i] == u'-'))
        ++i;
    qsizetype digitos = 0;
    bool separador = false;
    for (; i < n; ++i) {
        const QChar c = texto[i];
        if (EhDigito(c)) {
            ++digitos;
        } else if ((c == u'.' || c == u',') && !separador) {
            separador = true;
        } else {
            break;
        }
    }
    if (digitos == 0)
        return false;
    if (i < n && (texto[i] == u'e' || texto[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (texto[j] == u'+' || texto[j] == u'-'))
            ++j;
        const qsizetype inicioExpoente = j;
        while (j < n && EhDigito(texto[j]))
            ++j;
        if (j == inicioExpoente)
            return false;
        i = j;
    }
    while (i < n && Branco(texto[i]))
        ++i;
    return i == n;
}

bool LinhaDeTempoSRT(QStringView linha)
{
    return linha.mid(13, 3) == u"-->";
}

Leitura LerLinhasSRT(const LinhasTexto& linhas, const std::function<void()>& respirar)
{
    return LerSRT(linhas, respirar);
}

Leitura LerLinhasMDVD(const LinhasTexto& linhas, const std::function<void()>& respirar)
{
    return LerMDVD(linhas, respirar);
}

Leitura LerLinhasSRT(const QStringList& linhas, const std::function<void()>& respirar)
{
    return LerSRT(VistasDe(linhas), respirar);
}

Leitura LerLinhasMDVD(const QStringList& linhas, const std::function<void()>& respirar)
{
    return LerMDVD(VistasDe(linhas), respirar);
}

Leitura LerArquivoSRT(const QString& caminho, const std::function<void()>& respirar)
{
    return LerArquivo(caminho, respirar, &LerSRT);
}

Leitura LerArquivoMDVD(const QString& caminho, const std::function<void()>& respirar)
{
    return LerArquivo(caminho, respirar, &LerMDVD);
}

}  // namespace qeltrano
