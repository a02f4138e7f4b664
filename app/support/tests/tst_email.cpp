// The mail sender against a real SMTP server on 127.0.0.1 (STARTTLS and AUTH
// required): what arrives, what fails and how, cancelling and time-outs.
#include "Apoio.h"
#include "Respostas.h"
#include "CapturadorUrls.h"
#include "ServidorSmtp.h"

#include "app/Configuracao.h"
#include "app/support/clsSendMail.h"
#include "app/workbench/modErros.h"
#include "suite/Utilitarios.h"

#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <memory>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using apoio::ServidorSmtp;
using qeltrano::Config;

namespace {

const QString kLogin = QStringLiteral("TLMR7Q2K9SUPORTE4X8Z");

// The arguments of one EnviarEmail, with usable defaults.
struct Pedido {
    QString remetenteNome = QStringLiteral("Maria Ação");
    QString remetenteEmail = QStringLiteral("maria@cliente.example");
    QString destinatarioNome = QStringLiteral("Suporte");
    QString destinatarioEmail = QStringLiteral("suporte@tellumar.example");
    QString assunto = QStringLiteral("Dúvida sobre a tradução");
    QString mensagem = QStringLiteral("Olá,\r\nlinha dois.\nlinha três.");
    QString usuario = qeltrano::Config().LoginRelaySmtp;
    QString senha;
    QString copia, copiaOculta;
    bool confirmacao = false;
    bool prioridade = false;
    QString responderPara;
    QString anexo;
    int porta = 0;
};

QByteArray Sha256(const QByteArray& dados)
{
    return QCryptographicHash::hash(dados, QCryptographicHash::Sha256).toHex();
}

QByteArray LerArquivo(const QString& caminho)
{
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

// Root reads any file whatever its mode: for the guard's life this thread
// (and the threads it starts) lose that override, so a mode of 000 keeps a
// file from them as from any user. Nothing to do for other users.
class SemLeituraPrivilegiada {
public:
    SemLeituraPrivilegiada()
    {
        if (syscall(SYS_capget, &cabecalho_, dados_) != 0)
            return;
        const __u32 leitura = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        antes_ = dados_[0].effective;
        dados_[0].effective &= ~leitura;
        ativo_ = antes_ != dados_[0].effective && syscall(SYS_capset, &cabecalho_, dados_) == 0;
    }
    ~SemLeituraPrivilegiada()
    {
        if (!ativo_)
            return;
        dados_[0].effective = antes_;
        syscall(SYS_capset, &cabecalho_, dados_);
    }

private:
    __user_cap_header_struct cabecalho_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct dados_[2]{};
    __u32 antes_ = 0;
    bool ativo_ = false;
};

QStringList Logs()
{
    return QDir(orvessa::Utilitarios::Instancia().DiretorioTemporario())
        .entryList({QStringLiteral("*.LOG")}, QDir::Files);
}

}  // namespace

class TstEmail : public QObject {
    Q_OBJECT

    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<ServidorSmtp> servidor_;
    QString senha_;

    bool Enviar(qeltrano::clsSendMail& mail, const Pedido& p)
    {
        return mail.EnviarEmail(p.remetenteNome, p.remetenteEmail, p.destinatarioNome, p.destinatarioEmail,
                                p.assunto, p.mensagem, QStringLiteral("127.0.0.1"),
                                p.porta ? p.porta : servidor_->Porta(), p.usuario,
                                p.senha.isNull() ? senha_ : p.senha, p.copia, p.copiaOculta, true, false,
                                p.confirmacao, p.prioridade, p.responderPara, p.anexo, true);
    }

    QJsonObject Ultima() const
    {
        const auto mensagens = servidor_->Mensagens();
        return mensagens.isEmpty() ? QJsonObject() : mensagens.last();
    }

private slots:
    void initTestCase()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        senha_ = orvessa::Utilitarios::Instancia().Decifrar(Config().SenhaRelaySmtpCifrada, QString());
        QString erro;
        servidor_ = ServidorSmtp::IniciarComoRelay(ambiente_->Caminho(QStringLiteral("smtp")), &erro);
        QVERIFY2(servidor_, qPrintable(erro));
    }

    void cleanupTestCase()
    {
        servidor_.reset();
        ambiente_.reset();
    }

    void init() { QDir(orvessa::Utilitarios::Instancia().DiretorioTemporario()).removeRecursively(); QDir().mkpath(orvessa::Utilitarios::Instancia().DiretorioTemporario()); }

    // Every header the message is built with, non-ASCII names and subject
    // included; Bcc only in the envelope; the attachment byte for byte.
    void cabecalhosCorpoEAnexo()
    {
        QByteArray binario(300000, '\0');
        for (int i = 0; i < binario.size(); ++i)
            binario[i] = char((i * 131 + 7) & 0xFF);
        Pedido p;
        p.copia = QStringLiteral("copia@cliente.example");
        p.copiaOculta = QStringLiteral("oculta@cliente.example");
        p.confirmacao = true;
        p.prioridade = true;
        p.responderPara = QStringLiteral("resposta@cliente.example");
        p.anexo = ambiente_->EscreverArquivo(QStringLiteral("relatório.zip"), binario);

        qeltrano::clsSendMail mail;
        QList<long> progresso;
        connect(&mail, &qeltrano::clsSendMail::Progresso, this, [&](long v) { progresso.append(v); });
        const int antes = servidor_->Mensagens().size();
        QVERIFY(Enviar(mail, p));
        QCOMPARE(servidor_->Mensagens().size(), antes + 1);
        QVERIFY(mail.ArquivoLogErro().isEmpty());
        QVERIFY(!mail.EnvioCancelado());
        QVERIFY(progresso.size() >= 2);
        QCOMPARE(progresso.first(), 0L);
        QCOMPARE(progresso.last(), 0L);
        QVERIFY(progresso.contains(100L));

        const QJsonObject m = Ultima();
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("From")), QStringLiteral("Maria Ação <maria@cliente.example>"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("To")), QStringLiteral("Suporte <suporte@tellumar.example>"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Cc")), QStringLiteral("\"copia@cliente.example\" <copia@cliente.example>"));
        QCOMPARE(ServidorSmtp::ContarCabecalho(m, QStringLiteral("Bcc")), 0);
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Subject")), p.assunto);
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Reply-To")), p.responderPara);
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("X-Rcpt-To")), p.responderPara);
        QCOMPARE(ServidorSmtp::ContarCabecalho(m, QStringLiteral("X-Mailer")), 1);
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("X-Mailer")),
                 QStringLiteral("Qeltrano (https://www.tellumar.example)"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Disposition-Notification-To")), p.remetenteEmail);
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("X-Priority")), QStringLiteral("1"));
        QVERIFY(!ServidorSmtp::Cabecalho(m, QStringLiteral("Date")).isEmpty());
        QCOMPARE(m.value(QStringLiteral("mail_from")).toString(), p.remetenteEmail);
        const QJsonArray rcpt = m.value(QStringLiteral("rcpt_tos")).toArray();
        QCOMPARE(rcpt.size(), 3);
        QVERIFY(rcpt.contains(QStringLiteral("oculta@cliente.example")));
        QCOMPARE(m.value(QStringLiteral("texto")).toString(), QStringLiteral("Olá,\r\nlinha dois.\r\nlinha três."));
        QVERIFY(!servidor_->Bruta(servidor_->Mensagens().size() - 1).contains("=0A"));

        const QJsonArray anexos = m.value(QStringLiteral("anexos")).toArray();
        QCOMPARE(anexos.size(), 1);
        QCOMPARE(anexos[0].toObject().value(QStringLiteral("nome")).toString(), QStringLiteral("relatório.zip"));
        QCOMPARE(anexos[0].toObject().value(QStringLiteral("sha256")).toString().toLatin1(), Sha256(binario));
        // The name that is not plain ASCII travels as an RFC 2231 parameter,
        // never as an encoded word inside a quoted string.
        const QByteArray bruta = servidor_->Bruta(servidor_->Mensagens().size() - 1);
        const qsizetype disposicao = bruta.indexOf("Content-Disposition: attachment");
        QVERIFY(disposicao > 0);
        const QByteArray linha = bruta.mid(disposicao, bruta.indexOf("\r\n", disposicao) - disposicao);
        QVERIFY2(linha.contains("; filename*=UTF-8''relat%C3%B3rio.zip"), linha.constData());
        QVERIFY2(!linha.contains("=?"), linha.constData());
    }

    // Blanks as the reply address fall back to the sender; empty Cc and Bcc
    // add nothing; the switches left off add nothing.
    void respostaEmBrancoSemCopias()
    {
        Pedido p;
        p.responderPara = QStringLiteral("   ");
        p.copiaOculta = QStringLiteral("  ");
        qeltrano::clsSendMail mail;
        QVERIFY(Enviar(mail, p));
        const QJsonObject m = Ultima();
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Reply-To")), p.remetenteEmail);
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("X-Rcpt-To")), p.remetenteEmail);
        for (const char* nome : {"Cc", "Bcc", "X-Priority", "Disposition-Notification-To"})
            QVERIFY2(ServidorSmtp::ContarCabecalho(m, QString::fromLatin1(nome)) == 0, nome);
        QCOMPARE(m.value(QStringLiteral("rcpt_tos")).toArray(), QJsonArray{p.destinatarioEmail});
        QCOMPARE(m.value(QStringLiteral("anexos")).toArray().size(), 0);
    }

    // A page as the message: its local picture goes along as a related part
    // that the page points at; a remote picture is left alone.
    void corpoHtmlComImagem()
    {
        QImage imagem(8, 8, QImage::Format_RGB32);
        imagem.fill(Qt::red);
        QDir(ambiente_->Pasta()).mkpath(QStringLiteral("pagina/img"));
        const QString png = ambiente_->Caminho(QStringLiteral("pagina/img/logo.png"));
        QVERIFY(imagem.save(png));
        const QString pagina = ambiente_->EscreverArquivo(
            QStringLiteral("pagina/mensagem.html"),
            "<html><body><p>Ol\xc3\xa1</p><img src=\"img/logo.png\"><img src='http://remoto.example/x.png'>"
            "<img SRC=\"img/logo.png\"></body></html>");
        Pedido p;
        p.mensagem = pagina;
        qeltrano::clsSendMail mail;
        QVERIFY(Enviar(mail, p));
        const QJsonObject m = Ultima();
        QVERIFY(m.value(QStringLiteral("texto")).isNull());
        QVERIFY2(m.value(QStringLiteral("html_tipo")).toString().contains(QStringLiteral("utf-8"), Qt::CaseInsensitive),
                 qPrintable(m.value(QStringLiteral("html_tipo")).toString()));
        const QString html = m.value(QStringLiteral("html")).toString();
        const QJsonArray partes = m.value(QStringLiteral("relacionadas")).toArray();
        QCOMPARE(partes.size(), 1);
        const QJsonObject parte = partes[0].toObject();
        QCOMPARE(parte.value(QStringLiteral("tipo")).toString(), QStringLiteral("image/png"));
        QCOMPARE(parte.value(QStringLiteral("sha256")).toString().toLatin1(), Sha256(LerArquivo(png)));
        QCOMPARE(html.count(QStringLiteral("\"cid:") + parte.value(QStringLiteral("cid")).toString() + u'"'), 2);
        QVERIFY(html.contains(QStringLiteral("'http://remoto.example/x.png'")));
        QVERIFY(!html.contains(QStringLiteral("img/logo.png")));
    }

    // The server's refusals: False and a log holding the server's reason.
    void recusasDoServidor_data()
    {
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QString>("destinatario");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("senha errada") << QStringLiteral("errada") << QStringLiteral("suporte@tellumar.example")
                                      << QStringLiteral("535 5.7.8 Credenciais recusadas");
        QTest::newRow("destinatário recusado") << QString() << QStringLiteral("recusado@tellumar.example")
                                               << QStringLiteral("550 5.1.1 Destinatario recusado");
    }
    void recusasDoServidor()
    {
        QFETCH(QString, senha);
        QFETCH(QString, destinatario);
        QFETCH(QString, motivo);
        Pedido p;
        p.senha = senha;
        p.destinatarioEmail = destinatario;
        qeltrano::clsSendMail mail;
        const int antes = servidor_->Mensagens().size();
        QVERIFY(!Enviar(mail, p));
        QCOMPARE(servidor_->Mensagens().size(), antes);
        QVERIFY(!mail.EnvioCancelado());
        QVERIFY(!mail.ArquivoLogErro().isEmpty());
        QVERIFY(mail.ArquivoLogErro().endsWith(QStringLiteral(".LOG")));
        const QString log = QString::fromUtf8(LerArquivo(mail.ArquivoLogErro()));
        QVERIFY2(log.contains(motivo), qPrintable(log));
        QVERIFY(log.endsWith(QStringLiteral("\r\n")));
        QVERIFY(!log.contains(senha_));
    }

    // A line break in any value that ends in a header is refused before
    // anything is sent, so no field can add a header of its own.
    void quebraDeLinhaRecusada_data()
    {
        QTest::addColumn<int>("campo");
        QTest::newRow("assunto") << 0;
        QTest::newRow("nome do remetente") << 1;
        QTest::newRow("responder para") << 2;
    }
    void quebraDeLinhaRecusada()
    {
        QFETCH(int, campo);
        const QString intruso = QStringLiteral("x\r\nBcc: intruso@fora.example");
        Pedido p;
        (campo == 0 ? p.assunto : campo == 1 ? p.remetenteNome : p.responderPara) += intruso;
        qeltrano::clsSendMail mail;
        const int antes = servidor_->Mensagens().size();
        QVERIFY(!Enviar(mail, p));
        QCOMPARE(servidor_->Mensagens().size(), antes);
        QVERIFY(QString::fromUtf8(LerArquivo(mail.ArquivoLogErro())).contains(QStringLiteral("quebra de linha")));
    }

    // Cancelled while the server holds the send: False, no log, the flag
    // stays set, and the last progress is 0.
    void cancelamento()
    {
        Pedido p;
        p.destinatarioEmail = QStringLiteral("lento@tellumar.example");
        p.anexo = ambiente_->EscreverArquivo(QStringLiteral("grande.bin"), QByteArray(8 * 1024 * 1024, 'x'));
        qeltrano::clsSendMail mail;
        QList<long> progresso;
        QElapsedTimer relogio;
        connect(&mail, &qeltrano::clsSendMail::Progresso, this, [&](long v) {
            progresso.append(v);
            if (v > 0 && !relogio.isValid()) {
                relogio.start();
                QTimer::singleShot(0, &mail, [&mail] { mail.Cancelar(); });
            }
        });
        const int antes = servidor_->Mensagens().size();
        QVERIFY(!Enviar(mail, p));
        QVERIFY(relogio.isValid());
        // The server would hold the answer 30 s: the cancel ended the wait.
        QVERIFY2(relogio.elapsed() < 15000, qPrintable(QString::number(relogio.elapsed())));
        QVERIFY(mail.EnvioCancelado());
        QVERIFY(mail.ArquivoLogErro().isEmpty());
        QVERIFY(Logs().isEmpty());
        QCOMPARE(progresso.last(), 0L);
        QCOMPARE(servidor_->Mensagens().size(), antes);
    }

    // A server that stops answering ends the send by the time-out, counted
    // from the last byte that moved: one that never greets, and one that
    // takes the whole message and never answers the final ".".
    void servidorMudo_data()
    {
        QTest::addColumn<bool>("aposDados");
        QTest::newRow("sem saudação") << false;
        QTest::newRow("calado após o ponto final") << true;
    }
    void servidorMudo()
    {
        QFETCH(bool, aposDados);
        QCOMPARE(qeltrano::Configuracao().TempoLimiteSmtp, 20);
        QTcpServer mudo;
        QVERIFY(mudo.listen(QHostAddress::LocalHost));
        QList<QTcpSocket*> conexoes;
        connect(&mudo, &QTcpServer::newConnection, this, [&] { conexoes.append(mudo.nextPendingConnection()); });
        const int limiteAnterior = Config().TempoLimiteSmtp;
        const int limite = 2;
        Config().TempoLimiteSmtp = limite;
        Pedido p;
        if (aposDados)
            p.destinatarioEmail = QStringLiteral("lento@tellumar.example");
        else
            p.porta = mudo.serverPort();
        const int antes = servidor_->Mensagens().size();
        qeltrano::clsSendMail mail;
        QElapsedTimer relogio;
        relogio.start();
        const bool enviado = Enviar(mail, p);
        const qint64 decorrido = relogio.elapsed();
        Config().TempoLimiteSmtp = limiteAnterior;
        QVERIFY(!enviado);
        QVERIFY2(decorrido >= limite * 1000 - 100 && decorrido < limite * 1000 + 1000,
                 qPrintable(QString::number(decorrido)));
        QCOMPARE(conexoes.size(), aposDados ? 0 : 1);
        QCOMPARE(servidor_->Mensagens().size(), antes);
        QVERIFY(!mail.EnvioCancelado());
        const QString log = QString::fromUtf8(LerArquivo(mail.ArquivoLogErro())).toLower();
        QVERIFY2(log.contains(QStringLiteral("timeout")) || log.contains(QStringLiteral("timed out")), qPrintable(log));
    }

    // An attachment that cannot be read is left out: the mail goes without
    // it and the warning names the file.
    void anexoIlegivel_data()
    {
        QTest::addColumn<bool>("pasta");
        QTest::newRow("sem permissão de leitura") << false;
        QTest::newRow("uma pasta") << true;
    }
    void anexoIlegivel()
    {
        QFETCH(bool, pasta);
        QString caminho;
        if (pasta) {
            caminho = ambiente_->Caminho(QStringLiteral("anexos"));
            QVERIFY(QDir().mkpath(caminho));
        } else {
            caminho = ambiente_->EscreverArquivo(QStringLiteral("fechado.pdf"), QByteArray("conteúdo"));
            QVERIFY(QFile::setPermissions(caminho, QFileDevice::Permissions()));
        }
        SemLeituraPrivilegiada semPrivilegio;
        QFile teste(caminho);
        QVERIFY2(!teste.open(QIODevice::ReadOnly), "o anexo do teste pode ser lido");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(caminho)));
        Pedido p;
        p.anexo = caminho;
        qeltrano::clsSendMail mail;
        const int antes = servidor_->Mensagens().size();
        QVERIFY(Enviar(mail, p));
        QCOMPARE(servidor_->Mensagens().size(), antes + 1);
        QCOMPARE(Ultima().value(QStringLiteral("anexos")).toArray().size(), 0);
        QVERIFY(mail.ArquivoLogErro().isEmpty());
    }

    // The message's size goes with MAIL FROM, so a server that announces a
    // limit refuses an oversized mail before it travels.
    void tamanhoDeclarado()
    {
        Pedido p;
        p.anexo = ambiente_->EscreverArquivo(QStringLiteral("medio.bin"), QByteArray(200000, 'y'));
        qeltrano::clsSendMail mail;
        QVERIFY(Enviar(mail, p));
        const QByteArray bruta = servidor_->Bruta(servidor_->Mensagens().size() - 1);
        QCOMPARE(Ultima().value(QStringLiteral("mail_options")).toArray(),
                 QJsonArray{QStringLiteral("SIZE=%1").arg(bruta.size())});

        ServidorSmtp pequeno(ambiente_->Caminho(QStringLiteral("smtp-pequeno")), Config().LoginRelaySmtp, senha_);
        pequeno.DefinirLimite(100000);
        QString erro;
        QVERIFY2(pequeno.Iniciar(&erro), qPrintable(erro));
        const QString ca = Config().CertificadosSmtp;
        Config().CertificadosSmtp = pequeno.ArquivoCA();
        p.porta = pequeno.Porta();
        qeltrano::clsSendMail recusado;
        const bool enviado = Enviar(recusado, p);
        Config().CertificadosSmtp = ca;
        QVERIFY(!enviado);
        QVERIFY(pequeno.Mensagens().isEmpty());
        // Refused at MAIL FROM, not after the data.
        const QString log = QString::fromUtf8(LerArquivo(recusado.ArquivoLogErro()));
        QVERIFY2(log.contains(QStringLiteral("552 Error: message size exceeds fixed maximum")), qPrintable(log));
    }

    // The error report through the maker's relay: fixed sender, upper-case
    // subject, the report and the user's address in the body, the picture.
    void relatorioDeErros()
    {
        Config().PortaRelaySmtp = servidor_->Porta();
        qeltrano::TextoRelatorioErros = QStringLiteral("RELATÓRIO\r\nLinha: 0\r\n");
        QImage imagem(16, 16, QImage::Format_RGB32);
        imagem.fill(Qt::blue);
        const QString jpg = ambiente_->Caminho(QStringLiteral("tela.jpg"));
        QVERIFY(imagem.save(jpg, "JPG"));
        qeltrano::clsSendMail mail;
        int eventos = 0;
        connect(&mail, &qeltrano::clsSendMail::Progresso, this, [&](long) { ++eventos; });
        QVERIFY(mail.EnviarRelatorioErros(QStringLiteral("  usuario@cliente.example "), jpg, false));
        QCOMPARE(eventos, 0);
        const QJsonObject m = Ultima();
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Subject")),
                 QStringLiteral("RELATÓRIO DE ERROS - QELTRANO %1.%2.%3")
                     .arg(1).arg(0).arg(QStringLiteral("05")));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("From")),
                 QStringLiteral("Suporte Tellumar <suporte@tellumar.example>"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("To")),
                 QStringLiteral("Suporte Tellumar <suporte@tellumar.example>"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Reply-To")), QStringLiteral("usuario@cliente.example"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("X-Rcpt-To")), QStringLiteral("usuario@cliente.example"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("X-Mailer")),
                 QStringLiteral("Tellumar Sistemas Ltda. (https://www.tellumar.example)"));
        QCOMPARE(m.value(QStringLiteral("texto")).toString(),
                 qeltrano::TextoRelatorioErros + QStringLiteral("\r\n\r\nE-mail do usuário: usuario@cliente.example"));
        const QJsonArray anexos = m.value(QStringLiteral("anexos")).toArray();
        QCOMPARE(anexos.size(), 1);
        QCOMPARE(anexos[0].toObject().value(QStringLiteral("tipo")).toString(), QStringLiteral("image/jpeg"));
        QCOMPARE(anexos[0].toObject().value(QStringLiteral("sha256")).toString().toLatin1(), Sha256(LerArquivo(jpg)));

        // A malformed address (the window's "Sair" checks nothing) still
        // reaches support in the body, not in a header.
        QVERIFY(mail.EnviarRelatorioErros(QStringLiteral("sem arroba"), QString(), true));
        const QJsonObject m2 = Ultima();
        QCOMPARE(ServidorSmtp::ContarCabecalho(m2, QStringLiteral("Reply-To")), 0);
        QVERIFY(m2.value(QStringLiteral("texto")).toString().endsWith(QStringLiteral("E-mail do usuário: sem arroba")));
    }

    // A failing relay: silent gives False and nothing else; otherwise the
    // box offers the log, which Yes writes and opens.
    void relatorioComFalha()
    {
        QTcpServer fechado;
        QVERIFY(fechado.listen(QHostAddress::LocalHost));
        const int porta = fechado.serverPort();
        fechado.close();
        Config().HostRelaySmtp = QStringLiteral("127.0.0.1");
        Config().PortaRelaySmtp = porta;
        apoio::Respostas respostas;
        apoio::CapturadorUrls captura({QStringLiteral("file")});

        qeltrano::clsSendMail silencioso;
        QVERIFY(!silencioso.EnviarRelatorioErros(QStringLiteral("a@b.example"), QString(), true));
        QVERIFY(respostas.Caixas().isEmpty());
        QVERIFY(Logs().isEmpty());

        respostas.Responder(QStringLiteral("Falha ao enviar o relatório"), 6);
        qeltrano::clsSendMail mail;
        QVERIFY(!mail.EnviarRelatorioErros(QStringLiteral("a@b.example"), QString(), false));
        const auto caixas = respostas.Caixas();
        QCOMPARE(caixas.size(), 1);
        QCOMPARE(caixas[0].tipo, orvessa::TipoCaixa::Aviso);
        QCOMPARE(caixas[0].estilo, 84);
        QCOMPARE(caixas[0].texto,
                 QStringLiteral("<b>Atenção</b>: Falha ao enviar o relatório para o suporte técnico. Tente novamente "
                                "ou envie a sua mensagem para <u>atendimento@tellumar.example</u>.<br><br>Você "
                                "gostaria de visualizar o log de erro?"));
        QCOMPARE(Logs().size(), 1);
        QCOMPARE(captura.urls.size(), 1);
        QCOMPARE(captura.urls[0].toLocalFile(), mail.ArquivoLogErro());
    }

    // The program quitting while the server holds the send: the transfer
    // stops instead of keeping the program alive, and the log says why.
    // Last: once the program quits, no event loop of this runner turns again.
    void programaEncerradoDuranteEnvio()
    {
        Pedido p;
        p.destinatarioEmail = QStringLiteral("lento@tellumar.example");
        qeltrano::clsSendMail mail;
        QTimer::singleShot(500, [] { QCoreApplication::exit(0); });
        QElapsedTimer relogio;
        relogio.start();
        QVERIFY(!Enviar(mail, p));
        QVERIFY2(relogio.elapsed() < 15000, qPrintable(QString::number(relogio.elapsed())));
        QVERIFY(!mail.EnvioCancelado());
        QVERIFY(QString::fromUtf8(LerArquivo(mail.ArquivoLogErro())).contains(QStringLiteral("encerrado")));
    }
};

QTEST_MAIN(TstEmail)
#include "tst_email.moc"
