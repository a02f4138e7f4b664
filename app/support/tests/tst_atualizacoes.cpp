// The update check: the start-up opt-out, the maker's updater file, the two
// online attempts against a real server on 127.0.0.1 and the answer.
#include "Apoio.h"
#include "RedeIsolada.h"
#include "ServidorHttpTeste.h"

#include "Versao.h"
#include "app/Configuracao.h"
#include "app/support/modUpdates.h"
#include "app/workbench/modComum.h"
#include "platform/Configuracoes.h"
#include "platform/Registro.h"
#include "suite/Utilitarios.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using apoio::RespostaHttpTeste;
using plataforma::Hive;
using plataforma::Registro;

namespace {

const QString kChaveUpdater = QStringLiteral("SOFTWARE\\Tellumar\\{1E3DBAEF-9581-43BC-A935-97A1484F3388}");
const QString kChaveDesinstalacao =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{E4B3F92D-41E8-4486-9E75-89CAA05A54D8}_is1");
const QString kChaveAfiliado = QStringLiteral("SOFTWARE\\Tellumar\\{E4B3F92D-41E8-4486-9E75-89CAA05A54D8}");
const QString kCaminho = QStringLiteral("/checkversion.asp");

QString Data(int diasAPartirDeHoje)
{
    return QDate::currentDate().addDays(diasAPartirDeHoje).toString(QStringLiteral("yyyy-MM-dd"));
}

QString Hoje8()
{
    return QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
}

// The keys of a section, in file order.
QStringList ChavesDaSecao(const QString& arquivo, const QString& secao)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList chaves;
    bool dentro = false;
    for (const QByteArray& bruta : f.readAll().split('\n')) {
        const QString linha = QString::fromUtf8(bruta).trimmed();
        if (linha.startsWith(u'[')) {
            dentro = linha == u'[' + secao + u']';
            continue;
        }
        if (dentro && linha.contains(u'='))
            chaves << linha;
    }
    return chaves;
}

}  // namespace

class TesteAtualizacoes : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::ServidorHttpTeste> servidor_;
    QString resposta_;
    QString arquivoUpdater_;
    QString instalador_;

    int Pedidos() const { return servidor_->PedidosCom("POST", kCaminho) + servidor_->PedidosCom("GET", kCaminho); }

    // The maker's updater: its folder in the registry and its shared file.
    void CriarUpdater(const QString& verificado, bool comInstalador, const QString& versao)
    {
        QDir(ambiente_->Pasta()).mkpath(QStringLiteral("updater"));
        const QString pasta = ambiente_->Caminho(QStringLiteral("updater"));
        QVERIFY(Registro::GravarTexto(Hive::LocalMachine, kChaveUpdater, QStringLiteral("DocumentsFolder"), pasta));
        instalador_ = ambiente_->EscreverArquivo(QStringLiteral("updater/Qeltrano_setup"), "#!/bin/sh\n");
        const QString arquivoInstalador = comInstalador ? instalador_ : pasta + QStringLiteral("/nao-existe");
        arquivoUpdater_ = ambiente_->EscreverArquivo(
            QStringLiteral("updater/Config.ini"),
            QStringLiteral("[Main]\r\nSuccessfullyChecked=%1\r\n\r\n[002]\r\nFileToUpdate=%2\r\nVersionInfo=%3\r\n"
                           "VersionDate=09/12/2026\r\n")
                .arg(verificado, arquivoInstalador, versao)
                .toUtf8());
    }

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        servidor_ = std::make_unique<apoio::ServidorHttpTeste>();
        QVERIFY(servidor_->Ouvindo());
        resposta_ = QStringLiteral("1005|01/01/2027|https://www.tellumar.example/Qeltrano_setup");
        servidor_->Definir(kCaminho, [this](const apoio::PedidoHttp&) {
            RespostaHttpTeste r;
            r.corpo = resposta_.toUtf8();
            return r;
        });
        qeltrano::Config().SiteFabricante = servidor_->Endereco();
        QDir(ambiente_->Pasta()).mkpath(QStringLiteral("programa"));
        qeltrano::Config().PastaPrograma = ambiente_->Caminho(QStringLiteral("programa"));
        orvessa::Utilitarios::Instancia().DefinirVerificadorConexao([] { return true; });
        qeltrano::VersaoDisponivel = QStringLiteral("anterior");
        qeltrano::DataVersaoDisponivel = QStringLiteral("anterior");
        qeltrano::UrlAtualizacao = QStringLiteral("anterior");
        qeltrano::ArquivoAtualizacaoLocal = QStringLiteral("anterior");
    }

    void cleanup()
    {
        orvessa::Utilitarios::Instancia().DefinirVerificadorConexao({});
        qeltrano::Config() = qeltrano::Configuracao();
        servidor_.reset();
        ambiente_.reset();
    }

    void formasDaVersao()
    {
        QCOMPARE(qeltrano::TextoVersao(1, 3, 6), QStringLiteral("1.3.06"));
        QCOMPARE(qeltrano::NumeroVersao(1, 3, 6), 1306L);
        // The digits run together: a two-digit minor reads as a major.
        QCOMPARE(qeltrano::NumeroVersao(13, 0, 6), 13006L);
        QCOMPARE(qeltrano::NumeroVersao(1, 30, 6), 13006L);
        QCOMPARE(qeltrano::NumeroVersao(1, 10, 5), 11005L);
        QCOMPARE(qeltrano::NumeroVersao(versao::Major, versao::Minor, versao::Revision), 1005L);
        QCOMPARE(qeltrano::ValorNumerico(QStringLiteral("  12abc")), 12.0);
        QCOMPARE(qeltrano::ValorNumerico(QStringLiteral("-1.5e2x")), -150.0);
        QCOMPARE(qeltrano::ValorNumerico(QStringLiteral("abc")), 0.0);
        QCOMPARE(qeltrano::ValorNumerico(QStringLiteral("1306|x")), 1306.0);
    }

    void optOut_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("inicializacao");
        QTest::addColumn<bool>("pergunta");
        QTest::newRow("1 na inicialização") << "1" << true << false;
        QTest::newRow("2 com texto") << " 2x" << true << false;
        QTest::newRow("0") << "0" << true << true;
        QTest::newRow("texto") << "sim" << true << true;
        QTest::newRow("1 fora da inicialização") << "1" << false << true;
    }

    // Switched off at start: nothing is written and nothing is asked.
    void optOut()
    {
        QFETCH(QString, valor);
        QFETCH(bool, inicializacao);
        QFETCH(bool, pergunta);
        ambiente_->EscreverArquivo(
            QStringLiteral("programa/Config.ini"),
            (QStringLiteral("[Configurações operacionais]\r\nNão procurar por atualizações na inicialização=") + valor)
                .toUtf8());
        CriarUpdater(Data(-5), true, QStringLiteral("1005"));
        QFile antes(arquivoUpdater_);
        QVERIFY(antes.open(QIODevice::ReadOnly));
        const QByteArray conteudo = antes.readAll();

        QVERIFY(!qeltrano::VerificarAtualizacoes(QStringLiteral("002"), inicializacao));
        QCOMPARE(Pedidos(), pergunta ? 1 : 0);
        QFile depois(arquivoUpdater_);
        QVERIFY(depois.open(QIODevice::ReadOnly));
        QCOMPARE(depois.readAll() == conteudo, !pergunta);
    }

    void arquivoUpdater_data()
    {
        QTest::addColumn<QString>("verificado");
        QTest::addColumn<bool>("comInstalador");
        QTest::addColumn<QString>("versao");
        QTest::addColumn<bool>("oferta");
        QTest::addColumn<int>("pedidos");
        QTest::newRow("hoje") << Data(0) << true << "1006" << true << 0;
        QTest::newRow("ontem") << Data(-1) << true << "1006" << true << 0;
        QTest::newRow("no futuro") << Data(3) << true << "1006" << true << 0;
        QTest::newRow("hoje, mesma versao") << Data(0) << true << "1005" << false << 0;
        QTest::newRow("dois dias") << Data(-2) << true << "1006" << false << 1;
        QTest::newRow("data invalida") << "2026-13-01" << true << "1006" << false << 1;
        QTest::newRow("outra forma de data") << QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")) << true
                                             << "1006" << false << 1;
        QTest::newRow("sem instalador") << Data(0) << false << "1006" << false << 1;
    }

    // A fresh updater decides alone; stale, invalid or without an installer
    // the site is asked (and answers no newer version here).
    void arquivoUpdater()
    {
        QFETCH(QString, verificado);
        QFETCH(bool, comInstalador);
        QFETCH(QString, versao);
        QFETCH(bool, oferta);
        QFETCH(int, pedidos);
        CriarUpdater(verificado, comInstalador, versao);

        QCOMPARE(qeltrano::VerificarAtualizacoes(QStringLiteral("002"), true), oferta);
        QCOMPARE(Pedidos(), pedidos);
        if (oferta) {
            QCOMPARE(qeltrano::VersaoDisponivel, versao);
            QCOMPARE(qeltrano::DataVersaoDisponivel, QStringLiteral("09/12/2026"));
            QCOMPARE(qeltrano::ArquivoAtualizacaoLocal, instalador_);
            QCOMPARE(qeltrano::UrlAtualizacao, QStringLiteral("anterior"));
        } else {
            QCOMPARE(qeltrano::VersaoDisponivel, QStringLiteral("anterior"));
        }
    }

    // An installer the group may change (the updater's folder comes from a
    // machine-wide key) is passed over with a warning, and the site's offer
    // names the installer to download.
    void instaladorDoUpdaterInseguro()
    {
        CriarUpdater(Data(0), true, QStringLiteral("1006"));
        QVERIFY(QFile::setPermissions(instalador_, QFile::permissions(instalador_) | QFile::WriteGroup));
        resposta_ = QStringLiteral("1007|05/01/2027|https://www.tellumar.example/Qeltrano_setup");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("ignorado.*grupo")));

        QVERIFY(qeltrano::VerificarAtualizacoes(QStringLiteral("002"), true));
        QCOMPARE(Pedidos(), 1);
        QCOMPARE(qeltrano::VersaoDisponivel, QStringLiteral("1007"));
        QCOMPARE(qeltrano::UrlAtualizacao, QStringLiteral("https://www.tellumar.example/Qeltrano_setup"));
        QCOMPARE(qeltrano::ArquivoAtualizacaoLocal, QStringLiteral("anterior"));
    }

    // The identification keys go into the updater's file in their order,
    // with the affiliate's leading number and a first-run date that a
    // malformed stored one gives way to.
    void chavesDoUpdater()
    {
        CriarUpdater(Data(-9), true, QStringLiteral("1005"));
        QVERIFY(Registro::GravarTexto(Hive::LocalMachine, kChaveAfiliado, QString(), QStringLiteral("12abc")));
        QVERIFY(Registro::GravarTexto(Hive::LocalMachine, kChaveDesinstalacao, QStringLiteral("InstallDate"),
                                      QStringLiteral("20261101")));
        plataforma::SaveSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"), QStringLiteral("InstallDate"),
                                QStringLiteral("2026110"));

        QVERIFY(!qeltrano::VerificarAtualizacoes(QStringLiteral("002"), true));
        const QStringList chaves = ChavesDaSecao(arquivoUpdater_, QStringLiteral("002"));
        QCOMPARE(chaves.mid(3), (QStringList{
                                    QStringLiteral("AppId=002"),
                                    QStringLiteral("AppVersion=1.0.05"),
                                    QStringLiteral("AppaffID=12"),
                                    QStringLiteral("AppDateInstall=") + Hoje8(),
                                    QStringLiteral("AppDateUpdate=20261101"),
                                }));
        QCOMPARE(plataforma::GetSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"), QStringLiteral("InstallDate")),
                 Hoje8());
        // Once fixed, the first-run date stays.
        plataforma::SaveSetting(qeltrano::NomeProduto(), QStringLiteral("Principal"), QStringLiteral("InstallDate"),
                                QStringLiteral("20200101"));
        QCOMPARE(qeltrano::ObterDataInstalacao(), QStringLiteral("20200101"));
    }

    void afiliado_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<long>("numero");
        QTest::newRow("ausente") << QString() << 0L;
        QTest::newRow("12abc") << "12abc" << 12L;
        QTest::newRow("meio par") << "2.5" << 2L;
        QTest::newRow("meio impar") << "3.5" << 4L;
        QTest::newRow("texto") << "abc" << 0L;
    }

    void afiliado()
    {
        QFETCH(QString, valor);
        QFETCH(long, numero);
        if (!valor.isNull())
            QVERIFY(Registro::GravarTexto(Hive::LocalMachine, kChaveAfiliado, QString(), valor));
        QCOMPARE(qeltrano::ObterAfiliado(), numero);
    }

    void resposta_data()
    {
        QTest::addColumn<QString>("corpo");
        QTest::addColumn<bool>("oferta");
        QTest::addColumn<QString>("versao");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("url");
        QTest::newRow("mesma versao") << "1005|10/12/2026|https://www.tellumar.example/a" << false << "anterior"
                                      << "anterior" << "anterior";
        QTest::newRow("mais nova") << "1006|10/12/2026|https://www.tellumar.example/a" << true << "1006"
                                   << "10/12/2026" << "https://www.tellumar.example/a";
        QTest::newRow("sem barra") << "1006" << true << "1006" << "anterior" << "anterior";
        QTest::newRow("vazia") << "" << false << "anterior" << "anterior" << "anterior";
        QTest::newRow("sem numero") << "versao|10/12/2026|https://x.example/a" << false << "anterior" << "anterior"
                                    << "anterior";
        QTest::newRow("instalador sem TLS") << "1006|10/12/2026|http://www.tellumar.example/a" << false << "anterior"
                                            << "anterior" << "anterior";
    }

    void resposta()
    {
        QFETCH(QString, corpo);
        QFETCH(bool, oferta);
        QFETCH(QString, versao);
        QFETCH(QString, data);
        QFETCH(QString, url);
        resposta_ = corpo;
        if (corpo.contains(QLatin1String("|http://")))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("não vem de um endereço HTTPS")));
        QCOMPARE(qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false), oferta);
        QCOMPARE(qeltrano::VersaoDisponivel, versao);
        QCOMPARE(qeltrano::DataVersaoDisponivel, data);
        QCOMPARE(qeltrano::UrlAtualizacao, url);
        QCOMPARE(qeltrano::ArquivoAtualizacaoLocal, QStringLiteral("anterior"));
        // Any answer to the first attempt ends the attempts.
        QCOMPARE(servidor_->PedidosCom("POST", kCaminho), 1);
        QCOMPARE(servidor_->PedidosCom("GET", kCaminho), 0);
    }

    // The first attempt posts the parameters in order; when it gets no answer
    // the second sends them in the query of a GET. Values are encoded.
    void parametros()
    {
        QVERIFY(Registro::GravarTexto(Hive::LocalMachine, kChaveDesinstalacao, QStringLiteral("InstallDate"),
                                      QStringLiteral("10/12/2026 & x")));
        servidor_->Definir(kCaminho, [&](const apoio::PedidoHttp& p) {
            RespostaHttpTeste r;
            if (p.metodo == "POST") {
                r.modo = RespostaHttpTeste::Modo::Fechar;
                return r;
            }
            r.corpo = "1006|10/12/2026|https://www.tellumar.example/a";
            return r;
        });

        QVERIFY(qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false));
        const QList<apoio::PedidoHttp> pedidos = servidor_->Pedidos();
        QVERIFY(pedidos.size() >= 2);
        const apoio::PedidoHttp& post = pedidos.first();
        const apoio::PedidoHttp& get = pedidos.last();
        QCOMPARE(post.metodo, QByteArray("POST"));
        QCOMPARE(get.metodo, QByteArray("GET"));

        const QString inicio = QStringLiteral("AppId=002&Version=1.0.05&affID=0&DateInstall=") + Hoje8() +
                               QStringLiteral("&DateUpdate=10%2F12%2F2026%20%26%20x&Rnd=");
        const QString corpoPost = QString::fromLatin1(post.corpo);
        QVERIFY2(corpoPost.startsWith(inicio), qPrintable(corpoPost));
        QVERIFY(corpoPost.endsWith(QLatin1String("&Verifier=True")));
        const QString consulta = QString::fromLatin1(get.alvo);
        QVERIFY2(consulta.startsWith(kCaminho + u'?' + inicio), qPrintable(consulta));
        QVERIFY(consulta.endsWith(QLatin1String("&Verifier=True")));
        QVERIFY(!consulta.contains(QLatin1String("&&")));
        QVERIFY(!get.Consulta().queryItemValue(QStringLiteral("Rnd")).isEmpty());
    }

    // Without a connection the second attempt is not made.
    void semConexao()
    {
        RespostaHttpTeste fechar;
        fechar.modo = RespostaHttpTeste::Modo::Fechar;
        servidor_->Definir(kCaminho, fechar);
        orvessa::Utilitarios::Instancia().DefinirVerificadorConexao([] { return false; });
        QVERIFY(!qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false));
        QVERIFY(servidor_->PedidosCom("POST", kCaminho) >= 1);
        QCOMPARE(servidor_->PedidosCom("GET", kCaminho), 0);
    }

    // Plain HTTP off loopback is refused, as the site's address and as the
    // target of its redirect: the other address hears nothing and its offer
    // is not taken.
    void httpForaDoLoopback_data()
    {
        QTest::addColumn<bool>("redirecionado");
        QTest::newRow("endereço do site") << false;
        QTest::newRow("redirecionamento do site") << true;
    }

    void httpForaDoLoopback()
    {
        QFETCH(bool, redirecionado);
        APOIO_EM_REDE_ISOLADA();
        apoio::ServidorHttpTeste externo(apoio::EnderecoExterno());
        QVERIFY(externo.Ouvindo());
        RespostaHttpTeste oferta;
        oferta.corpo = "1006|10/12/2026|https://www.tellumar.example/a";
        externo.Definir(kCaminho, oferta);
        if (redirecionado) {
            servidor_->Definir(kCaminho, RespostaHttpTeste::Redirecionar(externo.Endereco(kCaminho).toUtf8()));
            const QRegularExpression aviso(QStringLiteral("^Requisição a .*192.0.2.1.* recusada.*Somente HTTPS"));
            QTest::ignoreMessage(QtWarningMsg, aviso);
            QTest::ignoreMessage(QtWarningMsg, aviso);
        } else {
            qeltrano::Config().SiteFabricante = externo.Endereco();
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("não usa HTTPS")));
        }
        QVERIFY(!qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false));
        QCOMPARE(externo.ConexoesAceitas(), 0);
        QVERIFY(externo.Pedidos().isEmpty());
        QCOMPARE(qeltrano::VersaoDisponivel, QStringLiteral("anterior"));
        // Both attempts met the refusal.
        QCOMPARE(Pedidos(), redirecionado ? 2 : 0);
    }

    // A first attempt that gets its status line and then stalls past its
    // limit brought no answer: the second attempt is made and its offer
    // taken.
    void primeiraTentativaParada()
    {
        servidor_->Definir(kCaminho, [](const apoio::PedidoHttp& p) {
            RespostaHttpTeste r;
            if (p.metodo == "POST") {
                r.corpo = "10";
                r.tamanhoAnunciado = 40;
                r.modo = RespostaHttpTeste::Modo::PararAposCabecalho;
            } else {
                r.corpo = "1006|10/12/2026|https://www.tellumar.example/a";
            }
            return r;
        });
        QVERIFY(qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false));
        QCOMPARE(qeltrano::VersaoDisponivel, QStringLiteral("1006"));
        QCOMPARE(servidor_->PedidosCom("POST", kCaminho), 1);
        QCOMPARE(servidor_->PedidosCom("GET", kCaminho), 1);
    }

    // A 400 MB answer is no answer: each attempt stops at the cap with its
    // reason in a warning, long before the server could send it all.
    void respostaEnorme()
    {
        RespostaHttpTeste enorme;
        enorme.tamanhoAnunciado = -2;
        enorme.bloco = 64 * 1024;
        enorme.repetirBlocos = 400 * 16;
        servidor_->Definir(kCaminho, enorme);
        const QRegularExpression aviso(QStringLiteral("Requisição a .*checkversion.asp recusada: .*limite"));
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QVERIFY(!qeltrano::VerificarAtualizacoes(QStringLiteral("002"), false));
        QCOMPARE(Pedidos(), 2);
        QVERIFY2(servidor_->BytesEnviados() < 64LL * 1024 * 1024, qPrintable(QString::number(servidor_->BytesEnviados())));
        QCOMPARE(qeltrano::VersaoDisponivel, QStringLiteral("anterior"));
    }
};

QTEST_MAIN(TesteAtualizacoes)
#include "tst_atualizacoes.moc"
