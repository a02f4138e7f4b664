#pragma once
// An invisible control that downloads one file over HTTP into a local file
// and reports progress, failures and completion through events raised on
// the host's thread before Baixar returns. It also answers the content type
// of an address and the text of a page.
#include <QString>
#include <QWidget>

#include <memory>

namespace kestrane {

class ClienteHttp;

class CDownload : public QWidget {
    Q_OBJECT
    // Sizes and byte counts are 64-bit: files past 2 GB are common.
    Q_PROPERTY(qlonglong Tamanho READ Tamanho WRITE DefinirTamanho)
    Q_PROPERTY(bool Baixando READ Baixando)
    Q_PROPERTY(bool Cancelado READ Cancelado WRITE DefinirCancelado)
    // Seconds a connection or a stalled transfer may wait before it fails.
    Q_PROPERTY(int TempoLimite READ TempoLimite WRITE DefinirTempoLimite)
public:
    static constexpr int TempoLimitePadrao = 20;
    static constexpr double LadoTwips = 1000;

    explicit CDownload(QWidget* pai = nullptr);
    ~CDownload() override;

    qlonglong Tamanho() const { return tamanho_; }
    void DefinirTamanho(qlonglong tamanho) { tamanho_ = tamanho; }
    bool Baixando() const { return baixando_; }
    // Reads false while a download runs, whatever was asked.
    bool Cancelado() const { return cancelar_ && !baixando_; }
    void DefinirCancelado(bool cancelado) { cancelar_ = cancelado; }
    int TempoLimite() const { return tempoLimite_; }
    void DefinirTempoLimite(int segundos) { tempoLimite_ = segundos > 0 ? segundos : TempoLimitePadrao; }

    Q_INVOKABLE QString getContentType(const QString& Url);
    Q_INVOKABLE QString getHTMLFromUrl(const QString& Url);
    Q_INVOKABLE bool Baixar(const QString& Url, const QString& Destino);
    Q_INVOKABLE void Cancelar();

signals:
    void Erros(const QString& Mensagem, int Codigo);
    void Progresso(int Porcentagem, const QString& Mensagem);
    void Concluido();

protected:
    void resizeEvent(QResizeEvent* evento) override;

private:
    // The fixed size, a square of LadoTwips on this screen.
    static QSize Lado();
    void CriarObjHTTP();
    qlonglong ObterTamanhoRemoto(const QString& Url, bool Silencioso);
    qlonglong ArquivoTemConteudo(const QString& Arquivo) const;
    bool ObjHTTP_AbortCheck();
    void ObjHTTP_PercentDone(int percentual);
    void ObjHTTP_ReceiveRate(qlonglong byteCount, qlonglong bytesPerSec);

    // Shared so a request in progress keeps its transport when a host's
    // handler asks for a new one meanwhile.
    std::shared_ptr<ClienteHttp> ObjHTTP_;
    qlonglong tamanho_ = 0;
    // The file's length as a HEAD answer of the file itself gave it; 0 when
    // none did. Only a download of that length is complete.
    qlonglong tamanhoAnunciado_ = 0;
    bool baixando_ = false;
    bool cancelar_ = false;
    int tempoLimite_ = TempoLimitePadrao;
    // Seconds of a monotonic clock: a transfer running past midnight keeps
    // its progress text.
    double inicio_ = 0;
    int percentualConcluido_ = 0;
    qint64 ultimaAtualizacao_ = 0;
};

}  // namespace kestrane
