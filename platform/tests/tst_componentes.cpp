// The component registry and loader, late binding, the regsvr tool and the
// property bag, with the example component library on disk.
#include "platform/Componentes.h"
#include "platform/ErroExecucao.h"
#include "platform/Registro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <dlfcn.h>
#include <functional>
#include <memory>

using plataforma::Componentes;
using plataforma::ErroExecucao;
using plataforma::Hive;
using plataforma::Registro;

namespace {

const QString kClsid = QStringLiteral("6F1C2A7E-3B94-4D0A-9E51-C2B8D4A0F317");
const QString kLibid = QStringLiteral("A2E47C19-5D3B-4F86-8B0E-6C1D9F2A7B54");
const QString kClasses = QStringLiteral("Software\\Classes");
constexpr std::int32_t kValor = 0x68030000;
constexpr std::int32_t kDescricao = 0x68030001;
constexpr std::int32_t kSomar = 0x60030001;
constexpr std::int32_t kMudou = 1;

// The error number a call throws; 0 when it throws nothing.
long ErroDe(const std::function<void()>& chamada, QString* descricao = nullptr)
{
    try {
        chamada();
    } catch (const ErroExecucao& e) {
        if (descricao)
            *descricao = e.Descricao();
        return e.Numero();
    }
    return 0;
}

QString EntreApostrofos(const QString& texto)
{
    const int a = texto.indexOf(QLatin1Char('\''));
    const int b = texto.indexOf(QLatin1Char('\''), a + 1);
    return a < 0 || b < 0 ? QString() : texto.mid(a + 1, b - a - 1);
}

class Receptor : public QObject {
    Q_OBJECT
public:
    QList<int> recebidos;
public slots:
    void AoMudar(int valor) { recebidos.append(valor); }
};

// An object without type information: reached by name through Qt alone.
class Conversor : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Taxa READ Taxa WRITE DefinirTaxa)
    Q_PROPERTY(qlonglong Tamanho MEMBER tamanho_)

public:
    double Taxa() const { return taxa_; }
    void DefinirTaxa(double t) { taxa_ = t; }

    Q_INVOKABLE QString Juntar(const QString& texto, int vezes, bool maiusculas, double fator)
    {
        const QString r = texto.repeated(vezes) + QLatin1Char(':') + QString::number(fator);
        return maiusculas ? r.toUpper() : r;
    }
    Q_INVOKABLE qlonglong Dobro(qlonglong n) { return 2 * n; }
    Q_INVOKABLE bool Par(int n) { return n % 2 == 0; }
    Q_INVOKABLE double Metade(double d) { return d / 2; }
    Q_INVOKABLE QVariant Eco(const QVariant& v) { return v; }
    Q_INVOKABLE void Zerar() { tamanho_ = 0; }
    Q_INVOKABLE int Soma(int a, int b) { return a + b; }

public slots:
    int Tres() { return 3; }

private:
    double taxa_ = 1.5;
    qlonglong tamanho_ = 10;
};

}  // namespace

class TstComponentes : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> pasta_;
    QString raizUsuario_;
    QString raizMaquina_;

    // The registration tool in its own process, against this test's registry.
    int Regsvr(const QStringList& argumentos, QString* saida = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(REGSVR), QStringList({"--raiz-registro", raizUsuario_, "--raiz-maquina", raizMaquina_}) +
                                            argumentos);
        if (!p.waitForFinished(30000))
            return -1;
        if (saida)
            *saida = QString::fromLocal8Bit(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // The example library copied into a folder of this test.
    QString CopiaDoExemplo(const QString& subpasta)
    {
        const QString destino = pasta_->filePath(subpasta);
        QDir().mkpath(destino);
        const QString arquivo = destino + QLatin1Char('/') + QFileInfo(QStringLiteral(COMP_EXEMPLO)).fileName();
        QFile::remove(arquivo);
        if (!QFile::copy(QStringLiteral(COMP_EXEMPLO), arquivo))
            return QString();
        return arquivo;
    }

    // A class entry written by hand, pointing at any file.
    void RegistrarAMao(const QString& progId, const QString& clsid, const QString& biblioteca)
    {
        const QString chave = kClasses + QStringLiteral("\\CLSID\\{") + clsid + QLatin1Char('}');
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, chave + QStringLiteral("\\InprocServer32"), "", biblioteca));
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, kClasses + QLatin1Char('\\') + progId + QStringLiteral("\\CLSID"),
                                      "", QLatin1Char('{') + clsid + QLatin1Char('}')));
    }

    QString Chave(const QString& resto) const { return kClasses + QLatin1Char('\\') + resto; }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        pasta_ = std::make_unique<QTemporaryDir>();
        QVERIFY(pasta_->isValid());
        raizUsuario_ = pasta_->filePath(QStringLiteral("hkcu"));
        raizMaquina_ = pasta_->filePath(QStringLiteral("hklm"));
        Registro::DefinirRaizes(raizUsuario_, raizMaquina_);
    }

    void textosDosErros_data()
    {
        QTest::addColumn<long>("numero");
        QTest::addColumn<QString>("descricao");
        QTest::addColumn<long>("esperadoNumero");
        QTest::addColumn<QString>("esperadoTexto");

        QTest::newRow("memória") << ErroExecucao::MemoriaInsuficiente().Numero()
                                 << ErroExecucao::MemoriaInsuficiente().Descricao() << 7L << "Out of memory";
        QTest::newRow("não criado") << ErroExecucao::ComponenteNaoCriado().Numero()
                                    << ErroExecucao::ComponenteNaoCriado().Descricao() << 429L
                                    << "ActiveX component can't create object";
        QTest::newRow("não registrado") << ErroExecucao::ComponenteNaoRegistrado("x.ocx").Numero()
                                        << ErroExecucao::ComponenteNaoRegistrado("x.ocx").Descricao() << 339L
                                        << "Component 'x.ocx' or one of its dependencies not correctly registered: "
                                           "a file is missing or invalid";
        QTest::newRow("sem membro") << ErroExecucao::ObjetoNaoSuportaPropriedade().Numero()
                                    << ErroExecucao::ObjetoNaoSuportaPropriedade().Descricao() << 438L
                                    << "Object doesn't support this property or method";
    }

    void textosDosErros()
    {
        QFETCH(long, numero);
        QFETCH(QString, descricao);
        QFETCH(long, esperadoNumero);
        QFETCH(QString, esperadoTexto);
        QCOMPARE(numero, esperadoNumero);
        QCOMPARE(descricao, esperadoTexto);
        const ErroExecucao e(numero, descricao + QStringLiteral(" ç"), 12);
        QCOMPARE(QString::fromUtf8(e.what()), descricao + QStringLiteral(" ç"));
        QCOMPARE(e.Linha(), 12L);
    }

    // The tool writes the keys a Windows in-process server keeps, this
    // process sees them, creates the object, and /u takes them away again.
    void regsvrRegistraEDesregistra()
    {
        // Loaded here first, so the hive is cached before the tool writes it.
        QVERIFY(!Registro::ExisteChave(Hive::CurrentUser, Chave("CLSID")));
        const QString biblioteca = QFileInfo(QStringLiteral(COMP_EXEMPLO)).absoluteFilePath();
        QString saida;
        QCOMPARE(Regsvr({QStringLiteral(COMP_EXEMPLO)}, &saida), 0);
        QCOMPARE(saida.trimmed(), QStringLiteral("Registro concluído: ") + biblioteca);

        const QString clsidChave = Chave(QStringLiteral("CLSID\\{") + kClsid + QLatin1Char('}'));
        const QString typeLib = Chave(QStringLiteral("TypeLib\\{") + kLibid + QStringLiteral("}\\1.0"));
        const struct {
            QString chave;
            QString esperado;
        } chaves[] = {
            {clsidChave, "Contador"},
            {clsidChave + "\\InprocServer32", biblioteca},
            {clsidChave + "\\ProgID", "Exemplo.Contador"},
            {clsidChave + "\\TypeLib", "{" + kLibid + "}"},
            {Chave("Exemplo.Contador\\CLSID"), "{" + kClsid + "}"},
            {typeLib, "::. Exemplo"},
            {typeLib + "\\0\\linux", biblioteca},
        };
        for (const auto& c : chaves)
            QCOMPARE(Registro::LerTexto(Hive::CurrentUser, c.chave, QString()).value_or("<ausente>"), c.esperado);

        std::unique_ptr<QObject> objeto(Componentes::CriarObjeto(QStringLiteral("Exemplo.Contador")));
        QVERIFY(objeto);

        QCOMPARE(Regsvr({QStringLiteral("/u"), QStringLiteral(COMP_EXEMPLO)}, &saida), 0);
        QVERIFY(saida.contains(QStringLiteral("Remoção do registro concluída")));
        for (const auto& c : chaves)
            QVERIFY2(!Registro::ExisteChave(Hive::CurrentUser, c.chave), qPrintable(c.chave));
        QVERIFY(Registro::ExisteChave(Hive::CurrentUser, Chave("CLSID")));
        QCOMPARE(ErroDe([] { delete Componentes::CriarObjeto(QStringLiteral("Exemplo.Contador")); }), 429L);
    }

    void regsvrResultados_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("sucesso");
        QTest::addColumn<QString>("mensagem");  // empty: nothing printed

        const QString rapido = QStringLiteral(COMP_REGISTRO_RAPIDO);
        const QString falha = QStringLiteral(COMP_REGISTRO_FALHA);
        QTest::newRow("registra") << QStringList({rapido}) << true << "Registro concluído: " + rapido;
        QTest::newRow("desregistra") << QStringList({"/u", rapido}) << true << "Remoção do registro concluída: " + rapido;
        QTest::newRow("silencioso") << QStringList({"/s", rapido}) << true << "";
        QTest::newRow("entrada falha") << QStringList({falha}) << false << "0x80004005";
        QTest::newRow("falha em silêncio") << QStringList({"/S", falha}) << false << "";
        QTest::newRow("sem entrada") << QStringList({QStringLiteral(COMP_SEM_ENTRADA)}) << false << "DllRegisterServer";
        QTest::newRow("arquivo ausente") << QStringList({"/nao/existe/comp.so"}) << false << "/nao/existe/comp.so";
        QTest::newRow("sem arquivo") << QStringList() << false << "Uso:";
        QTest::newRow("dois arquivos") << QStringList({rapido, falha}) << false << "Uso:";
    }

    void regsvrResultados()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, sucesso);
        QFETCH(QString, mensagem);
        QString saida;
        const int codigo = Regsvr(argumentos, &saida);
        QVERIFY(codigo >= 0);
        QCOMPARE(codigo == 0, sucesso);
        if (mensagem.isEmpty())
            QCOMPARE(saida, QString());
        else
            QVERIFY2(saida.contains(mensagem), qPrintable(saida));
    }

    void criar_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::newRow("ProgID") << "Exemplo.Contador";
        QTest::newRow("ProgID sem caixa") << "EXEMPLO.contador";
        QTest::newRow("CLSID com chaves") << "{" + kClsid + "}";
        QTest::newRow("CLSID minúsculo") << kClsid.toLower();
    }

    void criar()
    {
        QFETCH(QString, nome);
        QCOMPARE(Regsvr({QStringLiteral(COMP_EXEMPLO)}), 0);
        QCOMPARE(Componentes::ClsidDe(nome), kClsid);
        QCOMPARE(Componentes::BibliotecaDe(kClsid), QFileInfo(QStringLiteral(COMP_EXEMPLO)).absoluteFilePath());

        QWidget janela;
        QObject* objeto = Componentes::CriarObjeto(nome, &janela);
        QVERIFY(objeto);
        QCOMPARE(objeto->parent(), &janela);
        const plataforma::ClasseTipo* tipo = Componentes::TipoDe(objeto);
        QVERIFY(tipo);
        QCOMPARE(QString::fromUtf8(tipo->nome), QStringLiteral("Contador"));
        QCOMPARE(Componentes::ObterPropriedade(objeto, kValor).toInt(), 0);

        // The record of its type goes with the object.
        delete objeto;
        QVERIFY(!Componentes::TipoDe(objeto));
    }

    void membros()
    {
        QCOMPARE(Regsvr({QStringLiteral(COMP_EXEMPLO)}), 0);
        std::unique_ptr<QObject> o(Componentes::CriarObjeto(QStringLiteral("Exemplo.Contador")));
        QObject* objeto = o.get();

        QCOMPARE(QByteArray(Componentes::MembroPorDispid(objeto, kSomar)->nome), QByteArray("Somar"));
        QCOMPARE(Componentes::MembroPorNome(objeto, QStringLiteral("valor"))->dispid, kValor);
        QVERIFY(!Componentes::MembroPorDispid(objeto, 0x7777));

        Componentes::DefinirPropriedade(objeto, kValor, QStringLiteral("5"));  // coerced as automation does
        QCOMPARE(Componentes::ObterPropriedade(objeto, kValor), QVariant(5));
        QCOMPARE(Componentes::ChamarMetodo(objeto, kSomar, {3}), QVariant(8));
        QCOMPARE(Componentes::ChamarMetodo(objeto, QStringLiteral("SOMAR"), {2.0}), QVariant(10));
        Componentes::DefinirPropriedade(objeto, QStringLiteral("VALOR"), 1);
        QCOMPARE(Componentes::ObterPropriedade(objeto, QStringLiteral("valor")), QVariant(1));
        QCOMPARE(Componentes::ObterPropriedade(objeto, kDescricao).toString(), QStringLiteral("Contador de exemplo"));
    }

    void eventoChegaAntesDoRetorno()
    {
        QCOMPARE(Regsvr({QStringLiteral(COMP_EXEMPLO)}), 0);
        std::unique_ptr<QObject> objeto(Componentes::CriarObjeto(QStringLiteral("Exemplo.Contador")));
        const QByteArray assinatura = Componentes::AssinaturaEvento(objeto.get(), kMudou);
        QCOMPARE(assinatura, QByteArray("2Mudou(int)"));

        Receptor receptor;
        QVERIFY(QObject::connect(objeto.get(), assinatura.constData(), &receptor, SLOT(AoMudar(int))));
        Componentes::ChamarMetodo(objeto.get(), kSomar, {4});
        QCOMPARE(receptor.recebidos, QList<int>({4}));  // no event loop ran
        Componentes::DefinirPropriedade(objeto.get(), kValor, 9);
        QCOMPARE(receptor.recebidos, QList<int>({4, 9}));
    }

    void errosDeLigacao_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<long>("erro");
        QTest::newRow("dispid desconhecido") << 0 << 438L;
        QTest::newRow("propriedade só de leitura") << 1 << 438L;
        QTest::newRow("evento chamado como método") << 2 << 438L;
        QTest::newRow("método lido como propriedade") << 3 << 438L;
        QTest::newRow("nome desconhecido") << 4 << 438L;
        QTest::newRow("propriedade como evento") << 5 << 438L;
        QTest::newRow("texto em número") << 6 << 13L;
        QTest::newRow("argumento a menos") << 7 << 450L;
        QTest::newRow("objeto nulo") << 8 << 438L;
    }

    void errosDeLigacao()
    {
        QFETCH(int, caso);
        QFETCH(long, erro);
        QCOMPARE(Regsvr({QStringLiteral(COMP_EXEMPLO)}), 0);
        std::unique_ptr<QObject> o(Componentes::CriarObjeto(QStringLiteral("Exemplo.Contador")));
        QObject* objeto = o.get();
        const std::function<void()> chamadas[] = {
            [&] { Componentes::ObterPropriedade(objeto, 0x12345); },
            [&] { Componentes::DefinirPropriedade(objeto, kDescricao, QStringLiteral("x")); },
            [&] { Componentes::ChamarMetodo(objeto, kMudou, {1}); },
            [&] { Componentes::ObterPropriedade(objeto, kSomar); },
            [&] { Componentes::ChamarMetodo(objeto, QStringLiteral("NaoExiste")); },
            [&] { Componentes::AssinaturaEvento(objeto, kValor); },
            [&] { Componentes::DefinirPropriedade(objeto, kValor, QStringLiteral("abc")); },
            [&] { Componentes::ChamarMetodo(objeto, kSomar); },
            [&] { Componentes::ObterPropriedade(nullptr, kValor); },
        };
        QCOMPARE(ErroDe(chamadas[caso]), erro);
        QCOMPARE(Componentes::ObterPropriedade(objeto, kValor), QVariant(0));  // nothing changed
    }

    void ligacaoPorNomeSemTipos_data()
    {
        QTest::addColumn<QString>("metodo");
        QTest::addColumn<QVariantList>("argumentos");
        QTest::addColumn<QVariant>("esperado");

        QTest::newRow("quatro argumentos convertidos")
            << "juntar" << QVariantList({"ab", "2", 1, "0.5"}) << QVariant(QStringLiteral("ABAB:0.5"));
        QTest::newRow("qlonglong") << "Dobro" << QVariantList({QStringLiteral("3000000000")})
                                   << QVariant(qlonglong(6000000000));
        QTest::newRow("bool") << "par" << QVariantList({4}) << QVariant(true);
        QTest::newRow("double") << "Metade" << QVariantList({3}) << QVariant(1.5);
        QTest::newRow("QVariant passa como está") << "Eco" << QVariantList({QStringLiteral("x")})
                                                  << QVariant(QStringLiteral("x"));
        QTest::newRow("vazio vira o padrão do tipo") << "Soma" << QVariantList({QVariant(), 2}) << QVariant(2);
        QTest::newRow("slot público") << "TRES" << QVariantList() << QVariant(3);
        QTest::newRow("sem retorno") << "Zerar" << QVariantList() << QVariant();
    }

    void ligacaoPorNomeSemTipos()
    {
        QFETCH(QString, metodo);
        QFETCH(QVariantList, argumentos);
        QFETCH(QVariant, esperado);
        Conversor c;
        QVERIFY(!Componentes::TipoDe(&c));
        const QVariant r = Componentes::ChamarMetodo(&c, metodo, argumentos);
        QCOMPARE(r.metaType(), esperado.metaType());
        QCOMPARE(r, esperado);
    }

    void propriedadesPorNomeSemTipos()
    {
        Conversor c;
        Componentes::DefinirPropriedade(&c, QStringLiteral("taxa"), QStringLiteral("2.25"));
        QCOMPARE(Componentes::ObterPropriedade(&c, QStringLiteral("TAXA")), QVariant(2.25));
        Componentes::DefinirPropriedade(&c, QStringLiteral("Tamanho"), 7);
        QCOMPARE(Componentes::ObterPropriedade(&c, QStringLiteral("tamanho")), QVariant(qlonglong(7)));
        QCOMPARE(ErroDe([&] { Componentes::ObterPropriedade(&c, QStringLiteral("Inexistente")); }), 438L);
        QCOMPARE(ErroDe([&] { Componentes::ObterPropriedade(&c, kValor); }), 438L);  // no type info: no DISPIDs
        QCOMPARE(ErroDe([&] { Componentes::DefinirPropriedade(&c, QStringLiteral("Taxa"), QStringLiteral("x")); }), 13L);
        QCOMPARE(ErroDe([&] { Componentes::ChamarMetodo(&c, QStringLiteral("Soma"), {1, 2, 3}); }), 450L);
        QCOMPARE(c.Taxa(), 2.25);
    }

    void naoRegistrado_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::newRow("ProgID desconhecido") << "Exemplo.Inexistente";
        QTest::newRow("CLSID desconhecido") << "{00000000-1111-2222-3333-444444444444}";
        QTest::newRow("vazio") << "";
        QTest::newRow("ProgID sem classe") << "Exemplo.Orfao";
        QTest::newRow("classe recusada pela fábrica") << "Exemplo.Recusado";
        QTest::newRow("GUID malformado") << "{6F1C2A7E-3B94-4D0A-9E51-C2B8D4A0F317";
    }

    void naoRegistrado()
    {
        QFETCH(QString, nome);
        QCOMPARE(Regsvr({QStringLiteral(COMP_EXEMPLO)}), 0);
        // A ProgID whose class key is gone, and a class the library does not make.
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, Chave("Exemplo.Orfao\\CLSID"), "",
                                      "{99999999-1111-2222-3333-444444444444}"));
        RegistrarAMao(QStringLiteral("Exemplo.Recusado"), QStringLiteral("88888888-1111-2222-3333-444444444444"),
                      QStringLiteral(COMP_EXEMPLO));
        QString descricao;
        QCOMPARE(ErroDe([&] { delete Componentes::CriarObjeto(nome); }, &descricao), 429L);
        QCOMPARE(descricao, QStringLiteral("ActiveX component can't create object"));
    }

    void bibliotecaInvalida_data()
    {
        QTest::addColumn<QString>("biblioteca");
        QTest::newRow("sem fábrica") << QStringLiteral(COMP_SEM_ENTRADA);
        QTest::newRow("não é biblioteca") << QStringLiteral("texto.so");
        QTest::newRow("ausente") << QStringLiteral("sumiu.so");
    }

    void bibliotecaInvalida()
    {
        QFETCH(QString, biblioteca);
        QString caminho = biblioteca;
        if (biblioteca == QLatin1String("texto.so")) {
            caminho = pasta_->filePath(biblioteca);
            QFile f(caminho);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("isto não é uma biblioteca");
        } else if (biblioteca == QLatin1String("sumiu.so")) {
            caminho = pasta_->filePath(QStringLiteral("pasta/sumiu.so"));
        }
        RegistrarAMao(QStringLiteral("Teste.Quebrado"), QStringLiteral("77777777-1111-2222-3333-444444444444"), caminho);
        QString descricao;
        QCOMPARE(ErroDe([&] { delete Componentes::CriarObjeto(QStringLiteral("Teste.Quebrado")); }, &descricao), 339L);
        QCOMPARE(EntreApostrofos(descricao), QFileInfo(caminho).fileName());
        QVERIFY(descricao.contains(QStringLiteral("or one of its dependencies not correctly registered")));
    }

    // Registered in one place and then moved away: 339 naming the file, and
    // registering it again where it now lies mends it.
    void bibliotecaMovidaEReregistrada()
    {
        const QString primeira = CopiaDoExemplo(QStringLiteral("antes"));
        QVERIFY(!primeira.isEmpty());
        QCOMPARE(Regsvr({primeira}), 0);
        QCOMPARE(Componentes::BibliotecaDe(kClsid), primeira);
        const QString segunda = pasta_->filePath(QStringLiteral("depois/") + QFileInfo(primeira).fileName());
        QVERIFY(QDir().mkpath(pasta_->filePath(QStringLiteral("depois"))));
        QVERIFY(QFile::rename(primeira, segunda));

        QString descricao;
        QCOMPARE(ErroDe([&] { delete Componentes::CriarObjeto(QStringLiteral("Exemplo.Contador")); }, &descricao), 339L);
        QCOMPARE(descricao, ErroExecucao::ComponenteNaoRegistrado(QFileInfo(primeira).fileName()).Descricao());
        QCOMPARE(EntreApostrofos(descricao), QFileInfo(QStringLiteral(COMP_EXEMPLO)).fileName());

        QCOMPARE(Regsvr({segunda}), 0);
        std::unique_ptr<QObject> objeto(Componentes::CriarObjeto(QStringLiteral("Exemplo.Contador")));
        QVERIFY(objeto);
        QCOMPARE(Componentes::ChamarMetodo(objeto.get(), kSomar, {2}), QVariant(2));
    }

    // Registration from inside this process, as the re-registration worker does.
    void registroNoProprioProcesso()
    {
        void* alca = ::dlopen(COMP_EXEMPLO, RTLD_NOW | RTLD_LOCAL);
        QVERIFY(alca);
        auto registrar = reinterpret_cast<FuncaoRegistro>(::dlsym(alca, PLATAFORMA_ENTRADA_REGISTRO));
        auto desregistrar = reinterpret_cast<FuncaoRegistro>(::dlsym(alca, PLATAFORMA_ENTRADA_DESREGISTRO));
        QVERIFY(registrar && desregistrar);
        QCOMPARE(registrar(), 0L);
        QCOMPARE(Componentes::BibliotecaDe(kClsid), QFileInfo(QStringLiteral(COMP_EXEMPLO)).absoluteFilePath());

        // A ProgID that another class took over since is left to it.
        const QString outro = QStringLiteral("{55555555-1111-2222-3333-444444444444}");
        QVERIFY(Registro::GravarTexto(Hive::CurrentUser, Chave("Exemplo.Contador\\CLSID"), "", outro));
        QCOMPARE(desregistrar(), 0L);
        QVERIFY(Componentes::BibliotecaDe(kClsid).isEmpty());
        QCOMPARE(Registro::LerTexto(Hive::CurrentUser, Chave("Exemplo.Contador\\CLSID"), "").value_or(""), outro);
        // Never unloaded: objects may still come from it in this process.
    }

    void caminhoDestaBiblioteca()
    {
        void* alca = ::dlopen(COMP_EXEMPLO, RTLD_NOW | RTLD_LOCAL);
        QVERIFY(alca);
        const void* simbolo = ::dlsym(alca, PLATAFORMA_ENTRADA_TIPOS);
        QCOMPARE(Componentes::CaminhoDestaBiblioteca(simbolo), QFileInfo(QStringLiteral(COMP_EXEMPLO)).absoluteFilePath());
        QVERIFY(Componentes::CaminhoDestaBiblioteca(nullptr).isEmpty());
    }

    void propertyBag()
    {
        plataforma::PropertyBag bag;
        const QVariant corPadrao = QVariant(0xFEE5C3u);
        bag.WriteProperty(QStringLiteral("Texto"), QStringLiteral("<b>Olá</b>"), QString());
        bag.WriteProperty(QStringLiteral("BackColor"), 0xFEE5C3, corPadrao);  // equal to the default (int vs uint)
        bag.WriteProperty(QStringLiteral("BorderColor"), 0x123456, QVariant(0xF6AD6Bu));
        bag.WriteProperty(QStringLiteral("SemPadrao"), 0);  // no default given: always kept

        QCOMPARE(bag.Nomes(), QStringList({"BorderColor", "SemPadrao", "Texto"}));
        QCOMPARE(bag.ReadProperty(QStringLiteral("TEXTO"), QString()), QVariant(QStringLiteral("<b>Olá</b>")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("backcolor"), corPadrao), corPadrao);
        QCOMPARE(bag.ReadProperty(QStringLiteral("bordercolor"), 0), QVariant(0x123456));
        QVERIFY(!bag.Contem(QStringLiteral("BackColor")));
        QVERIFY(bag.Contem(QStringLiteral("semPADRAO")));

        // Rewritten in other case: the first spelling stays; back to the
        // default: the stored value goes.
        bag.WriteProperty(QStringLiteral("texto"), QStringLiteral("novo"), QString());
        QVERIFY(bag.Nomes().contains(QStringLiteral("Texto")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Texto")), QVariant(QStringLiteral("novo")));
        bag.WriteProperty(QStringLiteral("TEXTO"), QString(), QString());
        QVERIFY(!bag.Contem(QStringLiteral("Texto")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Texto"), QStringLiteral("padrão")), QVariant(QStringLiteral("padrão")));

        bag.Limpar();
        QVERIFY(bag.Nomes().isEmpty());
    }
};

QTEST_MAIN(TstComponentes)
#include "tst_componentes.moc"
