// The contact form: the order of its checks, the confirmation, what the mail
// carries, the three outcomes, the attachment buttons and a close request
// while the send runs; and the computer information it reports.
#include "Apoio.h"
#include "Respostas.h"
#include "CapturadorUrls.h"
#include "ServidorSmtp.h"

#include "app/Configuracao.h"
#include "app/support/FContato.h"
#include "app/support/InformacoesComputador.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/fPrincipal.h"
#include "app/workbench/modComum.h"
#include "platform/Componentes.h"
#include "platform/Configuracoes.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"
#include "suite/Utilitarios.h"

#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

using apoio::ServidorSmtp;
using qeltrano::Config;
using qeltrano::FContato;

namespace {

void Preencher(FContato* f, const QString& nome, const QString& email, const QString& assunto,
               const QString& mensagem)
{
    f->txtNome()->DefinirTexto(nome);
    f->txtEmail()->DefinirTexto(email);
    f->txtAssunto()->DefinirTexto(assunto);
    f->txtMensagem()->DefinirTexto(mensagem);
}

void Escrever(const QString& caminho, const QByteArray& conteudo)
{
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(conteudo);
}

}  // namespace

class TstContato : public QObject {
    Q_OBJECT

    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<ServidorSmtp> smtp_;
    std::unique_ptr<apoio::Respostas> respostas_;
    QString caixaSuporte_;

    FContato* Abrir()
    {
        FContato* f = qeltrano::FormContato();
        f->Exibir();
        return f;
    }

private slots:
    void initTestCase()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        qeltrano::DefinirPastaComponentes(QString());
        QVERIFY(qeltrano::RegistrarComponente(QStringLiteral("libkestrane.so")));
        QString erro;
        smtp_ = ServidorSmtp::IniciarComoRelay(ambiente_->Caminho(QStringLiteral("smtp")), &erro);
        QVERIFY2(smtp_, qPrintable(erro));
        caixaSuporte_ = Config().CaixaSuporte;
    }

    void cleanupTestCase() { smtp_.reset(); }

    void init()
    {
        respostas_ = std::make_unique<apoio::Respostas>();
        Config().CaixaSuporte = caixaSuporte_;
        Config().PortaRelaySmtp = smtp_->Porta();
    }

    void cleanup()
    {
        if (FContato* f = qeltrano::FormContato(); f->Carregado())
            f->Descarregar(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        respostas_.reset();
    }

    void carga()
    {
        FContato* f = Abrir();
        QCOMPARE(f->Moldura()->Caption(), QStringLiteral("Fale conosco - Enviar e-mail para o suporte técnico"));
        QCOMPARE(plataforma::Componentes::ObterPropriedade(f->PanelX1(), QStringLiteral("Texto")).toString(),
                 QStringLiteral("<b>Dica</b>: Se preferir, você pode enviar um e-mail para <c=&H000040C0&>"
                                "atendimento@tellumar.example</c>. O nosso suporte funciona de segunda à sexta das "
                                "8h30 às 17h30."));
        QCOMPARE(f->txtTipo()->count(), 4);
        QCOMPARE(f->txtTipo()->itemText(2), QStringLiteral("RECLAMAÇÃO"));
        QCOMPARE(f->txtTipo()->IndiceSelecionado(), 0);
        QVERIFY(!f->pgbTotal()->isVisible());
        QVERIFY(f->txtAnexo()->isReadOnly());
    }

    // The first failed check shows its balloon; nothing is asked or sent.
    void validacao_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("assunto");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("controle");
        QTest::addColumn<QString>("texto");
        QTest::newRow("tudo vazio") << "" << "" << "" << "" << "txtNome" << "Informe o seu nome.";
        QTest::newRow("sem e-mail") << "Maria" << "" << "" << "" << "txtEmail" << "Informe o seu e-mail.";
        QTest::newRow("e-mail inválido antes do assunto")
            << "Maria" << "maria@" << "" << "" << "txtEmail" << "E-mail inválido.";
        QTest::newRow("sem assunto") << "Maria" << "maria@cliente.com.br" << "" << "x" << "txtAssunto"
                                     << "Informe o assunto da mensagem.";
        QTest::newRow("mensagem de brancos") << "Maria" << "maria@cliente.com.br" << "Oi" << "  \r\n\t "
                                             << "txtMensagem" << "Descreva a mensagem.";
    }
    void validacao()
    {
        QFETCH(QString, nome);
        QFETCH(QString, email);
        QFETCH(QString, assunto);
        QFETCH(QString, mensagem);
        QFETCH(QString, controle);
        QFETCH(QString, texto);
        FContato* f = Abrir();
        Preencher(f, nome, email, assunto, mensagem);
        const int antes = smtp_->Mensagens().size();
        f->USBtn(0)->click();
        auto& balao = orvessa::BalaoAviso::Instancia();
        QCOMPARE(balao.TextoExibido(), texto);
        QVERIFY(balao.ControleBalao());
        QCOMPARE(balao.ControleBalao()->objectName(), controle);
        QVERIFY(respostas_->Caixas().isEmpty());
        QVERIFY(f->Carregado());
        QCOMPARE(smtp_->Mensagens().size(), antes);
        balao.OcultarBalao();
    }

    // Confirmed: the mail reaches support with the subject, the reply
    // address and the body with the computer block; thanks; the form closes.
    // Any address the form accepts can be sent, an apostrophe included.
    void envio_data()
    {
        QTest::addColumn<QString>("email");
        QTest::newRow("comum") << QStringLiteral("maria@cliente.com.br");
        QTest::newRow("com apóstrofo") << QStringLiteral("o'neil@cliente.com.br");
    }
    void envio()
    {
        QFETCH(QString, email);
        FContato* f = Abrir();
        Preencher(f, QStringLiteral("Maria"), email, QStringLiteral("Legendas"), QStringLiteral("  Como salvo?\r\n  "));
        f->txtTelefone()->DefinirTexto(QStringLiteral("11 5555-0000"));
        f->txtTipo()->DefinirIndiceSelecionado(1);
        const QString anexo = ambiente_->EscreverArquivo(QStringLiteral("foto.png"), QByteArray("PNG-bytes"));
        f->txtAnexo()->DefinirTexto(anexo);
        respostas_->Responder(QStringLiteral("Confirma o envio"), 6);
        const int antes = smtp_->Mensagens().size();
        QPointer<FContato> forma(f);
        f->USBtn(0)->click();
        QCOMPARE(smtp_->Mensagens().size(), antes + 1);
        const auto caixas = respostas_->Caixas();
        QCOMPARE(caixas.size(), 2);
        QCOMPARE(caixas[0].estilo, 84);
        QCOMPARE(caixas[1].estilo, 64);
        QVERIFY(caixas[1].texto.startsWith(QStringLiteral("Agradecemos pelo envio da sua mensagem.")));
        QVERIFY(!forma || !forma->Carregado());

        const QJsonObject m = smtp_->Mensagens().last();
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Subject")),
                 qeltrano::ObterTituloVersao() + QStringLiteral(" - SUGESTÃO - Legendas"));
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Reply-To")), email);
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("From")), QStringLiteral("\"suporte@tellumar.example\" <suporte@tellumar.example>"));
        const QStringList linhas = m.value(QStringLiteral("texto")).toString().split(QStringLiteral("\r\n"));
        QCOMPARE(linhas.size(), 18);
        QCOMPARE(linhas.mid(0, 8), (QStringList{QStringLiteral("Nome: Maria"), QStringLiteral("E-mail: ") + email,
                                                QStringLiteral("Telefone: 11 5555-0000"), QString(),
                                                QStringLiteral("Como salvo?"), QString(),
                                                QStringLiteral("INFORMAÇÕES DO COMPUTADOR"), QString()}));
        QVERIFY(linhas[8].startsWith(QStringLiteral("Nome da placa mãe: ")));
        QVERIFY(linhas[17].startsWith(QStringLiteral("Total de memória física: ")));
        QCOMPARE(m.value(QStringLiteral("anexos")).toArray().size(), 1);
    }

    // Not confirmed: nothing is sent and the form stays as it was.
    void envioNaoConfirmado()
    {
        FContato* f = Abrir();
        Preencher(f, QStringLiteral("Maria"), QStringLiteral("maria@cliente.com.br"), QStringLiteral("Oi"),
                  QStringLiteral("Texto"));
        respostas_->Responder(QStringLiteral("Confirma o envio"), 7);
        const int antes = smtp_->Mensagens().size();
        f->USBtn(0)->click();
        QCOMPARE(smtp_->Mensagens().size(), antes);
        QVERIFY(f->Carregado());
        QVERIFY(f->USBtn(0)->isEnabled());
        QVERIFY(!f->pgbTotal()->isVisible());
    }

    // A close request while the send runs: No keeps the form and the send;
    // Yes cancels it, and the form closes after telling so.
    void fecharDuranteEnvio()
    {
        Config().CaixaSuporte = QStringLiteral("lento@tellumar.example");
        FContato* f = Abrir();
        Preencher(f, QStringLiteral("Maria"), QStringLiteral("maria@cliente.com.br"), QStringLiteral("Oi"),
                  QStringLiteral("Texto"));
        respostas_->Responder(QStringLiteral("Confirma o envio"), 6);
        int perguntas = 0;
        bool carregadoAposNao = false;
        bool enviandoAposNao = false;
        respostas_->AoExibir(QStringLiteral("Para sair, você precisa cancelar"), [&] { return ++perguntas == 1 ? 7 : 6; });
        QPointer<FContato> forma(f);
        QTimer::singleShot(300, f, [&] {
            f->close();
            carregadoAposNao = forma && forma->Carregado() && forma->isVisible();
            enviandoAposNao = forma && forma->MailObj() && !forma->USBtn(0)->isEnabled() && forma->pgbTotal()->isVisible();
            QTimer::singleShot(200, f, [&] { f->close(); });
        });
        const int antes = smtp_->Mensagens().size();
        f->USBtn(0)->click();
        QCOMPARE(perguntas, 2);
        QVERIFY(carregadoAposNao);
        QVERIFY(enviandoAposNao);
        QVERIFY(!respostas_->CaixasCom(QStringLiteral("O envio da mensagem foi cancelado pelo usuário.")).isEmpty());
        QVERIFY(!forma || !forma->Carregado());
        QCOMPARE(smtp_->Mensagens().size(), antes);
    }

    // Every window closing by force while a send runs (the error handler's
    // way): the send is cancelled and the form goes without harm.
    void descarregadoDuranteEnvio()
    {
        Config().CaixaSuporte = QStringLiteral("lento@tellumar.example");
        FContato* f = Abrir();
        Preencher(f, QStringLiteral("Maria"), QStringLiteral("maria@cliente.com.br"), QStringLiteral("Oi"),
                  QStringLiteral("Texto"));
        respostas_->Responder(QStringLiteral("Confirma o envio"), 6);
        QPointer<FContato> forma(f);
        QTimer::singleShot(300, f, [] { qeltrano::DescarregarFormularios(false); });
        QElapsedTimer relogio;
        relogio.start();
        f->USBtn(0)->click();
        QVERIFY2(relogio.elapsed() < 15000, qPrintable(QString::number(relogio.elapsed())));
        QVERIFY(!forma || !forma->Carregado());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!forma);
    }

    // A failed send offers the log; Yes opens it.
    void envioComFalha()
    {
        QTcpServer fechado;
        QVERIFY(fechado.listen(QHostAddress::LocalHost));
        Config().PortaRelaySmtp = fechado.serverPort();
        fechado.close();
        apoio::CapturadorUrls captura({QStringLiteral("file")});
        FContato* f = Abrir();
        Preencher(f, QStringLiteral("Maria"), QStringLiteral("maria@cliente.com.br"), QStringLiteral("Oi"),
                  QStringLiteral("Texto"));
        respostas_->DefinirPadrao(6);
        f->USBtn(0)->click();
        QVERIFY(!respostas_->CaixasCom(QStringLiteral("Ocorreu um erro ao enviar o email.")).isEmpty());
        QCOMPARE(captura.urls.size(), 1);
        QVERIFY(captura.urls[0].toLocalFile().endsWith(QStringLiteral(".LOG")));
    }

    // Removing asks only when there is an attachment; a cancelled or empty
    // choice changes neither the field nor the saved folder.
    void anexo()
    {
        FContato* f = Abrir();
        f->USBtn(3)->click();
        QVERIFY(respostas_->Caixas().isEmpty());

        const QString arquivo = ambiente_->EscreverArquivo(QStringLiteral("planilha.xlsx"), QByteArray("x"));
        respostas_->ResponderArquivo(QString());
        f->USBtn(2)->click();
        QVERIFY(f->txtAnexo()->Texto().isEmpty());
        QVERIFY(plataforma::GetSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"),
                                       QStringLiteral("Último arquivo anexo")).isEmpty());
        QCOMPARE(respostas_->Dialogos().size(), 1);
        QCOMPARE(respostas_->Dialogos()[0].titulo, QStringLiteral("::. Abrir arquivo"));
        QCOMPARE(respostas_->Dialogos()[0].opcoes, 0x281002L);

        respostas_->ResponderArquivo(arquivo);
        f->USBtn(2)->click();
        QCOMPARE(f->txtAnexo()->Texto(), arquivo);
        QVERIFY(!plataforma::GetSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"),
                                        QStringLiteral("Último arquivo anexo")).isEmpty());

        respostas_->Responder(QStringLiteral("Confirma a exclusão do arquivo anexo?"), 7);
        f->USBtn(3)->click();
        QCOMPARE(f->txtAnexo()->Texto(), arquivo);
        respostas_->Limpar();
        respostas_->Responder(QStringLiteral("Confirma a exclusão do arquivo anexo?"), 6);
        f->USBtn(3)->click();
        QVERIFY(f->txtAnexo()->Texto().isEmpty());
    }

    // The main window's tenth button opens the form modally, not while the
    // window is busy.
    void abertoPelaJanelaPrincipal()
    {
        qeltrano::CacheTraducao::DefinirCaminho(ambiente_->Caminho(QStringLiteral("db.sqlite")));
        qeltrano::fPrincipal* principal = qeltrano::FormPrincipal();
        principal->Carregar();
        principal->show();
        orvessa::USButton* botao = principal->btnAcao(9);
        QCOMPARE(botao->Caption(), QStringLiteral("Fale &conosco"));
        QCOMPARE(botao->ToolTipTitle(), QStringLiteral("Suporte"));
        QCOMPARE(botao->ToolTipDescription(), QStringLiteral("Enviar uma mensagem para o suporte técnico"));
        QVERIFY(botao->isVisible());

        principal->EmProcessamento = true;
        botao->click();
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("O aplicativo está ocupado")).size(), 1);
        QVERIFY(!qeltrano::FormContato()->Carregado());
        principal->EmProcessamento = false;

        bool modal = false;
        QTimer::singleShot(100, this, [&] {
            FContato* f = qeltrano::FormContato();
            modal = f->Carregado() && f->isVisible() && f->isModal() && f->parentWidget() == principal;
            f->USBtn(1)->click();
        });
        botao->click();
        QVERIFY(modal);
        QVERIFY(!qeltrano::FormContato()->Carregado());
        qeltrano::LiberarFormPrincipal();
    }

    // A small tree stands for the kernel's files: two processors (the last
    // wins), the serial unreadable.
    void informacoesComputador()
    {
        const QString raiz = ambiente_->Caminho(QStringLiteral("raiz"));
        const QString dmi = raiz + QStringLiteral("/sys/class/dmi/id/");
        Escrever(dmi + QStringLiteral("board_name"), "B450M\n");
        QDir().mkpath(dmi + QStringLiteral("board_serial"));  // as unreadable as without root
        Escrever(dmi + QStringLiteral("board_version"), "1.0\n");
        Escrever(dmi + QStringLiteral("bios_version"), "F52\n");
        Escrever(dmi + QStringLiteral("sys_vendor"), "Gigabyte\n");
        Escrever(dmi + QStringLiteral("product_name"), "Desktop X\n");
        Escrever(raiz + QStringLiteral("/proc/sys/kernel/hostname"), "estacao\n");
        Escrever(raiz + QStringLiteral("/proc/meminfo"), "MemFree:  100 kB\nMemTotal:       16384 kB\n");
        Escrever(raiz + QStringLiteral("/proc/cpuinfo"),
                 "processor\t: 0\ncpu family\t: 6\nmodel\t\t: 142\nmodel name\t: Primeiro\nstepping\t: 9\n\n"
                 "processor\t: 1\ncpu family\t: 23\nmodel\t\t: 8\nmodel name\t: AMD Ryzen 5\nstepping\t: 2\n\n");
        qeltrano::InformacoesComputador info(raiz);
        QCOMPARE(info.PlacaMae_Nome(), QStringLiteral("B450M"));
        QCOMPARE(info.PlacaMae_Serial(), QString());
        QCOMPARE(info.PlacaMae_Versao(), QStringLiteral("1.0"));
        QCOMPARE(info.Processador_Nome(), QStringLiteral("AMD Ryzen 5"));
        QCOMPARE(info.Processador_Descricao(), QStringLiteral("Family 23 Model 8 Stepping 2"));
        QCOMPARE(info.Bios_Versao(), QStringLiteral("F52"));
        QCOMPARE(info.Sistema_Nome(), QStringLiteral("estacao"));
        QCOMPARE(info.Sistema_Fabricante(), QStringLiteral("Gigabyte"));
        QCOMPARE(info.Sistema_Modelo(), QStringLiteral("Desktop X"));
        QCOMPARE(info.Sistema_TotalMemoriaFisica(), QStringLiteral("16777216"));
        QVERIFY(!QGuiApplication::overrideCursor());

        // Nothing readable: all empty, and no second attempt on the object;
        // the body then leaves the memory blank.
        const QString vazia = ambiente_->Caminho(QStringLiteral("vazia"));
        qeltrano::InformacoesComputador nada(vazia);
        QCOMPARE(nada.Sistema_Nome(), QString());
        Escrever(vazia + QStringLiteral("/proc/sys/kernel/hostname"), "tarde\n");
        const QString campos[] = {nada.PlacaMae_Nome(), nada.PlacaMae_Serial(), nada.PlacaMae_Versao(),
                                  nada.Processador_Nome(), nada.Processador_Descricao(), nada.Bios_Versao(),
                                  nada.Sistema_Nome(), nada.Sistema_Fabricante(), nada.Sistema_Modelo(),
                                  nada.Sistema_TotalMemoriaFisica()};
        for (const QString& campo : campos)
            QVERIFY(campo.isEmpty());
        QVERIFY(FContato::MensagemContato(QString(), QString(), QString(), QStringLiteral("x"), nada)
                    .endsWith(QStringLiteral("\r\nTotal de memória física: ")));
        QCOMPARE(qeltrano::InformacoesComputador(vazia).Sistema_Nome(), QStringLiteral("tarde"));
    }

    // The kernel's own files, which report a size of 0: the memory is this
    // machine's MemTotal in bytes and the name its host name.
    void informacoesDestaMaquina()
    {
        std::ifstream meminfo("/proc/meminfo");
        unsigned long long kb = 0;
        for (std::string linha; std::getline(meminfo, linha);)
            if (std::sscanf(linha.c_str(), "MemTotal: %llu kB", &kb) == 1)
                break;
        QVERIFY(kb > 0);
        qeltrano::InformacoesComputador info;
        QCOMPARE(info.Sistema_TotalMemoriaFisica(), QString::number(kb * 1024ULL));
        QCOMPARE(info.Sistema_Nome(), QSysInfo::machineHostName());
        const QStringList linhas =
            FContato::MensagemContato(QString(), QString(), QString(), QStringLiteral("x"), info).split(QStringLiteral("\r\n"));
        QCOMPARE(linhas.last(), QStringLiteral("Total de memória física: ") +
                                    orvessa::Utilitarios::Instancia().FormatarTamanho(double(kb * 1024ULL)));
    }
};

QTEST_MAIN(TstContato)
#include "tst_contato.moc"
