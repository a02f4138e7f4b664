#include "checkout/PaginaPagamento.h"

#include "checkout/Instrucao.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QOpenGLContext>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

namespace vendalo {

namespace {

constexpr int kIntervaloSondaMs = 100;

QString Texto(const QJsonObject& objeto, const char* chave)
{
    // The page may write a code as a number.
    const QJsonValue valor = objeto.value(QLatin1String(chave));
    if (valor.isDouble())
        return QString::number(valor.toDouble(), 'g', 15);
    return valor.toString().trimmed();
}

bool Um(const QString& status, std::initializer_list<const char*> nomes)
{
    for (const char* nome : nomes)
        if (status.compare(QLatin1String(nome), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The page's address holds the card data: no request the page makes (its
// scripts, styles, anything it fetches later) may carry it as referrer.
class SemReferencia : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override { info.setHttpHeader("Referer", QByteArray()); }
};

// A host that loads this library after making its application has not
// given the engine the shared GL context it needs; the engine's own set-up
// for that case makes it, once, before the first page.
void PrepararMotor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && !QOpenGLContext::globalShareContext())
        QtWebEngineQuick::initialize();
}

}  // namespace

std::optional<RespostaPagina> LerRespostaPagina(const QString& textoCorpo)
{
    const QString texto = textoCorpo.trimmed();
    if (!texto.startsWith(u'{'))
        return std::nullopt;
    QJsonParseError erro{};
    const QJsonDocument documento = QJsonDocument::fromJson(texto.toUtf8(), &erro);
    if (erro.error != QJsonParseError::NoError || !documento.isObject())
        return std::nullopt;
    const QJsonObject objeto = documento.object();
    RespostaPagina r;
    r.Status = Texto(objeto, "Status");
    if (r.Status.isEmpty())
        return std::nullopt;
    r.Codigo = Texto(objeto, "Codigo");
    r.Mensagem = Texto(objeto, "Mensagem");
    r.CodigoMoIP = Texto(objeto, "CodigoMoIP");
    r.Url = Texto(objeto, "Url");
    return r;
}

bool StatusPedeEndereco(const QString& status)
{
    return Um(status, {"Iniciado", "BoletoImpresso"});
}

bool StatusAprovado(const QString& status, int opcaoPagamento)
{
    if (Um(status, {"Autorizado", "Concluido", "EmAnalise"}))
        return opcaoPagamento >= 0 && opcaoPagamento <= 2;
    return (opcaoPagamento == 1 || opcaoPagamento == 2) && StatusPedeEndereco(status);
}

QString FuncaoDaOpcao(int opcaoPagamento)
{
    switch (opcaoPagamento) {
    case 0: return QStringLiteral("processaPagtoCredito");
    case 1: return QStringLiteral("processaPagtoDebito");
    case 2: return QStringLiteral("processaPagtoBoleto");
    default: return QString();
    }
}

QUrl EnderecoPagina(const QString& base, const QString& parametros)
{
    QString endereco = base;
    while (endereco.endsWith(u'/'))
        endereco.chop(1);
    return QUrl(endereco + QLatin1String("/sandbox.asp?") + parametros, QUrl::StrictMode);
}

ResultadoPagina AvaliarResposta(const RespostaPagina& resposta, int opcaoPagamento)
{
    ResultadoPagina r;
    r.resposta = resposta;
    if (!StatusAprovado(resposta.Status, opcaoPagamento)) {
        r.desfecho = DesfechoPagina::Recusado;
        r.motivo = resposta.Mensagem.isEmpty() ? QStringLiteral("Pagamento não aprovado (%1).").arg(resposta.Status)
                                               : resposta.Mensagem;
        return r;
    }
    // A slip or a debit that still has to be paid is only good with an
    // address the buyer can safely open.
    if (StatusPedeEndereco(resposta.Status) && !EnderecoPermitido(resposta.Url)) {
        r.desfecho = DesfechoPagina::Recusado;
        r.motivo = QStringLiteral("A página de pagamento não informou um endereço seguro para o pagamento.");
        return r;
    }
    r.desfecho = DesfechoPagina::Aprovado;
    return r;
}

PaginaPagamento::PaginaPagamento(QObject* pai) : QObject(pai)
{
    qRegisterMetaType<vendalo::ResultadoPagina>();
    PrepararMotor();
    // No storage name: an off-the-record profile, so the address with the
    // card data never reaches a history or a cache on disk.
    perfil_ = new QWebEngineProfile(this);
    perfil_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    perfil_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    perfil_->setUrlRequestInterceptor(new SemReferencia(perfil_));
    sonda_ = new QTimer(this);
    sonda_->setInterval(kIntervaloSondaMs);
    connect(sonda_, &QTimer::timeout, this, &PaginaPagamento::Sondar);
}

PaginaPagamento::~PaginaPagamento()
{
    // Pages (a finished one may still wait for deletion) must go before
    // their profile.
    qDeleteAll(findChildren<QWebEnginePage*>(Qt::FindDirectChildrenOnly));
    delete perfil_;
}

void PaginaPagamento::Iniciar(const QUrl& endereco, int opcaoPagamento, int limiteMs)
{
    if (Trabalhando())
        Interromper();
    ++geracao_;
    opcao_ = opcaoPagamento;
    limiteMs_ = qMax(1, limiteMs);
    carregou_ = false;
    sondando_ = false;
    relogio_.start();
    fase_ = Fase::Carregando;
    if (!EnderecoPermitido(endereco.toString())) {
        QTimer::singleShot(0, this, [this] {
            Terminar({DesfechoPagina::FalhaPagina, {}, QStringLiteral("Endereço da página de pagamento recusado (só https).")});
        });
        return;
    }
    if (FuncaoDaOpcao(opcaoPagamento).isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            Terminar({DesfechoPagina::FalhaPagina, {}, QStringLiteral("Opção de pagamento desconhecida.")});
        });
        return;
    }
    // A fresh page for every run: nothing of an earlier run (its loads, its
    // scripts, the card data in its address) reaches this one.
    pagina_ = new QWebEnginePage(perfil_, this);
    pagina_->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    pagina_->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    // No icon request: it would carry the page's address once more.
    pagina_->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    connect(pagina_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (fase_ != Fase::Carregando)
            return;
        if (!ok) {
            Terminar({DesfechoPagina::FalhaPagina, {}, QStringLiteral("A página de pagamento não pôde ser carregada.")});
            return;
        }
        carregou_ = true;
    });
    pagina_->load(endereco);
    sonda_->start();
}

void PaginaPagamento::Interromper()
{
    if (Trabalhando())
        Terminar({DesfechoPagina::Interrompido, {}, QStringLiteral("A espera pela resposta da página de pagamento foi interrompida.")});
}

void PaginaPagamento::Sondar()
{
    if (fase_ == Fase::Parada)
        return;
    if (relogio_.elapsed() > limiteMs_) {
        const int segundos = (limiteMs_ + 999) / 1000;
        if (fase_ == Fase::Carregando && !carregou_)
            Terminar({DesfechoPagina::FalhaPagina, {},
                      QStringLiteral("A página de pagamento não carregou em %1 segundos.").arg(segundos)});
        else
            Terminar({DesfechoPagina::SemResposta, {},
                      QStringLiteral("A página de pagamento não respondeu em %1 segundos.").arg(segundos)});
        return;
    }
    if (sondando_)
        return;
    sondando_ = true;
    const unsigned geracao = geracao_;
    QPointer<PaginaPagamento> guarda(this);
    const QString funcao = FuncaoDaOpcao(opcao_);

    if (fase_ == Fase::Carregando) {
        // Ready once the document is complete and its script defined the
        // function; loadFinished alone comes before that on some pages.
        const QString pronto = QStringLiteral(
                                   "(function(){if(document.readyState!=='complete')return 0;"
                                   "return typeof window['%1']==='function'?1:-1;})()")
                                   .arg(funcao);
        pagina_->runJavaScript(pronto, [this, guarda, geracao, funcao](const QVariant& v) {
            if (!guarda || geracao != geracao_ || fase_ != Fase::Carregando)
                return;
            sondando_ = false;
            const int estado = v.toInt();
            if (estado == 1) {
                fase_ = Fase::Aguardando;
                pagina_->runJavaScript(QStringLiteral("try{%1();}catch(e){}").arg(funcao));
            } else if (estado == -1 && carregou_) {
                Terminar({DesfechoPagina::FalhaPagina, {},
                          QStringLiteral("A página de pagamento não oferece a função %1().").arg(funcao)});
            }
        });
        return;
    }

    pagina_->runJavaScript(QStringLiteral("document.body?document.body.innerText:''"),
                           [this, guarda, geracao](const QVariant& v) {
                               if (!guarda || geracao != geracao_ || fase_ != Fase::Aguardando)
                                   return;
                               sondando_ = false;
                               if (auto resposta = LerRespostaPagina(v.toString()))
                                   Terminar(AvaliarResposta(*resposta, opcao_));
                           });
}

void PaginaPagamento::Terminar(ResultadoPagina resultado)
{
    if (fase_ == Fase::Parada)
        return;
    fase_ = Fase::Parada;
    ++geracao_;
    sonda_->stop();
    sondando_ = false;
    // Stops the page's scripts and drops the page that held the card data;
    // later, as this may run inside one of the page's own signals.
    if (pagina_) {
        pagina_->disconnect(this);
        pagina_->triggerAction(QWebEnginePage::Stop);
        pagina_->deleteLater();
        pagina_ = nullptr;
    }
    emit Concluido(resultado);
}

}  // namespace vendalo
