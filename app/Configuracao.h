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
    // The maker's web site (about box, update check).
    QString SiteFabricante = QStringLiteral("https://www.qeltrano.example");
    QString NomeFabricante = QStringLiteral("Qeltrano Software Ltda.");
    // Support mailbox: sender and recipient of support mails, shown in the
    // error handler's boxes.
    QString CaixaSuporte = QStringLiteral("suporte@qeltrano.example");
    QString EnderecoSuportePublico = QStringLiteral("atendimento@qeltrano.example");
    QString ServidorSmtp = QStringLiteral("smtp.qeltrano.example");
    int PortaSmtp = 587;
    QString UsuarioSmtp = QStringLiteral("suporte@qeltrano.example");
    QString SenhaSmtp = QStringLiteral("trocar-na-instalacao");
    // Each translation request ends after this many seconds at most.
    int TempoLimiteTraducao = 15;
    // Folder of the program's own Config.ini; empty: the executable's folder.
    QString PastaPrograma;

    QString EnderecoBaseTraducao() const { return HostTraducao + CaminhoTraducao; }
};

QELTRANO_EXPORT Configuracao& Config();

}  // namespace qeltrano
