// The download control as its host drives it: created by class id, called
// and heard late bound, against a real HTTP server on 127.0.0.1.
#include "Apoio.h"
#include "ApoioKestrane.h"
#include "RedeIsolada.h"
#include "ServidorHttpTeste.h"

#include "controls/download/TextosDownload.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using apoio::RespostaHttpTeste;
using plataforma::Componentes;

namespace {

const QString kObtendo = QStringLiteral("Obtendo informações do arquivo, por favor aguarde...");
const QString k404 = QStringLiteral("<b>Atenção</b>: O servidor não encontrou a página solicitada.");
const QString kParabens = QStringLiteral("<b>Parabéns</b>, o download foi concluído com sucesso.");
const QString kZero = QStringLiteral("<b>Atenção</b>: Arquivo de destino contém zero bytes.");
const QString kCancelado = QStringLiteral("<b>Atenção</b>: O download foi cancelado pelo usuário.");
const QString kNaoConcluido = QStringLiteral("<b>Atenção</b>: O download não foi concluído.<br><br>");

RespostaHttpTeste Status(int status, const QByteArray& razao)
{
    RespostaHttpTeste r;
    r.status = status;
    r.razao = razao;
    return r;
}

RespostaHttpTeste Corpo(const QByteArray& corpo)
{
    RespostaHttpTeste r;
    r.corpo = corpo;
    return r;
}

// A HEAD answer with a size and a GET answer, for one path.
apoio::ServidorHttpTeste::Responder PorMetodo(RespostaHttpTeste head, RespostaHttpTeste get)
{
    return [head, get](const apoio::PedidoHttp& p) { return p.metodo == "HEAD" ? head : get; };
}

// Every message Qt or the code prints while it is alive.
class CapturaMensagens {
public:
    CapturaMensagens() { anterior_ = qInstallMessageHandler(&CapturaMensagens::Guardar); }
    ~CapturaMensagens() { qInstallMessageHandler(anterior_); }
    static QStringList& Mensagens()
    {
        static QStringList lista;
        return lista;
    }

private:
    static void Guardar(QtMsgType, const QMessageLogContext&, const QString& texto) { Mensagens() << texto; }
    QtMessageHandler anterior_ = nullptr;
};

struct Evento {
    enum Tipo { Erros, Progresso, Concluido } tipo;
    int numero = 0;  // Codigo or Porcentagem
    QString mensagem;
};

}  // namespace

// What a host's form does with the control's events: keeps them, and lets a
// test act inside a handler, as a form's code would.
class Hospedeiro : public QWidget {
    Q_OBJECT
public:
    QList<Evento> eventos;
    std::function<void(const Evento&)> aoReceber;

    QList<Evento> Do(Evento::Tipo tipo) const
    {
        QList<Evento> lista;
        for (const Evento& e : eventos)
            if (e.tipo == tipo)
                lista << e;
        return lista;
    }
    // The transfer lines, without the opening and closing texts.
    QList<Evento> Transferencia() const
    {
        QList<Evento> lista;
        for (const Evento& e : Do(Evento::Progresso))
            if (e.mensagem.startsWith(QLatin1String("Baixando")))
                lista << e;
        return lista;
    }

public slots:
    void Erros(const QString& Mensagem, int Codigo) { Anotar({Evento::Erros, Codigo, Mensagem}); }
    void Progresso(int Porcentagem, const QString& Mensagem) { Anotar({Evento::Progresso, Porcentagem, Mensagem}); }
    void Concluido() { Anotar({Evento::Concluido, 0, QString()}); }

private:
    void Anotar(const Evento& e)
    {
        eventos << e;
        if (aoReceber)
            aoReceber(e);
    }
};

class TesteDownload : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<Hospedeiro> host_;
    std::unique_ptr<apoio::ServidorHttpTeste> servidor_;
    QObject* controle_ = nullptr;

    bool Baixar(const QString& url, const QString& destino)
    {
        return Componentes::ChamarMetodo(controle_, QStringLiteral("Baixar"), {url, destino}).toBool();
    }
    QVariant Ler(const char* nome) { return Componentes::ObterPropriedade(controle_, QString::fromLatin1(nome)); }
    QString Destino() const { return ambiente_->Caminho(QStringLiteral("baixado.bin")); }

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        QVERIFY(apoio::RegistrarKestrane());
        servidor_ = std::make_unique<apoio::ServidorHttpTeste>();
        QVERIFY(servidor_->Ouvindo());
        host_ = std::make_unique<Hospedeiro>();
        controle_ = Componentes::CriarObjeto(QStringLiteral("0A55F8E9-8B8E-4F8A-8701-49675D629595"), host_.get());
        QVERIFY(controle_);
        QVERIFY(QObject::connect(controle_, Componentes::AssinaturaEvento(controle_, 1), host_.get(),
                                 SLOT(Erros(QString,int))));
        QVERIFY(QObject::connect(controle_, Componentes::AssinaturaEvento(controle_, 2), host_.get(),
                                 SLOT(Progresso(int,QString))));
        QVERIFY(QObject::connect(controle_, Componentes::AssinaturaEvento(controle_, 3), host_.get(),
                                 SLOT(Concluido())));
    }

    void cleanup()
    {
        host_.reset();
        servidor_.reset();
        ambiente_.reset();
    }

    // The whole road: size, file, the closing line and Concluido, in order.
    void sucesso()
    {
        const QByteArray conteudo = QByteArray("instalador\n").repeated(5000);
        servidor_->Definir(QStringLiteral("/arquivo"), Corpo(conteudo));
        QVERIFY(Baixar(servidor_->Endereco(QStringLiteral("/arquivo")), Destino()));

        QFile arquivo(Destino());
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        QCOMPARE(arquivo.readAll(), conteudo);
        QCOMPARE(Ler("Tamanho").toLongLong(), qlonglong(conteudo.size()));
        QCOMPARE(Ler("Baixando").toBool(), false);
        QCOMPARE(servidor_->PedidosCom("HEAD", QStringLiteral("/arquivo")), 1);

        const QList<Evento>& e = host_->eventos;
        QVERIFY(e.size() >= 3);
        QCOMPARE(e.first().tipo, Evento::Progresso);
        QCOMPARE(e.first().numero, 0);
        QCOMPARE(e.first().mensagem, kObtendo);
        QCOMPARE(e.at(e.size() - 2).tipo, Evento::Progresso);
        QCOMPARE(e.at(e.size() - 2).numero, 100);
        QCOMPARE(e.at(e.size() - 2).mensagem, kParabens);
        QCOMPARE(e.last().tipo, Evento::Concluido);
        QVERIFY(host_->Do(Evento::Erros).isEmpty());
    }

    // Four size queries answered 404, each reported; the download is tried
    // anyway and its failure is the fifth.
    void naoEncontradoQuatroVezes()
    {
        QVERIFY(!Baixar(servidor_->Endereco(QStringLiteral("/sumiu")), Destino()));
        const QList<Evento> erros = host_->Do(Evento::Erros);
        QCOMPARE(erros.size(), 5);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(erros[i].numero, 404);
            QCOMPARE(erros[i].mensagem, k404);
        }
        QCOMPARE(erros[4].numero, 99);
        QVERIFY2(erros[4].mensagem.startsWith(kNaoConcluido + QStringLiteral("O servidor respondeu com o status HTTP 404")),
                 qPrintable(erros[4].mensagem));
        QCOMPARE(servidor_->PedidosCom("HEAD", QStringLiteral("/sumiu")), 4);
        QCOMPARE(servidor_->PedidosCom("GET", QStringLiteral("/sumiu")), 1);
        QVERIFY(!QFileInfo::exists(Destino()));
        QVERIFY(host_->Do(Evento::Concluido).isEmpty());
    }

    // What the size query reads from redirects and silent statuses, and what
    // a failed download leaves: no partial file, one code-99 report. A body
    // is complete only at the length announced, by the GET or by the HEAD.
    void tamanhoEFalhas_data()
    {
        QTest::addColumn<QByteArray>("caminho");
        QTest::addColumn<qlonglong>("tamanho");
        QTest::addColumn<int>("consultas");
        QTest::addColumn<qlonglong>("baixados");  // -1: the download fails

        QTest::newRow("301 com Location") << QByteArray("/movido") << 1234LL << 1 << 1234LL;
        QTest::newRow("301 sem Location") << QByteArray("/sem-destino") << 77LL << 1 << -1LL;
        QTest::newRow("402 calado") << QByteArray("/402") << 0LL << 4 << -1LL;
        QTest::newRow("306 calado") << QByteArray("/306") << 0LL << 4 << -1LL;
        QTest::newRow("conexao cortada") << QByteArray("/cortado") << 1000LL << 1 << -1LL;
        QTest::newRow("cortada sem Content-Length") << QByteArray("/truncado") << 100000LL << 1 << -1LL;
        QTest::newRow("mais que o anunciado") << QByteArray("/excesso") << 100LL << 1 << -1LL;
        // The second HEAD meets a redirect again: its length is that of the
        // redirect's page, which the file need not match.
        QTest::newRow("dois redirecionamentos") << QByteArray("/cadeia") << 145LL << 1 << 1000LL;
    }

    void tamanhoEFalhas()
    {
        QFETCH(QByteArray, caminho);
        QFETCH(qlonglong, tamanho);
        QFETCH(int, consultas);
        QFETCH(qlonglong, baixados);
        const bool sucesso = baixados >= 0;

        RespostaHttpTeste movido = Status(301, "Moved Permanently");
        movido.cabecalhos << qMakePair(QByteArray("Location"), QByteArray("/destino"));
        servidor_->Definir(QStringLiteral("/movido"), movido);
        servidor_->Definir(QStringLiteral("/destino"), Corpo(QByteArray(1234, 'd')));
        RespostaHttpTeste semDestino = Status(301, "Moved Permanently");
        semDestino.tamanhoAnunciado = 77;
        servidor_->Definir(QStringLiteral("/sem-destino"), PorMetodo(semDestino, Status(301, "Moved Permanently")));
        servidor_->Definir(QStringLiteral("/402"), Status(402, "Payment Required"));
        servidor_->Definir(QStringLiteral("/306"), Status(306, "Switch Proxy"));
        RespostaHttpTeste cortado = Corpo(QByteArray(500, 'c'));
        cortado.tamanhoAnunciado = 1000;
        cortado.fecharDepois = true;
        servidor_->Definir(QStringLiteral("/cortado"), cortado);
        // The HEAD announces the size; the GET says no length and closes early.
        RespostaHttpTeste anuncio;
        anuncio.tamanhoAnunciado = 100000;
        RespostaHttpTeste semTamanho = Corpo(QByteArray(50000, 't'));
        semTamanho.tamanhoAnunciado = -2;
        servidor_->Definir(QStringLiteral("/truncado"), PorMetodo(anuncio, semTamanho));
        anuncio.tamanhoAnunciado = 100;
        semTamanho.corpo = QByteArray(150, 'e');
        servidor_->Definir(QStringLiteral("/excesso"), PorMetodo(anuncio, semTamanho));
        RespostaHttpTeste cadeia = Status(302, "Found");
        cadeia.cabecalhos << qMakePair(QByteArray("Location"), QByteArray("/meio"));
        servidor_->Definir(QStringLiteral("/cadeia"), cadeia);
        // Its HEAD is redirected once more (with a page of its own); the GET
        // gets the file.
        RespostaHttpTeste meio = Status(302, "Found");
        meio.cabecalhos << qMakePair(QByteArray("Location"), QByteArray("/fim"));
        meio.corpo = QByteArray(145, 'm');
        servidor_->Definir(QStringLiteral("/meio"), PorMetodo(meio, Corpo(QByteArray(1000, 'f'))));

        const QString caminhoTexto = QString::fromLatin1(caminho);
        QCOMPARE(Baixar(servidor_->Endereco(caminhoTexto), Destino()), sucesso);
        QCOMPARE(Ler("Tamanho").toLongLong(), tamanho);
        QCOMPARE(servidor_->PedidosCom("HEAD", caminhoTexto), consultas);
        const QList<Evento> erros = host_->Do(Evento::Erros);
        if (sucesso) {
            QVERIFY(erros.isEmpty());
            QCOMPARE(QFileInfo(Destino()).size(), baixados);
            return;
        }
        // Only the download's own failure is reported: these statuses are silent.
        QCOMPARE(erros.size(), 1);
        QCOMPARE(erros[0].numero, 99);
        QVERIFY(erros[0].mensagem.startsWith(kNaoConcluido));
        QVERIFY(erros[0].mensagem.size() > kNaoConcluido.size());
        QVERIFY(!QFileInfo::exists(Destino()));
        QVERIFY(host_->Do(Evento::Concluido).isEmpty());
    }

    // A complete but empty body: reported, no Concluido, the file stays;
    // so too when the size query had announced a length.
    void zeroBytes_data()
    {
        QTest::addColumn<qlonglong>("anunciado");
        QTest::newRow("sem tamanho anunciado") << 0LL;
        QTest::newRow("HEAD anunciou 100") << 100LL;
    }

    void zeroBytes()
    {
        QFETCH(qlonglong, anunciado);
        RespostaHttpTeste anuncio;
        anuncio.tamanhoAnunciado = anunciado;
        servidor_->Definir(QStringLiteral("/vazio"), PorMetodo(anuncio, Corpo(QByteArray())));
        QVERIFY(!Baixar(servidor_->Endereco(QStringLiteral("/vazio")), Destino()));
        const QList<Evento> erros = host_->Do(Evento::Erros);
        QCOMPARE(erros.size(), 1);
        QCOMPARE(erros[0].mensagem, kZero);
        QCOMPARE(erros[0].numero, 99);
        QVERIFY(host_->Do(Evento::Concluido).isEmpty());
        QVERIFY(QFileInfo::exists(Destino()));
        QCOMPARE(QFileInfo(Destino()).size(), 0);
    }

    // A 3 GB file dripping slowly: the size and the progress line hold 64-bit
    // counts, the far-off estimate reads 00:00:00, and Cancelar from the
    // host's handler stops it: the partial file goes, code -1, and Cancelado
    // reads False during the download and True after it.
    void cancelarArquivoGrande()
    {
        const qint64 tresGb = 3LL * 1024 * 1024 * 1024;
        RespostaHttpTeste lento;
        lento.tamanhoAnunciado = tresGb;
        lento.bloco = 1000;
        lento.intervaloMs = 50;
        lento.repetirBlocos = 1000000;
        servidor_->Definir(QStringLiteral("/grande"), lento);

        QString linha;
        bool canceladoDurante = true;
        host_->aoReceber = [&](const Evento& e) {
            if (e.tipo != Evento::Progresso || !e.mensagem.startsWith(QLatin1String("Baixando")) || !linha.isEmpty())
                return;
            linha = e.mensagem;
            Componentes::ChamarMetodo(controle_, QStringLiteral("Cancelar"));
            canceladoDurante = Ler("Cancelado").toBool();
        };
        QVERIFY(!Baixar(servidor_->Endereco(QStringLiteral("/grande")), Destino()));

        QCOMPARE(Ler("Tamanho").toLongLong(), qlonglong(tresGb));
        QVERIFY2(linha.startsWith(QLatin1String("Baixando: (<b>")), qPrintable(linha));
        QVERIFY2(linha.contains(QLatin1String("</b> / <b>3,0 GB</b>) - <b>")), qPrintable(linha));
        QVERIFY2(linha.endsWith(QLatin1String(" Kbps</b> - <b>00:00:00</b>")), qPrintable(linha));
        QCOMPARE(canceladoDurante, false);
        QCOMPARE(Ler("Cancelado").toBool(), true);
        const QList<Evento> erros = host_->Do(Evento::Erros);
        QCOMPARE(erros.size(), 1);
        QCOMPARE(erros[0].mensagem, kCancelado);
        QCOMPARE(erros[0].numero, -1);
        QVERIFY(!QFileInfo::exists(Destino()));
    }

    // No size known: the short line, at most one per second while chunks
    // arrive ten times a second, its time never above the time gone by; a
    // second Baixar meanwhile is refused without a word.
    void progressoSemTamanho()
    {
        RespostaHttpTeste semTamanho;
        semTamanho.tamanhoAnunciado = -2;
        semTamanho.corpo = QByteArray(3000, 'p');
        semTamanho.bloco = 100;
        semTamanho.intervaloMs = 100;
        servidor_->Definir(QStringLiteral("/fluxo"), semTamanho);

        int recusas = 0;
        int eventosNaRecusa = -1;
        host_->aoReceber = [&](const Evento& e) {
            if (e.tipo != Evento::Progresso || !e.mensagem.startsWith(QLatin1String("Baixando")) || recusas)
                return;
            const int antes = host_->eventos.size();
            recusas += Baixar(servidor_->Endereco(QStringLiteral("/fluxo")), Destino() + QStringLiteral(".2")) ? 0 : 1;
            eventosNaRecusa = host_->eventos.size() - antes;
        };
        QElapsedTimer relogio;
        relogio.start();
        QVERIFY(Baixar(servidor_->Endereco(QStringLiteral("/fluxo")), Destino()));
        const double segundos = relogio.elapsed() / 1000.0;

        QCOMPARE(QFileInfo(Destino()).size(), 3000);
        QCOMPARE(recusas, 1);
        QCOMPARE(eventosNaRecusa, 0);
        QVERIFY(!QFileInfo::exists(Destino() + QStringLiteral(".2")));
        const QList<Evento> linhas = host_->Transferencia();
        QVERIFY(!linhas.isEmpty());
        QVERIFY2(linhas.size() <= int(segundos) + 2, qPrintable(QString::number(linhas.size())));
        static const QRegularExpression tempo(QStringLiteral("<b>(\\d\\d):(\\d\\d):(\\d\\d)</b>$"));
        for (const Evento& e : linhas) {
            QVERIFY2(e.mensagem.startsWith(QLatin1String("Baixando <b>")), qPrintable(e.mensagem));
            QVERIFY(!e.mensagem.contains(QLatin1String(" / ")));
            const QRegularExpressionMatch m = tempo.match(e.mensagem);
            QVERIFY2(m.hasMatch(), qPrintable(e.mensagem));
            const int mostrado = m.captured(1).toInt() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
            QVERIFY2(mostrado <= int(segundos) + 1, qPrintable(e.mensagem));
        }
    }

    // A server that never answers: every request ends by the time-out.
    void servidorParado()
    {
        RespostaHttpTeste parado;
        parado.modo = RespostaHttpTeste::Modo::Parar;
        servidor_->Definir(QStringLiteral("/parado"), parado);
        Componentes::DefinirPropriedade(controle_, QStringLiteral("TempoLimite"), 1);

        QVERIFY(!Baixar(servidor_->Endereco(QStringLiteral("/parado")), Destino()));
        QCOMPARE(servidor_->PedidosCom("HEAD", QStringLiteral("/parado")), 4);
        const QList<Evento> erros = host_->Do(Evento::Erros);
        QCOMPARE(erros.size(), 1);
        QCOMPARE(erros[0].numero, 99);
        QVERIFY2(erros[0].mensagem.contains(QLatin1String("Tempo limite de 1 s esgotado")), qPrintable(erros[0].mensagem));
        QVERIFY(!QFileInfo::exists(Destino()));
    }

    // Nothing to ask, or an address outside loopback without TLS: no request
    // at all, and the download fails with its reason.
    void semPedido_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("vazio") << QString() << QStringLiteral("Nenhum endereço");
        QTest::newRow("brancos") << QStringLiteral("   ") << QStringLiteral("Nenhum endereço");
        // Plain HTTP off loopback: foraDoLoopback, in a network namespace.
    }

    void semPedido()
    {
        QFETCH(QString, url);
        QFETCH(QString, motivo);
        QCOMPARE(Componentes::ChamarMetodo(controle_, QStringLiteral("getContentType"), {url}).toString(), QString());
        QCOMPARE(Componentes::ChamarMetodo(controle_, QStringLiteral("getHTMLFromUrl"), {url}).toString(), QString());
        QVERIFY(!Baixar(url, Destino()));
        const QList<Evento> erros = host_->Do(Evento::Erros);
        QCOMPARE(erros.size(), 1);
        QCOMPARE(erros[0].numero, 99);
        QVERIFY2(erros[0].mensagem.contains(motivo), qPrintable(erros[0].mensagem));
        QVERIFY(servidor_->Pedidos().isEmpty());
    }

    // Plain HTTP off loopback, asked directly or reached by a redirect from
    // a loopback site: refused, and that address hears nothing.
    void foraDoLoopback()
    {
        APOIO_EM_REDE_ISOLADA();
        apoio::ServidorHttpTeste externo(apoio::EnderecoExterno());
        QVERIFY(externo.Ouvindo());
        externo.Definir(QStringLiteral("/instalador"), Corpo("de fora"));
        const QByteArray foraDaqui = externo.Endereco(QStringLiteral("/instalador")).toUtf8();
        servidor_->Definir(QStringLiteral("/ultima"),
                           PorMetodo(Corpo(QByteArray(10, 'h')), RespostaHttpTeste::Redirecionar(foraDaqui)));

        QVERIFY(!Baixar(QString::fromUtf8(foraDaqui), Destino()));
        QVERIFY(!Baixar(servidor_->Endereco(QStringLiteral("/ultima")), Destino()));
        QCOMPARE(Componentes::ChamarMetodo(controle_, QStringLiteral("getHTMLFromUrl"),
                                           {servidor_->Endereco(QStringLiteral("/ultima"))})
                     .toString(),
                 QString());
        const QList<Evento> erros = host_->Do(Evento::Erros);
        QCOMPARE(erros.size(), 2);
        QVERIFY2(erros[0].mensagem.contains(QStringLiteral("somente endereços HTTPS")), qPrintable(erros[0].mensagem));
        QVERIFY2(erros[1].mensagem.contains(QStringLiteral("Redirecionamento recusado")), qPrintable(erros[1].mensagem));
        QVERIFY(!QFileInfo::exists(Destino()));
        QCOMPARE(servidor_->PedidosCom("GET", QStringLiteral("/ultima")), 2);
        QCOMPARE(externo.ConexoesAceitas(), 0);
    }

    // A download site's usual shape: "latest" -> mirror -> edge (-> file),
    // on one port or across two. The file and the quick GET arrive whole.
    void cadeiasDeRedirecionamento_data()
    {
        QTest::addColumn<int>("saltos");
        QTest::addColumn<bool>("outraPorta");
        QTest::newRow("2 saltos") << 2 << false;
        QTest::newRow("3 saltos") << 3 << false;
        QTest::newRow("2 saltos entre portas") << 2 << true;
        QTest::newRow("3 saltos entre portas") << 3 << true;
    }

    void cadeiasDeRedirecionamento()
    {
        QFETCH(int, saltos);
        QFETCH(bool, outraPorta);
        apoio::ServidorHttpTeste espelho;
        apoio::ServidorHttpTeste& fim = outraPorta ? espelho : *servidor_;
        QStringList caminhos;
        for (int i = 1; i < saltos; ++i)
            caminhos << QStringLiteral("/borda%1").arg(i);
        caminhos << QStringLiteral("/instalador.exe");
        const QByteArray conteudo = QByteArray("MZ instalador\n").repeated(20000);
        fim.DefinirCadeia(caminhos, Corpo(conteudo));
        servidor_->Definir(QStringLiteral("/ultima"),
                           RespostaHttpTeste::Redirecionar((outraPorta ? espelho.Endereco(caminhos[0]) : caminhos[0]).toUtf8()));

        QVERIFY(Baixar(servidor_->Endereco(QStringLiteral("/ultima")), Destino()));
        QFile arquivo(Destino());
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        QCOMPARE(arquivo.readAll(), conteudo);
        QVERIFY(host_->Do(Evento::Erros).isEmpty());
        QCOMPARE(host_->Do(Evento::Concluido).size(), 1);

        fim.Definir(QStringLiteral("/instalador.exe"), Corpo("  página final  "));
        QCOMPARE(Componentes::ChamarMetodo(controle_, QStringLiteral("getHTMLFromUrl"),
                                           {servidor_->Endereco(QStringLiteral("/ultima"))})
                     .toString(),
                 QStringLiteral("página final"));
    }

    // A failed download is reported by the control alone: Qt prints nothing
    // about its own internals.
    void falhaSemAvisoInternoDoQt()
    {
        RespostaHttpTeste erro = Status(500, "Internal Server Error");
        erro.corpo = QByteArray(4096, 'e');
        servidor_->Definir(QStringLiteral("/erro"), erro);
        CapturaMensagens::Mensagens().clear();
        {
            CapturaMensagens captura;
            QVERIFY(!Baixar(servidor_->Endereco(QStringLiteral("/sumiu")), Destino()));
            QVERIFY(!Baixar(servidor_->Endereco(QStringLiteral("/erro")), Destino()));
            // Whatever Qt would print comes from events still queued.
            QTest::qWait(200);
        }
        for (const QString& m : CapturaMensagens::Mensagens())
            QVERIFY2(!m.contains(QLatin1String("QNetworkReply")) && !m.contains(QLatin1String("Internal problem")),
                     qPrintable(m));
        QCOMPARE(host_->Do(Evento::Erros).last().numero, 99);
    }

    // The two small services follow one redirect to what it names.
    void servicos()
    {
        RespostaHttpTeste movido = Status(302, "Found");
        movido.cabecalhos << qMakePair(QByteArray("Location"), QByteArray("/final"));
        servidor_->Definir(QStringLiteral("/pagina"), movido);
        RespostaHttpTeste final = Corpo(QByteArray("  página final \r\n"));
        final.cabecalhos << qMakePair(QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8"));
        servidor_->Definir(QStringLiteral("/final"), final);

        const QString url = servidor_->Endereco(QStringLiteral("/pagina"));
        QCOMPARE(Componentes::ChamarMetodo(controle_, QStringLiteral("getContentType"), {url}).toString(),
                 QStringLiteral("text/html; charset=utf-8"));
        QCOMPARE(Componentes::ChamarMetodo(controle_, QStringLiteral("getHTMLFromUrl"), {url}).toString(),
                 QStringLiteral("página final \r\n"));
        QVERIFY(host_->eventos.isEmpty());
    }

    void formatarTempo_data()
    {
        QTest::addColumn<double>("segundos");
        QTest::addColumn<QString>("texto");
        QTest::newRow("zero") << 0.0 << "00:00:00";
        QTest::newRow("meio para o par acima") << 59.5 << "00:01:00";
        QTest::newRow("meio para o par abaixo") << 58.5 << "00:00:58";
        QTest::newRow("hora") << 3661.0 << "01:01:01";
        QTest::newRow("maior contagem") << 32767.0 << "09:06:07";
        QTest::newRow("estouro") << 32768.0 << "00:00:00";
        QTest::newRow("estouro pelo arredondamento") << 32767.5 << "00:00:00";
        // No size known: the estimate is below zero and shows as its size,
        // never as a time before midnight.
        QTest::newRow("negativo") << -5.0 << "00:00:05";
        QTest::newRow("menor contagem") << -32768.0 << "09:06:08";
        QTest::newRow("estouro negativo") << -32769.0 << "00:00:00";
        QTest::newRow("infinito") << qInf() << "00:00:00";
    }

    void formatarTempo()
    {
        QFETCH(double, segundos);
        QFETCH(QString, texto);
        QCOMPARE(kestrane::FormatarTempo(segundos), texto);
    }

    void textos()
    {
        QCOMPARE(kestrane::TextoProgresso(1536, 3072, 12.5, 90),
                 QStringLiteral("Baixando: (<b>1,5 KB</b> / <b>3,0 KB</b>) - <b>12,50 Kbps</b> - <b>00:01:30</b>"));
        QCOMPARE(kestrane::TextoProgresso(1536, 0, 1234.567, 5),
                 QStringLiteral("Baixando <b>1,5 KB</b> - <b>1234,57 Kbps</b> - <b>00:00:05</b>"));
        QCOMPARE(kestrane::TextoStatusHttp(205), kestrane::TextoStatusHttp(204));
        QCOMPARE(kestrane::TextoStatusHttp(505),
                 QStringLiteral("<b>Atenção</b>: O servidor não é compatível com a versão do protocolo HTTP usada na "
                                "solicitação."));
        QCOMPARE(kestrane::TextoStatusHttp(418), QString());
        QCOMPARE(kestrane::TextoStatusHttp(306), QString());
    }
};

QTEST_MAIN(TesteDownload)
#include "tst_download.moc"
