// The payment instruction without the screen: its document, the answer, the
// payment page's query, the amounts and the request's transport rules.
#include "RedeIsolada.h"
#include "ServidorHttpTeste.h"
#include "ServidorPagamento.h"

#include "checkout/Instrucao.h"
#include "checkout/Transporte.h"
#include "checkout/Valores.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QXmlStreamReader>

using namespace vendalo;

namespace {

DadosInstrucao Exemplo()
{
    DadosInstrucao d;
    d.Razao = QStringLiteral("Licença do Qeltrano");
    d.ValorTotal = 1234.5;
    d.IdRetorno = QStringLiteral("20261210.101500.7.PED-1");
    d.Nome = QStringLiteral("Ana & Filhos <Ltda>");
    d.Email = QStringLiteral("ana@exemplo.example");
    d.IdPagador = QStringLiteral("cli-9");
    d.Logradouro = QStringLiteral("Rua \"A\" </Logradouro><Pais>XX</Pais>");
    d.Numero = QStringLiteral("10");
    d.Complemento = QStringLiteral("apto 1");
    d.Bairro = QStringLiteral("Centro");
    d.Cidade = QStringLiteral("São Paulo");
    d.Estado = QStringLiteral("SP");
    d.CEP = QStringLiteral("01001-000");
    d.TelefoneFixo = QStringLiteral("1133334444");
    return d;
}

// Element path ("EnviarInstrucao/InstrucaoUnica/Pagador/Nome") -> text, for
// every element of a well-formed document; empty when it is not well formed.
QMultiHash<QString, QString> Elementos(const QString& xml)
{
    QMultiHash<QString, QString> mapa;
    QXmlStreamReader leitor(xml);
    QStringList caminho;
    QString texto;
    while (!leitor.atEnd()) {
        leitor.readNext();
        if (leitor.isStartElement()) {
            caminho << leitor.name().toString();
            texto.clear();
        } else if (leitor.isCharacters()) {
            texto += leitor.text();
        } else if (leitor.isEndElement()) {
            mapa.insert(caminho.join(QLatin1Char('/')), texto.trimmed());
            caminho.removeLast();
            texto.clear();
        }
    }
    if (leitor.hasError())
        return {};
    return mapa;
}

}  // namespace

class TesteInstrucao : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Names with "&" and "<" and a crafted street stay text: the document
    // is well formed and has exactly the instruction's elements.
    void documentoEscapado()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        const QString xml = MontarInstrucao(Exemplo());
        QVERIFY(xml.startsWith(QStringLiteral("<EnviarInstrucao>  <InstrucaoUnica TipoValidacao=\"Transparente\">")));
        QVERIFY(!xml.contains(QLatin1Char('\n')));
        const auto e = Elementos(xml);
        QVERIFY(!e.isEmpty());
        const QString pagador = QStringLiteral("EnviarInstrucao/InstrucaoUnica/Pagador/");
        QCOMPARE(e.value(pagador + QStringLiteral("Nome")), QStringLiteral("Ana & Filhos <Ltda>"));
        QCOMPARE(e.value(pagador + QStringLiteral("EnderecoCobranca/Logradouro")),
                 QStringLiteral("Rua \"A\" </Logradouro><Pais>XX</Pais>"));
        QCOMPARE(e.values(pagador + QStringLiteral("EnderecoCobranca/Pais")), QStringList{QStringLiteral("BRA")});
        QCOMPARE(e.value(QStringLiteral("EnviarInstrucao/InstrucaoUnica/Valores/Valor")), QStringLiteral("1234.5"));
        QCOMPARE(e.value(QStringLiteral("EnviarInstrucao/InstrucaoUnica/IdProprio")),
                 QStringLiteral("20261210.101500.7.PED-1"));
        QCOMPARE(e.value(QStringLiteral("EnviarInstrucao/InstrucaoUnica/Parcelamentos/Parcelamento/MaximoParcelas")),
                 QStringLiteral("12"));
        QCOMPARE(e.value(pagador + QStringLiteral("EnderecoCobranca/Cidade")), QStringLiteral("São Paulo"));
    }

    // What a parser reads back of a value: the characters XML forbids are
    // gone, everything else arrives as typed.
    void textoParaXml_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("lido");
        QTest::newRow("controles colados") << QStringLiteral("Ana\x01Sou\x0bza\x1f") << QStringLiteral("AnaSouza");
        QTest::newRow("NUL") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b")) << QStringLiteral("ab");
        QTest::newRow("tab e quebra ficam") << QStringLiteral("a\tb\nc") << QStringLiteral("a\tb\nc");
        QTest::newRow("marcação") << QStringLiteral("<b>\"A\" & 'B'</b>") << QStringLiteral("<b>\"A\" & 'B'</b>");
        QTest::newRow("par substituto fica") << QStringLiteral("x\U0001F600y") << QStringLiteral("x\U0001F600y");
        QTest::newRow("substituto sozinho sai")
            << QString(QChar(0xD83D) + QStringLiteral("x") + QChar(0xDE00)) << QStringLiteral("x");
        QTest::newRow("não caracteres") << QString(QChar(0xFFFE) + QStringLiteral("ok") + QChar(0xFFFF))
                                        << QStringLiteral("ok");
    }

    void textoParaXml()
    {
        QFETCH(QString, valor);
        QFETCH(QString, lido);
        QXmlStreamReader leitor(QStringLiteral("<a>") + TextoParaXml(valor) + QStringLiteral("</a>"));
        QVERIFY(leitor.readNextStartElement());
        QCOMPARE(leitor.readElementText(), lido);
        QVERIFY2(!leitor.hasError(), qPrintable(leitor.errorString()));
    }

    void valores_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("mostrado");
        QTest::addColumn<QString>("enviado");
        QTest::newRow("19.9") << 19.9 << "19,90" << "19.9";
        QTest::newRow("1234.5") << 1234.5 << "1.234,50" << "1234.5";
        QTest::newRow("inteiro") << 12.0 << "12,00" << "12";
        QTest::newRow("zero") << 0.0 << "0,00" << "0";
    }

    // Whatever the process locale: Brazilian on screen, "." to the service.
    void valores()
    {
        QFETCH(double, valor);
        QFETCH(QString, mostrado);
        QFETCH(QString, enviado);
        for (const QLocale& local : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                     QLocale(QLocale::Portuguese, QLocale::Brazil)}) {
            QLocale::setDefault(local);
            QCOMPARE(FormatarValor(valor), mostrado);
            QCOMPARE(LerValor(mostrado), std::optional<double>(valor));
            QCOMPARE(ValorParaServico(valor), enviado);
        }
        QCOMPARE(LerValor(QStringLiteral("abc")), std::nullopt);
    }

    void idRetorno()
    {
        const QDateTime agora(QDate(2026, 3, 4), QTime(5, 6, 7));
        QCOMPARE(MontarIdRetorno(agora, QStringLiteral("42"), QStringLiteral("PED-1")),
                 QStringLiteral("20260304.050607.42.PED-1"));
    }

    void respostas_data()
    {
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<bool>("lida");
        QTest::addColumn<bool>("sucesso");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("erro");
        const QString tk = QStringLiteral("T0K3N");
        QTest::newRow("Sucesso") << apoio::ServidorPagamento::Sucesso(tk) << true << true << tk << QString();
        QTest::newRow("SUCESSO") << apoio::ServidorPagamento::Sucesso(tk, QStringLiteral("SUCESSO")) << true << true
                                 << tk << QString();
        QTest::newRow("sucesso") << apoio::ServidorPagamento::Sucesso(tk, QStringLiteral("sucesso")) << true << true
                                 << tk << QString();
        QTest::newRow("erro") << apoio::ServidorPagamento::Falha(QStringLiteral("171"),
                                                                 QStringLiteral("Valor \"inválido\" & <curto>"))
                              << true << false << QString() << QStringLiteral("171 - Valor inválido & <curto>");
        QTest::newRow("sem Resposta sob a raiz")
            << QByteArray("<Resposta><Status>Sucesso</Status><Token>x</Token></Resposta>") << true << false
            << QString() << QString();
        // Nothing to pay nor to verify with: no answer at all.
        QTest::newRow("sucesso sem token") << apoio::ServidorPagamento::Sucesso(QString()) << false << false
                                           << QString() << QString();
        QTest::newRow("token em branco") << apoio::ServidorPagamento::Sucesso(QStringLiteral(" \t ")) << false
                                         << false << QString() << QString();
        QTest::newRow("vazio") << QByteArray("  \r\n") << false << false << QString() << QString();
        QTest::newRow("não é XML") << QByteArray("<html><body>Bad gateway") << false << false << QString()
                                   << QString();
    }

    void respostas()
    {
        QFETCH(QByteArray, corpo);
        QFETCH(bool, lida);
        QFETCH(bool, sucesso);
        QFETCH(QString, token);
        QFETCH(QString, erro);
        const std::optional<RespostaInstrucao> r = LerRespostaInstrucao(corpo);
        QCOMPARE(r.has_value(), lida);
        if (!r)
            return;
        QCOMPARE(r->Sucesso, sucesso);
        QCOMPARE(r->Token, token);
        QCOMPARE(r->Erro, erro);
    }

    // Every value percent-encoded: a printed name with "&" stays one value.
    void parametrosPagina()
    {
        DadosPagina d;
        d.Opcao = 0;
        d.Instituicao = QStringLiteral("Visa");
        d.Parcelas = 3;
        d.NumeroCartao = QStringLiteral("4111 1111 1111 1111");
        d.ValidadeCartao = QStringLiteral("12/31");
        d.CodigoSeguranca = QStringLiteral("123");
        d.NomeImpresso = QStringLiteral("ANA & BIA=SILVA");
        d.NascimentoTitular = QStringLiteral("01/02/1980");
        d.TelefoneFixo = QStringLiteral("+55 11 3333-4444");
        d.CPF = QStringLiteral("529.982.247-25");
        d.Token = QStringLiteral("TK+/=");
        d.ModoDesenvolvedor = true;
        d.Rnd = 777;
        const QString cartao = MontarParametrosPagina(d);
        const QUrlQuery consulta(cartao);
        QStringList chaves;
        for (const auto& [chave, valor] : consulta.queryItems())
            chaves << chave;
        QCOMPARE(chaves, (QStringList{"instituicao", "parcelas", "numerocartao", "datavalidadecartao", "codigoseguranca",
                                      "nomeimpressocartao", "datanascimentotitular", "telefone", "cpf", "token",
                                      "C_TIPO_PAGAMENTO", "mododesenvolvedor", "rnd"}));
        QCOMPARE(consulta.queryItemValue(QStringLiteral("nomeimpressocartao"), QUrl::FullyDecoded), d.NomeImpresso);
        QCOMPARE(consulta.queryItemValue(QStringLiteral("telefone"), QUrl::FullyDecoded), d.TelefoneFixo);
        QCOMPARE(consulta.queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded), d.Token);
        QCOMPARE(consulta.queryItemValue(QStringLiteral("parcelas")), QStringLiteral("3"));
        QVERIFY(cartao.endsWith(QStringLiteral("&C_TIPO_PAGAMENTO=0&mododesenvolvedor=-1&rnd=777")));

        d.Opcao = 1;
        d.Instituicao = QStringLiteral("BancoDoBrasil");
        d.ModoDesenvolvedor = false;
        QCOMPARE(MontarParametrosPagina(d),
                 QStringLiteral("instituicao=BancoDoBrasil&token=TK%2B%2F%3D&C_TIPO_PAGAMENTO=1&mododesenvolvedor=0&rnd=777"));
        d.Opcao = 2;
        QCOMPARE(MontarParametrosPagina(d),
                 QStringLiteral("token=TK%2B%2F%3D&C_TIPO_PAGAMENTO=2&mododesenvolvedor=0&rnd=777"));

        for (int i = 0; i < 200; ++i) {
            const int r = NumeroAleatorioEndereco();
            QVERIFY(r >= 0 && r <= 99999);
        }
    }

    void transporte_data()
    {
        QTest::addColumn<QString>("endereco");
        QTest::addColumn<bool>("permitido");
        QTest::newRow("https") << "https://api.pagamentos-moip.example/ws" << true;
        QTest::newRow("http remoto") << "http://api.pagamentos-moip.example/ws" << false;
        QTest::newRow("http 127.0.0.1") << "http://127.0.0.1:8080/ws" << true;
        QTest::newRow("http ::1") << "http://[::1]:8080/ws" << true;
        QTest::newRow("http localhost") << "http://localhost/ws" << true;
        QTest::newRow("http 192.0.2.1") << "http://192.0.2.1/ws" << false;
        QTest::newRow("ftp") << "ftp://127.0.0.1/ws" << false;
        QTest::newRow("vazio") << "" << false;
    }

    void transporte()
    {
        QFETCH(QString, endereco);
        QFETCH(bool, permitido);
        QCOMPARE(EnderecoPermitido(endereco), permitido);
    }

    // The request carries the Basic header and the document; a refused
    // address sends nothing; a stop ends the wait at once.
    void envio()
    {
        apoio::ServidorPagamento servidor;
        const QByteArray autorizacao = CabecalhoAutorizacao(QStringLiteral("tok"), QStringLiteral("chave"));
        servidor.DefinirAutorizacaoEsperada(autorizacao);
        servidor.DefinirCorpo(apoio::ServidorPagamento::Sucesso(QStringLiteral("TK1")));
        const QString endereco = servidor.Endereco() + QStringLiteral("/ws/alpha/EnviarInstrucao/Unica");
        const QString documento = MontarInstrucao(Exemplo());

        ResultadoEnvio r = EnviarInstrucao(endereco, autorizacao, documento, 15000, {});
        QCOMPARE(r.fim, FimEspera::Resposta);
        QCOMPARE(LerRespostaInstrucao(r.corpo)->Token, QStringLiteral("TK1"));
        QCOMPARE(servidor.Pedidos().size(), 1);
        QCOMPARE(servidor.Pedidos().first().metodo, QByteArray("POST"));
        QCOMPARE(servidor.Pedidos().first().caminho, QByteArray("/ws/alpha/EnviarInstrucao/Unica"));
        QCOMPARE(QString::fromUtf8(servidor.Pedidos().first().corpo), documento);

        // Wrong credentials: the service answers 401 without a body.
        r = EnviarInstrucao(endereco, CabecalhoAutorizacao(QStringLiteral("tok"), QStringLiteral("outra")), documento,
                            15000, {});
        QCOMPARE(r.fim, FimEspera::Resposta);
        QCOMPARE(LerRespostaInstrucao(r.corpo), std::nullopt);

        servidor.DefinirSilencio(true);
        bool parar = false;
        QTimer::singleShot(100, [&] { parar = true; });
        QElapsedTimer relogio;
        relogio.start();
        r = EnviarInstrucao(endereco, autorizacao, documento, 15000, [&] { return parar; });
        QCOMPARE(r.fim, FimEspera::Finalizado);
        QVERIFY(relogio.elapsed() < 10000);
    }

    // Plain HTTP off loopback is never sent, neither asked directly nor as
    // the target of the service's redirect, which the checkout does not
    // follow: the credentials stay here.
    void foraDoLoopback()
    {
        APOIO_EM_REDE_ISOLADA();
        apoio::ServidorHttpTeste externo(apoio::EnderecoExterno());
        QVERIFY(externo.Ouvindo());
        apoio::ServidorHttpTeste servico;
        servico.DefinirPadrao([&](const apoio::PedidoHttp&) {
            return apoio::RespostaHttpTeste::Redirecionar(externo.Endereco(QStringLiteral("/ws")).toUtf8(), 307);
        });
        const QByteArray autorizacao = CabecalhoAutorizacao(QStringLiteral("tok"), QStringLiteral("chave"));
        const QString documento = MontarInstrucao(Exemplo());

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("recusado")));
        QCOMPARE(EnviarInstrucao(externo.Endereco(QStringLiteral("/ws")), autorizacao, documento, 15000, {}).fim,
                 FimEspera::SemResposta);
        const ResultadoEnvio redirecionado =
            EnviarInstrucao(servico.Endereco(QStringLiteral("/ws")), autorizacao, documento, 15000, {});
        QCOMPARE(redirecionado.fim, FimEspera::Resposta);
        QCOMPARE(LerRespostaInstrucao(redirecionado.corpo), std::nullopt);
        const RespostaHttp consulta = ObterHttp(QUrl(externo.Endereco(QStringLiteral("/consulta"))), {}, 15);
        QVERIFY(!consulta.erro.isEmpty());
        QCOMPARE(servico.Pedidos().size(), 1);
        QCOMPARE(externo.ConexoesAceitas(), 0);
    }

    // An answer streamed far past any real one ends the wait at the cap,
    // with its reason in a warning; the status query the same.
    void respostaEnorme()
    {
        apoio::ServidorHttpTeste servico;
        apoio::RespostaHttpTeste enorme;
        enorme.tamanhoAnunciado = -2;
        enorme.bloco = 64 * 1024;
        enorme.repetirBlocos = 3 * 1024 * 16;
        servico.DefinirPadrao([&](const apoio::PedidoHttp&) { return enorme; });
        const QRegularExpression aviso(QStringLiteral("resposta recusada .*limite"));
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QTest::ignoreMessage(QtWarningMsg, aviso);
        QElapsedTimer relogio;
        relogio.start();
        const ResultadoEnvio r = EnviarInstrucao(servico.Endereco(QStringLiteral("/ws")),
                                                 CabecalhoAutorizacao(QStringLiteral("t"), QStringLiteral("k")),
                                                 MontarInstrucao(Exemplo()), 15000, {});
        QCOMPARE(r.fim, FimEspera::SemResposta);
        const RespostaHttp consulta = ObterHttp(QUrl(servico.Endereco(QStringLiteral("/consulta"))), {}, 15);
        QVERIFY(consulta.corpo.isEmpty());
        QVERIFY(!consulta.erro.isEmpty());
        QVERIFY(relogio.elapsed() < 10000);
        QVERIFY2(servico.BytesEnviados() < 64LL * 1024 * 1024, qPrintable(QString::number(servico.BytesEnviados())));
    }
};

QTEST_MAIN(TesteInstrucao)
#include "tst_instrucao.moc"
