// The registry and the settings store over it, against hive files in a
// temporary folder; a second process is the auxiliary program.
#include "platform/Configuracoes.h"
#include "platform/Registro.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <memory>
#include <sys/stat.h>

using plataforma::Hive;
using plataforma::Registro;

class TstRegistro : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> pasta_;
    QString raizUsuario_;
    QString raizMaquina_;

    QString ArquivoUsuario() const { return raizUsuario_ + QStringLiteral("/HKEY_CURRENT_USER.json"); }

    // What a fresh start of the program sees: nothing cached, all from disk.
    void Reiniciar() { Registro::DefinirRaizes(raizUsuario_, raizMaquina_); }

    static QByteArray Conteudo(const QString& caminho)
    {
        QFile f(caminho);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void Escrever(const QString& caminho, const QByteArray& dados)
    {
        QFile f(caminho);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(dados), dados.size());
    }

    int Auxiliar(const QStringList& argumentos, QByteArray* saida = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral(PLATAFORMA_AUXILIAR), argumentos);
        if (!p.waitForFinished(30000))
            return -1;
        if (saida)
            *saida = p.readAllStandardOutput();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        pasta_ = std::make_unique<QTemporaryDir>();
        QVERIFY(pasta_->isValid());
        raizUsuario_ = pasta_->filePath(QStringLiteral("hkcu"));
        raizMaquina_ = pasta_->filePath(QStringLiteral("hklm"));
        Reiniciar();
    }

    void idaEVolta_data()
    {
        QTest::addColumn<QString>("chaveGravada");
        QTest::addColumn<QString>("chaveLida");
        QTest::addColumn<QString>("nomeGravado");
        QTest::addColumn<QString>("nomeLido");
        QTest::addColumn<QVariant>("valor");

        QTest::newRow("texto") << "Software\\Qeltrano" << "Software\\Qeltrano" << "Pasta" << "Pasta"
                               << QVariant(QStringLiteral("/home/u/legendas"));
        QTest::newRow("chave sem caixa") << "Software\\MinhaEmpresa\\Opções" << "SOFTWARE\\minhaempresa\\OPÇÕES"
                                         << "Cor" << "Cor" << QVariant(QStringLiteral("azul"));
        QTest::newRow("nome sem caixa") << "Software\\X" << "Software\\X" << "ÚltimaVersão" << "últimaversão"
                                        << QVariant(QStringLiteral("1.0.05"));
        QTest::newRow("valor padrão") << "Software\\Classes\\Exemplo.Contador" << "software\\classes\\exemplo.contador"
                                      << "" << "" << QVariant(QStringLiteral("Contador"));
        QTest::newRow("barras sobrando") << "\\Software\\\\X\\" << "Software\\X" << "a" << "A"
                                         << QVariant(QStringLiteral("b"));
        QTest::newRow("texto vazio") << "Software\\X" << "Software\\X" << "Vazio" << "Vazio" << QVariant(QString(""));
        QTest::newRow("dword zero") << "Software\\X" << "Software\\X" << "Zero" << "Zero" << QVariant(0u);
        QTest::newRow("dword máximo") << "Software\\X" << "Software\\X" << "Max" << "MAX" << QVariant(4294967295u);
    }

    void idaEVolta()
    {
        QFETCH(QString, chaveGravada);
        QFETCH(QString, chaveLida);
        QFETCH(QString, nomeGravado);
        QFETCH(QString, nomeLido);
        QFETCH(QVariant, valor);

        const bool dword = valor.metaType() == QMetaType::fromType<uint>();
        QVERIFY(dword ? Registro::GravarDword(Hive::CurrentUser, chaveGravada, nomeGravado, valor.toUInt())
                      : Registro::GravarTexto(Hive::CurrentUser, chaveGravada, nomeGravado, valor.toString()));
        for (int vez = 0; vez < 2; ++vez) {
            const auto lido = Registro::LerValor(Hive::CurrentUser, chaveLida, nomeLido);
            QVERIFY(lido.has_value());
            QCOMPARE(lido->metaType(), valor.metaType());
            QCOMPARE(*lido, valor);
            // The typed readers give nothing for the other type.
            QCOMPARE(Registro::LerTexto(Hive::CurrentUser, chaveLida, nomeLido).has_value(), !dword);
            QCOMPARE(Registro::LerDword(Hive::CurrentUser, chaveLida, nomeLido).has_value(), dword);
            Reiniciar();
        }
        // The other hive is another file.
        QVERIFY(!Registro::LerValor(Hive::LocalMachine, chaveLida, nomeLido).has_value());
    }

    void grafiaDaPrimeiraEscrita()
    {
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\MinhaEmpresa\\Opcões", "ÚltimoArquivo", "a"));
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "SOFTWARE\\minhaempresa\\OPCÕES", "últimoarquivo", "b"));
        QVERIFY(Registro::CriarChave(Hive::CurrentUser, "software\\beta"));
        QVERIFY(Registro::CriarChave(Hive::CurrentUser, "software\\Alfa"));
        Reiniciar();
        QCOMPARE(Registro::SubChaves(Hive::CurrentUser, "SOFTWARE"),
                 QStringList({"Alfa", "beta", "MinhaEmpresa"}));  // listed without regard to case
        QCOMPARE(Registro::SubChaves(Hive::CurrentUser, "software\\minhaempresa"), QStringList({"Opcões"}));
        QCOMPARE(Registro::NomesValores(Hive::CurrentUser, "software\\minhaempresa\\opcões"),
                 QStringList({"ÚltimoArquivo"}));
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\MinhaEmpresa\\Opcões", "ÚltimoArquivo"),
                 std::optional<QString>("b"));
    }

    void excluir()
    {
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\A\\B\\C", "v", "1"));
        QVERIFY(Registro::GravarDword(Hive::CurrentUser, "Software\\A\\B", "", 7));
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\A", "fica", "sim"));
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\Outra", "fica", "sim"));

        QCOMPARE(Registro::NomesValores(Hive::CurrentUser, "Software\\A\\B"), QStringList({""}));
        QVERIFY(Registro::ExcluirValor(Hive::CurrentUser, "software\\a\\b", ""));
        QVERIFY(!Registro::LerValor(Hive::CurrentUser, "Software\\A\\B", "").has_value());
        QVERIFY(!Registro::ExcluirValor(Hive::CurrentUser, "Software\\A\\B", ""));
        QVERIFY(!Registro::ExcluirValor(Hive::CurrentUser, "Software\\Nada", "v"));

        QVERIFY(Registro::ExcluirChave(Hive::CurrentUser, "SOFTWARE\\a\\B"));  // with its subkeys
        Reiniciar();
        QVERIFY(!Registro::ExisteChave(Hive::CurrentUser, "Software\\A\\B"));
        QVERIFY(!Registro::ExisteChave(Hive::CurrentUser, "Software\\A\\B\\C"));
        QVERIFY(!Registro::LerValor(Hive::CurrentUser, "Software\\A\\B\\C", "v").has_value());
        QVERIFY(Registro::ExisteChave(Hive::CurrentUser, "Software\\A"));
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\A", "fica"), std::optional<QString>("sim"));
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\Outra", "fica"), std::optional<QString>("sim"));

        QVERIFY(!Registro::ExcluirChave(Hive::CurrentUser, "Software\\A\\B"));
        QVERIFY(!Registro::ExcluirChave(Hive::CurrentUser, ""));  // never the hive itself
        QVERIFY(Registro::ExisteChave(Hive::CurrentUser, "Software"));
    }

    void lote()
    {
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\Velha", "x", "1"));
        plataforma::LoteRegistro lote;
        lote.GravarTexto("Software\\Nova", "", "padrão");
        lote.GravarDword("Software\\Nova\\Sub", "n", 42);
        lote.CriarChave("Software\\Vazia");
        lote.ExcluirChave("Software\\Velha");
        lote.ExcluirChave("Software\\NaoExiste");  // absent: no failure in a batch
        lote.ExcluirValor("Software\\Nova", "inexistente");
        QVERIFY(Registro::Aplicar(Hive::CurrentUser, lote));
        Reiniciar();
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\Nova", ""), std::optional<QString>("padrão"));
        QCOMPARE(Registro::LerDword(Hive::CurrentUser, "Software\\Nova\\Sub", "n"), std::optional<quint32>(42));
        QVERIFY(Registro::ExisteChave(Hive::CurrentUser, "Software\\Vazia"));
        QVERIFY(!Registro::ExisteChave(Hive::CurrentUser, "Software\\Velha"));
    }

    void separarCaminho_data()
    {
        QTest::addColumn<QString>("completo");
        QTest::addColumn<bool>("aceito");
        QTest::addColumn<int>("hive");
        QTest::addColumn<QString>("chave");

        const int cu = int(Hive::CurrentUser);
        const int lm = int(Hive::LocalMachine);
        QTest::newRow("nome longo") << "HKEY_CURRENT_USER\\Software\\X" << true << cu << "Software\\X";
        QTest::newRow("abreviado") << "HKCU\\Software" << true << cu << "Software";
        QTest::newRow("máquina sem caixa") << "hkey_local_machine\\SOFTWARE\\Y\\" << true << lm << "SOFTWARE\\Y";
        QTest::newRow("máquina abreviada") << "HKLM\\A\\\\B" << true << lm << "A\\B";
        QTest::newRow("só a hive") << "HKEY_LOCAL_MACHINE" << true << lm << "";
        QTest::newRow("outra hive") << "HKEY_CLASSES_ROOT\\CLSID" << false << cu << "";
        QTest::newRow("nome parecido") << "HKCUX\\Software" << false << cu << "";
        QTest::newRow("vazio") << "" << false << cu << "";
    }

    void separarCaminho()
    {
        QFETCH(QString, completo);
        QFETCH(bool, aceito);
        QFETCH(int, hive);
        QFETCH(QString, chave);

        Hive h = Hive::CurrentUser;
        QString c;
        QCOMPARE(Registro::SepararCaminho(completo, h, c), aceito);
        if (aceito) {
            QCOMPARE(int(h), hive);
            QCOMPARE(c, chave);
        }
    }

    // The program and another process (the registration tool) share a hive.
    void doisProcessosVeemUmAoOutro()
    {
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\Comum", "deste", "olá"));
        QByteArray saida;
        QCOMPARE(Auxiliar({"ler", raizUsuario_, "SOFTWARE\\COMUM", "DESTE"}, &saida), 0);
        QCOMPARE(QString::fromUtf8(saida).trimmed(), QStringLiteral("olá"));

        // This process has the hive cached; the other's write must show anyway.
        QVERIFY(!Registro::LerDword(Hive::CurrentUser, "Software\\Comum", "outro0").has_value());
        QCOMPARE(Auxiliar({"gravar", raizUsuario_, "Software\\Comum", "outro", "3"}), 0);
        QCOMPARE(Registro::LerDword(Hive::CurrentUser, "Software\\Comum", "outro2"), std::optional<quint32>(2));
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\Comum", "deste"), std::optional<QString>("olá"));
    }

    // Writers in three processes at once: the lock and the re-read before each
    // write keep every value.
    void escritoresSimultaneosNaoPerdemNada()
    {
        const int quantos = 40;
        QProcess a;
        QProcess b;
        a.start(QStringLiteral(PLATAFORMA_AUXILIAR), {"gravar", raizUsuario_, "Software\\Disputa", "a", QString::number(quantos)});
        b.start(QStringLiteral(PLATAFORMA_AUXILIAR), {"gravar", raizUsuario_, "Software\\Disputa", "b", QString::number(quantos)});
        for (int i = 0; i < quantos; ++i)
            QVERIFY(Registro::GravarDword(Hive::CurrentUser, "Software\\Disputa", QStringLiteral("c%1").arg(i), quint32(i)));
        QVERIFY(a.waitForFinished(60000));
        QVERIFY(b.waitForFinished(60000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        Reiniciar();
        QCOMPARE(int(Registro::NomesValores(Hive::CurrentUser, "Software\\Disputa").size()), 3 * quantos);
        for (const char* prefixo : {"a", "b", "c"})
            QCOMPARE(Registro::LerDword(Hive::CurrentUser, "Software\\Disputa", QStringLiteral("%1%2").arg(prefixo).arg(quantos - 1)),
                     std::optional<quint32>(quint32(quantos - 1)));
    }

    void arquivoDanificado_data()
    {
        QTest::addColumn<QByteArray>("conteudo");
        QTest::newRow("não é JSON") << QByteArray("{\"chaves\": {\"Software\": ");
        QTest::newRow("binário") << QByteArray("\x00\xff\xfe garbage", 12);
        QTest::newRow("JSON de outra forma") << QByteArray("{\"chaves\": 5}");
        QTest::newRow("tipo desconhecido")
            << QByteArray(R"({"valores": {"x": {"tipo": "REG_BINARY", "dado": "00"}}})");
        QTest::newRow("dword negativo") << QByteArray(R"({"valores": {"x": {"tipo": "REG_DWORD", "dado": -1}}})");
    }

    void arquivoDanificado()
    {
        QFETCH(QByteArray, conteudo);
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\Qeltrano", "valor", "antigo"));
        Escrever(ArquivoUsuario(), conteudo);

        // Read as empty, and reading leaves the file as it is.
        QVERIFY(!Registro::LerTexto(Hive::CurrentUser, "Software\\Qeltrano", "valor").has_value());
        QVERIFY(Registro::SubChaves(Hive::CurrentUser, "").isEmpty());
        Reiniciar();
        QVERIFY(!Registro::ExisteChave(Hive::CurrentUser, "Software"));
        QCOMPARE(Conteudo(ArquivoUsuario()), conteudo);

        // A write keeps the damaged file aside and then stores the new hive.
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\Qeltrano", "novo", "1"));
        const QStringList guardados =
            QDir(raizUsuario_).entryList({QStringLiteral("HKEY_CURRENT_USER.json.corrompido-*")}, QDir::Files);
        QCOMPARE(int(guardados.size()), 1);
        QCOMPARE(Conteudo(raizUsuario_ + QLatin1Char('/') + guardados.first()), conteudo);
        Reiniciar();
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\Qeltrano", "novo"), std::optional<QString>("1"));
    }

    void pastaInacessivelFalhaSemQuebrar()
    {
        // A folder that cannot be made: its parent is a plain file (root as
        // well as anyone else is refused that). The log names the folder.
        const QString arquivo = pasta_->filePath(QStringLiteral("arquivo"));
        Escrever(arquivo, "x");
        const QString impossivel = arquivo + QStringLiteral("/registro");
        Registro::DefinirRaizes(impossivel, impossivel);
        const QRegularExpression aviso(QStringLiteral("^Registro: não foi possível criar a pasta ") +
                                       QRegularExpression::escape(impossivel));
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QVERIFY(!Registro::GravarTexto(Hive::LocalMachine, "Software\\X", "v", "1"));
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QVERIFY(!Registro::CriarChave(Hive::LocalMachine, "Software\\X"));
        QVERIFY(!Registro::LerTexto(Hive::LocalMachine, "Software\\X", "v").has_value());

        // The settings say which file they could not reach.
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^SaveSetting: .*não foi gravado em ") +
                                                              QRegularExpression::escape(impossivel)));
        QVERIFY(!plataforma::SaveSetting("Qeltrano", "Principal", "E-mail", "a@b.com"));

        Reiniciar();
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\X", "v", "1"));
        QVERIFY(plataforma::SaveSetting("Qeltrano", "Principal", "E-mail", "a@b.com"));
    }

    // The user's hive holds personal data: its folder and file are the
    // user's alone, and ones an earlier version left open are tightened as
    // soon as they are read. The machine's hive stays readable by all.
    void hiveDoUsuarioEPrivado()
    {
        auto modo = [](const QString& caminho) {
            struct stat st {};
            return ::stat(QFile::encodeName(caminho).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
        };
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\Vendalo", "Nome", "Ana"));
        QCOMPARE(modo(raizUsuario_), 0700);
        QCOMPARE(modo(ArquivoUsuario()), 0600);

        QVERIFY(::chmod(QFile::encodeName(raizUsuario_).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(ArquivoUsuario()).constData(), 0644) == 0);
        Reiniciar();
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\Vendalo", "Nome"), std::optional<QString>("Ana"));
        QCOMPARE(modo(raizUsuario_), 0700);
        QCOMPARE(modo(ArquivoUsuario()), 0600);
        // A rewrite keeps it so.
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\Vendalo", "Nome", "Bia"));
        QCOMPARE(modo(ArquivoUsuario()), 0600);

        QVERIFY(Registro::GravarTexto(Hive::LocalMachine, "Software\\Classes\\X", "", "x"));
        QCOMPARE(modo(raizMaquina_ + QStringLiteral("/HKEY_LOCAL_MACHINE.json")) & 0044, 0044);
    }

    // A writer waiting for another process's lock file does not stop the
    // readers of this process: the in-process lock is not held meanwhile.
    void leitorNaoEsperaPeloBloqueioDeOutroProcesso()
    {
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, "Software\\X", "v", "antes"));
        QProcess outro;
        outro.start(QStringLiteral(PLATAFORMA_AUXILIAR), {"bloquear", raizUsuario_});
        QVERIFY(outro.waitForReadyRead(10000));
        QCOMPARE(outro.readLine().trimmed(), QByteArray("pronto"));

        auto escrita = std::async(std::launch::async, [] {
            return Registro::GravarTexto(Hive::CurrentUser, "Software\\X", "v", "depois");
        });
        // Give the writer time to reach its wait for the lock file.
        QTest::qWait(300);
        auto leitura = std::async(std::launch::async, [] {
            return Registro::LerTexto(Hive::CurrentUser, "Software\\X", "v");
        });
        const bool leu = leitura.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        const bool escritorEsperava = escrita.wait_for(std::chrono::seconds(0)) == std::future_status::timeout;

        outro.closeWriteChannel();
        QVERIFY(outro.waitForFinished(10000));
        QVERIFY2(leu, "the read waited for the other process's lock");
        QVERIFY(escritorEsperava);
        QVERIFY(escrita.get());
        QCOMPARE(leitura.get(), std::optional<QString>("antes"));
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, "Software\\X", "v"), std::optional<QString>("depois"));
    }

    void raizesPadrao()
    {
        Registro::DefinirRaizes(QString(), QString());
        QCOMPARE(Registro::RaizUsuario(),
                 QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                     QStringLiteral("/plataforma/registro"));
        QCOMPARE(Registro::RaizMaquina(), QStringLiteral("/etc/plataforma/registro"));
        Reiniciar();
        QCOMPARE(Registro::RaizUsuario(), raizUsuario_);
    }

    void configuracoesSobrevivemAoReinicio()
    {
        using namespace plataforma;
        SaveSetting("Qeltrano", "Opcões", "Usar tradução off-line quando disponível", "1");
        SaveSetting("Qeltrano", "Principal", "Último arquivo aberto", "/home/usuário/legendas/episódio 1.srt");
        SaveSetting("Qeltrano", "Principal", "E-mail", "a@b.com");
        Reiniciar();

        QCOMPARE(GetSetting("Qeltrano", "Opcões", "Usar tradução off-line quando disponível", "0"), QStringLiteral("1"));
        QCOMPARE(GetSetting("Qeltrano", "Principal", "Último arquivo aberto"),
                 QStringLiteral("/home/usuário/legendas/episódio 1.srt"));
        QCOMPARE(GetSetting("Qeltrano", "Principal", "Nunca gravado", "padrão"), QStringLiteral("padrão"));
        // Where the runtime keeps them, with the names exactly as given.
        QCOMPARE(Registro::SubChaves(Hive::CurrentUser, "Software\\VB and VBA Program Settings\\Qeltrano"),
                 QStringList({"Opcões", "Principal"}));
        QVERIFY(Registro::NomesValores(Hive::CurrentUser, "Software\\VB and VBA Program Settings\\Qeltrano\\Principal")
                    .contains(QStringLiteral("Último arquivo aberto")));

        DeleteSetting("Qeltrano", "Principal", "E-mail");
        QCOMPARE(GetSetting("Qeltrano", "Principal", "E-mail", "nenhum"), QStringLiteral("nenhum"));
        QVERIFY(!GetSetting("Qeltrano", "Principal", "Último arquivo aberto").isEmpty());
        DeleteSetting("Qeltrano", "Principal");
        Reiniciar();
        QCOMPARE(GetSetting("Qeltrano", "Principal", "Último arquivo aberto", "x"), QStringLiteral("x"));
        QCOMPARE(GetSetting("Qeltrano", "Opcões", "Usar tradução off-line quando disponível"), QStringLiteral("1"));

        // No application name: nothing is written and nothing else is removed.
        SaveSetting("", "Principal", "k", "v");
        DeleteSetting("", "");
        QCOMPARE(Registro::SubChaves(Hive::CurrentUser, "Software\\VB and VBA Program Settings"),
                 QStringList({"Qeltrano"}));
    }
};

QTEST_GUILESS_MAIN(TstRegistro)
#include "tst_registro.moc"
