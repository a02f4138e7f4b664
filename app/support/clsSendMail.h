#pragma once
// The program's one way to send e-mail: SMTP through libcurl (STARTTLS and
// AUTH), progress, cancellation and an error log in the scratch folder.
#include "app/Exporta.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

namespace qeltrano {

class QELTRANO_EXPORT clsSendMail : public QObject {
    Q_OBJECT
public:
    explicit clsSendMail(QObject* pai = nullptr);
    ~clsSendMail() override;

    // Asks a running EnviarEmail to stop; safe from any event handler.
    void Cancelar();
    // True once Cancelar was called, until the next EnviarEmail begins.
    bool EnvioCancelado() const { return cancelar_.load() == 1; }
    // The last log written, "" when none since the last EnviarEmail began.
    QString ArquivoLogErro() const { return log_; }

    // Blocks the caller until the server answers, while the event loop runs
    // (windows repaint, close requests arrive). `Mensagem` naming an existing
    // file sends that HTML with its local pictures embedded; otherwise it is
    // the plain body. True only when the server accepted the message.
    bool EnviarEmail(const QString& RemetenteNome, const QString& RemetenteEmail, const QString& DestinatarioNome,
                     const QString& DestinatarioEmail, const QString& Assunto, const QString& Mensagem,
                     const QString& SMTP, long Porta, const QString& Usuario, const QString& Senha,
                     const QString& CopiaPara, const QString& CopiaOcultaPara, bool ConexaoSegura,
                     bool UsarCertificado, bool SolicitarConfirmacaoRecebimento,
                     bool EnviarMensagemAltaPrioridade, const QString& ResponderPara, const QString& ArquivoAnexo,
                     bool AlterarPonteiroMouse);

    // Mails TextoRelatorioErros to the support mailbox through the maker's
    // relay. Not silent: a failure offers the log.
    bool EnviarRelatorioErros(const QString& ResponderPara, const QString& ArquivoAnexo, bool ModoSilencioso);

    // Internal: the values of one send, the message built from them, and
    // what the transfer thread shares.
    struct Envio;
    struct Mensagem;
    struct Controle;

signals:
    void Progresso(long Percentual);

private:
    QString GravarLogErro(const QString& mensagem);
    // Checks the values, builds the message, runs the transfer.
    bool Transmitir(Envio& envio, bool comEventos, QString& erro);
    bool TransmitirSemExcecao(Envio& envio, bool comEventos, QString& erro);
    bool ExecutarTransferencia(Mensagem& mensagem, bool comEventos, QString& erro);

    std::atomic<int> cancelar_{0};
    QString log_;
    bool enviando_ = false;
    std::shared_ptr<Controle> controle_;
};

// Header pieces as mail requires them: an unstructured text (subject,
// mailer) is kept when it is short printable ASCII and otherwise written as
// UTF-8 encoded words; a display name is quoted or encoded as needed.
// Neither accepts a line break (the caller refuses the value).
QELTRANO_EXPORT QByteArray CodificarTextoCabecalho(const QString& texto);
QELTRANO_EXPORT QByteArray CodificarNomeCabecalho(const QString& nome);
// An address fit for a header and an SMTP envelope: the rule the forms'
// address check uses (orvessa::EnderecoEmailValido), so whatever a form
// accepts can be sent.
QELTRANO_EXPORT bool EnderecoUtilizavel(const QString& endereco);

}  // namespace qeltrano
