// The status query against a local service, its XML reader and the export
// of what it read.
#include "Apoio.h"
#include "ServidorMoip.h"
#include "checkout/ConsultaPagamento.h"
#include "checkout/ExportacaoTransacao.h"
#include "suite/Utilitarios.h"

#include <QSettings>
#include <QtTest>

using namespace vendalo;

namespace {
const QString kToken = QStringLiteral("01234567890123456789012345678901");
const QString kChave = QStringLiteral("0123456789012345678901234567890123456789");
QByteArray Basic(const QString& token, const QString& chave)
{
    return "Basic " + (token + u':' + chave).toLatin1().toBase64();
}
}  // namespace

class TesteConsulta : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { servidor_.DefinirCredenciais(kToken, kChave); }

    void DuasPagamentosLidosComSeusValores()
    {
        const ResultadoConsulta r =
            ConsultarInstrucao(EnderecoConsulta(servidor_.Endereco(), false, QStringLiteral("TOK 1&2?"), 77),
                               Basic(kToken, kChave), 15);
        QVERIFY2(r.respondeu, qPrintable(r.motivo));
        QCOMPARE(r.dados.Pagamentos.size(), 2);
        QCOMPARE(r.dados.Pagador_Nome, QStringLiteral("Teste da Silva"));
        QCOMPARE(r.dados.EnderecoCobranca_Logradouro, QStringLiteral("Rua das Flores & Cia"));
        QCOMPARE(r.dados.EnderecoCobranca_Cidade, QStringLiteral("São Paulo"));
        QCOMPARE(r.dados.Recebedor_Email, QStringLiteral("vendas@loja.example"));
        QCOMPARE(r.dados.Pagamento(1)->StatusID, 4);
        QCOMPARE(r.dados.Pagamento(1)->Cartao, QStringLiteral("411111******1111"));
        QCOMPARE(r.dados.Pagamento(2)->FormaPagamento, QStringLiteral("BoletoBancario"));
        QCOMPARE(r.dados.Pagamento(2)->ValorLiquido, QStringLiteral("23.00"));
        QVERIFY(r.dados.Pagamento(0) == nullptr);
        QVERIFY(r.dados.Pagamento(3) == nullptr);
        QVERIFY(r.dados.Pagamento(-1) == nullptr);

        // The token is one path segment, escaped; the nonce rides in the query.
        const auto pedido = servidor_.Pedidos().last();
        QCOMPARE(pedido.caminho, QStringLiteral("/ws/alpha/ConsultarInstrucao/TOK 1&2?"));
        QCOMPARE(pedido.consulta.queryItemValue(QStringLiteral("rnd")), QStringLiteral("77"));
    }

    void CaminhoDoSandbox()
    {
        const ResultadoConsulta r = ConsultarInstrucao(
            EnderecoConsulta(servidor_.Endereco(), true, QStringLiteral("ABC"), 1), Basic(kToken, kChave), 15);
        QVERIFY2(r.respondeu, qPrintable(r.motivo));
        QCOMPARE(servidor_.Pedidos().last().caminho, QStringLiteral("/sandbox/ws/alpha/ConsultarInstrucao/ABC"));
    }

    void CabecalhoErradoRecusadoPeloServidor()
    {
        const ResultadoConsulta r = ConsultarInstrucao(EnderecoConsulta(servidor_.Endereco(), false, "ABC", 1),
                                                       Basic(kToken, kChave.chopped(1) + u'x'), 15);
        QVERIFY(!r.respondeu);
        QVERIFY2(r.motivo.contains(QLatin1String("401")), qPrintable(r.motivo));
        QVERIFY(r.dados.Pagamentos.isEmpty());
    }

    void RespostasQueNaoServem_data()
    {
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<QString>("trecho");
        QTest::newRow("página de erro") << QByteArray("<html><body>erro interno</body></html>") << "html";
        QTest::newRow("texto puro") << QByteArray("OK") << "XML";
        QTest::newRow("vazio") << QByteArray() << "XML";
        QTest::newRow("outra raiz") << QByteArray("<Outra><Resposta><Status>Sucesso</Status></Resposta></Outra>")
                                    << "Outra";
        QTest::newRow("erro do serviço")
            << QByteArray("<ConsultarInstrucaoResposta><Resposta><Status>Falha</Status>"
                          "<Erro Codigo=\"171\">Token inexistente</Erro></Resposta></ConsultarInstrucaoResposta>")
            << "171 - Token inexistente";
        // A well-formed start with payments that breaks later must not leave
        // half the data behind.
        QTest::newRow("cortado") << apoio::ServidorMoip::RespostaConsultaPadrao().left(900) << "XML";
    }
    void RespostasQueNaoServem()
    {
        QFETCH(QByteArray, corpo);
        QFETCH(QString, trecho);
        servidor_.DefinirRespostaConsulta(corpo);
        const ResultadoConsulta r = ConsultarInstrucao(EnderecoConsulta(servidor_.Endereco(), false, "ABC", 1),
                                                       Basic(kToken, kChave), 15);
        servidor_.DefinirRespostaConsulta(apoio::ServidorMoip::RespostaConsultaPadrao());
        QVERIFY(!r.respondeu);
        QVERIFY2(r.motivo.contains(trecho), qPrintable(r.motivo));
        QVERIFY(r.dados.Pagamentos.isEmpty());
        QVERIFY(r.dados.Pagador_Nome.isEmpty());
    }

    void StatusEmQualquerCaixaEElementosDesconhecidos()
    {
        const ResultadoConsulta r = LerRespostaConsulta(
            "<ConsultarInstrucaoResposta><Resposta><Status>SUCESSO</Status><Novo>x</Novo><Autorizacao>"
            "<Pagamento><StatusID>abc</StatusID><Extra><Data>não</Data></Extra><Data>d</Data></Pagamento>"
            "</Autorizacao></Resposta></ConsultarInstrucaoResposta>");
        QVERIFY2(r.respondeu, qPrintable(r.motivo));
        QCOMPARE(r.dados.Pagamentos.size(), 1);
        QCOMPARE(r.dados.Pagamentos[0].StatusID, 0);
        QCOMPARE(r.dados.Pagamentos[0].Data, QStringLiteral("d"));
    }

    void SoHttpsForaDoLoopback()
    {
        const ResultadoConsulta r = ConsultarInstrucao(
            EnderecoConsulta(QStringLiteral("http://api.moip.example"), false, "ABC", 1), Basic(kToken, kChave), 15);
        QVERIFY(!r.respondeu);
        QVERIFY2(r.motivo.contains(QLatin1String("https")), qPrintable(r.motivo));
    }

    void ExportacaoEscreveAsQuatroSecoes()
    {
        const QString arquivo = ambiente_.Caminho(QStringLiteral("transacao.ini"));
        orvessa::Utilitarios::Instancia().GravarINI(arquivo, "Checkout", "ID", "20261210.101500.7.P1");
        const ResultadoConsulta r = LerRespostaConsulta(apoio::ServidorMoip::RespostaConsultaPadrao());
        QVERIFY(r.respondeu);
        GravarDadosPagamento(arquivo, r.dados);

        auto ler = [&](const char* secao, const char* chave) {
            return orvessa::Utilitarios::Instancia().LerINI(arquivo, QString::fromUtf8(secao), QString::fromUtf8(chave));
        };
        QCOMPARE(ler("Checkout", "ID"), QStringLiteral("20261210.101500.7.P1"));
        QCOMPARE(ler("Pagador", "Nome"), QStringLiteral("Teste da Silva"));
        QCOMPARE(ler("Endereço de cobranca", "Logradouro"), QStringLiteral("Rua das Flores & Cia"));
        QCOMPARE(ler("Endereço de cobranca", "Cidade"), QStringLiteral("São Paulo"));
        QCOMPARE(ler("Recebedor", "Nome"), QStringLiteral("Loja Exemplo"));
        QCOMPARE(ler("Pagamento", "TotalItens"), QStringLiteral("2"));
        QCOMPARE(ler("Pagamento", "StatusID1"), QStringLiteral("4"));
        QCOMPARE(ler("Pagamento", "Status2"), QStringLiteral("Iniciado"));
        QCOMPARE(ler("Pagamento", "CodigoMoIP2"), QStringLiteral("84701"));
        // Section names exactly as the hosts read them.
        QFile bruto(arquivo);
        QVERIFY(bruto.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(bruto.readAll());
        QVERIFY(texto.contains(QStringLiteral("[Endereço de cobranca]")));
        QVERIFY(texto.contains(QStringLiteral("[Pagamento]")));
    }

private:
    apoio::AmbienteTeste ambiente_;
    apoio::ServidorMoip servidor_;
};

QTEST_GUILESS_MAIN(TesteConsulta)
#include "tst_consulta.moc"
