#pragma once
// The program's one way to send e-mail: SMTP through libcurl (STARTTLS and
// AUTH), progress, cancellation and an error log in the scratch folder.
#include "app/Exporta.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

namespace qeltrano {

// What a running transfer shares with its object (clsSendMail.cpp).
struct ControleEnvio;

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

signals:
    void Progresso(long Percentual);

private:
    QString GravarLogErro(const QString& mensagem);

    std::atomic<int> cancelar_{0};
    QString log_;
    bool enviando_ = false;
    std::unique_ptr<ControleEnvio> controle_;
};

}  // namespace qeltrano
