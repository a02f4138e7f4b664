#include "app/support/modUpdates.h"

#include "Versao.h"
#include "app/Configuracao.h"
#include "app/workbench/modComum.h"
#include "platform/Arredondamento.h"
#include "platform/Configuracoes.h"
#include "platform/ArquivoConfiavel.h"
#include "suite/LeitorRegistro.h"
#include "suite/RequisicaoHTTP.h"
#include "suite/Utilitarios.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>

#include <cmath>
#include <limits>

namespace qeltrano {

QString VersaoDisponivel;
QString DataVersaoDisponivel;
QString UrlAtualizacao;
QString ArquivoAtualizacaoLocal;

namespace {

const QString kChaveUpdater = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tellumar\\{1E3DBAEF-9581-43BC-A935-97A1484F3388}");
const QString kChaveDesinstalacao = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{E4B3F92D-41E8-4486-9E75-89CAA05A54D8}_is1");
const QString kChaveAfiliado = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tellumar\\{E4B3F92D-41E8-4486-9E75-89CAA05A54D8}");
const QString kSecaoApp = QStringLiteral("002");
const QString kCaminhoVerificacao = QStringLiteral("/checkversion.asp");

// The first attempt has its own short limit; the second the one the
// request object is given.
constexpr int kTempoPrimeiraTentativa = 10;
constexpr int kTempoSegundaTentativa = 15;

orvessa::Utilitarios& Util()
{
    return orvessa::Utilitarios::Instancia();
}

QString LerChave(const QString& chave, const QString& valor)
{
    return orvessa::LeitorRegistro().LerValorChave(chave, valor);
}

QString TextoVersaoPrograma()
{
    return TextoVersao(versao::Major, versao::Minor, versao::Revision);
}

long NumeroVersaoPrograma()
{
    return NumeroVersao(versao::Major, versao::Minor, versao::Revision);
}

// Basic's CLng: halves go to the even neighbour; out of range gives 0, as
// the overflow is skipped there.
long ParaLong(double valor)
{
    if (!std::isfinite(valor))
        return 0;
    const double arredondado = plataforma::ArredondarPar(valor);
    if (arredondado < double(std::numeric_limits<qint32>::min()) || arredondado > double(std::numeric_limits<qint32>::max()))
        return 0;
    return long(arredondado);
}

using Parametros = QList<QPair<QString, QString>>;

Parametros ParametrosConsulta(const QString& idAplicativo)
{
    return {
        {QStringLiteral("AppId"), idAplicativo},
        {QStringLiteral("Version"), TextoVersaoPrograma()},
        {QStringLiteral("affID"), QString::number(ObterAfiliado())},
        {QStringLiteral("DateInstall"), ObterDataInstalacao()},
        {QStringLiteral("DateUpdate"), ObterDataAtualizacao()},
        {QStringLiteral("Rnd"), Util().GerarAleatorio(QStringLiteral("."), 4, 99)},
        {QStringLiteral("Verifier"), QStringLiteral("True")},
    };
}

// Values percent-encoded, so a date or an affiliate text holding "&" or a
// blank cannot break the query; what is sent today encodes to itself.
QString Codificar(const QString& valor)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(valor));
}

QString MontarConsulta(const Parametros& parametros)
{
    QStringList pares;
    for (const auto& [nome, valor] : parametros)
        pares << nome + QLatin1Char('=') + Codificar(valor);
    return pares.join(QLatin1Char('&'));
}

QString EnderecoVerificacao()
{
    QString site = Config().SiteFabricante.trimmed();
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site + kCaminhoVerificacao;
}

// The answer names the installer that is then run silently: the check goes
// only to HTTPS addresses (plain HTTP to loopback, for tests).
bool Permitido(const QString& endereco)
{
    return orvessa::EnderecoPermitido(QUrl(endereco, QUrl::StrictMode));
}

// First attempt: the parameters as a form; any answer ends the attempts.
// Only a whole one counts: a status line followed by a stall, a cut or a
// body too large is no answer.
bool PrimeiraTentativa(const QString& endereco, const Parametros& parametros, QString& corpo)
{
    orvessa::RequisicaoHTTP requisicao;
    requisicao.TempoLimite = kTempoPrimeiraTentativa;
    for (const auto& [nome, valor] : parametros)
        requisicao.AdicionarParametro(nome, Codificar(valor));
    requisicao.EnviarFormulario(endereco);
    const bool respondeu = requisicao.RespostaCompleta();
    if (respondeu)
        corpo = requisicao.TextoResposta();
    requisicao.LimparRequisicao();
    return respondeu;
}

// Second attempt: the same parameters in the query of a GET.
bool SegundaTentativa(const QString& endereco, const Parametros& parametros, QString& corpo)
{
    orvessa::RequisicaoHTTP requisicao;
    requisicao.TempoLimite = kTempoSegundaTentativa;
    if (!requisicao.ConexaoDisponivel())
        return false;
    const bool obteve = requisicao.ObterURL(endereco + QLatin1Char('?') + MontarConsulta(parametros));
    if (obteve)
        corpo = requisicao.TextoResposta();
    requisicao.LimparRequisicao();
    return obteve;
}

// "versão|data|endereço": true when field 0 is newer; the fields present
// are then stored, the missing ones leave their variable as it was.
bool AvaliarResposta(const QString& corpo)
{
    const QStringList campos = corpo.split(QLatin1Char('|'));
    if (!(ValorNumerico(campos.value(0)) > double(NumeroVersaoPrograma())))
        return false;
    if (campos.size() > 2 && !campos[2].trimmed().isEmpty() && !Permitido(campos[2].trimmed())) {
        qWarning("Oferta de atualização recusada: o instalador não vem de um endereço HTTPS (%s).",
                 qPrintable(campos[2]));
        return false;
    }
    VersaoDisponivel = campos[0];
    if (campos.size() > 1)
        DataVersaoDisponivel = campos[1];
    if (campos.size() > 2)
        UrlAtualizacao = campos[2];
    return true;
}

// The maker's updater keeps its state in a shared Config.ini; true when it
// decided (`oferta` then holds the answer), false to ask online.
bool ConsultarArquivoUpdater(const QString& idAplicativo, bool& oferta)
{
    const QString pasta = LerChave(kChaveUpdater, QStringLiteral("DocumentsFolder"));
    // No folder named: there is no updater file to share.
    if (pasta.trimmed().isEmpty())
        return false;
    const QString arquivo = QDir::cleanPath(pasta + QStringLiteral("/Config.ini"));
    if (!Util().ArquivoExiste(arquivo, 0))
        return false;

    Util().GravarINI(arquivo, kSecaoApp, QStringLiteral("AppId"), idAplicativo);
    Util().GravarINI(arquivo, kSecaoApp, QStringLiteral("AppVersion"), TextoVersaoPrograma());
    Util().GravarINI(arquivo, kSecaoApp, QStringLiteral("AppaffID"), QString::number(ObterAfiliado()));
    Util().GravarINI(arquivo, kSecaoApp, QStringLiteral("AppDateInstall"), ObterDataInstalacao());
    Util().GravarINI(arquivo, kSecaoApp, QStringLiteral("AppDateUpdate"), ObterDataAtualizacao());

    const QString verificado = Util().LerINI(arquivo, QStringLiteral("Main"), QStringLiteral("SuccessfullyChecked"));
    if (!Util().ValidarData(verificado, 25))
        return false;
    const QDate data = QDate::fromString(verificado.trimmed(), QStringLiteral("yyyy-MM-dd"));
    const QDate hoje = QDate::fromString(Util().FormatarData(QDate::currentDate(), QStringLiteral("YYYY-MM-DD")),
                                         QStringLiteral("yyyy-MM-dd"));
    // Today or yesterday is fresh; so is a date ahead of today.
    if (!data.isValid() || !hoje.isValid() || data.daysTo(hoje) > 1)
        return false;

    const QString instalador = Util().LerINI(arquivo, kSecaoApp, QStringLiteral("FileToUpdate"));
    if (!Util().ArquivoExiste(instalador, 0))
        return false;
    const QString versao = Util().LerINI(arquivo, kSecaoApp, QStringLiteral("VersionInfo"));
    oferta = ValorNumerico(versao) > double(NumeroVersaoPrograma());
    if (!oferta)
        return true;
    // The folder comes from a machine-wide key: an installer there that
    // someone else could have written is passed over for the site's offer.
    QString motivo;
    if (plataforma::CaminhoConfiavel(instalador, &motivo).isEmpty()) {
        qWarning("O instalador deixado pelo updater foi ignorado, o site será consultado: %s", qPrintable(motivo));
        oferta = false;
        return false;
    }
    VersaoDisponivel = versao;
    DataVersaoDisponivel = Util().LerINI(arquivo, kSecaoApp, QStringLiteral("VersionDate"));
    ArquivoAtualizacaoLocal = instalador;
    return true;
}

bool Verificar(const QString& idAplicativo, bool bInicializacao)
{
    if (bInicializacao) {
        const QString desligado = Util().LerINI(ArquivoConfigPrograma(), QStringLiteral("Configurações operacionais"),
                                                QStringLiteral("Não procurar por atualizações na inicialização"));
        if (ValorNumerico(desligado) != 0)
            return false;
    }

    bool oferta = false;
    if (ConsultarArquivoUpdater(idAplicativo, oferta))
        return oferta;

    const QString endereco = EnderecoVerificacao();
    if (!Permitido(endereco)) {
        qWarning("Verificação de atualizações recusada: o endereço do site não usa HTTPS (%s).", qPrintable(endereco));
        return false;
    }
    const Parametros parametros = ParametrosConsulta(idAplicativo);
    QString corpo;
    if (PrimeiraTentativa(endereco, parametros, corpo) || SegundaTentativa(endereco, parametros, corpo))
        return AvaliarResposta(corpo);
    return false;
}

}  // namespace

QString TextoVersao(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision, 2, 10, QLatin1Char('0'));
}

long NumeroVersao(int major, int minor, int revision)
{
    const QString digitos =
        QString::number(major) + QString::number(minor) + QStringLiteral("%1").arg(revision, 2, 10, QLatin1Char('0'));
    return ParaLong(ValorNumerico(digitos));
}

double ValorNumerico(const QString& texto)
{
    qsizetype i = 0;
    const qsizetype n = texto.size();
    while (i < n && (texto[i] == u' ' || texto[i] == u'\t' || texto[i] == u'\r' || texto[i] == u'\n'))
        ++i;
    QString numero;
    if (i < n && (texto[i] == u'+' || texto[i] == u'-'))
        numero += texto[i++];
    bool digitos = false;
    while (i < n && texto[i].isDigit() && texto[i].unicode() < 128) {
        numero += texto[i++];
        digitos = true;
    }
    if (i < n && texto[i] == u'.') {
        numero += texto[i++];
        while (i < n && texto[i].isDigit() && texto[i].unicode() < 128) {
            numero += texto[i++];
            digitos = true;
        }
    }
    if (!digitos)
        return 0;
    if (i < n && (texto[i] == u'e' || texto[i] == u'E')) {
        qsizetype j = i + 1;
        QString expoente = QStringLiteral("e");
        if (j < n && (texto[j] == u'+' || texto[j] == u'-'))
            expoente += texto[j++];
        bool temDigito = false;
        while (j < n && texto[j].isDigit() && texto[j].unicode() < 128) {
            expoente += texto[j++];
            temDigito = true;
        }
        if (temDigito)
            numero += expoente;
    }
    bool ok = false;
    const double valor = numero.toDouble(&ok);
    return ok && std::isfinite(valor) ? valor : 0;
}

QString ArquivoConfigPrograma()
{
    const QString pasta =
        Config().PastaPrograma.isEmpty() ? QCoreApplication::applicationDirPath() : Config().PastaPrograma;
    return QDir::cleanPath(pasta + QStringLiteral("/Config.ini"));
}

QString ObterDataInstalacao()
{
    const QString guardada = plataforma::GetSetting(NomeProduto(), QStringLiteral("Principal"), QStringLiteral("InstallDate"));
    if (guardada.size() == 8)
        return guardada;
    const QString hoje = Util().FormatarData(QDate::currentDate(), QStringLiteral("YYYYMMDD"));
    plataforma::SaveSetting(NomeProduto(), QStringLiteral("Principal"), QStringLiteral("InstallDate"), hoje);
    return hoje;
}

QString ObterDataAtualizacao()
{
    return LerChave(kChaveDesinstalacao, QStringLiteral("InstallDate"));
}

long ObterAfiliado()
{
    return ParaLong(ValorNumerico(LerChave(kChaveAfiliado, QString())));
}

bool VerificarAtualizacoes(const QString& IdAplicativo, bool bInicializacao)
{
    // Never lets anything escape to its caller, the report window's unload.
    try {
        return Verificar(IdAplicativo, bInicializacao);
    } catch (const std::exception& erro) {
        qWarning("Verificação de atualizações interrompida: %s", erro.what());
    } catch (...) {
        qWarning("Verificação de atualizações interrompida por um erro desconhecido.");
    }
    return false;
}

}  // namespace qeltrano
