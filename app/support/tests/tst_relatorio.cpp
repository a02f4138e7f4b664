// The error-report window: the address check, the operating-system block,
// the two buttons against a real SMTP server, the update check on closing,
// and the whole path from an unclassified error to the end of the process.
#include "Apoio.h"
#include "Respostas.h"
#include "ServidorSmtp.h"

#include "app/Configuracao.h"
#include "app/support/FRelatorioErros.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/Configuracoes.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QProcess>
#include <QtTest>
#include <memory>

using apoio::ServidorSmtp;
using qeltrano::Config;
using qeltrano::FRelatorioErros;

class TstRelatorio : public QObject {
    Q_OBJECT

    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<ServidorSmtp> smtp_;
    QHttpServer site_;
    QString resposta_ = QStringLiteral("0|");
    int consultas_ = 0;
    QString enderecoSite_;

private slots:
    void initTestCase()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        QString erro;
        smtp_ = ServidorSmtp::IniciarComoRelay(ambiente_->Caminho(QStringLiteral("smtp")), &erro);
        QVERIFY2(smtp_, qPrintable(erro));
        // The update check asks this site, never the maker's.
        site_.route(QStringLiteral("/checkversion.asp"), [this](const QHttpServerRequest&) {
            ++consultas_;
            return resposta_;
        });
        const quint16 porta = site_.listen(QHostAddress::LocalHost);
        QVERIFY(porta > 0);
        enderecoSite_ = QStringLiteral("http://127.0.0.1:%1").arg(porta);
        Config().SiteFabricante = enderecoSite_;
        Config().PastaPrograma = ambiente_->Pasta();
    }

    void cleanupTestCase() { smtp_.reset(); }

    void validarEmail_data()
    {
        QTest::addColumn<QString>("endereco");
        QTest::addColumn<bool>("valido");
        QTest::newRow("com") << QStringLiteral("maria@cliente.com") << true;
        QTest::newRow("br") << QStringLiteral("maria.silva@cliente.com.br") << true;
        QTest::newRow("caixa alta e brancos") << QStringLiteral("  MARIA_1-X@CLIENTE.ORG ") << true;
        QTest::newRow("código antigo") << QStringLiteral("a@b.yu") << true;
        QTest::newRow("vazio") << QStringLiteral("   ") << false;
        QTest::newRow("duas arrobas") << QStringLiteral("a@b@c.com") << false;
        QTest::newRow("sem ponto") << QStringLiteral("maria@cliente") << false;
        QTest::newRow("começa com arroba") << QStringLiteral("@cliente.com") << false;
        QTest::newRow("termina com arroba") << QStringLiteral("maria.com@") << false;
        QTest::newRow("arroba ponto") << QStringLiteral("maria@.cliente.com") << false;
        QTest::newRow("ponto arroba") << QStringLiteral("maria.@cliente.com") << false;
        QTest::newRow("começa com ponto") << QStringLiteral(".maria@cliente.com") << false;
        QTest::newRow("termina com ponto") << QStringLiteral("maria@cliente.com.") << false;
        QTest::newRow("dois pontos") << QStringLiteral("maria@cliente..com") << false;
        QTest::newRow("acento") << QStringLiteral("joão@cliente.com") << false;
        QTest::newRow("branco no meio") << QStringLiteral("maria silva@cliente.com") << false;
        QTest::newRow("domínio fora da lista") << QStringLiteral("maria@cliente.xyz") << false;
        QTest::newRow("uma letra só") << QStringLiteral("maria@cliente.c") << false;
        QTest::newRow("pedaço de palavra") << QStringLiteral("maria@cliente.om") << true;
        QTest::newRow("pedaço sem palavra") << QStringLiteral("maria@cliente.useum") << false;
    }
    void validarEmail()
    {
        QFETCH(QString, endereco);
        QFETCH(bool, valido);
        QCOMPARE(FRelatorioErros::ValidarEmail(endereco), valido);
    }

    void listaDominios()
    {
        const QStringList palavras = FRelatorioErros::ListaDominios().split(QLatin1Char(' '));
        QCOMPARE(palavras.size(), 257);
        QCOMPARE(palavras.mid(0, 14).join(u' '),
                 QStringLiteral("AERO BIZ COM COOP EDU GOV INFO INT MIL MUSEUM NAME NET ORG PRO"));
        const QStringList paises = palavras.mid(14);
        QStringList ordenados = paises;
        ordenados.sort();
        QCOMPARE(paises, ordenados);
        QCOMPARE(paises.first(), QStringLiteral("AC"));
        QCOMPARE(paises.last(), QStringLiteral("ZW"));
        for (const char* codigo : {"UK", "TP", "YU", "AN"})
            QVERIFY(paises.contains(QString::fromLatin1(codigo)));
    }

    void blocoSistemaOperacional_data()
    {
        QTest::addColumn<QString>("kernel");
        QTest::addColumn<QString>("versao");
        QTest::addColumn<QString>("revisao");
        QTest::newRow("debian") << QStringLiteral("6.1.0-18-amd64") << QStringLiteral("6.1") << QStringLiteral("0");
        QTest::newRow("dois dígitos") << QStringLiteral("6.10.3") << QStringLiteral("6.10") << QStringLiteral("3");
        QTest::newRow("sem revisão") << QStringLiteral("5.1") << QStringLiteral("5.1") << QStringLiteral("0");
        QTest::newRow("ilegível") << QStringLiteral("desconhecida") << QString() << QStringLiteral("0");
    }
    void blocoSistemaOperacional()
    {
        QFETCH(QString, kernel);
        QFETCH(QString, versao);
        QFETCH(QString, revisao);
        // A decimal comma never reaches the version.
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QCOMPARE(FRelatorioErros::BlocoSistemaOperacional(QStringLiteral("Debian GNU/Linux 12 (bookworm)"), kernel),
                 QStringLiteral("\r\nInformações do Sistema Operacional:\r\nPlataforma: Debian GNU/Linux 12 "
                                "(bookworm)\r\nVersão: ") +
                     versao + QStringLiteral("\r\nRevisão: ") + revisao);
        QLocale::setDefault(QLocale::c());
    }

    // "Enviar" refuses a bad address and keeps the window; a good one is
    // saved and mailed; the window's closing asks the update site.
    void enviar()
    {
        apoio::Respostas respostas;
        respostas.DefinirPadrao(1);
        qeltrano::ReiniciarTratamentoErros();
        qeltrano::TextoRelatorioErros = QStringLiteral("RELATÓRIO DE TESTE\r\n");
        plataforma::SaveSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"), QStringLiteral("E-mail"),
                                QStringLiteral("antigo@cliente.com"));
        FRelatorioErros* janela = qeltrano::FormRelatorioErros();
        janela->Carregar();
        QCOMPARE(janela->txtEmail()->Texto(), QStringLiteral("antigo@cliente.com"));
        QVERIFY(qeltrano::TextoRelatorioErros.contains(QStringLiteral("\r\nInformações do Sistema Operacional:\r\nPlataforma: ")));

        janela->txtEmail()->DefinirTexto(QStringLiteral("a@b@c.com"));
        const int antes = smtp_->Mensagens().size();
        janela->USBtn(0)->click();
        QCOMPARE(respostas.Caixas().size(), 1);
        QCOMPARE(respostas.Caixas()[0].tipo, orvessa::TipoCaixa::Sistema);
        QCOMPARE(respostas.Caixas()[0].texto, QStringLiteral("Por favor informe o e-mail para contato."));
        QCOMPARE(respostas.Caixas()[0].estilo, 48);
        QCOMPARE(respostas.Caixas()[0].titulo, QStringLiteral("Atenção!"));
        QVERIFY(janela->Carregado());
        QCOMPARE(smtp_->Mensagens().size(), antes);

        janela->txtEmail()->DefinirTexto(QStringLiteral(" novo@cliente.com.br "));
        const int consultas = consultas_;
        janela->USBtn(0)->click();
        QVERIFY(!janela->Carregado());
        QCOMPARE(plataforma::GetSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"), QStringLiteral("E-mail")),
                 QStringLiteral("novo@cliente.com.br"));
        QCOMPARE(smtp_->Mensagens().size(), antes + 1);
        const QJsonObject m = smtp_->Mensagens().last();
        QCOMPARE(ServidorSmtp::Cabecalho(m, QStringLiteral("Reply-To")), QStringLiteral("novo@cliente.com.br"));
        QVERIFY(m.value(QStringLiteral("texto")).toString().startsWith(qeltrano::TextoRelatorioErros));
        QVERIFY(consultas_ > consultas);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // "Sair" mails even a malformed address, silently, and saves nothing.
    void sair()
    {
        apoio::Respostas respostas;
        qeltrano::TextoRelatorioErros = QStringLiteral("RELATÓRIO\r\n");
        plataforma::DeleteSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"), QStringLiteral("E-mail"));
        FRelatorioErros* janela = qeltrano::FormRelatorioErros();
        janela->Exibir();
        // The empty field's help balloon, gone once the user types.
        QApplication::setActiveWindow(janela);
        janela->txtEmail()->setFocus();
        auto& balao = orvessa::BalaoAviso::Instancia();
        QTRY_COMPARE(balao.ControleBalao(), static_cast<QWidget*>(janela->txtEmail()));
        QTest::keyClick(janela->txtEmail(), Qt::Key_N);
        QVERIFY(!balao.Visivel());
        janela->txtEmail()->DefinirTexto(QStringLiteral("nao é endereço"));
        const int antes = smtp_->Mensagens().size();
        janela->USBtn(1)->click();
        QVERIFY(!janela->Carregado());
        QCOMPARE(smtp_->Mensagens().size(), antes + 1);
        QVERIFY(smtp_->Mensagens().last().value(QStringLiteral("texto")).toString().endsWith(
            QStringLiteral("E-mail do usuário: nao é endereço")));
        QVERIFY(plataforma::GetSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"), QStringLiteral("E-mail"))
                    .isEmpty());
        QVERIFY(respostas.Caixas().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // From an error no class fits to the end of the process: the report
    // window answered, the mail with the screenshot received, the update
    // check asked, the assistant opened for a newer version, the end.
    void caminhoCompleto()
    {
        resposta_ = QStringLiteral("9999|10/12/2026|https://127.0.0.1:9/instalador.exe");
        const int antes = smtp_->Mensagens().size();
        const int consultas = consultas_;
        QProcess filho;
        filho.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        filho.start(QStringLiteral(FILHO_RELATORIO),
                    {ambiente_->Caminho(QStringLiteral("filho")), QString::number(smtp_->Porta()), smtp_->ArquivoCA(),
                     enderecoSite_});
        QVERIFY(filho.waitForStarted(30000));
        // The site answers from this process's event loop.
        QDeadlineTimer prazo(90000);
        while (filho.state() != QProcess::NotRunning && !prazo.hasExpired())
            QTest::qWait(50);
        resposta_ = QStringLiteral("0|");
        const QStringList linhas =
            QString::fromUtf8(filho.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (filho.state() != QProcess::NotRunning) {
            filho.kill();
            filho.waitForFinished(10000);
            QFAIL(qPrintable(QStringLiteral("o processo não terminou: ") + linhas.join(u'|')));
        }
        QVERIFY2(linhas.contains(QStringLiteral("relatorio")), qPrintable(linhas.join(u'|')));
        QVERIFY2(linhas.contains(QStringLiteral("assistente")), qPrintable(linhas.join(u'|')));
        QVERIFY2(!linhas.contains(QStringLiteral("continuou")) && !linhas.contains(QStringLiteral("fim")),
                 qPrintable(linhas.join(u'|')));
        QVERIFY(consultas_ > consultas);

        QCOMPARE(smtp_->Mensagens().size(), antes + 1);
        const QJsonObject m = smtp_->Mensagens().last();
        const QString texto = m.value(QStringLiteral("texto")).toString();
        QVERIFY2(texto.contains(QStringLiteral("Descrição do erro: Invalid procedure call or argument\r\n")), qPrintable(texto));
        QVERIFY(texto.contains(QStringLiteral("Informações do Sistema Operacional:\r\nPlataforma: ")));
        QVERIFY(texto.endsWith(QStringLiteral("\r\n\r\nE-mail do usuário: usuario@cliente.com.br")));
        const QJsonArray anexos = m.value(QStringLiteral("anexos")).toArray();
        QCOMPARE(anexos.size(), 1);
        QCOMPARE(anexos[0].toObject().value(QStringLiteral("tipo")).toString(), QStringLiteral("image/jpeg"));
        QVERIFY(anexos[0].toObject().value(QStringLiteral("tamanho")).toInt() > 0);
    }
};

QTEST_MAIN(TstRelatorio)
#include "tst_relatorio.moc"
