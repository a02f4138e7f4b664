#pragma once
// The mail tests' SMTP server: servidor_smtp.py on 127.0.0.1, STARTTLS and
// AUTH required, with a certificate authority made for the run.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QUrl>
#include <memory>

namespace apoio {

class ServidorSmtp {
public:
    // The server keeps its certificates and the messages it accepts in `pasta`.
    // `resumir` false keeps only the raw messages (benchmarks: no parsing
    // before the server answers).
    ServidorSmtp(const QString& pasta, const QString& usuario, const QString& senha, bool resumir = true);
    ~ServidorSmtp();

    // The largest message the server takes (it announces it as SIZE); set
    // before Iniciar. 200 MB when not set.
    void DefinirLimite(qint64 bytes) { limite_ = bytes; }

    // Starts the server and waits until it listens; false (with the reason
    // in `erro`) when it did not.
    bool Iniciar(QString* erro = nullptr);
    int Porta() const { return porta_; }
    QString ArquivoCA() const;
    // Every message accepted so far, oldest first, as the server's summary.
    QList<QJsonObject> Mensagens() const;
    // The raw bytes of message `indice` (0 for the first).
    QByteArray Bruta(int indice) const;

    // The value of header `nome` (decoded; "" when absent) and how many
    // times it occurs.
    static QString Cabecalho(const QJsonObject& mensagem, const QString& nome);
    static int ContarCabecalho(const QJsonObject& mensagem, const QString& nome);

    // A server that takes the maker's relay login and password, started
    // and set as the program's relay (host, port, trusted authority); null
    // with the reason in `erro` when it did not start.
    static std::unique_ptr<ServidorSmtp> IniciarComoRelay(const QString& pasta, QString* erro);

private:
    QString pasta_, usuario_, senha_;
    bool resumir_ = true;
    QProcess processo_;
    int porta_ = 0;
    qint64 limite_ = 0;
};

}  // namespace apoio
