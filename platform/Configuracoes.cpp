#include "platform/Configuracoes.h"

#include "platform/Registro.h"

namespace plataforma {

namespace {

QString ChaveAplicativo(const QString& aplicativo)
{
    return QStringLiteral("Software\\VB and VBA Program Settings\\") + aplicativo;
}

QString ChaveSecao(const QString& aplicativo, const QString& secao)
{
    return ChaveAplicativo(aplicativo) + QLatin1Char('\\') + secao;
}

}  // namespace

QString GetSetting(const QString& aplicativo, const QString& secao, const QString& chave, const QString& padrao)
{
    if (aplicativo.isEmpty() || secao.isEmpty())
        return padrao;
    return Registro::LerTexto(Hive::CurrentUser, ChaveSecao(aplicativo, secao), chave).value_or(padrao);
}

bool SaveSetting(const QString& aplicativo, const QString& secao, const QString& chave, const QString& valor)
{
    // Without an application or section the value would land beside every
    // other program's settings.
    if (aplicativo.isEmpty() || secao.isEmpty()) {
        qWarning("SaveSetting: sem aplicativo ou seção; \"%s\" não foi gravado", qPrintable(chave));
        return false;
    }
    if (Registro::GravarTexto(Hive::CurrentUser, ChaveSecao(aplicativo, secao), chave, valor))
        return true;
    qWarning("SaveSetting: \"%s\" de %s\\%s não foi gravado em %s", qPrintable(chave), qPrintable(aplicativo),
             qPrintable(secao), qPrintable(Registro::ArquivoHive(Hive::CurrentUser)));
    return false;
}

void DeleteSetting(const QString& aplicativo, const QString& secao, const QString& chave)
{
    // An empty application name would otherwise wipe the settings of all.
    if (aplicativo.isEmpty())
        return;
    if (secao.isEmpty())
        Registro::ExcluirChave(Hive::CurrentUser, ChaveAplicativo(aplicativo));
    else if (chave.isEmpty())
        Registro::ExcluirChave(Hive::CurrentUser, ChaveSecao(aplicativo, secao));
    else
        Registro::ExcluirValor(Hive::CurrentUser, ChaveSecao(aplicativo, secao), chave);
}

}  // namespace plataforma
