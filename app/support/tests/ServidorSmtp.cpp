#include "ServidorSmtp.h"

#include "app/Configuracao.h"
#include "suite/Utilitarios.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace apoio {

ServidorSmtp::ServidorSmtp(const QString& pasta, const QString& usuario, const QString& senha, bool resumir)
    : pasta_(pasta), usuario_(usuario), senha_(senha), resumir_(resumir)
{
    QDir().mkpath(pasta_);
}

ServidorSmtp::~ServidorSmtp()
{
    if (processo_.state() == QProcess::NotRunning)
        return;
    // Closing its input is the server's cue to end; it is ours, so it may
    // be ended outright when it does not.
    processo_.closeWriteChannel();
    if (!processo_.waitForFinished(5000)) {
        processo_.kill();
        processo_.waitForFinished(5000);
    }
}

bool ServidorSmtp::Iniciar(QString* erro)
{
    processo_.setProcessChannelMode(QProcess::SeparateChannels);
    QStringList argumentos{QStringLiteral(SERVIDOR_SMTP_PY), pasta_, usuario_, senha_};
    if (!resumir_)
        argumentos << QStringLiteral("sem-resumo");
    if (limite_ > 0)
        argumentos << QStringLiteral("limite=%1").arg(limite_);
    processo_.start(QStringLiteral("/usr/bin/python3"), argumentos);
    if (!processo_.waitForStarted(30000)) {
        if (erro)
            *erro = processo_.errorString();
        return false;
    }
    QByteArray saida;
    const QDeadlineTimer prazo(60000);
    while (!prazo.hasExpired() && processo_.state() == QProcess::Running) {
        processo_.waitForReadyRead(200);
        saida += processo_.readAllStandardOutput();
        const qsizetype i = saida.indexOf("pronto ");
        if (i >= 0 && saida.indexOf('\n', i) > i) {
            porta_ = saida.mid(i + 7, saida.indexOf('\n', i) - i - 7).trimmed().toInt();
            return porta_ > 0;
        }
    }
    if (erro)
        *erro = QString::fromUtf8(saida + processo_.readAllStandardError());
    return false;
}

QString ServidorSmtp::ArquivoCA() const
{
    return pasta_ + QStringLiteral("/ca.pem");
}

QList<QJsonObject> ServidorSmtp::Mensagens() const
{
    QList<QJsonObject> mensagens;
    const QStringList arquivos = QDir(pasta_).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString& nome : arquivos) {
        QFile arquivo(pasta_ + QLatin1Char('/') + nome);
        if (arquivo.open(QIODevice::ReadOnly))
            mensagens.append(QJsonDocument::fromJson(arquivo.readAll()).object());
    }
    return mensagens;
}

QByteArray ServidorSmtp::Bruta(int indice) const
{
    QFile arquivo(pasta_ + QStringLiteral("/%1.eml").arg(indice + 1, 3, 10, QLatin1Char('0')));
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

QString ServidorSmtp::Cabecalho(const QJsonObject& mensagem, const QString& nome)
{
    for (const QJsonValue& par : mensagem.value(QStringLiteral("cabecalhos")).toArray())
        if (par.toArray().at(0).toString().compare(nome, Qt::CaseInsensitive) == 0)
            return par.toArray().at(1).toString();
    return QString();
}

int ServidorSmtp::ContarCabecalho(const QJsonObject& mensagem, const QString& nome)
{
    int total = 0;
    for (const QJsonValue& par : mensagem.value(QStringLiteral("cabecalhos")).toArray())
        total += par.toArray().at(0).toString().compare(nome, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return total;
}

std::unique_ptr<ServidorSmtp> ServidorSmtp::IniciarComoRelay(const QString& pasta, QString* erro)
{
    auto& config = qeltrano::Config();
    const QString senha = orvessa::Utilitarios::Instancia().Decifrar(config.SenhaRelaySmtpCifrada, QString());
    auto servidor = std::make_unique<ServidorSmtp>(pasta, config.LoginRelaySmtp, senha);
    if (senha.isEmpty() || !servidor->Iniciar(erro))
        return nullptr;
    config.HostRelaySmtp = QStringLiteral("127.0.0.1");
    config.PortaRelaySmtp = servidor->Porta();
    config.CertificadosSmtp = servidor->ArquivoCA();
    return servidor;
}

}  // namespace apoio
