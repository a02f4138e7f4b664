// Base64 of the authorisation header and the payer-data store over the
// registry: keys per service token and institution, the card fields kept
// only enciphered under a per-user key, the security code never kept.
#include "Apoio.h"

#include "checkout/Configuracao.h"
#include "checkout/Instrucao.h"
#include "checkout/modGlobal.h"
#include "checkout/modRegistry.h"
#include "platform/Registro.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <memory>

using plataforma::Hive;
using plataforma::Registro;

namespace {

const QString TokenA = QStringLiteral("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
const QString TokenB = QStringLiteral("BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB");

// Every byte the user's hive files hold.
QByteArray ConteudoRegistro(const QString& pasta)
{
    QByteArray tudo;
    QDirIterator it(pasta, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            tudo += f.readAll();
    }
    return tudo;
}

QString ChaveCartao(const QString& token, int instituicao)
{
    return QStringLiteral("SOFTWARE\\Vendalo\\Cartão\\{%1}\\%2").arg(token).arg(instituicao);
}

}  // namespace

class TesteCadastro : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        vendalo::ConfigCheckout().PastaChave = ambiente_->Caminho(QStringLiteral("config/Vendalo"));
        vendalo::ParametrosCheckout& p = vendalo::Parametros();
        p.MOIP_Token = TokenA;
        p.InstituicaoSelecionada = 4;
    }

    void cleanup()
    {
        vendalo::GravarDadosPendentes();
        ambiente_.reset();
    }

    void base64_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        // RFC 4648, section 10.
        QTest::newRow("vazio") << QString() << QString();
        QTest::newRow("f") << "f" << "Zg==";
        QTest::newRow("fo") << "fo" << "Zm8=";
        QTest::newRow("foo") << "foo" << "Zm9v";
        QTest::newRow("foob") << "foob" << "Zm9vYg==";
        QTest::newRow("fooba") << "fooba" << "Zm9vYmE=";
        QTest::newRow("foobar") << "foobar" << "Zm9vYmFy";
        // Windows-1252 bytes E7 E3 6F, not UTF-8.
        QTest::newRow("ção") << QStringLiteral("ção") << "5+Nv";
        QTest::newRow("euro 0x80") << QStringLiteral("€") << "gA==";
        // Outside the code page: its replacement byte "?".
        QTest::newRow("fora do código") << QStringLiteral("a中b") << "YT9i";
        QTest::newRow("fora do BMP") << QStringLiteral("a\U0001F600b") << "YT9i";
    }

    void base64()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        QCOMPARE(vendalo::CodificarBase64(texto), esperado);
    }

    void cabecalhoBasic()
    {
        QCOMPARE(vendalo::CabecalhoAutorizacao(QStringLiteral("Aladdin"), QStringLiteral("open sesame")),
                 QByteArray("Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ=="));
    }

    // The exact keys and value names, and each token and institution apart.
    void chavesSeparadas()
    {
        vendalo::ParametrosCheckout& p = vendalo::Parametros();
        vendalo::GravarDadoSalvo(0, QStringLiteral("Ana"));
        vendalo::GravarDadoSalvo(10, QStringLiteral("ANA VISA"));
        p.InstituicaoSelecionada = 3;
        vendalo::GravarDadoSalvo(10, QStringLiteral("ANA MASTER"));
        p.MOIP_Token = TokenB;
        QCOMPARE(vendalo::LerDadoSalvo(0), QString());
        QCOMPARE(vendalo::LerDadoSalvo(10), QString());
        vendalo::GravarDadoSalvo(0, QStringLiteral("Bruno"));

        p.MOIP_Token = TokenA;
        QCOMPARE(vendalo::LerDadoSalvo(0), QStringLiteral("Ana"));
        // Within a moment the writes land in the registry by themselves.
        QTRY_COMPARE(Registro::LerTexto(Hive::CurrentUser, QStringLiteral("SOFTWARE\\Vendalo\\Principal\\{%1}").arg(TokenB),
                                        QStringLiteral("Responsável pelo pagamento")),
                     std::optional<QString>(QStringLiteral("Bruno")));
        QCOMPARE(vendalo::LerDadoSalvo(10), QStringLiteral("ANA MASTER"));
        p.InstituicaoSelecionada = 4;
        QCOMPARE(vendalo::LerDadoSalvo(10), QStringLiteral("ANA VISA"));

        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, QStringLiteral("SOFTWARE\\Vendalo\\Principal\\{%1}").arg(TokenA),
                                    QStringLiteral("Responsável pelo pagamento")),
                 QStringLiteral("Ana"));
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, QStringLiteral("SOFTWARE\\Vendalo\\Principal\\{%1}").arg(TokenB),
                                    QStringLiteral("Responsável pelo pagamento")),
                 QStringLiteral("Bruno"));
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, ChaveCartao(TokenA, 3), QStringLiteral("Nome impresso")),
                 QStringLiteral("ANA MASTER"));
        // Out of the table: nothing read, nothing written.
        const QByteArray antes = ConteudoRegistro(ambiente_->Caminho(QStringLiteral("hkcu")));
        vendalo::GravarDadoSalvo(17, QStringLiteral("x"));
        vendalo::GravarDadoSalvo(-1, QStringLiteral("x"));
        vendalo::GravarDadosPendentes();
        QCOMPARE(vendalo::LerDadoSalvo(17), QString());
        QCOMPARE(ConteudoRegistro(ambiente_->Caminho(QStringLiteral("hkcu"))), antes);
    }

    // Card number, CPF and expiry read back equal while the hive holds
    // only their enciphered form, under a key file only the user can read.
    void camposCifrados()
    {
        const QString numero = QStringLiteral("4111111111111111");
        const QString cpf = QStringLiteral("52998224725");
        const QString validade = QStringLiteral("12/2031");
        vendalo::GravarDadoSalvo(14, numero);
        vendalo::GravarDadoSalvo(12, cpf);
        vendalo::GravarDadoSalvo(16, validade);
        QCOMPARE(vendalo::LerDadoSalvo(14), numero);
        QCOMPARE(vendalo::LerDadoSalvo(12), cpf);
        QCOMPARE(vendalo::LerDadoSalvo(16), validade);

        vendalo::GravarDadosPendentes();
        const QByteArray registro = ConteudoRegistro(ambiente_->Caminho(QStringLiteral("hkcu")));
        QVERIFY(!registro.contains(numero.toLatin1()));
        QVERIFY(!registro.contains(cpf.toLatin1()));
        // The whole expiry, not its digits alone: hex ciphertext may hold
        // "2031" by chance, never a "/".
        QVERIFY(!registro.contains(validade.toLatin1()));
        const QString guardado =
            Registro::LerTexto(Hive::CurrentUser, ChaveCartao(TokenA, 4), QStringLiteral("Número")).value_or(QString());
        QVERIFY(!guardado.isEmpty());
        QVERIFY(guardado != numero);

        const QString arquivoChave = ambiente_->Caminho(QStringLiteral("config/Vendalo/chave-cartoes"));
        QVERIFY(QFile::exists(arquivoChave));
        QCOMPARE(QFile::permissions(arquivoChave) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner);

        // Another user's key (or a lost one) reads the stored value as "".
        vendalo::ConfigCheckout().PastaChave = ambiente_->Caminho(QStringLiteral("outro-usuario"));
        QCOMPARE(vendalo::LerDadoSalvo(14), QString());
        QCOMPARE(vendalo::LerDadoSalvo(10), QString());  // plain fields are not affected
        vendalo::ConfigCheckout().PastaChave = ambiente_->Caminho(QStringLiteral("config/Vendalo"));
        QCOMPARE(vendalo::LerDadoSalvo(14), numero);
    }

    // The security code reads "", is never written, and a value an older
    // version stored goes on the first write.
    void codigoSegurancaNuncaGuardado()
    {
        Registro::GravarTexto(Hive::CurrentUser, ChaveCartao(TokenA, 4), QStringLiteral("Código de segurança"),
                              QStringLiteral("ANTIGO"));
        QCOMPARE(vendalo::LerDadoSalvo(15), QString());
        vendalo::GravarDadoSalvo(15, QStringLiteral("737"));
        vendalo::GravarDadosPendentes();
        QVERIFY(!Registro::LerValor(Hive::CurrentUser, ChaveCartao(TokenA, 4), QStringLiteral("Código de segurança")));
        const QByteArray registro = ConteudoRegistro(ambiente_->Caminho(QStringLiteral("hkcu")));
        QVERIFY(!registro.contains("737"));
        QVERIFY(!registro.contains("ANTIGO"));
        QCOMPARE(vendalo::LerDadoSalvo(15), QString());
    }

    // REG_SZ and REG_DWORD as the registry procedures read and write them.
    void valoresRegistro_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<quint32>("dword");
        QTest::newRow("número") << "42" << 42u;
        QTest::newRow("início numérico") << " 17 casas" << 17u;
        QTest::newRow("hexadecimal") << "&H1F" << 31u;
        QTest::newRow("metade para par") << "2.5" << 2u;
        QTest::newRow("negativo") << "-1" << 0xFFFFFFFFu;
        QTest::newRow("texto") << "abc" << 0u;
    }

    void valoresRegistro()
    {
        QFETCH(QString, texto);
        QFETCH(quint32, dword);
        const QString chave = QStringLiteral("SOFTWARE\\Vendalo\\Teste");
        Registro::GravarDword(Hive::CurrentUser, chave, QStringLiteral("Contador"), 255);
        QCOMPARE(vendalo::LerValorRegistro(Hive::CurrentUser, chave, QStringLiteral("Contador")), QStringLiteral("FF"));
        vendalo::GravarValorRegistro(Hive::CurrentUser, chave, QStringLiteral("Contador"), texto);
        QCOMPARE(Registro::LerDword(Hive::CurrentUser, chave, QStringLiteral("Contador")), std::optional<quint32>(dword));
        // A new value is a string, whatever it looks like.
        vendalo::GravarValorRegistro(Hive::CurrentUser, chave + QStringLiteral("\\Nova"), QStringLiteral("Valor"), texto);
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, chave + QStringLiteral("\\Nova"), QStringLiteral("Valor")),
                 std::optional<QString>(texto));
        QCOMPARE(vendalo::LerValorRegistro(Hive::CurrentUser, QStringLiteral("SOFTWARE\\Ausente"), QStringLiteral("x")),
                 QString());
    }
};

QTEST_MAIN(TesteCadastro)
#include "tst_cadastro.moc"
