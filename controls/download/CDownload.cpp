#include "controls/download/CDownload.h"

#include "controls/download/ClienteHttp.h"
#include "controls/download/TextosDownload.h"
#include "platform/Texto.h"
#include "suite/Tema.h"
#include "suite/Utilitarios.h"

#include <QFileInfo>
#include <QPointer>
#include <QResizeEvent>

#include <chrono>
#include <cmath>

namespace kestrane {

namespace {

const QString kObtendoInformacoes = QStringLiteral("Obtendo informações do arquivo, por favor aguarde...");
const QString kConcluido = QStringLiteral("<b>Parabéns</b>, o download foi concluído com sucesso.");
const QString kZeroBytes = QStringLiteral("<b>Atenção</b>: Arquivo de destino contém zero bytes.");
const QString kCancelado = QStringLiteral("<b>Atenção</b>: O download foi cancelado pelo usuário.");
const QString kNaoConcluido = QStringLiteral("<b>Atenção</b>: O download não foi concluído.<br><br>");

constexpr int kFalhaLocal = 99;
constexpr int kCancelamento = -1;
constexpr int kPassosTamanho = 3;

// Seconds since an arbitrary fixed point that never moves backwards.
double Relogio()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}


bool Redirecionamento(int status)
{
    return (status >= 300 && status <= 305) || status == 307;
}

// Val of a Content-Length: its leading digits, 0 when there are none.
qlonglong TamanhoDe(const RespostaHttp& resposta)
{
    const QString texto = resposta.Cabecalho("Content-Length");
    qsizetype fim = 0;
    while (fim < texto.size() && texto[fim].isDigit() && texto[fim].unicode() < 128)
        ++fim;
    bool ok = false;
    const qlonglong valor = texto.left(fim).toLongLong(&ok);
    return ok ? valor : 0;
}

QString Resolver(const QString& base, const QString& local)
{
    return QUrl(base.trimmed(), QUrl::TolerantMode).resolved(QUrl(local, QUrl::TolerantMode)).toString();
}

}  // namespace

CDownload::CDownload(QWidget* pai) : QWidget(pai)
{
    setObjectName(QStringLiteral("CDownload"));
    CriarObjHTTP();
    setFixedSize(Lado());
}

CDownload::~CDownload() = default;

QSize CDownload::Lado()
{
    return QSize(int(std::lround(orvessa::TwipsParaPixelsX(LadoTwips))),
                 int(std::lround(orvessa::TwipsParaPixelsY(LadoTwips))));
}

void CDownload::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    const QSize lado = Lado();
    if (evento->size() != lado)
        setFixedSize(lado);
}

// Redirects followed, connections kept alive, and a time-out on connecting
// and on a transfer that stalls: no request of this control can hang.
void CDownload::CriarObjHTTP()
{
    auto cliente = std::make_shared<ClienteHttp>();
    cliente->SeguirRedirecionamentos = true;
    cliente->ManterConexao = true;
    cliente->TempoLimiteSegundos = tempoLimite_;
    // A control its host deleted meanwhile aborts what is still running.
    QPointer<CDownload> eu(this);
    cliente->AbortCheck = [eu] { return !eu || eu->ObjHTTP_AbortCheck(); };
    cliente->PercentDone = [eu](int percentual) {
        if (eu)
            eu->ObjHTTP_PercentDone(percentual);
    };
    cliente->ReceiveRate = [eu](qint64 bytes, qint64 taxa) {
        if (eu)
            eu->ObjHTTP_ReceiveRate(bytes, taxa);
    };
    ObjHTTP_ = std::move(cliente);
}

qlonglong CDownload::ObterTamanhoRemoto(const QString& Url, bool Silencioso)
{
    const std::shared_ptr<ClienteHttp> cliente = ObjHTTP_;
    if (!cliente)
        return 0;
    tamanhoAnunciado_ = 0;
    std::optional<RespostaHttp> resposta = cliente->Head(Url);
    if (!resposta)
        return 0;
    const int status = resposta->status;
    if (status == 200 || status == 206)
        return tamanhoAnunciado_ = TamanhoDe(*resposta);
    if (Redirecionamento(status)) {
        // One redirect only, whatever the second answer says.
        const QString local = resposta->Cabecalho("Location");
        if (!local.isEmpty())
            resposta = cliente->Head(Resolver(Url, local));
        if (!resposta)
            return 0;
        // The length of a further redirect is that of its own little page,
        // not the file's.
        const qlonglong tamanho = TamanhoDe(*resposta);
        if (resposta->status == 200 || resposta->status == 206)
            tamanhoAnunciado_ = tamanho;
        return tamanho;
    }
    const QString texto = TextoStatusHttp(status);
    if (!texto.isEmpty() && !Silencioso)
        emit Erros(texto, status);
    return 0;
}

qlonglong CDownload::ArquivoTemConteudo(const QString& Arquivo) const
{
    if (!orvessa::Utilitarios::Instancia().ArquivoExiste(Arquivo, 0))
        return 0;
    return QFileInfo(Arquivo).size();
}

QString CDownload::getContentType(const QString& Url)
{
    if (plataforma::Trim(Url).isEmpty())
        return QString();
    CriarObjHTTP();
    const std::shared_ptr<ClienteHttp> cliente = ObjHTTP_;
    std::optional<RespostaHttp> resposta = cliente->Head(Url);
    if (!resposta)
        return QString();
    if (Redirecionamento(resposta->status)) {
        const QString local = resposta->Cabecalho("Location");
        if (!local.isEmpty())
            resposta = cliente->Head(Resolver(Url, local));
    }
    return resposta ? resposta->Cabecalho("Content-Type") : QString();
}

QString CDownload::getHTMLFromUrl(const QString& Url)
{
    if (plataforma::Trim(Url).isEmpty())
        return QString();
    CriarObjHTTP();
    const std::shared_ptr<ClienteHttp> cliente = ObjHTTP_;
    QString texto = plataforma::Trim(cliente->QuickGetStr(Url));
    if (!texto.isEmpty() && cliente->WasRedirected())
        texto = plataforma::Trim(cliente->QuickGetStr(cliente->FinalRedirectUrl()));
    return texto;
}

bool CDownload::Baixar(const QString& Url, const QString& Destino)
{
    if (baixando_)
        return false;
    // A host's handler runs inside this call and may do anything; nothing
    // of this object is touched once it is gone.
    QPointer<CDownload> eu(this);
    baixando_ = true;
    CriarObjHTTP();
    emit Progresso(0, kObtendoInformacoes);
    if (!eu)
        return false;

    cancelar_ = false;
    inicio_ = Relogio();
    percentualConcluido_ = 0;
    for (int contador = 0;; ++contador) {
        tamanho_ = ObterTamanhoRemoto(Url, false);
        if (!eu)
            return false;
        if (contador == kPassosTamanho || tamanho_ > 0)
            break;
        CriarObjHTTP();
    }

    const std::shared_ptr<ClienteHttp> cliente = ObjHTTP_;
    int resultado = cliente->Download(Url, Destino);
    if (!eu)
        return false;
    // A body the server ended early without saying its length (or sent too
    // much of) is no more complete than one cut short of it. An empty one
    // keeps its own report below.
    QString falha = cliente->LastErrorText();
    const qlonglong recebido = ArquivoTemConteudo(Destino);
    if (resultado == 1 && recebido != 0 && tamanhoAnunciado_ > 0 && recebido != tamanhoAnunciado_) {
        resultado = 0;
        falha = QStringLiteral("O arquivo recebido tem %1 bytes; o servidor anunciou %2.")
                    .arg(recebido)
                    .arg(tamanhoAnunciado_);
    }
    bool sucesso = false;
    if (resultado == 1 && recebido != 0) {
        emit Progresso(100, kConcluido);
        if (!eu)
            return false;
        emit Concluido();
        sucesso = true;
    } else if (resultado == 1) {
        // The empty file stays, as evidence of what the server sent.
        emit Erros(kZeroBytes, kFalhaLocal);
    } else {
        orvessa::Utilitarios::Instancia().ExcluirArquivo(Destino);
        if (cancelar_)
            emit Erros(kCancelado, kCancelamento);
        else
            emit Erros(kNaoConcluido + plataforma::Trim(falha), kFalhaLocal);
    }
    if (eu)
        baixando_ = false;
    return sucesso;
}

void CDownload::Cancelar()
{
    cancelar_ = true;
}

bool CDownload::ObjHTTP_AbortCheck()
{
    return cancelar_;
}

void CDownload::ObjHTTP_PercentDone(int percentual)
{
    percentualConcluido_ = percentual;
}

// The transfer line, at most once per (rounded) second.
void CDownload::ObjHTTP_ReceiveRate(qlonglong byteCount, qlonglong bytesPerSec)
{
    const double agora = Relogio();
    const qint64 segundo = qint64(ArredondarPar(agora));
    if (ultimaAtualizacao_ >= segundo)
        return;
    const double decorrido = agora - inicio_;
    if (decorrido > 0) {
        const double kbps = double(byteCount) / decorrido / 1000.0;
        double restante = double(tamanho_ - byteCount) / 1024.0;
        if (bytesPerSec >= 1 && kbps > 0)
            restante /= kbps;
        ultimaAtualizacao_ = segundo;
        emit Progresso(percentualConcluido_, TextoProgresso(byteCount, tamanho_, kbps, restante));
        return;
    }
    ultimaAtualizacao_ = segundo;
}

}  // namespace kestrane
