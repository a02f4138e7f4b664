#include "app/workbench/nucleo/Formatos.h"

#include "app/workbench/nucleo/Codificacao.h"
#include "app/workbench/nucleo/modMDVD.h"

namespace qeltrano {

namespace {

// True as soon as the line holds four of the two characters; stops there,
// so a huge line that qualifies early costs next to nothing.
bool QuatroMarcas(QStringView linha, QChar abre, QChar fecha)
{
    int contagem = 0;
    for (const QChar c : linha) {
        if (c == abre || c == fecha) {
            if (++contagem == 4)
                return true;
        }
    }
    return false;
}

}  // namespace

ResultadoVerificacao Verificacao::Resultado() const
{
    if (erroLeitura)
        return ResultadoVerificacao::ErroLeitura;
    return formato == FormatoNaoReconhecido() ? ResultadoVerificacao::NaoReconhecido
                                              : ResultadoVerificacao::Reconhecido;
}

QString FormatoNaoReconhecido()
{
    return QStringLiteral("Não reconhecido");
}

QString VerificarFormatoLinhas(const QStringList& linhas)
{
    return VerificarFormatoLinhas(VistasDe(linhas));
}

QString VerificarFormatoLinhas(const QList<QStringView>& linhas)
{
    static const QString inicioScript = QStringLiteral("******** START SCRIPT ********");
    static const QString cabecalhoSub = QStringLiteral("[SUBTITLE]");

    for (const QStringView linha : linhas) {
        if (LinhaDeTempoSRT(linha))
            return QString::fromLatin1(FormatoSRT);
        if (linha.startsWith(inicioScript))
            return QStringLiteral("SUB1");
        if (linha.startsWith(cabecalhoSub))
            return QStringLiteral("SUB2");
        if (linha.startsWith(u'{')) {
            if (QuatroMarcas(linha, u'{', u'}'))
                return QString::fromLatin1(FormatoMDVD);
            continue;
        }
        if (linha.startsWith(u'[') && QuatroMarcas(linha, u'[', u']'))
            return QStringLiteral("MPL2");
    }
    return FormatoNaoReconhecido();
}

Verificacao VerificarFormato(const QString& caminho)
{
    Verificacao resultado;
    const TextoArquivo texto = LerLinhasArquivo(caminho);
    if (!texto.ok) {
        resultado.formato = FormatoNaoReconhecido();
        resultado.erroLeitura = true;
        resultado.erro = texto.erro;
        return resultado;
    }
    resultado.formato = VerificarFormatoLinhas(texto.linhas);
    return resultado;
}

}  // namespace qeltrano
