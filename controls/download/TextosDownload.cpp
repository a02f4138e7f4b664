#include "controls/download/TextosDownload.h"

#include "suite/Utilitarios.h"

#include <QHash>
#include <QLocale>

#include <cmath>
#include <cstdlib>

namespace kestrane {

QString TextoStatusHttp(int status)
{
    static const QHash<int, QString> tabela = {
        {204, QStringLiteral("O servidor processou a solicitação com sucesso, mas não está retornando nenhum conteúdo.")},
        {205, QStringLiteral("O servidor processou a solicitação com sucesso, mas não está retornando nenhum conteúdo.")},
        {400, QStringLiteral("O servidor não entendeu a sintaxe da solicitação.")},
        {401, QStringLiteral("A solicitação requer autenticação.")},
        {403, QStringLiteral("O servidor recusou a solicitação.")},
        {404, QStringLiteral("O servidor não encontrou a página solicitada.")},
        {405, QStringLiteral("O método especificado na solicitação não é permitido.")},
        {406, QStringLiteral("A página solicitada não pode responder com as características de conteúdo solicitadas.")},
        {407, QStringLiteral("Autenticação de proxy necessária.")},
        {408, QStringLiteral("O servidor atingiu o tempo limite ao aguardar a solicitação.")},
        {409, QStringLiteral("O servidor encontrou um conflito ao completar a solicitação.")},
        {410, QStringLiteral("O recurso solicitado foi removido permanentemente.")},
        {411, QStringLiteral("O servidor não aceita a solicitação sem um campo de cabeçalho.")},
        {412, QStringLiteral("Falha na pré-condição.")},
        {413, QStringLiteral("Entidade de solicitação muito grande.")},
        {414, QStringLiteral("O URI solicitado é muito longo.")},
        {415, QStringLiteral("Tipo de mídia incompatível.")},
        {416, QStringLiteral("Faixa solicitada insatisfatória.")},
        {417, QStringLiteral("Falha na expectativa.")},
        {500, QStringLiteral("Erro interno do servidor.")},
        {501, QStringLiteral("O servidor não tem o recurso necessário para completar a solicitação.")},
        {502, QStringLiteral("O servidor estava operando como gateway ou proxy e recebeu uma resposta inválida do "
                             "servidor superior.")},
        {503, QStringLiteral("O servidor está indisponível no momento (por sobrecarga ou inatividade para manutenção).")},
        {504, QStringLiteral("O servidor estava operando como gateway ou proxy e não recebeu uma solicitação do "
                             "servidor superior a tempo.")},
        {505, QStringLiteral("O servidor não é compatível com a versão do protocolo HTTP usada na solicitação.")},
    };
    const auto texto = tabela.constFind(status);
    return texto == tabela.constEnd() ? QString() : QStringLiteral("<b>Atenção</b>: ") + *texto;
}

QString FormatarTempo(double segundos)
{
    if (!std::isfinite(segundos))
        return QStringLiteral("00:00:00");
    const double inteiro = ArredondarPar(segundos);
    if (inteiro < -32768 || inteiro > 32767)
        return QStringLiteral("00:00:00");
    // A negative count (no size known: the bytes still to come are below
    // zero) shows as much time, never as a time before midnight.
    const int s = std::abs(int(inteiro));
    auto doisDigitos = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return doisDigitos(s / 3600) + QLatin1Char(':') + doisDigitos(s / 60 % 60) + QLatin1Char(':') +
           doisDigitos(s % 60);
}

QString TextoProgresso(qlonglong recebidos, qlonglong tamanho, double kbps, double restanteSegundos)
{
    QLocale local(QLocale::Portuguese, QLocale::Brazil);
    local.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto& util = orvessa::Utilitarios::Instancia();
    const QString cauda = QStringLiteral(" - <b>") + local.toString(kbps, 'f', 2) + QStringLiteral(" Kbps</b> - <b>") +
                          FormatarTempo(restanteSegundos) + QStringLiteral("</b>");
    const QString feitos = util.FormatarTamanho(double(recebidos));
    if (tamanho != 0)
        return QStringLiteral("Baixando: (<b>") + feitos + QStringLiteral("</b> / <b>") +
               util.FormatarTamanho(double(tamanho)) + QStringLiteral("</b>)") + cauda;
    return QStringLiteral("Baixando <b>") + feitos + QStringLiteral("</b>") + cauda;
}

}  // namespace kestrane
