// The payment page driven in the hidden browser against a local page, and
// the rules that read its answer.
#include "Apoio.h"
#include "ServidorMoip.h"
#include "checkout/Form3.h"
#include "checkout/PaginaPagamento.h"
#include "suite/TextoMarcado.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

using namespace vendalo;

class TestePagina : public QObject {
    Q_OBJECT
private:
    ResultadoPagina Executar(const QString& parametros, int opcao, int limiteMs = 60000)
    {
        PaginaPagamento pagina;
        QSignalSpy concluido(&pagina, &PaginaPagamento::Concluido);
        pagina.Iniciar(EnderecoPagina(servidor_.Endereco(), parametros), opcao, limiteMs);
        if (!concluido.wait(limiteMs + 30000))
            return {DesfechoPagina::SemResposta, {}, QStringLiteral("o teste não viu Concluido")};
        [&] { QCOMPARE(concluido.count(), 1); }();
        return concluido.at(0).at(0).value<ResultadoPagina>();
    }

private slots:
    void RespostasDaPagina_data()
    {
        QTest::addColumn<QString>("corpo");
        QTest::addColumn<int>("opcao");
        QTest::addColumn<bool>("resposta");
        QTest::addColumn<int>("desfecho");
        const int aprovado = int(DesfechoPagina::Aprovado), recusado = int(DesfechoPagina::Recusado);
        QTest::newRow("cartão autorizado") << "{\"Status\":\"Autorizado\",\"Codigo\":0}" << 0 << true << aprovado;
        QTest::newRow("caixa diferente") << "  {\"Status\":\"autorizado\"} " << 0 << true << aprovado;
        QTest::newRow("em análise") << "{\"Status\":\"EmAnalise\"}" << 0 << true << aprovado;
        QTest::newRow("cartão iniciado não basta") << "{\"Status\":\"Iniciado\",\"Url\":\"https://b.example/1\"}" << 0
                                                   << true << recusado;
        QTest::newRow("cancelado") << "{\"Status\":\"Cancelado\",\"Mensagem\":\"Recusado\"}" << 0 << true << recusado;
        QTest::newRow("boleto com endereço") << "{\"Status\":\"Iniciado\",\"Url\":\"https://b.example/1\"}" << 2 << true
                                             << aprovado;
        QTest::newRow("boleto sem endereço") << "{\"Status\":\"BoletoImpresso\",\"Url\":\"\"}" << 2 << true << recusado;
        QTest::newRow("boleto em http") << "{\"Status\":\"Iniciado\",\"Url\":\"http://b.example/1\"}" << 2 << true
                                        << recusado;
        QTest::newRow("boleto javascript") << "{\"Status\":\"Iniciado\",\"Url\":\"javascript:alert(1)\"}" << 2 << true
                                           << recusado;
        QTest::newRow("débito iniciado") << "{\"Status\":\"Iniciado\",\"Url\":\"https://banco.example/x\"}" << 1 << true
                                         << aprovado;
        QTest::newRow("texto enquanto processa") << "Processando o pagamento..." << 0 << false << 0;
        QTest::newRow("JSON sem Status") << "{\"Codigo\":1}" << 0 << false << 0;
        QTest::newRow("JSON cortado") << "{\"Status\":\"Autori" << 0 << false << 0;
    }
    void RespostasDaPagina()
    {
        QFETCH(QString, corpo);
        QFETCH(int, opcao);
        QFETCH(bool, resposta);
        QFETCH(int, desfecho);
        const auto lida = LerRespostaPagina(corpo);
        QCOMPARE(lida.has_value(), resposta);
        if (lida)
            QCOMPARE(int(AvaliarResposta(*lida, opcao).desfecho), desfecho);
    }

    // The page's message is shown inside marked-up text: it may not open a
    // tag of its own.
    void MensagemDaPaginaNaoViraMarcacao()
    {
        const QString html = orvessa::TextoMarcadoParaHtml(TextoLiteral(QStringLiteral("<b>grátis</b> <c=&H0000FF&>x")));
        QVERIFY2(!html.contains(QLatin1String("<b>")), qPrintable(html));
        QVERIFY2(!html.contains(QLatin1String("color")), qPrintable(html));
        QCOMPARE(orvessa::TextoMarcadoParaSimples(TextoLiteral(QStringLiteral("a < b"))).remove(QChar(0x200B)),
                 QStringLiteral("a < b"));
    }

    void CartaoAutorizado()
    {
        servidor_.DefinirPagina(apoio::ServidorMoip::Pagina::Autorizar);
        const ResultadoPagina r = Executar(QStringLiteral("instituicao=Visa&parcelas=2&token=TK1&C_TIPO_PAGAMENTO=0"), 0);
        QVERIFY2(r.desfecho == DesfechoPagina::Aprovado, qPrintable(r.motivo));
        QCOMPARE(r.resposta.Status, QStringLiteral("Autorizado"));
        QCOMPARE(r.resposta.CodigoMoIP, QStringLiteral("84785"));
        QCOMPARE(r.resposta.Codigo, QStringLiteral("0"));
        const auto pedido = servidor_.PedidosEm(QStringLiteral("/sandbox.asp")).last();
        QCOMPARE(pedido.consulta.queryItemValue(QStringLiteral("token")), QStringLiteral("TK1"));
        QCOMPARE(pedido.consulta.queryItemValue(QStringLiteral("parcelas")), QStringLiteral("2"));
    }

    void RecusadoComMotivo()
    {
        servidor_.DefinirPagina(apoio::ServidorMoip::Pagina::Recusar);
        const ResultadoPagina r = Executar(QStringLiteral("token=TK2&C_TIPO_PAGAMENTO=0"), 0);
        QCOMPARE(int(r.desfecho), int(DesfechoPagina::Recusado));
        QCOMPARE(r.motivo, QStringLiteral("Pagamento não autorizado pela operadora do cartão."));
    }

    void BoletoDaSeuEndereco()
    {
        servidor_.DefinirPagina(apoio::ServidorMoip::Pagina::Boleto);
        const ResultadoPagina r = Executar(QStringLiteral("token=TK3&C_TIPO_PAGAMENTO=2"), 2);
        QVERIFY2(r.desfecho == DesfechoPagina::Aprovado, qPrintable(r.motivo));
        QCOMPARE(r.resposta.Url, servidor_.UrlBoleto());
    }

    void PaginaQueNuncaResponde()
    {
        servidor_.DefinirPagina(apoio::ServidorMoip::Pagina::Silencio);
        const ResultadoPagina r = Executar(QStringLiteral("token=TK4&C_TIPO_PAGAMENTO=1"), 1, 3000);
        QCOMPARE(int(r.desfecho), int(DesfechoPagina::SemResposta));
        QVERIFY2(r.motivo.contains(QStringLiteral("não respondeu em 3 segundos")), qPrintable(r.motivo));
    }

    void PaginaSemAFuncao()
    {
        PaginaPagamento pagina;
        QSignalSpy concluido(&pagina, &PaginaPagamento::Concluido);
        pagina.Iniciar(QUrl(servidor_.Endereco() + QStringLiteral("/boleto/x")), 0, 60000);
        QVERIFY(concluido.wait(60000));
        const auto r = concluido.at(0).at(0).value<ResultadoPagina>();
        QCOMPARE(int(r.desfecho), int(DesfechoPagina::FalhaPagina));
        QVERIFY2(r.motivo.contains(QLatin1String("processaPagtoCredito()")), qPrintable(r.motivo));
    }

    void InterrompidaDuranteAEspera()
    {
        servidor_.DefinirPagina(apoio::ServidorMoip::Pagina::Silencio);
        PaginaPagamento pagina;
        QSignalSpy concluido(&pagina, &PaginaPagamento::Concluido);
        pagina.Iniciar(EnderecoPagina(servidor_.Endereco(), QStringLiteral("token=TK5")), 0, 60000);
        QVERIFY(pagina.Trabalhando());
        QTest::qWait(300);
        pagina.Interromper();
        QCOMPARE(concluido.count(), 1);
        QVERIFY(!pagina.Trabalhando());
        QCOMPARE(int(concluido.at(0).at(0).value<ResultadoPagina>().desfecho), int(DesfechoPagina::Interrompido));
        // Nothing more arrives from the stopped run.
        QTest::qWait(500);
        QCOMPARE(concluido.count(), 1);
    }

    void SoHttpsForaDoLoopback()
    {
        PaginaPagamento pagina;
        QSignalSpy concluido(&pagina, &PaginaPagamento::Concluido);
        pagina.Iniciar(EnderecoPagina(QStringLiteral("http://pagamento.qeltrano.example"), "token=1"), 0, 60000);
        QVERIFY(concluido.wait(5000));
        QCOMPARE(int(concluido.at(0).at(0).value<ResultadoPagina>().desfecho), int(DesfechoPagina::FalhaPagina));
    }

private:
    apoio::AmbienteTeste ambiente_;
    apoio::ServidorMoip servidor_;
};

QTEST_MAIN(TestePagina)
#include "tst_paginapagamento.moc"
