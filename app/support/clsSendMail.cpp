#include "app/support/clsSendMail.h"

#include "Versao.h"
#include "app/Configuracao.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "suite/Dialogos.h"
#include "suite/RequisicaoHTTP.h"
#include "suite/Utilitarios.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QRegularExpression>
#include <QUrl>
#include <QtDebug>

#include <curl/curl.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qeltrano {

namespace {

const QString kSuporteNome = QStringLiteral("Suporte Tellumar");

orvessa::Utilitarios& Util()
{
    return orvessa::Utilitarios::Instancia();
}

void IniciarCurl()
{
    static std::once_flag feito;
    std::call_once(feito, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool TemQuebra(const QString& texto)
{
    for (QChar c : texto)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            return true;
    return false;
}

bool AsciiImprimivel(const QString& texto)
{
    for (QChar c : texto)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

// UTF-8 "B" encoded words of at most 45 bytes each, never splitting a
// character, folded onto continuation lines.
QByteArray PalavrasCodificadas(const QString& texto)
{
    const QByteArray utf8 = texto.toUtf8();
    QList<QByteArray> palavras;
    qsizetype inicio = 0;
    while (inicio < utf8.size()) {
        qsizetype fim = std::min<qsizetype>(inicio + 45, utf8.size());
        while (fim < utf8.size() && fim > inicio && (static_cast<unsigned char>(utf8[fim]) & 0xC0) == 0x80)
            --fim;
        palavras.append("=?UTF-8?B?" + utf8.mid(inicio, fim - inicio).toBase64() + "?=");
        inicio = fim;
    }
    return palavras.join("\r\n ");
}

// Local pictures of an HTML page: every src/background that names a file.
struct Imagem {
    QByteArray dados;
    QString tipo;
    QString cid;
};

QString CaminhoLocal(const QString& referencia, const QDir& pasta)
{
    const QString ref = referencia.trimmed();
    if (ref.isEmpty())
        return QString();
    const QUrl url(ref);
    if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
        return url.toLocalFile();
    if (url.scheme().size() > 1)  // http:, cid:, data:...
        return QString();
    return QDir::cleanPath(pasta.absoluteFilePath(QUrl::fromPercentEncoding(ref.toUtf8())));
}

// The page with its local pictures pointed at "cid:" parts. Bytes are kept
// as they are (the page declares its own charset).
QByteArray EmbutirImagens(const QByteArray& html, const QDir& pasta, std::vector<Imagem>& imagens)
{
    static const QRegularExpression atributo(
        QStringLiteral("(\\b(?:src|background)\\s*=\\s*)(\"([^\"]*)\"|'([^']*)'|([^\\s>\"']+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString texto = QString::fromLatin1(html);
    QString saida;
    qsizetype ultimo = 0;
    QHash<QString, QString> vistos;
    QMimeDatabase tipos;
    auto it = atributo.globalMatch(texto);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString valor = m.captured(3);
        if (valor.isNull())
            valor = m.captured(4);
        if (valor.isNull())
            valor = m.captured(5);
        const QString caminho = CaminhoLocal(QString::fromUtf8(valor.toLatin1()), pasta);
        if (caminho.isEmpty())
            continue;
        QString cid = vistos.value(caminho);
        if (cid.isEmpty()) {
            QFile arquivo(caminho);
            if (!arquivo.open(QIODevice::ReadOnly))
                continue;
            Imagem imagem;
            imagem.dados = arquivo.readAll();
            imagem.tipo = tipos.mimeTypeForFileNameAndData(caminho, imagem.dados).name();
            imagem.cid = QStringLiteral("parte%1.%2@qeltrano").arg(imagens.size() + 1).arg(
                Util().GerarAleatorio(QString(), 1, 99999));
            cid = imagem.cid;
            vistos.insert(caminho, cid);
            imagens.push_back(std::move(imagem));
        }
        saida += texto.mid(ultimo, m.capturedStart(2) - ultimo);
        saida += QStringLiteral("\"cid:") + cid + QLatin1Char('"');
        ultimo = m.capturedEnd(2);
    }
    saida += texto.mid(ultimo);
    return saida.toLatin1();
}

QByteArray Cabecalho(const char* nome, const QByteArray& valor)
{
    return QByteArray(nome) + ": " + valor;
}

QByteArray Endereco(const QString& nome, const QString& endereco)
{
    const QByteArray caixa = endereco.trimmed().toUtf8();
    if (nome.trimmed().isEmpty())
        return caixa;
    return CodificarNomeCabecalho(nome.trimmed()) + " <" + caixa + ">";
}

struct Lista {
    curl_slist* itens = nullptr;
    ~Lista() { curl_slist_free_all(itens); }
    void Adicionar(const QByteArray& texto) { itens = curl_slist_append(itens, texto.constData()); }
};

}  // namespace

QByteArray CodificarTextoCabecalho(const QString& texto)
{
    if (AsciiImprimivel(texto) && texto.size() <= 900)
        return texto.toLatin1();
    return PalavrasCodificadas(texto);
}

QByteArray CodificarNomeCabecalho(const QString& nome)
{
    if (!AsciiImprimivel(nome))
        return PalavrasCodificadas(nome);
    static const QString especiais = QStringLiteral("()<>[]:;@\\,.\"");
    bool citar = false;
    for (QChar c : nome)
        citar = citar || especiais.contains(c);
    if (!citar)
        return nome.toLatin1();
    QByteArray citado = "\"";
    for (QChar c : nome) {
        if (c == u'"' || c == u'\\')
            citado += '\\';
        citado += char(c.unicode());
    }
    return citado + '"';
}

bool EnderecoUtilizavel(const QString& endereco)
{
    const QString e = endereco.trimmed();
    if (e.isEmpty() || !AsciiImprimivel(e))
        return false;
    static const QString proibidos = QStringLiteral(" <>()\"',;[]\\");
    for (QChar c : e)
        if (proibidos.contains(c))
            return false;
    const qsizetype arroba = e.indexOf(u'@');
    return arroba > 0 && arroba == e.lastIndexOf(u'@') && arroba < e.size() - 1;
}

// One message ready for the wire.
struct clsSendMail::Envio {
    QString host;
    long porta = 587;
    QString usuario;
    QString senha;
    bool seguro = true;
    QString remetenteNome, remetenteEmail;
    QString destinatarioNome, destinatarioEmail;
    QString copia, copiaOculta;
    QString responderPara;
    QString assunto;
    QString mailer;
    bool confirmacao = false;
    bool prioridade = false;
    QString corpo;        // plain body, unless `html` is set
    QString arquivoHtml;  // a page that becomes the body
    QString anexo;
};

// What the user-interface thread and the transfer thread share.
struct clsSendMail::Controle {
    std::mutex trava;
    CURLM* multi = nullptr;
    std::atomic<bool> cancelar{false};

    void Acordar()
    {
        std::lock_guard<std::mutex> guarda(trava);
        if (multi)
            curl_multi_wakeup(multi);
    }
};

namespace {

// Runs on the transfer thread.
struct Transferencia {
    std::shared_ptr<clsSendMail::Controle> controle;
    QObject* receptor = nullptr;
    std::function<void(long)> progresso;  // called on the user-interface thread
    long ultimoPercentual = -1;
    curl_off_t estimativa = 0;  // the message's size on the wire, roughly
    std::string respostas;      // the server's last reply
    std::string recusa;         // its last 4xx/5xx reply
    bool novaResposta = true;
};

int AoDepurar(CURL*, curl_infotype tipo, char* dados, size_t tamanho, void* contexto)
{
    auto* t = static_cast<Transferencia*>(contexto);
    if (tipo == CURLINFO_HEADER_IN) {
        std::string linha(dados, tamanho);
        while (!linha.empty() && (linha.back() == '\n' || linha.back() == '\r'))
            linha.pop_back();
        // A reply may run over several lines ("250-..."); keep the last one whole.
        if (t->novaResposta)
            t->respostas.clear();
        if (!t->respostas.empty())
            t->respostas += ' ';
        t->respostas += linha;
        t->novaResposta = linha.size() < 4 || linha[3] != '-';
        if (t->novaResposta && (t->respostas[0] == '4' || t->respostas[0] == '5'))
            t->recusa = t->respostas;
    }
    return 0;
}

int AoProgredir(void* contexto, curl_off_t, curl_off_t, curl_off_t total, curl_off_t enviado)
{
    auto* t = static_cast<Transferencia*>(contexto);
    if (t->controle->cancelar.load())
        return 1;
    // libcurl knows no total for a mail; the estimate stands in.
    if (total <= 0)
        total = t->estimativa;
    if (t->progresso && total > 0) {
        const long percentual = static_cast<long>(std::min<curl_off_t>(100, enviado * 100 / total));
        if (percentual != t->ultimoPercentual) {
            t->ultimoPercentual = percentual;
            auto avisar = t->progresso;
            QMetaObject::invokeMethod(t->receptor, [avisar, percentual] { avisar(percentual); },
                                      Qt::QueuedConnection);
        }
    }
    return 0;
}

}  // namespace

clsSendMail::clsSendMail(QObject* pai) : QObject(pai), controle_(std::make_shared<Controle>())
{
    IniciarCurl();
}

clsSendMail::~clsSendMail() = default;

void clsSendMail::Cancelar()
{
    cancelar_.store(1);
    controle_->cancelar.store(true);
    controle_->Acordar();
}

QString clsSendMail::GravarLogErro(const QString& mensagem)
{
    const QString caminho =
        Util().DiretorioTemporario() + QLatin1Char('/') + Util().GerarAleatorio(QStringLiteral("."), 4, 99) +
        QStringLiteral(".LOG");
    log_ = caminho;
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qWarning("clsSendMail: não foi possível gravar o log %s: %s", qPrintable(caminho),
                 qPrintable(arquivo.errorString()));
    else
        arquivo.write(mensagem.toUtf8() + "\r\n");
    return caminho;
}

bool clsSendMail::Transmitir(Envio& envio, bool comEventos, QString& erro)
{
    // Blanks name no copy recipient.
    envio.copia = envio.copia.trimmed();
    envio.copiaOculta = envio.copiaOculta.trimmed();
    // Every value that ends in a header or the envelope; a line break in any
    // of them could start a header of its own.
    const std::pair<const char*, const QString*> campos[] = {
        {"RemetenteNome", &envio.remetenteNome}, {"RemetenteEmail", &envio.remetenteEmail},
        {"DestinatarioNome", &envio.destinatarioNome}, {"DestinatarioEmail", &envio.destinatarioEmail},
        {"Assunto", &envio.assunto}, {"CopiaPara", &envio.copia}, {"CopiaOcultaPara", &envio.copiaOculta},
        {"ResponderPara", &envio.responderPara}, {"SMTP", &envio.host}, {"Usuario", &envio.usuario},
        {"Senha", &envio.senha}, {"ArquivoAnexo", &envio.anexo}};
    for (const auto& [nome, valor] : campos) {
        if (TemQuebra(*valor)) {
            erro = QStringLiteral("Valor recusado: %1 contém uma quebra de linha.").arg(QLatin1String(nome));
            return false;
        }
    }
    const std::pair<const char*, const QString*> enderecos[] = {
        {"RemetenteEmail", &envio.remetenteEmail}, {"DestinatarioEmail", &envio.destinatarioEmail}};
    for (const auto& [nome, valor] : enderecos) {
        if (!EnderecoUtilizavel(*valor)) {
            erro = QStringLiteral("Endereço inválido em %1: \"%2\".").arg(QLatin1String(nome), *valor);
            return false;
        }
    }
    for (const auto& [nome, valor] : {std::pair{"CopiaPara", &envio.copia},
                                      std::pair{"CopiaOcultaPara", &envio.copiaOculta},
                                      std::pair{"ResponderPara", &envio.responderPara}}) {
        if (!valor->trimmed().isEmpty() && !EnderecoUtilizavel(*valor)) {
            erro = QStringLiteral("Endereço inválido em %1: \"%2\".").arg(QLatin1String(nome), *valor);
            return false;
        }
    }

    QUrl url;
    url.setScheme(QStringLiteral("smtp"));
    url.setHost(envio.host.trimmed());
    url.setPort(static_cast<int>(envio.porta));
    if (envio.host.trimmed().isEmpty() || !url.isValid() || envio.porta <= 0 || envio.porta > 65535) {
        erro = QStringLiteral("Servidor SMTP inválido: \"%1:%2\".").arg(envio.host).arg(envio.porta);
        return false;
    }

    CURL* easy = curl_easy_init();
    if (!easy) {
        erro = QStringLiteral("Não foi possível iniciar o envio.");
        return false;
    }
    std::unique_ptr<CURL, void (*)(CURL*)> guardaEasy(easy, curl_easy_cleanup);
    char errbuf[CURL_ERROR_SIZE] = {};
    const QByteArray urlTexto = url.toString(QUrl::FullyEncoded).toUtf8();
    const int limite = std::max(1, Config().TempoLimiteSmtp);
    curl_easy_setopt(easy, CURLOPT_URL, urlTexto.constData());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, long(limite));
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(limite));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, long(limite));
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    // Credentials never cross the network in the clear: plain SMTP only to
    // this machine.
    if (envio.seguro || !orvessa::EnderecoLoopback(url))
        curl_easy_setopt(easy, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray ca = QFile::encodeName(Config().CertificadosSmtp);
    if (!ca.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, ca.constData());
    const QByteArray usuario = envio.usuario.toUtf8();
    const QByteArray senha = envio.senha.toUtf8();
    if (!usuario.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, usuario.constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, senha.constData());
    }

    const QByteArray de = "<" + envio.remetenteEmail.trimmed().toUtf8() + ">";
    curl_easy_setopt(easy, CURLOPT_MAIL_FROM, de.constData());
    Lista destinatarios;
    destinatarios.Adicionar("<" + envio.destinatarioEmail.trimmed().toUtf8() + ">");
    if (!envio.copia.isEmpty())
        destinatarios.Adicionar("<" + envio.copia.toUtf8() + ">");
    if (!envio.copiaOculta.isEmpty())
        destinatarios.Adicionar("<" + envio.copiaOculta.toUtf8() + ">");
    curl_easy_setopt(easy, CURLOPT_MAIL_RCPT, destinatarios.itens);

    Lista cabecalhos;
    cabecalhos.Adicionar(Cabecalho("Date", QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1()));
    cabecalhos.Adicionar(Cabecalho("From", Endereco(envio.remetenteNome, envio.remetenteEmail)));
    cabecalhos.Adicionar(Cabecalho("To", Endereco(envio.destinatarioNome, envio.destinatarioEmail)));
    if (!envio.copia.isEmpty())
        cabecalhos.Adicionar(Cabecalho("Cc", Endereco(envio.copia, envio.copia)));
    cabecalhos.Adicionar(Cabecalho("Subject", CodificarTextoCabecalho(envio.assunto)));
    if (!envio.responderPara.trimmed().isEmpty())
        cabecalhos.Adicionar(Cabecalho("Reply-To", envio.responderPara.trimmed().toUtf8()));
    cabecalhos.Adicionar(Cabecalho("X-Mailer", CodificarTextoCabecalho(envio.mailer)));
    if (!envio.responderPara.trimmed().isEmpty())
        cabecalhos.Adicionar(Cabecalho("X-Rcpt-To", envio.responderPara.trimmed().toUtf8()));
    if (envio.confirmacao)
        cabecalhos.Adicionar(Cabecalho("Disposition-Notification-To", envio.remetenteEmail.trimmed().toUtf8()));
    if (envio.prioridade)
        cabecalhos.Adicionar(Cabecalho("X-Priority", "1"));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, cabecalhos.itens);

    curl_mime* mime = curl_mime_init(easy);
    std::unique_ptr<curl_mime, void (*)(curl_mime*)> guardaMime(mime, curl_mime_free);
    QByteArray html;
    std::vector<Imagem> imagens;
    // The message's size before encoding, for the progress estimate.
    curl_off_t bruto = 2048;
    if (!envio.arquivoHtml.isEmpty()) {
        QFile pagina(envio.arquivoHtml);
        if (pagina.open(QIODevice::ReadOnly)) {
            html = EmbutirImagens(pagina.readAll(), QFileInfo(envio.arquivoHtml).absoluteDir(), imagens);
            curl_mimepart* relacionado = curl_mime_addpart(mime);
            curl_mime* partes = curl_mime_init(easy);
            curl_mimepart* texto = curl_mime_addpart(partes);
            curl_mime_data(texto, html.constData(), size_t(html.size()));
            // A page that names no charset and reads as UTF-8 is sent as such.
            const bool semCharset = !html.contains("charset") && !html.contains("CHARSET");
            const bool utf8 = QString::fromUtf8(html).toUtf8() == html;
            curl_mime_type(texto, semCharset && utf8 ? "text/html; charset=UTF-8" : "text/html");
            curl_mime_encoder(texto, "quoted-printable");
            for (const Imagem& imagem : imagens) {
                curl_mimepart* parte = curl_mime_addpart(partes);
                curl_mime_data(parte, imagem.dados.constData(), size_t(imagem.dados.size()));
                curl_mime_type(parte, imagem.tipo.toLatin1().constData());
                curl_mime_encoder(parte, "base64");
                curl_slist* extras = nullptr;
                extras = curl_slist_append(extras, ("Content-ID: <" + imagem.cid.toLatin1() + ">").constData());
                extras = curl_slist_append(extras, "Content-Disposition: inline");
                curl_mime_headers(parte, extras, 1);
            }
            curl_mime_subparts(relacionado, partes);
            curl_mime_type(relacionado, "multipart/related");
        } else {
            // As an unreadable page was always sent: without a body.
            qWarning("clsSendMail: a página %s não pôde ser lida: %s", qPrintable(envio.arquivoHtml),
                     qPrintable(pagina.errorString()));
        }
    } else {
        // Mail lines end with CR LF, whatever a text box handed in.
        QString texto = envio.corpo;
        texto.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        texto.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        const QByteArray corpo = texto.toUtf8();
        curl_mimepart* parte = curl_mime_addpart(mime);
        curl_mime_data(parte, corpo.constData(), size_t(corpo.size()));
        curl_mime_type(parte, "text/plain; charset=UTF-8");
        curl_mime_encoder(parte, "quoted-printable");
        bruto += corpo.size();
    }
    if (!envio.anexo.trimmed().isEmpty()) {
        const QString caminho = envio.anexo.trimmed();
        const QFileInfo arquivo(caminho);
        if (arquivo.isFile()) {
            bruto += arquivo.size();
            curl_mimepart* parte = curl_mime_addpart(mime);
            curl_mime_filedata(parte, QFile::encodeName(caminho).constData());
            const QString nome = arquivo.fileName();
            curl_mime_filename(parte, CodificarTextoCabecalho(nome).constData());
            curl_mime_type(parte, QMimeDatabase().mimeTypeForFile(caminho).name().toLatin1().constData());
            curl_mime_encoder(parte, "base64");
        } else {
            qWarning("clsSendMail: o anexo %s não existe; a mensagem segue sem ele", qPrintable(caminho));
        }
    }
    curl_easy_setopt(easy, CURLOPT_MIMEPOST, mime);
    // Base64 and quoted-printable grow the parts by about a third.
    bruto += html.size();
    for (const Imagem& imagem : imagens)
        bruto += imagem.dados.size();

    QObject receptor;
    QEventLoop laco;
    QPointer<clsSendMail> eu(this);
    Transferencia transferencia;
    transferencia.controle = controle_;
    transferencia.receptor = &receptor;
    transferencia.estimativa = bruto * 4 / 3;
    if (comEventos)
        transferencia.progresso = [eu](long p) {
            if (eu)
                emit eu->Progresso(p);
        };
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, AoDepurar);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, &transferencia);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, AoProgredir);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transferencia);

    CURLM* multi = curl_multi_init();
    curl_multi_add_handle(multi, easy);
    {
        std::lock_guard<std::mutex> guarda(controle_->trava);
        controle_->multi = multi;
    }
    CURLcode resultado = CURLE_OK;
    bool cancelado = false;
    bool interrompido = false;
    std::atomic<bool> terminou{false};
    auto controle = controle_;
    // The transfer runs off this thread so the window never waits on a
    // socket; this thread only turns its event loop meanwhile.
    std::thread trabalhador([&, controle] {
        int correndo = 1;
        while (correndo) {
            if (curl_multi_perform(multi, &correndo) != CURLM_OK)
                break;
            if (controle->cancelar.load()) {
                cancelado = true;
                break;
            }
            if (correndo && curl_multi_poll(multi, nullptr, 0, 200, nullptr) != CURLM_OK)
                break;
        }
        int restantes = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &restantes))
            if (msg->msg == CURLMSG_DONE)
                resultado = msg->data.result;
        if (controle->cancelar.load())
            cancelado = true;
        if (!cancelado && resultado == CURLE_OK && transferencia.progresso && transferencia.ultimoPercentual != 100) {
            auto avisar = transferencia.progresso;
            QMetaObject::invokeMethod(&receptor, [avisar] { avisar(100); }, Qt::QueuedConnection);
        }
        terminou.store(true);
        QMetaObject::invokeMethod(&receptor, [&laco] { laco.quit(); }, Qt::QueuedConnection);
    });
    laco.exec();
    // The loop also ends when the program quits: the transfer is then
    // stopped rather than waited out.
    if (!terminou.load()) {
        controle_->cancelar.store(true);
        controle_->Acordar();
        interrompido = !cancelar_.load();
    }
    trabalhador.join();
    {
        std::lock_guard<std::mutex> guarda(controle_->trava);
        controle_->multi = nullptr;
    }
    curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);

    if (interrompido) {
        erro = QStringLiteral("Envio interrompido: o programa foi encerrado durante o envio.");
        return false;
    }
    if (cancelado) {
        erro = QStringLiteral("Envio cancelado.");
        return false;
    }
    if (resultado == CURLE_OK)
        return true;
    erro = QString::fromUtf8(curl_easy_strerror(resultado));
    if (errbuf[0])
        erro += QStringLiteral(": ") + QString::fromUtf8(errbuf).trimmed();
    const std::string& resposta =
        transferencia.recusa.empty() ? transferencia.respostas : transferencia.recusa;
    if (!resposta.empty())
        erro += QStringLiteral(" - resposta do servidor: ") + QString::fromUtf8(resposta.c_str());
    return false;
}

bool clsSendMail::EnviarEmail(const QString& RemetenteNome, const QString& RemetenteEmail,
                              const QString& DestinatarioNome, const QString& DestinatarioEmail,
                              const QString& Assunto, const QString& Mensagem, const QString& SMTP, long Porta,
                              const QString& Usuario, const QString& Senha, const QString& CopiaPara,
                              const QString& CopiaOcultaPara, bool ConexaoSegura, bool UsarCertificado,
                              bool SolicitarConfirmacaoRecebimento, bool EnviarMensagemAltaPrioridade,
                              const QString& ResponderPara, const QString& ArquivoAnexo, bool AlterarPonteiroMouse)
{
    // Signing with a certificate has no counterpart here; the switch is kept
    // in the signature only.
    Q_UNUSED(UsarCertificado);
    if (enviando_) {
        qWarning("clsSendMail: um envio já está em andamento neste objeto");
        return false;
    }
    enviando_ = true;
    if (AlterarPonteiroMouse)
        DefinirPonteiroTela(13);
    QCoreApplication::processEvents();
    log_.clear();
    cancelar_.store(0);
    controle_->cancelar.store(false);
    emit Progresso(0);

    Envio envio;
    envio.host = SMTP;
    envio.porta = Porta;
    envio.usuario = Usuario;
    envio.senha = Senha;
    envio.seguro = ConexaoSegura;
    envio.remetenteNome = RemetenteNome;
    envio.remetenteEmail = RemetenteEmail;
    envio.destinatarioNome = DestinatarioNome;
    envio.destinatarioEmail = DestinatarioEmail;
    envio.copia = CopiaPara;
    envio.copiaOculta = CopiaOcultaPara;
    envio.responderPara = ResponderPara.trimmed().isEmpty() ? RemetenteEmail : ResponderPara;
    envio.assunto = Assunto;
    envio.mailer = NomeProduto() + QStringLiteral(" (") + Config().SiteFabricante + QLatin1Char(')');
    envio.confirmacao = SolicitarConfirmacaoRecebimento;
    envio.prioridade = EnviarMensagemAltaPrioridade;
    if (Util().ArquivoExiste(Mensagem, 0))
        envio.arquivoHtml = Mensagem;
    else
        envio.corpo = Mensagem;
    envio.anexo = ArquivoAnexo;

    QString erro;
    const bool enviado = Transmitir(envio, true, erro);
    if (!enviado && !EnvioCancelado())
        GravarLogErro(erro);

    emit Progresso(0);
    if (AlterarPonteiroMouse)
        DefinirPonteiroTela(0);
    enviando_ = false;
    return enviado;
}

bool clsSendMail::EnviarRelatorioErros(const QString& ResponderPara, const QString& ArquivoAnexo,
                                       bool ModoSilencioso)
{
    if (enviando_)
        return false;
    enviando_ = true;
    const Configuracao& config = Config();
    Envio envio;
    envio.host = config.HostRelaySmtp;
    envio.porta = config.PortaRelaySmtp;
    envio.usuario = config.LoginRelaySmtp;
    envio.senha = Util().Decifrar(config.SenhaRelaySmtpCifrada, QString());
    envio.seguro = true;
    envio.remetenteNome = kSuporteNome;
    envio.remetenteEmail = config.CaixaSuporte;
    envio.destinatarioNome = kSuporteNome;
    envio.destinatarioEmail = config.CaixaSuporte;
    // The address comes from a form that may not have checked it (the
    // window's "Sair"): when it cannot stand in a header it still reaches
    // support in the body.
    const QString resposta = ResponderPara.trimmed();
    if (EnderecoUtilizavel(resposta))
        envio.responderPara = resposta;
    envio.mailer = config.NomeFabricante + QStringLiteral(" (") + config.SiteFabricante + QLatin1Char(')');
    envio.assunto = TituloRelatorioErros(NomeProduto(), versao::Major, versao::Minor, versao::Revision);
    envio.corpo = TextoRelatorioErros + QStringLiteral("\r\n\r\nE-mail do usuário: ") + resposta;
    envio.anexo = ArquivoAnexo;

    QString erro;
    controle_->cancelar.store(false);
    const bool enviado = Transmitir(envio, false, erro);
    enviando_ = false;
    if (enviado)
        return true;
    if (ModoSilencioso) {
        qWarning("clsSendMail: relatório de erros não enviado: %s", qPrintable(erro));
        return false;
    }
    const int resposta6 = Util().CaixaMensagemAviso(
        QStringLiteral("<b>Atenção</b>: Falha ao enviar o relatório para o suporte técnico. Tente novamente ou "
                       "envie a sua mensagem para <u>") +
            config.EnderecoSuportePublico + QStringLiteral("</u>.<br><br>Você gostaria de visualizar o log de erro?"),
        orvessa::EstiloMensagem::PerguntaSimNaoExclamacao, NomeProduto());
    if (resposta6 == orvessa::Resposta::Sim)
        Util().AbrirArquivo(GravarLogErro(erro));
    return false;
}

}  // namespace qeltrano
