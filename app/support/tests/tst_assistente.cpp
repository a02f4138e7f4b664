// The update assistant with its download control from the control library,
// a real HTTP server on 127.0.0.1 and a real installer (a script that
// leaves a marker), the end of the program replaced so nothing else ends.
#include "Apoio.h"
#include "CapturadorUrls.h"
#include "Respostas.h"
#include "ServidorHttpTeste.h"

#include "app/Configuracao.h"
#include "app/support/XTelaAssistenteAtualizacoes.h"
#include "app/support/modUpdates.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "platform/ErroExecucao.h"
#include "platform/Registro.h"
#include "suite/Controles.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using apoio::RespostaHttpTeste;
using qeltrano::XTelaAssistenteAtualizacoes;

namespace {

const QString ArquivoKestrane = QStringLiteral("libkestrane.so");

// Runs `acao` once the modal window is up.
void Depois(std::function<void()> acao)
{
    QTimer::singleShot(0, qApp, std::move(acao));
}

}  // namespace

class TesteAssistente : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::ServidorHttpTeste> servidor_;
    std::unique_ptr<apoio::Respostas> respostas_;
    std::unique_ptr<apoio::CapturadorUrls> enderecos_;
    QStringList encerrados_;

    // An installer that writes its arguments and working folder to a marker.
    QByteArray Instalador(const QString& marcador) const
    {
        return QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$*\" \"$(pwd)\" > '%1'\n").arg(marcador).toUtf8();
    }

    static QString LerArquivo(const QString& caminho)
    {
        QFile f(caminho);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        qeltrano::DefinirPastaComponentes(QString());
        QVERIFY(qeltrano::RegistrarComponente(ArquivoKestrane));
        servidor_ = std::make_unique<apoio::ServidorHttpTeste>();
        QVERIFY(servidor_->Ouvindo());
        respostas_ = std::make_unique<apoio::Respostas>();
        respostas_->DefinirPadrao(1);
        enderecos_ = std::make_unique<apoio::CapturadorUrls>(QStringList{QStringLiteral("https"), QStringLiteral("http")});
        encerrados_.clear();
        qeltrano::DefinirEncerramentoInstancias([this](const QString& imagem) { encerrados_ << imagem; });
        qeltrano::VersaoDisponivel = QStringLiteral("1306");
        qeltrano::DataVersaoDisponivel = QStringLiteral("10/12/2026");
        qeltrano::UrlAtualizacao.clear();
        qeltrano::ArquivoAtualizacaoLocal.clear();
    }

    void cleanup()
    {
        for (QWidget* janela : QApplication::topLevelWidgets())
            if (auto* tela = qobject_cast<XTelaAssistenteAtualizacoes*>(janela))
                delete tela;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qeltrano::DefinirEncerramentoInstancias({});
        qeltrano::DefinirEncerramento([] {});
        qeltrano::Config() = qeltrano::Configuracao();
        enderecos_.reset();
        respostas_.reset();
        servidor_.reset();
        ambiente_.reset();
    }

    void mascara_data()
    {
        QTest::addColumn<QString>("versao");
        QTest::addColumn<QString>("texto");
        QTest::newRow("quatro") << "1306" << "1.3.06";
        QTest::newRow("cinco") << "13006" << "13.0.06";
        QTest::newRow("seis") << "130006" << "130.0.06";
        QTest::newRow("tres") << "105" << ".1.05";
    }

    void mascara()
    {
        QFETCH(QString, versao);
        QFETCH(QString, texto);
        QCOMPARE(XTelaAssistenteAtualizacoes::FormatarVersaoOferecida(versao), texto);
    }

    // The loaded window before anything is pressed.
    void aoCarregar()
    {
        XTelaAssistenteAtualizacoes* tela = qeltrano::FormAssistenteAtualizacoes();
        QVERIFY(tela);
        QCOMPARE(tela->Name(), QStringLiteral("XTelaAssistenteAtualizacoes"));
        QCOMPARE(qeltrano::FormAssistenteAtualizacoes(), tela);
        tela->Carregar();
        QCOMPARE(tela->USForm1()->Caption(), QStringLiteral("Qeltrano - Assistente de atualizações"));
        QCOMPARE(tela->Label1(0)->Caption(), QStringLiteral("Atualização publicada em:"));
        QCOMPARE(tela->Label1(1)->Caption(), QStringLiteral("Versão Instalada:"));
        QCOMPARE(tela->Label1(2)->Caption(), QStringLiteral("Versão Web:"));
        QCOMPARE(tela->lbl(0)->Caption(), QStringLiteral("10/12/2026"));
        QCOMPARE(tela->lbl(1)->Caption(), QStringLiteral("1.0.05"));
        QCOMPARE(tela->lbl(2)->Caption(), QStringLiteral("1.3.06"));
        QCOMPARE(tela->USBtn(0)->Caption(), QStringLiteral("&Instalar a atualização"));
        QCOMPARE(tela->USBtn(0)->ToolTipTitle(), QStringLiteral("Atualização "));
        QCOMPARE(tela->USBtn(0)->ToolTipDescription(), QStringLiteral("Clique neste botão para instalar a atualização"));
        QCOMPARE(tela->USBtn(1)->Caption(), QStringLiteral("&Descartar a atualização"));
        QCOMPARE(tela->USBtn(1)->ToolTipDescription(),
                 QStringLiteral("Clique neste botão para descartar a atualização (Não recomendado)"));
        QVERIFY(tela->XPProgress()->isHidden());
        QVERIFY(tela->USAnimatedImage1()->isHidden());
        // Centred in the work area, as every dialog opens.
        const QRect area = tela->screen()->availableGeometry();
        QVERIFY2(std::abs(tela->frameGeometry().center().x() - area.center().x()) <= 2, qPrintable(QString::number(tela->x())));
        QVERIFY2(std::abs(tela->frameGeometry().center().y() - area.center().y()) <= 2, qPrintable(QString::number(tela->y())));
        const QFileInfo instalador(tela->ArquivoInstalador());
        QCOMPARE(instalador.absolutePath(), orvessa::Utilitarios::Instancia().DiretorioTemporario());
        QVERIFY(instalador.fileName().startsWith(QLatin1String("Qeltrano_")));
        QVERIFY(!instalador.fileName().endsWith(QLatin1String(".exe")));
        QVERIFY(tela->Descarregar());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!qeltrano::FormAssistenteAtualizacoes()->Carregado());
    }

    // While the assistant is loaded the central error handler does nothing.
    void tratadorEmEspera()
    {
        int encerramentos = 0;
        qeltrano::DefinirEncerramento([&] { ++encerramentos; });
        qeltrano::ReiniciarTratamentoErros();
        XTelaAssistenteAtualizacoes* tela = qeltrano::FormAssistenteAtualizacoes();
        tela->Carregar();
        qeltrano::TratarErro(tela->Name(), QStringLiteral("USBtn_Click(0)"), 5, QStringLiteral("Invalid procedure call"), 0);
        QCOMPARE(encerramentos, 0);
        QVERIFY(qeltrano::TextoRelatorioErros.isEmpty());
        QVERIFY(respostas_->Caixas().isEmpty());
    }

    // Only "Descartar" answers False; the close box counts as not refused.
    void fechar_data()
    {
        QTest::addColumn<bool>("descartar");
        QTest::addColumn<bool>("resultado");
        QTest::newRow("descartar") << true << false;
        QTest::newRow("caixa de fechar") << false << true;
    }

    void fechar()
    {
        QFETCH(bool, descartar);
        QFETCH(bool, resultado);
        QPointer<XTelaAssistenteAtualizacoes> tela = qeltrano::FormAssistenteAtualizacoes();
        Depois([tela, descartar] {
            if (!tela)
                return;
            if (descartar)
                tela->USBtn(1)->click();
            else
                tela->close();
        });
        QCOMPARE(tela->Atualizar(), resultado);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!tela);
        QVERIFY(encerrados_.isEmpty());
    }

    // A download that fails: the buttons are gone, the failure shows once
    // (although the control reports every retry) and its address opens in
    // the browser; the program goes on.
    void erroNoDownload()
    {
        qeltrano::UrlAtualizacao = servidor_->Endereco(QStringLiteral("/sumiu"));
        QPointer<XTelaAssistenteAtualizacoes> tela = qeltrano::FormAssistenteAtualizacoes();
        bool botoesOcultos = false;
        bool andamentoVisivel = false;
        respostas_->AoExibir(QStringLiteral("Erro ao efetuar o download"), [&] {
            botoesOcultos = tela && tela->USBtn(0)->isHidden() && tela->USBtn(1)->isHidden();
            andamentoVisivel = tela && tela->XPProgress()->isVisible() && tela->USAnimatedImage1()->isVisible();
            return 1;
        });
        Depois([tela] {
            if (tela)
                tela->USBtn(0)->click();
        });
        QVERIFY(tela->Atualizar());

        const QList<orvessa::CaixaExibida> caixas = respostas_->Caixas();
        QCOMPARE(caixas.size(), 1);
        QCOMPARE(caixas[0].texto, QStringLiteral("<b>Atenção</b>: Erro ao efetuar o download:<br><b>Atenção</b>: O "
                                                 "servidor não encontrou a página solicitada."));
        QCOMPARE(caixas[0].estilo, 16);
        QCOMPARE(caixas[0].tipo, orvessa::TipoCaixa::Aviso);
        QVERIFY(botoesOcultos);
        QVERIFY(andamentoVisivel);
        QCOMPARE(enderecos_->urls, QList<QUrl>{QUrl(qeltrano::UrlAtualizacao)});
        QVERIFY(encerrados_.isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!tela);
    }

    // Closing the window while the installer downloads cancels it: the
    // partial file goes and the window closes, without a failure box and
    // without opening the address.
    void fecharDuranteDownload()
    {
        RespostaHttpTeste lento;
        lento.bloco = 500;
        lento.intervaloMs = 50;
        lento.repetirBlocos = 100000;
        servidor_->Definir(QStringLiteral("/lento"), lento);
        qeltrano::UrlAtualizacao = servidor_->Endereco(QStringLiteral("/lento"));
        QPointer<XTelaAssistenteAtualizacoes> tela = qeltrano::FormAssistenteAtualizacoes();
        QString arquivo;
        QString texto;
        std::function<void()> vigiar = [&] {
            if (!tela)
                return;
            if (tela->lblDownload()->Caption().startsWith(QLatin1String("Baixando"))) {
                arquivo = tela->ArquivoInstalador();
                texto = tela->lblDownload()->Caption();
                tela->close();
                return;
            }
            QTimer::singleShot(50, qApp, vigiar);
        };
        Depois([&] {
            tela->USBtn(0)->click();
        });
        QTimer::singleShot(50, qApp, vigiar);
        QVERIFY(tela->Atualizar());

        QVERIFY2(texto.startsWith(QLatin1String("Baixando: (<b>")), qPrintable(texto));
        QVERIFY(respostas_->Caixas().isEmpty());
        QVERIFY(enderecos_->urls.isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!tela);
        QVERIFY(!arquivo.isEmpty());
        QVERIFY(!QFileInfo::exists(arquivo));
        QVERIFY(encerrados_.isEmpty());
    }

    // The size query announced 100,000 bytes; the GET says no length and the
    // connection closes after half of it. That installer never runs: the
    // failure shows once, the partial file is gone, the program goes on.
    void instaladorCortado()
    {
        const QString marcador = ambiente_->Caminho(QStringLiteral("instalou.txt"));
        QByteArray metade = Instalador(marcador);
        metade += QByteArray(50000 - metade.size() - 1, '#') + '\n';
        RespostaHttpTeste anuncio;
        anuncio.tamanhoAnunciado = 100000;
        RespostaHttpTeste cortado;
        cortado.corpo = metade;
        cortado.tamanhoAnunciado = -2;
        servidor_->Definir(QStringLiteral("/Qeltrano_setup"), [anuncio, cortado](const apoio::PedidoHttp& p) {
            return p.metodo == "HEAD" ? anuncio : cortado;
        });
        qeltrano::UrlAtualizacao = servidor_->Endereco(QStringLiteral("/Qeltrano_setup"));
        QPointer<XTelaAssistenteAtualizacoes> tela = qeltrano::FormAssistenteAtualizacoes();
        const QString baixado = tela->ArquivoInstalador();
        Depois([tela] { tela->USBtn(0)->click(); });
        QVERIFY(tela->Atualizar());

        QCOMPARE(servidor_->PedidosCom("GET", QStringLiteral("/Qeltrano_setup")), 1);
        QVERIFY(encerrados_.isEmpty());
        QCOMPARE(respostas_->Caixas().size(), 1);
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("O download não foi concluído.")).size(), 1);
        QVERIFY(!QFileInfo::exists(baixado));
        QVERIFY(!QFileInfo::exists(marcador));
    }

    // The installer downloaded (or already fetched by the maker's updater)
    // runs with "/SILENT" in the scratch folder; then every copy of the
    // program is ended by its image name.
    void instalar_data()
    {
        QTest::addColumn<bool>("local");
        QTest::newRow("baixado") << false;
        QTest::newRow("do updater") << true;
    }

    void instalar()
    {
        QFETCH(bool, local);
        const QString marcador = ambiente_->Caminho(QStringLiteral("instalou.txt"));
        if (local) {
            qeltrano::ArquivoAtualizacaoLocal =
                ambiente_->EscreverArquivo(QStringLiteral("Qeltrano_setup"), Instalador(marcador));
        } else {
            RespostaHttpTeste instalador;
            instalador.corpo = Instalador(marcador);
            servidor_->Definir(QStringLiteral("/Qeltrano_setup"), instalador);
            qeltrano::UrlAtualizacao = servidor_->Endereco(QStringLiteral("/Qeltrano_setup"));
        }
        QPointer<XTelaAssistenteAtualizacoes> tela = qeltrano::FormAssistenteAtualizacoes();
        // What the window shows when the program is about to end.
        QString baixado;
        QString linha;
        int progresso = -1;
        qeltrano::DefinirEncerramentoInstancias([&](const QString& imagem) {
            encerrados_ << imagem;
            baixado = tela ? tela->ArquivoInstalador() : QString();
            linha = tela ? tela->lblDownload()->Caption() : QString();
            progresso = tela ? tela->XPProgress()->Value() : -1;
        });
        Depois([tela] { tela->USBtn(0)->click(); });
        QVERIFY(tela->Atualizar());

        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marcador) && !LerArquivo(marcador).isEmpty(), 20000);
        QCOMPARE(LerArquivo(marcador),
                 QStringLiteral("/SILENT|") + orvessa::Utilitarios::Instancia().DiretorioTemporario());
        QCOMPARE(encerrados_, QStringList{qeltrano::ObterNomeExecutavel() + QStringLiteral(".exe")});
        QCOMPARE(QFileInfo::exists(baixado), !local);
        QVERIFY(respostas_->Caixas().isEmpty());
        if (!local) {
            QCOMPARE(linha, QStringLiteral("<b>Parabéns</b>, o download foi concluído com sucesso."));
            QCOMPARE(progresso, 100);
            QVERIFY(QFileInfo(baixado).isExecutable());
        }
    }

    // An installer on disk that cannot start, or that is gone (or changed
    // hands) by the time the button is pressed, leaves the program running;
    // with no address to download from, that failure is the box.
    void instaladorLocalFalha_data()
    {
        QTest::addColumn<bool>("existe");
        QTest::addColumn<QString>("aviso");
        QTest::addColumn<int>("caixas");
        QTest::newRow("não é um programa") << true << QStringLiteral("não pôde ser iniciado") << 0;
        QTest::newRow("ausente") << false << QStringLiteral("não será executado") << 1;
    }

    void instaladorLocalFalha()
    {
        QFETCH(bool, existe);
        QFETCH(QString, aviso);
        QFETCH(int, caixas);
        qeltrano::ArquivoAtualizacaoLocal =
            existe ? ambiente_->EscreverArquivo(QStringLiteral("Qeltrano_setup"), "isto não é um programa\n")
                   : ambiente_->Caminho(QStringLiteral("nao-existe"));
        QPointer<XTelaAssistenteAtualizacoes> tela = qeltrano::FormAssistenteAtualizacoes();
        Depois([tela] { tela->USBtn(0)->click(); });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(aviso));
        QVERIFY(tela->Atualizar());
        QVERIFY(encerrados_.isEmpty());
        QCOMPARE(respostas_->CaixasCom(QStringLiteral("Nenhum endereço foi informado.")).size(), caixas);
        QCOMPARE(respostas_->Caixas().size(), caixas);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!tela);
    }

    // From the check to the installer: the one the maker's updater left runs
    // only when no one but this user or root could have written it or its
    // folder; otherwise the site is asked and its installer is downloaded
    // and run. A file passed over keeps its mode.
    void instaladorDoUpdater_data()
    {
        QTest::addColumn<int>("modoPasta");
        QTest::addColumn<int>("modoArquivo");
        QTest::addColumn<bool>("deOutro");
        QTest::addColumn<bool>("local");
        QTest::newRow("sólido") << 0755 << 0755 << false << true;
        QTest::newRow("arquivo do grupo") << 0755 << 0775 << false << false;
        QTest::newRow("pasta do grupo") << 0775 << 0755 << false << false;
        QTest::newRow("de outro usuário") << 0755 << 0644 << true << false;
    }

    void instaladorDoUpdater()
    {
        QFETCH(int, modoPasta);
        QFETCH(int, modoArquivo);
        QFETCH(bool, deOutro);
        QFETCH(bool, local);
        if (deOutro && ::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        const QString pasta = ambiente_->Caminho(QStringLiteral("updater"));
        QVERIFY(QDir().mkpath(pasta));
        QVERIFY(::chmod(QFile::encodeName(pasta).constData(), mode_t(modoPasta)) == 0);
        QVERIFY(plataforma::Registro::GravarTexto(
            plataforma::Hive::LocalMachine, QStringLiteral("SOFTWARE\\Tellumar\\{1E3DBAEF-9581-43BC-A935-97A1484F3388}"),
            QStringLiteral("DocumentsFolder"), pasta));
        const QString marcadorLocal = ambiente_->Caminho(QStringLiteral("local.txt"));
        const QString marcadorSite = ambiente_->Caminho(QStringLiteral("site.txt"));
        const QString instalador =
            ambiente_->EscreverArquivo(QStringLiteral("updater/Qeltrano_setup"), Instalador(marcadorLocal));
        const QByteArray nativo = QFile::encodeName(instalador);
        QVERIFY(::chmod(nativo.constData(), mode_t(modoArquivo)) == 0);
        if (deOutro)
            QVERIFY(::chown(nativo.constData(), 65534, gid_t(-1)) == 0);
        ambiente_->EscreverArquivo(
            QStringLiteral("updater/Config.ini"),
            QStringLiteral("[Main]\r\nSuccessfullyChecked=%1\r\n\r\n[002]\r\nFileToUpdate=%2\r\nVersionInfo=1306\r\n"
                           "VersionDate=10/12/2026\r\n")
                .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), instalador)
                .toUtf8());
        RespostaHttpTeste oferta;
        oferta.corpo = (QStringLiteral("1306|10/12/2026|") + servidor_->Endereco(QStringLiteral("/Qeltrano_setup"))).toUtf8();
        servidor_->Definir(QStringLiteral("/checkversion.asp"), oferta);
        RespostaHttpTeste doSite;
        doSite.corpo = Instalador(marcadorSite);
        servidor_->Definir(QStringLiteral("/Qeltrano_setup"), doSite);
        qeltrano::Config().SiteFabricante = servidor_->Endereco();

        if (!local)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("updater foi ignorado")));
        QVERIFY(qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false));
        QPointer<XTelaAssistenteAtualizacoes> tela = qeltrano::FormAssistenteAtualizacoes();
        Depois([tela] { tela->USBtn(0)->click(); });
        QVERIFY(tela->Atualizar());

        const QString marcador = local ? marcadorLocal : marcadorSite;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marcador) && !LerArquivo(marcador).isEmpty(), 20000);
        QVERIFY(!QFileInfo::exists(local ? marcadorSite : marcadorLocal));
        QCOMPARE(servidor_->PedidosCom("GET", QStringLiteral("/Qeltrano_setup")), local ? 0 : 1);
        QCOMPARE(encerrados_.size(), 1);
        QVERIFY(respostas_->Caixas().isEmpty());
        if (!local) {
            struct stat info {};
            QVERIFY(::stat(nativo.constData(), &info) == 0);
            QCOMPARE(int(info.st_mode & 07777), modoArquivo);
        }
    }

    // Without the control library the window cannot be built: 429, as the
    // about box reports its status bar.
    void semBiblioteca()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        try {
            qeltrano::FormAssistenteAtualizacoes();
            QFAIL("the assistant was built without its download control");
        } catch (const plataforma::ErroExecucao& erro) {
            QCOMPARE(erro.Numero(), 429L);
        }
    }
};

QTEST_MAIN(TesteAssistente)
#include "tst_assistente.moc"
