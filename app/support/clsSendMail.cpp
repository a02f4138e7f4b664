#include "app/support/clsSendMail.h"

#include "Versao.h"
#include "app/Configuracao.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "suite/Dialogos.h"
#include "suite/EnderecoEmail.h"
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
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
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

// Printable ASCII as a quoted string.
QByteArray Citado(const QString& texto)
{
    QByteArray citado = "\"";
    for (QChar c : texto) {
        if (c == u'"' || c == u'\\')
            citado += '\\';
        citado += char(c.unicode());
    }
    return citado + '"';
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

// Header pieces as mail requires them: an unstructured text (subject,
// mailer) is kept when it is short printable ASCII and otherwise written as
// UTF-8 encoded words; a display name is quoted or encoded as needed.
// Neither accepts a line break (VerificarEnvio refuses the value first).
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
    return citar ? Citado(nome) : nome.toLatin1();
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

// What the user-interface thread and the transfer thread share.
struct ControleEnvio {
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

// One message ready for the wire.
struct Envio {
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
    QString corpo;        // plain body, unless `arquivoHtml` is set
    QString arquivoHtml;  // a page that becomes the body
    QString anexo;
};

qint64 AgoraMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The attached file, opened while the message is built, so that one that
// cannot be read is left out before anything travels; read on the
// transfer thread.
struct Anexo {
    QFile arquivo;
    qint64 tamanho = 0;
    QString falha;  // a read that failed during the transfer
};

size_t LerAnexo(char* destino, size_t tamanho, size_t itens, void* contexto)
{
    auto* anexo = static_cast<Anexo*>(contexto);
    const qint64 resta = anexo->tamanho - anexo->arquivo.pos();
    if (resta <= 0)
        return 0;
    const qint64 lido = anexo->arquivo.read(destino, std::min<qint64>(resta, qint64(tamanho * itens)));
    if (lido < 0) {
        anexo->falha = anexo->arquivo.errorString();
        return CURL_READFUNC_ABORT;
    }
    return size_t(lido);
}

int PosicionarAnexo(void* contexto, curl_off_t posicao, int origem)
{
    auto* anexo = static_cast<Anexo*>(contexto);
    return origem == SEEK_SET && anexo->arquivo.seek(posicao) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

// A name that is not plain ASCII goes as an RFC 2231 parameter: an encoded
// word is not allowed inside a quoted string. Only one of the two is given,
// as mail readers differ on which wins when both are.
QByteArray DisposicaoAnexo(const QString& nome)
{
    const QByteArray inicio = "Content-Disposition: attachment; ";
    if (AsciiImprimivel(nome))
        return inicio + "filename=" + Citado(nome);
    // Only RFC 2231's attribute characters stay as they are.
    return inicio + "filename*=UTF-8''" + nome.toUtf8().toPercentEncoding("!#$&+^`|");
}

// One message set up on its transfer handle, with everything the handle
// points at while it runs.
struct Mensagem {
    std::unique_ptr<CURL, void (*)(CURL*)> easy{curl_easy_init(), curl_easy_cleanup};
    std::unique_ptr<curl_mime, void (*)(curl_mime*)> mime{nullptr, curl_mime_free};
    Lista destinatarios;
    Lista cabecalhos;
    Anexo anexo;
    char errbuf[CURL_ERROR_SIZE] = {};
    int limite = 20;  // seconds without a byte moving
};

// Runs on the transfer thread.
struct Transferencia {
    ControleEnvio* controle = nullptr;
    curl_socket_t soquete = CURL_SOCKET_BAD;  // the connection's, once made
    QObject* receptor = nullptr;
    std::function<void(long)> progresso;  // called on the user-interface thread
    long ultimoPercentual = -1;
    std::string respostas;  // the server's last reply
    std::string recusa;     // its last 4xx/5xx reply
    bool novaResposta = true;
    // One time-out wherever the server stops: counted from the last byte
    // that moved, the server's or the message's (a command sent waits for
    // its reply, and libcurl times each reply from its command with the
    // same limit). Once run out it stays so, so that the closing QUIT does
    // not wait for a silent server all over again.
    qint64 limiteMs = 0;
    qint64 ultimoMovimento = 0;
    bool tempoEsgotado = false;

    bool Parado()
    {
        if (!tempoEsgotado && AgoraMs() - ultimoMovimento > limiteMs)
            tempoEsgotado = true;
        return tempoEsgotado;
    }
};

int AoDepurar(CURL*, curl_infotype tipo, char* dados, size_t tamanho, void* contexto)
{
    auto* t = static_cast<Transferencia*>(contexto);
    if (tipo == CURLINFO_HEADER_IN || tipo == CURLINFO_DATA_IN || tipo == CURLINFO_SSL_DATA_IN ||
        tipo == CURLINFO_DATA_OUT)
        t->ultimoMovimento = AgoraMs();
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

// The connection's socket is known from its opening to its closing, so
// that only a socket of ours is ever shut.
int AoCriarSoquete(void* contexto, curl_socket_t soquete, curlsocktype)
{
    static_cast<Transferencia*>(contexto)->soquete = soquete;
    return CURL_SOCKOPT_OK;
}

int AoFecharSoquete(void* contexto, curl_socket_t soquete)
{
    auto* t = static_cast<Transferencia*>(contexto);
    if (t->soquete == soquete)
        t->soquete = CURL_SOCKET_BAD;
    return close(soquete);
}

// libcurl calls this at least once a second, also while it waits for a
// reply inside one step; returning non-zero stops the transfer.
int AoProgredir(void* contexto, curl_off_t, curl_off_t, curl_off_t total, curl_off_t enviado)
{
    auto* t = static_cast<Transferencia*>(contexto);
    if (t->controle->cancelar.load() || t->Parado()) {
        // Stopped while libcurl waits inside a step: it then says QUIT and
        // waits once more before it looks at us again. With the socket shut
        // that goodbye fails at once instead of waiting on a silent server.
        if (t->soquete != CURL_SOCKET_BAD)
            shutdown(t->soquete, SHUT_RDWR);
        return 1;
    }
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

// Every value checked before anything is built: a line break in any value
// that ends in a header or the envelope could start a header of its own.
bool VerificarEnvio(Envio& envio, QUrl& url, QString& erro)
{
    // Blanks name no copy recipient.
    envio.copia = envio.copia.trimmed();
    envio.copiaOculta = envio.copiaOculta.trimmed();
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
        if (!orvessa::EnderecoEmailValido(*valor)) {
            erro = QStringLiteral("Endereço inválido em %1: \"%2\".").arg(QLatin1String(nome), *valor);
            return false;
        }
    }
    for (const auto& [nome, valor] : {std::pair{"CopiaPara", &envio.copia},
                                      std::pair{"CopiaOcultaPara", &envio.copiaOculta},
                                      std::pair{"ResponderPara", &envio.responderPara}}) {
        if (!valor->trimmed().isEmpty() && !orvessa::EnderecoEmailValido(*valor)) {
            erro = QStringLiteral("Endereço inválido em %1: \"%2\".").arg(QLatin1String(nome), *valor);
            return false;
        }
    }

    url.setScheme(QStringLiteral("smtp"));
    url.setHost(envio.host.trimmed());
    url.setPort(static_cast<int>(envio.porta));
    if (envio.host.trimmed().isEmpty() || !url.isValid() || envio.porta <= 0 || envio.porta > 65535) {
        erro = QStringLiteral("Servidor SMTP inválido: \"%1:%2\".").arg(envio.host).arg(envio.porta);
        return false;
    }
    return true;
}

// The connection, the envelope, the headers and the MIME parts.
bool MontarMensagem(const Envio& envio, const QUrl& url, Mensagem& m, QString& erro)
{
    CURL* easy = m.easy.get();
    if (!easy) {
        erro = QStringLiteral("Não foi possível iniciar o envio.");
        return false;
    }
    m.limite = std::max(1, Config().TempoLimiteSmtp);
    curl_easy_setopt(easy, CURLOPT_URL, url.toString(QUrl::FullyEncoded).toUtf8().constData());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m.errbuf);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A reply is awaited the time-out from its command; the transfer
    // itself watches the time since the last byte (see Transferencia). The
    // connection as a whole has a looser limit, should a server trickle.
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m.limite));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 2L * m.limite + 1);
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
    if (!envio.usuario.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, envio.usuario.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, envio.senha.toUtf8().constData());
    }

    const QByteArray de = "<" + envio.remetenteEmail.trimmed().toUtf8() + ">";
    curl_easy_setopt(easy, CURLOPT_MAIL_FROM, de.constData());
    m.destinatarios.Adicionar("<" + envio.destinatarioEmail.trimmed().toUtf8() + ">");
    if (!envio.copia.isEmpty())
        m.destinatarios.Adicionar("<" + envio.copia.toUtf8() + ">");
    if (!envio.copiaOculta.isEmpty())
        m.destinatarios.Adicionar("<" + envio.copiaOculta.toUtf8() + ">");
    curl_easy_setopt(easy, CURLOPT_MAIL_RCPT, m.destinatarios.itens);

    Lista& cabecalhos = m.cabecalhos;
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

    // Every part in base64: libcurl can then tell the message's size, which
    // goes with MAIL FROM to a server that announces SIZE, so an oversized
    // mail is refused before it travels (a quoted-printable part's size is
    // unknown until it has been encoded).
    m.mime.reset(curl_mime_init(easy));
    curl_mime* mime = m.mime.get();
    if (!envio.arquivoHtml.isEmpty()) {
        QFile pagina(envio.arquivoHtml);
        if (pagina.open(QIODevice::ReadOnly)) {
            std::vector<Imagem> imagens;
            const QByteArray html =
                EmbutirImagens(pagina.readAll(), QFileInfo(envio.arquivoHtml).absoluteDir(), imagens);
            curl_mimepart* relacionado = curl_mime_addpart(mime);
            curl_mime* partes = curl_mime_init(easy);
            curl_mimepart* texto = curl_mime_addpart(partes);
            curl_mime_data(texto, html.constData(), size_t(html.size()));
            // A page that names no charset and reads as UTF-8 is sent as such.
            const bool semCharset = !html.contains("charset") && !html.contains("CHARSET");
            const bool utf8 = QString::fromUtf8(html).toUtf8() == html;
            curl_mime_type(texto, semCharset && utf8 ? "text/html; charset=UTF-8" : "text/html");
            curl_mime_encoder(texto, "base64");
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
        curl_mime_encoder(parte, "base64");
    }

    // An attachment that cannot be read is left out and the mail goes; a
    // path that is not a plain file is never opened (a pipe would block).
    const QString caminho = envio.anexo.trimmed();
    if (!caminho.isEmpty()) {
        const QFileInfo info(caminho);
        QString motivo;
        m.anexo.arquivo.setFileName(caminho);
        if (!info.exists())
            motivo = QStringLiteral("o arquivo não existe");
        else if (!info.isFile())
            motivo = QStringLiteral("não é um arquivo comum");
        else if (!m.anexo.arquivo.open(QIODevice::ReadOnly))
            motivo = m.anexo.arquivo.errorString();
        if (!motivo.isEmpty()) {
            qWarning("clsSendMail: anexo %s deixado de fora (%s); a mensagem segue sem ele", qPrintable(caminho),
                     qPrintable(motivo));
        } else {
            m.anexo.tamanho = m.anexo.arquivo.size();
            curl_mimepart* parte = curl_mime_addpart(mime);
            curl_mime_data_cb(parte, m.anexo.tamanho, LerAnexo, PosicionarAnexo, nullptr, &m.anexo);
            curl_mime_type(parte, QMimeDatabase().mimeTypeForFile(info).name().toLatin1().constData());
            curl_mime_encoder(parte, "base64");
            curl_mime_headers(parte, curl_slist_append(nullptr, DisposicaoAnexo(info.fileName()).constData()), 1);
        }
    }
    curl_easy_setopt(easy, CURLOPT_MIMEPOST, mime);
    return true;
}

// Whatever ends a send, exception included, the object takes sends again
// and the screen's pointer comes back.
class EnvioEmCurso {
public:
    EnvioEmCurso(bool& ocupado, bool alterarPonteiro) : ocupado_(ocupado), alterarPonteiro_(alterarPonteiro)
    {
        ocupado_ = true;
        if (alterarPonteiro_)
            DefinirPonteiroTela(Ponteiro::SetaEAmpulheta);
    }
    ~EnvioEmCurso()
    {
        ocupado_ = false;
        if (alterarPonteiro_)
            DefinirPonteiroTela(Ponteiro::Padrao);
    }
    EnvioEmCurso(const EnvioEmCurso&) = delete;
    EnvioEmCurso& operator=(const EnvioEmCurso&) = delete;

private:
    bool& ocupado_;
    bool alterarPonteiro_;
};

// `progresso`, when set, hears the percentage on this thread. `cancelado` is
// the owner's flag: a stop it did not ask for is the program quitting.
bool ExecutarTransferencia(Mensagem& mensagem, ControleEnvio& controle, const std::atomic<int>& cancelado,
                           std::function<void(long)> progresso, QString& erro)
{
    CURL* easy = mensagem.easy.get();
    QObject receptor;
    QEventLoop laco;
    Transferencia transferencia;
    transferencia.controle = &controle;
    transferencia.receptor = &receptor;
    transferencia.limiteMs = qint64(mensagem.limite) * 1000;
    transferencia.ultimoMovimento = AgoraMs();
    transferencia.progresso = std::move(progresso);
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, AoDepurar);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, &transferencia);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, AoProgredir);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transferencia);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, AoCriarSoquete);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, &transferencia);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, AoFecharSoquete);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, &transferencia);

    CURLM* multi = curl_multi_init();
    curl_multi_add_handle(multi, easy);
    {
        std::lock_guard<std::mutex> guarda(controle.trava);
        controle.multi = multi;
    }
    CURLcode resultado = CURLE_OK;
    bool concluido = false;
    bool parado = false;
    bool interrompido = false;
    std::atomic<bool> terminou{false};
    // The transfer runs off this thread so the window never waits on a
    // socket; this thread only turns its event loop meanwhile.
    std::thread trabalhador([&] {
        int correndo = 1;
        while (correndo) {
            if (curl_multi_perform(multi, &correndo) != CURLM_OK)
                break;
            if (controle.cancelar.load()) {
                parado = true;
                break;
            }
            if (correndo && transferencia.Parado())
                break;
            if (correndo && curl_multi_poll(multi, nullptr, 0, 200, nullptr) != CURLM_OK)
                break;
        }
        int restantes = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &restantes)) {
            if (msg->msg == CURLMSG_DONE) {
                concluido = true;
                resultado = msg->data.result;
            }
        }
        if (controle.cancelar.load())
            parado = true;
        if (!parado && concluido && resultado == CURLE_OK && transferencia.progresso &&
            transferencia.ultimoPercentual != 100) {
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
        controle.cancelar.store(true);
        controle.Acordar();
        interrompido = !cancelado.load();
    }
    trabalhador.join();
    {
        std::lock_guard<std::mutex> guarda(controle.trava);
        controle.multi = nullptr;
    }
    curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);

    if (interrompido) {
        erro = QStringLiteral("Envio interrompido: o programa foi encerrado durante o envio.");
        return false;
    }
    if (parado) {
        erro = QStringLiteral("Envio cancelado.");
        return false;
    }
    if (concluido && resultado == CURLE_OK)
        return true;
    if (transferencia.tempoEsgotado) {
        erro = QString::fromUtf8(curl_easy_strerror(CURLE_OPERATION_TIMEDOUT)) +
               QStringLiteral(": nenhum byte trocado com o servidor em %1 s").arg(mensagem.limite);
    } else if (!mensagem.anexo.falha.isEmpty()) {
        erro = QStringLiteral("O anexo %1 não pôde ser lido durante o envio: %2")
                   .arg(mensagem.anexo.arquivo.fileName(), mensagem.anexo.falha);
    } else if (!concluido) {
        erro = QStringLiteral("O envio parou antes de terminar.");
    } else {
        erro = QString::fromUtf8(curl_easy_strerror(resultado));
        if (mensagem.errbuf[0])
            erro += QStringLiteral(": ") + QString::fromUtf8(mensagem.errbuf).trimmed();
    }
    const std::string& resposta =
        transferencia.recusa.empty() ? transferencia.respostas : transferencia.recusa;
    if (!resposta.empty())
        erro += QStringLiteral(" - resposta do servidor: ") + QString::fromUtf8(resposta.c_str());
    return false;
}

// Checks the values, builds the message, runs the transfer. Nothing raises
// out of the class: an exception is one more reason for the log.
bool Transmitir(Envio& envio, ControleEnvio& controle, const std::atomic<int>& cancelado,
                std::function<void(long)> progresso, QString& erro)
{
    try {
        QUrl url;
        if (!VerificarEnvio(envio, url, erro))
            return false;
        Mensagem mensagem;
        if (!MontarMensagem(envio, url, mensagem, erro))
            return false;
        return ExecutarTransferencia(mensagem, controle, cancelado, std::move(progresso), erro);
    } catch (const std::exception& e) {
        erro = QStringLiteral("Erro interno durante o envio: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        erro = QStringLiteral("Erro interno durante o envio.");
    }
    return false;
}

}  // namespace

clsSendMail::clsSendMail(QObject* pai) : QObject(pai), controle_(std::make_unique<ControleEnvio>())
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
    const EnvioEmCurso emCurso(enviando_, AlterarPonteiroMouse);
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
    QPointer<clsSendMail> eu(this);
    const auto progresso = [eu](long p) {
        if (eu)
            emit eu->Progresso(p);
    };
    const bool enviado = Transmitir(envio, *controle_, cancelar_, progresso, erro);
    if (!enviado && !EnvioCancelado())
        GravarLogErro(erro);

    emit Progresso(0);
    return enviado;
}

bool clsSendMail::EnviarRelatorioErros(const QString& ResponderPara, const QString& ArquivoAnexo,
                                       bool ModoSilencioso)
{
    if (enviando_)
        return false;
    std::optional<EnvioEmCurso> emCurso(std::in_place, enviando_, false);
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
    if (orvessa::EnderecoEmailValido(resposta))
        envio.responderPara = resposta;
    envio.mailer = config.NomeFabricante + QStringLiteral(" (") + config.SiteFabricante + QLatin1Char(')');
    envio.assunto = TituloRelatorioErros(NomeProduto(), versao::Major, versao::Minor, versao::Revision);
    envio.corpo = TextoRelatorioErros + QStringLiteral("\r\n\r\nE-mail do usuário: ") + resposta;
    envio.anexo = ArquivoAnexo;

    QString erro;
    controle_->cancelar.store(false);
    const bool enviado = Transmitir(envio, *controle_, cancelar_, nullptr, erro);
    // The failure box below may be answered at leisure: the object is free
    // again by then.
    emCurso.reset();
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
