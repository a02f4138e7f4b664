// The mail sender against the local SMTP server (STARTTLS, AUTH): a 10 MB
// attachment's send time, the longest pause of the caller's event loop
// meanwhile, and how soon a cancel returns; curl's command line sends the
// same message for comparison.
#include "Apoio.h"
#include "ServidorSmtp.h"

#include "app/Configuracao.h"
#include "app/support/clsSendMail.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

void Figura(const char* nome, double valor, const char* unidade)
{
    std::printf("figure %s %.3f %s\n", nome, valor, unidade);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication aplicacao(argc, argv);
    apoio::AmbienteTeste ambiente;
    const QString login = qeltrano::Config().LoginRelaySmtp;
    const QString senha = orvessa::Utilitarios::Instancia().Decifrar(qeltrano::Config().SenhaRelaySmtpCifrada, QString());
    apoio::ServidorSmtp servidor(ambiente.Caminho(QStringLiteral("smtp")), login, senha, false);
    QString erro;
    if (!servidor.Iniciar(&erro)) {
        std::fprintf(stderr, "servidor SMTP: %s\n", qPrintable(erro));
        return 1;
    }
    qeltrano::Config().CertificadosSmtp = servidor.ArquivoCA();

    QByteArray dados(10 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < dados.size(); ++i)
        dados[i] = char((i * 2654435761u) >> 24);
    const QString anexo = ambiente.EscreverArquivo(QStringLiteral("dez.bin"), dados);

    auto enviar = [&](qeltrano::clsSendMail& mail, const QString& destinatario) {
        return mail.EnviarEmail(QStringLiteral("Banco"), QStringLiteral("banco@cliente.example"), QStringLiteral("Suporte"),
                                destinatario, QStringLiteral("Medida"), QStringLiteral("Corpo"),
                                QStringLiteral("127.0.0.1"), servidor.Porta(), login, senha, QString(), QString(), true,
                                false, false, false, QString(), anexo, false);
    };

    // Send time and the longest gap between two turns of the event loop.
    double melhor = 1e9;
    double pausa = 0;
    for (int rodada = 0; rodada < 3; ++rodada) {
        qeltrano::clsSendMail mail;
        QElapsedTimer turno;
        qint64 maior = 0;
        QTimer relogio;
        relogio.setInterval(0);
        QObject::connect(&relogio, &QTimer::timeout, [&] {
            if (turno.isValid())
                maior = std::max(maior, turno.nsecsElapsed());
            turno.start();
        });
        relogio.start();
        QElapsedTimer tempo;
        tempo.start();
        const bool ok = enviar(mail, QStringLiteral("suporte@tellumar.example"));
        const double segundos = tempo.nsecsElapsed() / 1e9;
        relogio.stop();
        if (!ok) {
            std::fprintf(stderr, "envio falhou: %s\n", qPrintable(mail.ArquivoLogErro()));
            return 1;
        }
        melhor = std::min(melhor, segundos);
        pausa = std::max(pausa, maior / 1e6);
    }
    Figura("mail_10mb_send_s", melhor, "s");
    Figura("mail_ui_stall_ms", pausa, "ms");

    // Cancel a third of the way through; the server would hold the answer.
    double cancelamento = 0;
    for (int rodada = 0; rodada < 3; ++rodada) {
        qeltrano::clsSendMail mail;
        QElapsedTimer desde;
        QObject::connect(&mail, &qeltrano::clsSendMail::Progresso, [&](long p) {
            if (p >= 30 && !desde.isValid()) {
                desde.start();
                mail.Cancelar();
            }
        });
        enviar(mail, QStringLiteral("lento@tellumar.example"));
        if (!desde.isValid() || !mail.EnvioCancelado()) {
            std::fprintf(stderr, "o cancelamento não ocorreu\n");
            return 1;
        }
        cancelamento = std::max(cancelamento, desde.nsecsElapsed() / 1e6);
    }
    Figura("mail_cancel_ms", cancelamento, "ms");

    // The peer: curl's command line with the same attachment, MIME built by curl.
    QElapsedTimer tempoCurl;
    double melhorCurl = 1e9;
    for (int rodada = 0; rodada < 3; ++rodada) {
        QProcess curl;
        tempoCurl.start();
        curl.start(QStringLiteral("curl"),
                   {QStringLiteral("-s"), QStringLiteral("--ssl-reqd"), QStringLiteral("--cacert"), servidor.ArquivoCA(),
                    QStringLiteral("--url"), QStringLiteral("smtp://127.0.0.1:%1").arg(servidor.Porta()),
                    QStringLiteral("--user"), login + QLatin1Char(':') + senha, QStringLiteral("--mail-from"),
                    QStringLiteral("banco@cliente.example"), QStringLiteral("--mail-rcpt"),
                    QStringLiteral("suporte@tellumar.example"), QStringLiteral("-H"), QStringLiteral("Subject: Medida"),
                    QStringLiteral("-F"), QStringLiteral("=Corpo;type=text/plain"), QStringLiteral("-F"),
                    QStringLiteral("=@") + anexo + QStringLiteral(";encoder=base64")});
        if (!curl.waitForFinished(60000) || curl.exitCode() != 0) {
            std::fprintf(stderr, "curl falhou: %s\n", curl.readAllStandardError().constData());
            break;
        }
        melhorCurl = std::min(melhorCurl, tempoCurl.nsecsElapsed() / 1e9);
    }
    if (melhorCurl < 1e9)
        Figura("mail_10mb_send_curl_s", melhorCurl, "s");
    return 0;
}
