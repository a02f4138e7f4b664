#pragma once
// Every value the program leaves to its maker, in one place. Tests point the
// hosts at servers on 127.0.0.1.
#include "app/Exporta.h"

#include <QString>

namespace qeltrano {

struct Configuracao {
    // The translation endpoint: scheme and host; the path is the program's.
    QString HostTraducao = QStringLiteral("https://traducao.qeltrano.example");
    QString CaminhoTraducao = QStringLiteral("/translate_a/t?");
    // The maker's web site (about box, update check) and legal name.
    QString SiteFabricante = QStringLiteral("https://www.tellumar.example");
    QString NomeFabricante = QStringLiteral("Tellumar Sistemas Ltda.");
    // Support mailbox: sender and recipient of support mails, shown in the
    // error handler's boxes; the public address is the one shown to users.
    QString CaixaSuporte = QStringLiteral("suporte@tellumar.example");
    QString EnderecoSuportePublico = QStringLiteral("atendimento@tellumar.example");
    // Each translation request ends after this many seconds at most.
    int TempoLimiteTraducao = 15;
    // Folder of the program's own Config.ini; empty: the executable's folder.
    QString PastaPrograma;

    // The maker's mail relay (STARTTLS, AUTH). The password is kept
    // enciphered with the utility object's default key and deciphered at
    // each send.
    QString HostRelaySmtp = QStringLiteral("smtp.tellumar.example");
    int PortaRelaySmtp = 587;
    QString LoginRelaySmtp = QStringLiteral("TLMR7Q2K9SUPORTE4X8Z");
    QString SenhaRelaySmtpCifrada = QStringLiteral(
        "4A8B9A06045D369877415F44F7133A5F9498F684A840964C6D26D1ADE58BF70C1E130EBE68276FB7DB4ABDEB56E75027317825974BBEA9B613C665B2E84E2B6C");
    // Certificate authorities that vouch for mail servers; empty: the system's.
    QString CertificadosSmtp;
    // Seconds a mail send may go without a byte moving, wherever the
    // server falls silent (the reply to the final "." included).
    int TempoLimiteSmtp = 20;

    QString EnderecoBaseTraducao() const { return HostTraducao + CaminhoTraducao; }
};

QELTRANO_EXPORT Configuracao& Config();

}  // namespace qeltrano
