#include "suite/Utilitarios.h"

#include "platform/Configuracoes.h"
#include "platform/Processos.h"
#include "platform/Texto.h"
#include "suite/ConexaoRede.h"
#include "suite/Dialogos.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <optional>

namespace orvessa {

namespace {

bool Utf8Valido(const QByteArray& bytes)
{
    QStringDecoder decodificador(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texto = decodificador(bytes);  // decoding is lazy: keep the result
    return !decodificador.hasError();
}

// ---------------------------------------------------------------------------
// Profile (ini) files. Written by hand rather than with QSettings: QSettings
// escapes names ("Configura%E7%F5es") and rewrites the whole file, while
// files shared with other programs must keep every other byte and carry
// their names literally.

enum class Codificacao { Utf8, Utf8Bom, Windows1252, Utf16Le };

struct Linha {
    QByteArray bruto;  // the line as stored, with its line end
    QString texto;     // decoded, without the line end
};

struct ArquivoIni {
    Codificacao codificacao = Codificacao::Utf8;
    QByteArray fimLinha = "\r\n";
    QList<Linha> linhas;
};

QString Decodificar(const QByteArray& bytes, Codificacao c)
{
    return c == Codificacao::Windows1252 ? plataforma::DecodificarWindows1252(bytes) : QString::fromUtf8(bytes);
}

// UTF-16 files are handled as UTF-8 inside and converted back on writing.
ArquivoIni Analisar(QByteArray conteudo)
{
    ArquivoIni ini;
    if (conteudo.startsWith("\xEF\xBB\xBF")) {
        ini.codificacao = Codificacao::Utf8Bom;
        conteudo.remove(0, 3);
    } else if (conteudo.startsWith("\xFF\xFE")) {
        ini.codificacao = Codificacao::Utf16Le;
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        const QString texto = utf16(conteudo.mid(2));
        conteudo = texto.toUtf8();
    } else if (!Utf8Valido(conteudo)) {
        ini.codificacao = Codificacao::Windows1252;
    }
    if (conteudo.contains('\n') && !conteudo.contains("\r\n"))
        ini.fimLinha = "\n";

    qsizetype inicio = 0;
    while (inicio < conteudo.size()) {
        qsizetype fim = conteudo.indexOf('\n', inicio);
        fim = fim < 0 ? conteudo.size() : fim + 1;
        Linha linha;
        linha.bruto = conteudo.mid(inicio, fim - inicio);
        QByteArray sem = linha.bruto;
        while (sem.endsWith('\n') || sem.endsWith('\r'))
            sem.chop(1);
        linha.texto = Decodificar(sem, ini.codificacao);
        ini.linhas.append(linha);
        inicio = fim;
    }
    return ini;
}

// The section name of "[name]" lines (leading blanks allowed).
std::optional<QString> NomeSecao(const QString& texto)
{
    const QString t = texto.trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype fecha = t.indexOf(u']');
    if (fecha < 0)
        return std::nullopt;
    return t.mid(1, fecha - 1).trimmed();
}

bool Comentario(const QString& texto)
{
    const QString t = texto.trimmed();
    return t.startsWith(u';') || t.startsWith(u'#');
}

struct Posicao {
    qsizetype secao = -1;      // line of the section header
    qsizetype ultimaChave = -1;  // last non-blank line of the section
    qsizetype chave = -1;      // line of the key
    QString nomeChave;         // the key as the file spells it
};

Posicao Localizar(const ArquivoIni& ini, const QString& secao, const QString& chave)
{
    Posicao p;
    bool dentro = false;
    for (qsizetype i = 0; i < ini.linhas.size(); ++i) {
        const QString& texto = ini.linhas[i].texto;
        if (auto nome = NomeSecao(texto)) {
            if (dentro)
                break;  // only the first section of that name counts
            if (nome->compare(secao, Qt::CaseInsensitive) == 0) {
                dentro = true;
                p.secao = i;
                p.ultimaChave = i;
            }
            continue;
        }
        if (!dentro)
            continue;
        if (!texto.trimmed().isEmpty())
            p.ultimaChave = i;
        if (p.chave >= 0 || Comentario(texto))
            continue;
        const qsizetype igual = texto.indexOf(u'=');
        if (igual < 0)
            continue;
        const QString nome = texto.left(igual).trimmed();
        if (nome.compare(chave, Qt::CaseInsensitive) == 0) {
            p.chave = i;
            p.nomeChave = nome;
        }
    }
    return p;
}

QString ValorDaLinha(const QString& texto)
{
    QString valor = texto.mid(texto.indexOf(u'=') + 1).trimmed();
    // As the profile functions do, one pair of enclosing quotes is dropped.
    if (valor.size() >= 2 && (valor.front() == u'"' || valor.front() == u'\'') && valor.back() == valor.front())
        valor = valor.mid(1, valor.size() - 2);
    return valor;
}

bool LerArquivo(const QString& caminho, QByteArray& conteudo, QString* erro = nullptr)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly)) {
        if (erro)
            *erro = arquivo.errorString();
        return false;
    }
    conteudo = arquivo.readAll();
    return true;
}

// The file's bytes in its own encoding (and byte-order mark).
QByteArray Serializar(const ArquivoIni& ini)
{
    QByteArray saida;
    for (const Linha& l : ini.linhas)
        saida += l.bruto;
    if (ini.codificacao == Codificacao::Utf8Bom)
        return QByteArray("\xEF\xBB\xBF") + saida;
    if (ini.codificacao == Codificacao::Utf16Le) {
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        const QByteArray bytes = utf16(QString::fromUtf8(saida));
        return QByteArray("\xFF\xFE") + bytes;
    }
    return saida;
}

// Replaces the file atomically with the lines; false with the reason.
bool Gravar(const QString& arquivo, const ArquivoIni& ini, QString& motivo)
{
    const QByteArray saida = Serializar(ini);
    QSaveFile destino(arquivo);
    if (!destino.open(QIODevice::WriteOnly)) {
        motivo = QStringLiteral("não foi possível criar o arquivo (%1)").arg(destino.errorString());
        return false;
    }
    if (destino.write(saida) != saida.size()) {
        motivo = QStringLiteral("não foi possível escrever (%1)").arg(destino.errorString());
        destino.cancelWriting();
        return false;
    }
    if (!destino.commit()) {
        motivo = QStringLiteral("não foi possível concluir a gravação (%1)").arg(destino.errorString());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Cipher.

constexpr int kTamanhoNonce = 12;
constexpr int kTamanhoTag = 16;
constexpr int kIteracoes = 20000;
constexpr char kChavePadrao[] = "Orvessa::chave-interna/2013r#utilitarios";
constexpr unsigned char kSal[] = {0x4f, 0x72, 0x76, 0x65, 0x73, 0x73, 0x61, 0x2d,
                                  0x73, 0x61, 0x6c, 0x2d, 0x41, 0x45, 0x53, 0x01};

bool DerivarChave(const QString& chave, unsigned char saida[32])
{
    // Callers encipher field after field with one key (on every key press):
    // the last derivation of each thread is kept.
    struct Derivada {
        QByteArray texto;
        unsigned char chave[32];
        bool valida = false;
    };
    thread_local Derivada ultima;
    const QByteArray texto = chave.isEmpty() ? QByteArray(kChavePadrao) : chave.toUtf8();
    if (!ultima.valida || ultima.texto != texto) {
        ultima.valida = false;
        if (PKCS5_PBKDF2_HMAC(texto.constData(), int(texto.size()), kSal, int(sizeof(kSal)), kIteracoes,
                              EVP_sha256(), 32, ultima.chave) != 1)
            return false;
        ultima.texto = texto;
        ultima.valida = true;
    }
    std::memcpy(saida, ultima.chave, 32);
    return true;
}

struct Contexto {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    ~Contexto() { EVP_CIPHER_CTX_free(ctx); }
};

// ---------------------------------------------------------------------------

QString Base36(quint64 valor, int largura = 0)
{
    QString texto = QString::number(valor, 36);
    while (texto.size() < largura)
        texto.prepend(u'0');
    return texto;
}

}  // namespace

// ---------------------------------------------------------------------------

Utilitarios::Utilitarios() = default;

Utilitarios& Utilitarios::Instancia()
{
    static Utilitarios instancia;
    return instancia;
}

int Utilitarios::CaixaMensagem(const QString& texto, int estilo, const QString& titulo, const AparenciaCaixa&)
{
    return Dialogos::ExibirCaixa(TipoCaixa::Mensagem, texto, estilo, titulo, QApplication::activeWindow());
}

int Utilitarios::CaixaMensagemAviso(const QString& texto, int estilo, const QString& titulo,
                                    const AparenciaCaixa&)
{
    return Dialogos::ExibirCaixa(TipoCaixa::Aviso, texto, estilo, titulo, QApplication::activeWindow());
}

bool Utilitarios::ArquivoExiste(const QString& caminho, int) const
{
    return !caminho.isEmpty() && QFileInfo(caminho).isFile();
}

void Utilitarios::ExcluirArquivo(const QString& caminho) const
{
    if (ArquivoExiste(caminho))
        QFile::remove(caminho);
}

QString Utilitarios::DiretorioTemporario() const
{
    QString pasta = temporario_.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::TempLocation)
                                          : temporario_;
    pasta = QDir::cleanPath(pasta);
    QDir().mkpath(pasta);
    while (pasta.size() > 1 && pasta.endsWith(u'/'))
        pasta.chop(1);
    return pasta;
}

void Utilitarios::DefinirDiretorioTemporario(const QString& pasta)
{
    temporario_ = pasta;
}

QString Utilitarios::GerarAleatorio(const QString& separador, int quantidade, int maximo) const
{
    static std::atomic<quint64> contador{0};
    QRandomGenerator* gerador = QRandomGenerator::global();
    const quint32 limite = maximo < 0 ? 0u : quint32(maximo);
    QStringList partes;
    for (int i = 0; i < quantidade; ++i)
        partes << QString::number(gerador->bounded(limite + 1));
    // The numbers alone repeat often (one of 0..99); a counter makes every
    // call of this process differ, a random tail separates processes.
    partes << Base36(contador.fetch_add(1) + 1) + Base36(gerador->bounded(quint32(2176782336u)), 6);
    return partes.join(separador);
}

void Utilitarios::EncerrarProcesso(const QString& imagem) const
{
    if (!imagem.trimmed().isEmpty())
        plataforma::EncerrarProcessosPorImagem(imagem);
}

// An address is a web address: "www.site.example" opens in the browser over
// HTTPS rather than as a file of that name.
void Utilitarios::AbrirURL(const QString& endereco) const
{
    const QString texto = endereco.trimmed();
    if (texto.isEmpty())
        return;
    static const QRegularExpression esquema(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    plataforma::AbrirComProgramaPadrao(esquema.match(texto).hasMatch() ? texto : QStringLiteral("https://") + texto);
}

void Utilitarios::AbrirArquivo(const QString& caminho) const
{
    if (!caminho.trimmed().isEmpty())
        plataforma::AbrirComProgramaPadrao(caminho);
}

bool Utilitarios::ConexaoInternetAtiva() const
{
    return orvessa::ConexaoInternetAtiva();
}

void Utilitarios::DefinirVerificadorConexao(std::function<bool()> verificador)
{
    orvessa::DefinirVerificadorConexao(std::move(verificador));
}

QString Utilitarios::LerINI(const QString& arquivo, const QString& secao, const QString& chave) const
{
    QByteArray conteudo;
    if (!LerArquivo(arquivo, conteudo))
        return QString();
    const ArquivoIni ini = Analisar(conteudo);
    const Posicao p = Localizar(ini, secao.trimmed(), chave.trimmed());
    return p.chave < 0 ? QString() : ValorDaLinha(ini.linhas[p.chave].texto);
}

bool Utilitarios::GravarINI(const QString& arquivo, const QString& secao, const QString& chave,
                            const QString& valor) const
{
    auto falhar = [&](const QString& motivo) {
        qWarning("GravarINI: %s [%s] %s: %s", qPrintable(arquivo), qPrintable(secao), qPrintable(chave),
                 qPrintable(motivo));
        return false;
    };
    const QString nomeSecao = secao.trimmed();
    const QString nomeChave = chave.trimmed();
    // Names that would change the file's structure are refused.
    static const QRegularExpression quebra(QStringLiteral("[\\r\\n]"));
    if (nomeSecao.isEmpty() || nomeSecao.contains(u']') || nomeSecao.contains(quebra))
        return falhar(QStringLiteral("nome de seção recusado"));
    if (nomeChave.isEmpty() || nomeChave.contains(u'=') || nomeChave.contains(quebra) || nomeChave.startsWith(u'[')
        || nomeChave.startsWith(u';') || nomeChave.startsWith(u'#'))
        return falhar(QStringLiteral("nome de chave recusado"));
    if (arquivo.isEmpty())
        return falhar(QStringLiteral("nenhum arquivo indicado"));
    // A value is one line: a line break would start a line of its own.
    QString textoValor = valor;
    textoValor.replace(QLatin1String("\r\n"), QLatin1String(" "));
    textoValor.replace(quebra, QStringLiteral(" "));

    QByteArray conteudo;
    QString erroLeitura;
    const bool existe = LerArquivo(arquivo, conteudo, &erroLeitura);
    if (!existe && QFileInfo::exists(arquivo))  // present but unreadable: never replace it blindly
        return falhar(QStringLiteral("o arquivo existe mas não pôde ser lido (%1)").arg(erroLeitura));
    ArquivoIni ini = Analisar(conteudo);

    // New lines go in the file's own encoding; when Windows-1252 cannot carry
    // the text the whole file moves to UTF-8 rather than lose characters.
    auto codificar = [&](const QString& texto) -> std::optional<QByteArray> {
        if (ini.codificacao == Codificacao::Windows1252)
            return plataforma::CodificarWindows1252(texto);
        return texto.toUtf8();
    };
    auto linhaNova = [&](const QString& texto, const QByteArray& fim) -> Linha {
        auto bytes = codificar(texto);
        if (!bytes) {
            for (Linha& l : ini.linhas) {
                const qsizetype semFim = l.bruto.size() - (l.bruto.endsWith("\r\n") ? 2 : l.bruto.endsWith('\n') ? 1 : 0);
                l.bruto = l.texto.toUtf8() + l.bruto.mid(semFim);
            }
            ini.codificacao = Codificacao::Utf8;
            bytes = texto.toUtf8();
        }
        return Linha{*bytes + fim, texto};
    };
    auto garantirFimLinha = [&](qsizetype indice) {
        Linha& l = ini.linhas[indice];
        if (!l.bruto.endsWith('\n'))
            l.bruto += ini.fimLinha;
    };

    const Posicao p = Localizar(ini, nomeSecao, nomeChave);
    if (p.chave >= 0) {
        // The line keeps its own line end (or none, when it was the last).
        const QByteArray& antigo = ini.linhas[p.chave].bruto;
        const QByteArray fim = antigo.endsWith("\r\n") ? QByteArray("\r\n")
                               : antigo.endsWith('\n')  ? QByteArray("\n")
                                                        : QByteArray();
        ini.linhas[p.chave] = linhaNova(p.nomeChave + u'=' + textoValor, fim);
    } else if (p.secao >= 0) {
        garantirFimLinha(p.ultimaChave);
        const Linha nova = linhaNova(nomeChave + u'=' + textoValor, ini.fimLinha);
        ini.linhas.insert(p.ultimaChave + 1, nova);
    } else {
        if (!ini.linhas.isEmpty()) {
            garantirFimLinha(ini.linhas.size() - 1);
            if (!ini.linhas.back().texto.trimmed().isEmpty())
                ini.linhas.append(Linha{ini.fimLinha, QString()});
        }
        const Linha cabecalho = linhaNova(u'[' + nomeSecao + u']', ini.fimLinha);
        ini.linhas.append(cabecalho);
        ini.linhas.append(linhaNova(nomeChave + u'=' + textoValor, ini.fimLinha));
    }

    QString motivo;
    if (!Gravar(arquivo, ini, motivo))
        return falhar(motivo);
    return true;
}

bool Utilitarios::RemoverSecaoINI(const QString& arquivo, const QString& secao) const
{
    const QString nomeSecao = secao.trimmed();
    QByteArray conteudo;
    if (!LerArquivo(arquivo, conteudo)) {
        if (!QFileInfo::exists(arquivo))
            return true;
        qWarning("RemoverSecaoINI: %s não pôde ser lido", qPrintable(arquivo));
        return false;
    }
    ArquivoIni ini = Analisar(conteudo);
    // A section runs from its header to the next header; every section of
    // that name goes, so no later one of the same name comes to light.
    bool dentro = false, removeu = false;
    QList<Linha> mantidas;
    for (const Linha& l : ini.linhas) {
        if (auto nome = NomeSecao(l.texto))
            dentro = nome->compare(nomeSecao, Qt::CaseInsensitive) == 0;
        if (dentro)
            removeu = true;
        else
            mantidas.append(l);
    }
    if (!removeu)
        return true;
    ini.linhas = mantidas;

    QString motivo;
    if (!Gravar(arquivo, ini, motivo)) {
        qWarning("RemoverSecaoINI: %s: %s", qPrintable(arquivo), qPrintable(motivo));
        return false;
    }
    return true;
}

bool Utilitarios::ValidarData(const QString& texto, int codigo) const
{
    const QString t = texto.trimmed();
    if (codigo == 25) {
        static const QRegularExpression forma(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
        const auto m = forma.match(t);
        return m.hasMatch() && QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()).isValid();
    }
    if (codigo == 60) {
        static const QRegularExpression forma(QStringLiteral("^(\\d{1,2})/(\\d{2}|\\d{4})$"));
        const auto m = forma.match(t);
        if (!m.hasMatch())
            return false;
        const int mes = m.captured(1).toInt();
        const int ano = m.captured(2).toInt();
        return mes >= 1 && mes <= 12 && (m.captured(2).size() == 2 || ano >= 1900);
    }
    return false;
}

QString Utilitarios::FormatarData(const QDate& data, const QString& formato) const
{
    if (!data.isValid())
        return QString();
    auto doisDigitos = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    QString saida;
    for (qsizetype i = 0; i < formato.size();) {
        const QStringView resto = QStringView(formato).mid(i);
        if (resto.startsWith(u"YYYY", Qt::CaseInsensitive)) {
            saida += QStringLiteral("%1").arg(data.year(), 4, 10, QLatin1Char('0'));
            i += 4;
        } else if (resto.startsWith(u"YY", Qt::CaseInsensitive)) {
            saida += doisDigitos(data.year() % 100);
            i += 2;
        } else if (resto.startsWith(u"MM", Qt::CaseInsensitive)) {
            saida += doisDigitos(data.month());
            i += 2;
        } else if (resto.startsWith(u"DD", Qt::CaseInsensitive)) {
            saida += doisDigitos(data.day());
            i += 2;
        } else {
            saida += formato[i];
            ++i;
        }
    }
    return saida;
}

bool Utilitarios::ValidarCPF(const QString& texto) const
{
    static const QRegularExpression forma(QStringLiteral("^(\\d{3})\\.?(\\d{3})\\.?(\\d{3})-?(\\d{2})$"));
    const auto m = forma.match(texto.trimmed());
    if (!m.hasMatch())
        return false;
    const QString digitos = m.captured(1) + m.captured(2) + m.captured(3) + m.captured(4);
    int d[11];
    for (int i = 0; i < 11; ++i)
        d[i] = digitos[i].digitValue();
    bool todosIguais = true;
    for (int i = 1; i < 11; ++i)
        todosIguais = todosIguais && d[i] == d[0];
    if (todosIguais)
        return false;
    auto verificador = [&](int quantos) {
        int soma = 0;
        for (int i = 0; i < quantos; ++i)
            soma += d[i] * (quantos + 1 - i);
        const int resto = (soma * 10) % 11;
        return resto == 10 ? 0 : resto;
    };
    return verificador(9) == d[9] && verificador(10) == d[10];
}

QString Utilitarios::TextoEntreMarcadores(const QString& texto, const QString& inicio, const QString& fim) const
{
    return plataforma::TextoEntre(texto, inicio, fim);
}

QString Utilitarios::FormatarTamanho(double bytes) const
{
    static const char* const unidades[] = {"KB", "MB", "GB", "TB", "PB"};
    const QLocale local(QLocale::Portuguese, QLocale::Brazil);
    if (!(bytes > 0) || !std::isfinite(bytes))
        return QStringLiteral("0 bytes");
    if (bytes < 1024) {
        const qlonglong inteiro = qlonglong(bytes + 0.5);
        if (inteiro < 1024)
            return inteiro == 1 ? QStringLiteral("1 byte") : local.toString(inteiro) + QLatin1String(" bytes");
    }
    double valor = bytes / 1024.0;
    int unidade = 0;
    // Round first, so 1023,96 KB reads 1,0 MB rather than 1.024,0 KB.
    while (unidade < 4 && std::round(valor * 10.0) / 10.0 >= 1024.0) {
        valor /= 1024.0;
        ++unidade;
    }
    return local.toString(valor, 'f', 1) + u' ' + QLatin1String(unidades[unidade]);
}

QString Utilitarios::Cifrar(const QString& texto, const QString& chave) const
{
    unsigned char k[32];
    unsigned char nonce[kTamanhoNonce];
    if (!DerivarChave(chave, k) || RAND_bytes(nonce, kTamanhoNonce) != 1)
        return QString();
    const QByteArray claro = texto.toUtf8();
    QByteArray cifrado(claro.size() + 16, '\0');
    unsigned char tag[kTamanhoTag];
    Contexto c;
    int n = 0;
    int total = 0;
    if (!c.ctx || EVP_EncryptInit_ex(c.ctx, EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(c.ctx, EVP_CTRL_GCM_SET_IVLEN, kTamanhoNonce, nullptr) != 1
        || EVP_EncryptInit_ex(c.ctx, nullptr, nullptr, k, nonce) != 1)
        return QString();
    if (!claro.isEmpty()) {
        if (EVP_EncryptUpdate(c.ctx, reinterpret_cast<unsigned char*>(cifrado.data()), &n,
                              reinterpret_cast<const unsigned char*>(claro.constData()), int(claro.size())) != 1)
            return QString();
        total = n;
    }
    if (EVP_EncryptFinal_ex(c.ctx, reinterpret_cast<unsigned char*>(cifrado.data()) + total, &n) != 1)
        return QString();
    total += n;
    if (EVP_CIPHER_CTX_ctrl(c.ctx, EVP_CTRL_GCM_GET_TAG, kTamanhoTag, tag) != 1)
        return QString();
    cifrado.resize(total);
    const QByteArray tudo = QByteArray(reinterpret_cast<const char*>(nonce), kTamanhoNonce) + cifrado
                            + QByteArray(reinterpret_cast<const char*>(tag), kTamanhoTag);
    return QString::fromLatin1(tudo.toHex().toUpper());
}

QString Utilitarios::Decifrar(const QString& hex, const QString& chave) const
{
    const QString t = hex.trimmed();
    if (t.size() % 2 != 0 || t.size() < 2 * (kTamanhoNonce + kTamanhoTag))
        return QString();
    for (QChar ch : t)
        if (!((ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f')))
            return QString();
    const QByteArray tudo = QByteArray::fromHex(t.toLatin1());
    const qsizetype tamanho = tudo.size() - kTamanhoNonce - kTamanhoTag;
    const auto* dados = reinterpret_cast<const unsigned char*>(tudo.constData());
    unsigned char k[32];
    if (!DerivarChave(chave, k))
        return QString();
    QByteArray claro(tamanho + 16, '\0');
    unsigned char tag[kTamanhoTag];
    memcpy(tag, dados + kTamanhoNonce + tamanho, kTamanhoTag);
    Contexto c;
    int n = 0;
    int total = 0;
    if (!c.ctx || EVP_DecryptInit_ex(c.ctx, EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(c.ctx, EVP_CTRL_GCM_SET_IVLEN, kTamanhoNonce, nullptr) != 1
        || EVP_DecryptInit_ex(c.ctx, nullptr, nullptr, k, dados) != 1)
        return QString();
    if (tamanho > 0) {
        if (EVP_DecryptUpdate(c.ctx, reinterpret_cast<unsigned char*>(claro.data()), &n, dados + kTamanhoNonce,
                              int(tamanho)) != 1)
            return QString();
        total = n;
    }
    if (EVP_CIPHER_CTX_ctrl(c.ctx, EVP_CTRL_GCM_SET_TAG, kTamanhoTag, tag) != 1)
        return QString();
    // The tag check: a wrong key or a changed digit ends here.
    if (EVP_DecryptFinal_ex(c.ctx, reinterpret_cast<unsigned char*>(claro.data()) + total, &n) != 1)
        return QString();
    total += n;
    claro.resize(total);
    return QString::fromUtf8(claro);
}

QString Utilitarios::NormalizarTexto(const QString& texto) const
{
    const QString decomposto = texto.normalized(QString::NormalizationForm_D);
    QString saida;
    saida.reserve(decomposto.size());
    for (QChar c : decomposto) {
        const QChar::Category cat = c.category();
        if (cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing)
            continue;
        saida += c;
    }
    return saida.toLower();
}

void Utilitarios::RegistrarPastaArquivo(const QString& pasta) const
{
    QString caminho = pasta.trimmed();
    if (caminho.isEmpty())
        return;
    const QFileInfo info(caminho);
    if (info.isFile())
        caminho = info.absolutePath();
    caminho = QDir::cleanPath(caminho);

    static const QString app = QStringLiteral("Orvessa");
    static const QString secao = QStringLiteral("Pastas recentes");
    constexpr int kMaximo = 10;
    QStringList pastas{caminho};
    for (int i = 1; i <= kMaximo; ++i) {
        const QString antiga = plataforma::GetSetting(app, secao, QStringLiteral("Pasta%1").arg(i));
        if (!antiga.isEmpty() && !pastas.contains(antiga))
            pastas << antiga;
    }
    for (int i = 1; i <= kMaximo && i <= pastas.size(); ++i)
        plataforma::SaveSetting(app, secao, QStringLiteral("Pasta%1").arg(i), pastas[i - 1]);
}

}  // namespace orvessa
