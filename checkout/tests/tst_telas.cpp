// The quantity and payer screens, and the payer screen's button sending the
// instruction to a real HTTP server on 127.0.0.1.
#include "Apoio.h"
#include "Respostas.h"
#include "ServidorPagamento.h"

#include "checkout/Checkout.h"
#include "checkout/Configuracao.h"
#include "checkout/Form1.h"
#include "checkout/Form2.h"
#include "checkout/Form3.h"
#include "checkout/Instrucao.h"
#include "checkout/modGlobal.h"
#include "suite/BalaoAviso.h"
#include "suite/Controles.h"
#include "suite/TextoMarcado.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>
#include <memory>

using namespace vendalo;
using F = Form2;

namespace {

const QString Token32 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
const QString Chave40 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
const QString SemResposta = QStringLiteral(
    "<b>Atenção</b> O servidor não respondeu corretamente. Por favor verifique o seu token e a sua chave de acesso.");

void ApagarAdiados()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A payer and a card that pass every check.
void Preencher(Form2* f)
{
    const QList<QPair<int, QString>> valores = {
        {F::CampoResponsavel, QStringLiteral("Ana Souza")},  {F::CampoCep, QStringLiteral("01001-000")},
        {F::CampoLogradouro, QStringLiteral("Praça da Sé")}, {F::CampoNumero, QStringLiteral("100")},
        {F::CampoComplemento, QStringLiteral("sala 2")},    {F::CampoBairro, QStringLiteral("Sé")},
        {F::CampoMunicipio, QStringLiteral("São Paulo")},   {F::CampoTelefoneFixo, QStringLiteral("1133334444")},
        {F::CampoEmail, QStringLiteral("ana@exemplo.example")},
        {F::CampoNomeImpresso, QStringLiteral("ANA SOUZA")},
        {F::CampoNascimentoTitular, QStringLiteral("01/02/1980")},
        {F::CampoCPFTitular, QStringLiteral("52998224725")},
        {F::CampoTelefoneTitular, QStringLiteral("11999998888")},
        {F::CampoNumeroCartao, QStringLiteral("4111111111111111")},
        {F::CampoCodigoSeguranca, QStringLiteral("123")},
        {F::CampoValidadeCartao, QStringLiteral("12/2031")},
    };
    for (const auto& [campo, valor] : valores)
        f->CaixaCampo(campo)->DefinirTexto(valor);
    f->txtParcelas()->DefinirTexto(QStringLiteral("1"));
}

QString ValorElemento(const QByteArray& xml, const QString& nome, bool* valido = nullptr)
{
    QXmlStreamReader leitor(xml);
    QString achado;
    while (!leitor.atEnd()) {
        if (leitor.readNext() == QXmlStreamReader::StartElement && leitor.name() == nome && achado.isEmpty())
            achado = leitor.readElementText();
    }
    if (valido)
        *valido = !leitor.hasError();
    return achado;
}

}  // namespace

class TesteTelas : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<apoio::AmbienteTeste> ambiente_;
    std::unique_ptr<apoio::Respostas> respostas_;
    std::unique_ptr<apoio::ServidorPagamento> servidor_;

    Form2* AbrirForm2()
    {
        Form2* f = Form2::Instancia(nullptr);
        f->Carregar();
        f->show();
        return f;
    }

    Form1* AbrirForm1()
    {
        Form1* f = Form1::Instancia();
        f->Carregar();
        f->show();
        return f;
    }

    QString Balao() const
    {
        const orvessa::BalaoAviso& b = orvessa::BalaoAviso::Instancia();
        return b.Visivel() ? b.TextoExibido() : QString();
    }

private slots:
    void init()
    {
        ambiente_ = std::make_unique<apoio::AmbienteTeste>();
        respostas_ = std::make_unique<apoio::Respostas>();
        respostas_->DefinirPadrao(1);
        servidor_ = std::make_unique<apoio::ServidorPagamento>();
        servidor_->DefinirAutorizacaoEsperada(CabecalhoAutorizacao(Token32, Chave40));
        servidor_->DefinirCorpo(apoio::ServidorPagamento::Sucesso(QStringLiteral("TOKEN-INSTRUCAO")));
        ConfiguracaoCheckout& c = ConfigCheckout();
        c = ConfiguracaoCheckout();
        c.HostApi = servidor_->Endereco();
        c.HostApiSandbox = servidor_->Endereco();
        c.PastaChave = ambiente_->Caminho(QStringLiteral("config/Vendalo"));
        ParametrosCheckout& p = Parametros();
        p = ParametrosCheckout();
        p.MOIP_Token = Token32;
        p.MOIP_ChaveAcesso = Chave40;
        p.MOIP_IdProprio = QStringLiteral("PED-1");
        p.MOIP_IdPagador = QStringLiteral("cliente-7");
        p.MOIP_RazaoPagamento = QStringLiteral("Licença");
        p.MOIP_ValorUnitario = 19.9;
        p.ValorTotal = 19.9;
        // These tests look at the payer screen only: with the outcome screen
        // already loaded an accepted instruction does not open it.
        Form3::Instancia(nullptr)->Carregar();
    }

    void cleanup()
    {
        ParametrosCheckout& p = Parametros();
        for (orvessa::Formulario* f : {static_cast<orvessa::Formulario*>(p.form2.data()),
                                       static_cast<orvessa::Formulario*>(p.form1.data())})
            if (f)
                f->Descarregar(true);
        if (Parametros().form3)
            Parametros().form3->Descarregar(true);
        ApagarAdiados();
        orvessa::BalaoAviso::Instancia().OcultarBalao();
        QLocale::setDefault(QLocale::c());
        GravarDadosPendentes();
        servidor_.reset();
        respostas_.reset();
        ambiente_.reset();
    }

    // ---- the run ------------------------------------------------------------------------

    // Skipping the first screen: one item at the unit value. A stop asked
    // with nothing pending stays until the next run, which clears it; a
    // second run while the screens are open is refused.
    void processarPagamento()
    {
        ParametrosCheckout& p = Parametros();
        p.MOIP_OmitirTelaInicial = true;
        p.MOIP_ValorUnitario = 12.5;
        p.QuantidadeItens = 7;
        Checkout host;
        host.App_Finalizar();
        QVERIFY(p.Finalizar);
        bool finalizar = true, segunda = true;
        int itens = 0;
        double total = 0;
        QTimer::singleShot(0, [&] {
            (void)QTest::qWaitFor([&] { return p.form2 && p.form2->isVisible(); }, 20000);
            finalizar = p.Finalizar;
            itens = p.QuantidadeItens;
            total = p.ValorTotal;
            segunda = host.App_ProcessarPagamento();
            if (p.form2)
                p.form2->close();
        });
        QCOMPARE(host.App_ProcessarPagamento(), false);
        QVERIFY(!finalizar);
        QCOMPARE(itens, 1);
        QCOMPARE(total, 12.5);
        QVERIFY(!segunda);
        QVERIFY(respostas_->Caixas().isEmpty());
    }

    // ---- quantity screen ----------------------------------------------------------------

    void quantidadeZeroMostraBalao()
    {
        Form1* f = AbrirForm1();
        QCOMPARE(f->windowTitle(), QStringLiteral("Pagamento seguro MOIP - Etapa 1 de 3"));
        f->txtQuantidade()->DefinirTexto(QStringLiteral("0"));
        f->Btn()->click();
        QCOMPARE(Balao(), QStringLiteral("Informe a quantidade."));
        QCOMPARE(orvessa::BalaoAviso::Instancia().ControleBalao(), f->txtQuantidade());
        QVERIFY(!Parametros().form2);
        // Typing hides it.
        f->txtQuantidade()->DefinirTexto(QStringLiteral("2"));
        QCOMPARE(Balao(), QString());
    }

    void quantidadeEValor_data()
    {
        QTest::addColumn<double>("unitario");
        QTest::addColumn<QString>("quantidade");
        QTest::addColumn<QString>("mostrado");
        QTest::addColumn<double>("total");
        QTest::addColumn<int>("itens");
        QTest::newRow("1 x 19.9") << 19.9 << "1" << "19,90" << 19.9 << 1;
        QTest::newRow("milhar") << 19.9 << "100" << "1.990,00" << 1990.0 << 100;
        // The stored total is the amount shown, not the exact product.
        QTest::newRow("três decimais") << 3.337 << "3" << "10,01" << 10.01 << 3;
    }

    // Brazilian amounts whatever the process locale; the button keeps the
    // quantity and the total as shown and opens the payer screen.
    void quantidadeEValor()
    {
        QFETCH(double, unitario);
        QFETCH(QString, quantidade);
        QFETCH(QString, mostrado);
        QFETCH(double, total);
        QFETCH(int, itens);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Parametros().MOIP_ValorUnitario = unitario;
        Form1* f = AbrirForm1();
        f->txtQuantidade()->DefinirTexto(quantidade);
        QCOMPARE(f->lblValor()->text(), mostrado);
        bool abriu = false;
        QTimer::singleShot(0, [&] {
            abriu = Parametros().form2 && Parametros().form2->isVisible();
            if (Parametros().form2)
                Parametros().form2->close();
        });
        f->Btn()->click();
        QVERIFY(abriu);
        QCOMPARE(Parametros().ValorTotal, total);
        QCOMPARE(Parametros().QuantidadeItens, itens);
        QVERIFY(f->isVisible());
    }

    // A successful payment folds the screens up as each modal call returns.
    void fecharTelasAposPagamento()
    {
        Form1* f = AbrirForm1();
        QPointer<Form1> vigia(f);
        QTimer::singleShot(0, [&] {
            (void)QTest::qWaitFor([&] { return Parametros().form2 && Parametros().form2->isVisible(); }, 20000);
            Parametros().FecharTelas = true;
            Parametros().form2->close();
        });
        f->Btn()->click();
        QVERIFY(!vigia || !vigia->Carregado());
    }

    // A text that is no number keeps the amount shown.
    void quantidadeInvalidaMantemValor()
    {
        Form1* f = AbrirForm1();
        QCOMPARE(f->lblValor()->text(), QStringLiteral("19,90"));
        f->txtQuantidade()->DefinirTexto(QString());
        QCOMPARE(f->lblValor()->text(), QStringLiteral("19,90"));
    }

    void fecharTelasNaAtivacao()
    {
        Form1* f = AbrirForm1();
        QPointer<Form1> vigia(f);
        Parametros().FecharTelas = true;
        QEvent ativar(QEvent::WindowActivate);
        QApplication::sendEvent(f, &ativar);
        QTRY_VERIFY(!vigia || !vigia->Carregado());
        ApagarAdiados();
        QVERIFY(!Parametros().form1);
    }

    // The host's picture, else the screen's default file, else none.
    void imagemDeFundo()
    {
        QImage azul(8, 8, QImage::Format_RGB32);
        azul.fill(Qt::blue);
        QImage verde(8, 8, QImage::Format_RGB32);
        verde.fill(Qt::green);
        const QString pasta = ambiente_->Pasta();
        QVERIFY(azul.save(ambiente_->Caminho(QStringLiteral("minha.png")), "PNG"));
        QVERIFY(verde.save(ambiente_->Caminho(QStringLiteral("001.jpg")), "JPG"));
        const auto cor = [](const QImage& i) { return i.isNull() ? QColor() : i.pixelColor(4, 4); };
        QCOMPARE(cor(TelaCheckout::CarregarFundo(pasta, QStringLiteral("minha.png"), QStringLiteral("001.jpg"))),
                 QColor(Qt::blue));
        const QImage padrao = TelaCheckout::CarregarFundo(pasta, QStringLiteral("falta.png"), QStringLiteral("001.jpg"));
        QVERIFY(!padrao.isNull());
        QVERIFY(cor(padrao).green() > 200 && cor(padrao).blue() < 60);
        QVERIFY(TelaCheckout::CarregarFundo(pasta, QString(), QStringLiteral("002.jpg")).isNull());

        Parametros().App_DiretorioImagens = pasta;
        Parametros().App_Img001 = QStringLiteral("minha.png");
        QCOMPARE(cor(AbrirForm1()->Fundo()), QColor(Qt::blue));
    }

    // ---- payer screen ---------------------------------------------------------------------

    // The payer fields and the state come back from the store; a state not
    // in the list (or none) selects "AC".
    void restauraDadosEEstado_data()
    {
        QTest::addColumn<QString>("uf");
        QTest::addColumn<QString>("selecionado");
        QTest::newRow("SP") << "SP" << "SP";
        QTest::newRow("desconhecido") << "XX" << "AC";
        QTest::newRow("nenhum") << "" << "AC";
    }

    void restauraDadosEEstado()
    {
        QFETCH(QString, uf);
        QFETCH(QString, selecionado);
        GravarDadoSalvo(F::CampoResponsavel, QStringLiteral("Ana Souza"));
        GravarDadoSalvo(F::CampoEmail, QStringLiteral("ana@exemplo.example"));
        GravarDadoSalvo(F::CampoTelefoneFixo, QStringLiteral("1133334444"));
        if (!uf.isEmpty())
            GravarDadoSalvo(F::CampoUf, uf);
        Parametros().InstituicaoSelecionada = 4;
        GravarDadoSalvo(F::CampoNumeroCartao, QStringLiteral("4111111111111111"));

        Form2* f = AbrirForm2();
        QCOMPARE(f->txtUf()->count(), 27);
        QCOMPARE(f->txtUf()->itemText(0), QStringLiteral("AC"));
        QCOMPARE(f->txtUf()->itemText(26), QStringLiteral("TO"));
        QCOMPARE(f->txtUf()->Texto(), selecionado);
        QCOMPARE(f->CaixaCampo(F::CampoResponsavel)->Texto(), QStringLiteral("Ana Souza"));
        QCOMPARE(f->CaixaCampo(F::CampoEmail)->Texto(), QStringLiteral("ana@exemplo.example"));
        QCOMPARE(f->CaixaCampo(F::CampoTelefoneFixo)->Texto(), QStringLiteral("1133334444"));
        QCOMPARE(f->CaixaCampo(F::CampoNumeroCartao)->Texto(), QStringLiteral("4111111111111111"));
        QCOMPARE(f->txtCartao()->Texto(), QStringLiteral("CARTÃO DE CRÉDITO -  VISA"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Pagamento seguro MOIP - Etapa 2 de 3"));
        QCOMPARE(f->lblValorTotal()->text(), QStringLiteral("Valor total: R$ 19,90"));
    }

    // Every stored field is written as it changes; the instalments are not.
    void gravaCadaAlteracao()
    {
        Form2* f = AbrirForm2();
        f->CaixaCampo(F::CampoBairro)->DefinirTexto(QStringLiteral("Liberdade"));
        QCOMPARE(LerDadoSalvo(F::CampoBairro), QStringLiteral("Liberdade"));
        f->txtUf()->DefinirIndiceSelecionado(f->txtUf()->LocalizarItem(QStringLiteral("RJ")));
        QCOMPARE(LerDadoSalvo(F::CampoUf), QStringLiteral("RJ"));
        f->CaixaCampo(F::CampoNomeImpresso)->DefinirTexto(QStringLiteral("ANA VISA"));
        f->CaixaCampo(F::CampoCodigoSeguranca)->DefinirTexto(QStringLiteral("999"));
        QCOMPARE(LerDadoSalvo(F::CampoCodigoSeguranca), QString());

        const auto hive = [this] {
            QFile arquivo(ambiente_->Caminho(QStringLiteral("hkcu/HKEY_CURRENT_USER.json")));
            return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
        };
        GravarDadosPendentes();
        const QByteArray antes = hive();
        QVERIFY(antes.contains("Liberdade"));
        f->txtParcelas()->DefinirTexto(QStringLiteral("7"));
        GravarDadosPendentes();
        QCOMPARE(hive(), antes);

        // Another brand keeps its own card data.
        f->txtCartao()->DefinirIndiceSelecionado(3);
        QCOMPARE(Parametros().InstituicaoSelecionada, 3L);
        QCOMPARE(f->CaixaCampo(F::CampoNomeImpresso)->Texto(), QString());
        f->CaixaCampo(F::CampoNomeImpresso)->DefinirTexto(QStringLiteral("ANA MASTER"));
        f->txtCartao()->DefinirIndiceSelecionado(4);
        QCOMPARE(f->CaixaCampo(F::CampoNomeImpresso)->Texto(), QStringLiteral("ANA VISA"));
    }

    void opcoesDePagamento()
    {
        Form2* f = AbrirForm2();
        const auto cartaoHabilitado = [f] {
            return f->CaixaCampo(F::CampoNumeroCartao)->isEnabled() && f->txtParcelas()->isEnabled() &&
                   f->CaixaCampo(F::CampoCPFTitular)->isEnabled();
        };
        const auto cartaoDesabilitado = [f] {
            for (int c = F::CampoNomeImpresso; c <= F::CampoValidadeCartao; ++c)
                if (f->CaixaCampo(c)->isEnabled())
                    return false;
            return !f->txtParcelas()->isEnabled();
        };
        QCOMPARE(f->txtCartao()->count(), 5);
        QVERIFY(cartaoHabilitado());
        QVERIFY(f->CaixaCampo(F::CampoResponsavel)->isEnabled());

        // Card to debit: the banks, Banco do Brasil selected, the card
        // fields and instalments off, the list on.
        f->CaixaCampo(F::CampoNomeImpresso)->DefinirTexto(QStringLiteral("ANA VISA"));
        QTest::mouseClick(f->btnOpcao(1), Qt::LeftButton);
        QCOMPARE(f->txtCartao()->count(), 4);
        QCOMPARE(f->txtCartao()->Texto(), QStringLiteral("DÉBITO EM CONTA - BANCO DO BRASIL"));
        QCOMPARE(f->txtCartao()->ChaveItem(f->txtCartao()->IndiceSelecionado()), QStringLiteral("BancoDoBrasil"));
        QCOMPARE(f->txtCartao()->itemText(3), QStringLiteral("DÉBITO EM CONTA - ITAÚ"));
        QVERIFY(cartaoDesabilitado());
        QVERIFY(f->txtCartao()->isEnabled());
        QVERIFY(f->CaixaCampo(F::CampoResponsavel)->isEnabled());

        // Bank slip keeps the rows but turns the list off as well.
        QTest::mouseClick(f->btnOpcao(2), Qt::LeftButton);
        QCOMPARE(f->txtCartao()->count(), 4);
        QVERIFY(!f->txtCartao()->isEnabled());
        QVERIFY(cartaoDesabilitado());

        // Back to the card: Visa again with what was typed for it.
        QTest::mouseClick(f->btnOpcao(0), Qt::LeftButton);
        QCOMPARE(f->txtCartao()->count(), 5);
        QCOMPARE(f->txtCartao()->itemText(0), QStringLiteral("CARTÃO DE CRÉDITO -  AMERICAN EXPRESS"));
        QCOMPARE(f->txtCartao()->Texto(), QStringLiteral("CARTÃO DE CRÉDITO -  VISA"));
        QCOMPARE(f->CaixaCampo(F::CampoNomeImpresso)->Texto(), QStringLiteral("ANA VISA"));
        QVERIFY(cartaoHabilitado());
        QVERIFY(f->txtCartao()->isEnabled());
    }

    void todasAsOpcoesDesabilitadas()
    {
        ParametrosCheckout& p = Parametros();
        p.MOIP_DesabilitarCartaoCredito = p.MOIP_DesabilitarDebitoConta = p.MOIP_DesabilitarBoleto = true;
        p.MOIP_OmitirTelaInicial = true;
        Form2* f = AbrirForm2();
        for (int i = 0; i < 3; ++i)
            QVERIFY(!f->btnOpcao(i)->isEnabled());
        QVERIFY(f->btnOpcao(0)->Value());
        QCOMPARE(f->txtCartao()->count(), 5);
        QCOMPARE(f->windowTitle(), QStringLiteral("Pagamento seguro MOIP - Etapa 1 de 2"));
    }

    // ---- payment instruction --------------------------------------------------------------

    // The checks in their order: blanking one field of a valid form shows
    // its message at its control, and nothing is sent.
    void verificacoes_data()
    {
        QTest::addColumn<int>("campo");  // -1: instalments
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("nome") << int(F::CampoResponsavel) << "" << "Informe seu nome completo.";
        QTest::newRow("cep em branco") << int(F::CampoCep) << "   " << "Informe o seu cep.";
        QTest::newRow("logradouro") << int(F::CampoLogradouro) << "" << "Informe seu logradouro.";
        QTest::newRow("número") << int(F::CampoNumero) << "" << "Informe o número do seu logradouro.";
        QTest::newRow("complemento") << int(F::CampoComplemento) << "" << "Informe o complemento do seu logradouro.";
        QTest::newRow("bairro") << int(F::CampoBairro) << "" << "Informe o seu bairro.";
        QTest::newRow("município") << int(F::CampoMunicipio) << "" << "Informe o seu município.";
        QTest::newRow("telefone") << int(F::CampoTelefoneFixo) << "" << "Informe o seu telefone fixo.";
        QTest::newRow("e-mail") << int(F::CampoEmail) << "ana@" << "Informe um e-mail válido.";
        QTest::newRow("nome impresso") << int(F::CampoNomeImpresso) << ""
                                       << "Verifique e informe o nome impresso no cartão.";
        QTest::newRow("parcelas 0") << -1 << "0" << "Informe a quantidade de parcelas (No mínimo 1).";
        QTest::newRow("parcelas 13") << -1 << "13" << "A quantidade máxima de parcelas é 12.";
        QTest::newRow("nascimento") << int(F::CampoNascimentoTitular) << "31/02/1980" << "Data de nascimento inválida.";
        QTest::newRow("cpf") << int(F::CampoCPFTitular) << "52998224724" << "CPF inválido.";
        QTest::newRow("telefone titular") << int(F::CampoTelefoneTitular) << ""
                                          << "Informe o telefone do titular do cartão.";
        QTest::newRow("número do cartão") << int(F::CampoNumeroCartao) << ""
                                          << "Verifique e informe o número do cartão.";
        QTest::newRow("código") << int(F::CampoCodigoSeguranca) << ""
                                << "Verifique e informe o código de segurança do cartão.";
        QTest::newRow("validade") << int(F::CampoValidadeCartao) << "13/2031"
                                  << "Verifique e informe o mês e o ano de validade do cartão.";
    }

    void verificacoes()
    {
        QFETCH(int, campo);
        QFETCH(QString, texto);
        QFETCH(QString, mensagem);
        Form2* f = AbrirForm2();
        Preencher(f);
        // A later field blank too: only the first failure shows.
        if (campo >= 0 && campo < F::CampoValidadeCartao)
            f->CaixaCampo(F::CampoValidadeCartao)->DefinirTexto(QString());
        QWidget* controle = campo < 0 ? static_cast<QWidget*>(f->txtParcelas()) : f->CaixaCampo(campo);
        if (campo < 0)
            f->txtParcelas()->DefinirTexto(texto);
        else
            f->CaixaCampo(campo)->DefinirTexto(texto);
        f->Btn()->click();
        QCOMPARE(Balao(), mensagem);
        QCOMPARE(orvessa::BalaoAviso::Instancia().ControleBalao(), controle);
        QVERIFY(servidor_->Pedidos().isEmpty());
        QVERIFY(respostas_->Caixas().isEmpty());
    }

    // Bank debit and slip need no card field.
    void semCartaoNaoVerificaCartao()
    {
        Form2* f = AbrirForm2();
        Preencher(f);
        f->CaixaCampo(F::CampoNumeroCartao)->DefinirTexto(QString());
        QTest::mouseClick(f->btnOpcao(1), Qt::LeftButton);
        f->Btn()->click();
        QCOMPARE(Balao(), QString());
        QCOMPARE(servidor_->Pedidos().size(), 1);
        QCOMPARE(Parametros().OpcaoPagamento, 1);
        QVERIFY(Parametros().ParametrosPagina.startsWith(QStringLiteral("instituicao=BancoDoBrasil&token=")));
        QTest::mouseClick(f->btnOpcao(2), Qt::LeftButton);
        f->Btn()->click();
        QCOMPARE(servidor_->Pedidos().size(), 2);
        QCOMPARE(Parametros().OpcaoPagamento, 2);
        QVERIFY(Parametros().ParametrosPagina.startsWith(QStringLiteral("token=TOKEN-INSTRUCAO&C_TIPO_PAGAMENTO=2")));
    }

    void parcelasNosLimites_data()
    {
        QTest::addColumn<QString>("parcelas");
        QTest::newRow("1") << "1";
        QTest::newRow("12") << "12";
    }

    // An accepted instruction: the server saw the Basic header and a valid
    // document with the amount in "." form under a decimal-comma locale;
    // the token and the page parameters are kept.
    void parcelasNosLimites()
    {
        QFETCH(QString, parcelas);
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        Parametros().ValorTotal = 1234.5;
        Parametros().App_ModoDesenvolvedor = true;
        Form2* f = AbrirForm2();
        Preencher(f);
        f->CaixaCampo(F::CampoResponsavel)->DefinirTexto(QStringLiteral("Ana & <Souza>"));
        f->txtParcelas()->DefinirTexto(parcelas);
        f->Btn()->click();
        QCOMPARE(Balao(), QString());
        QVERIFY(respostas_->Caixas().isEmpty());
        QCOMPARE(servidor_->Pedidos().size(), 1);
        const apoio::PedidoPagamento pedido = servidor_->Pedidos().first();
        QCOMPARE(pedido.caminho, QByteArray("/sandbox/ws/alpha/EnviarInstrucao/Unica"));
        QCOMPARE(pedido.autorizacao, CabecalhoAutorizacao(Token32, Chave40));
        bool valido = false;
        QCOMPARE(ValorElemento(pedido.corpo, QStringLiteral("Valor"), &valido), QStringLiteral("1234.5"));
        QVERIFY(valido);
        QCOMPARE(ValorElemento(pedido.corpo, QStringLiteral("Nome")), QStringLiteral("Ana & <Souza>"));
        QCOMPARE(ValorElemento(pedido.corpo, QStringLiteral("Estado")), QStringLiteral("AC"));
        QCOMPARE(ValorElemento(pedido.corpo, QStringLiteral("IdPagador")), QStringLiteral("cliente-7"));
        const QString id = ValorElemento(pedido.corpo, QStringLiteral("IdProprio"));
        QCOMPARE(id, Parametros().MOIP_IdRetorno);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{8}\\.\\d{6}\\.[^.]+\\.PED-1$")).match(id).hasMatch());

        const ParametrosCheckout& p = Parametros();
        QCOMPARE(p.TokenInstrucao, QStringLiteral("TOKEN-INSTRUCAO"));
        QCOMPARE(p.OpcaoPagamento, 0);
        QVERIFY(p.ParametrosPagina.startsWith(QStringLiteral("instituicao=Visa&parcelas=") + parcelas +
                                              QStringLiteral("&numerocartao=4111111111111111")));
        QVERIFY(p.ParametrosPagina.contains(QStringLiteral("&token=TOKEN-INSTRUCAO&C_TIPO_PAGAMENTO=0&mododesenvolvedor=-1&rnd=")));
        QVERIFY(!f->AguardandoResposta());
        QVERIFY(!QApplication::overrideCursor());
    }

    // The service's error element shows as "code - text"; a second click
    // sends a new instruction with a new id.
    void erroDoServicoESegundoClique()
    {
        servidor_->DefinirCorpo(apoio::ServidorPagamento::Falha(QStringLiteral("171"), QStringLiteral("Valor inválido")));
        Form2* f = AbrirForm2();
        Preencher(f);
        f->Btn()->click();
        QCOMPARE(respostas_->Caixas().size(), 1);
        QCOMPARE(respostas_->Caixas().first().texto, QStringLiteral("<b>Erro</b>: 171 - Valor inválido"));
        QCOMPARE(respostas_->Caixas().first().estilo, 48);
        QCOMPARE(Parametros().TokenInstrucao, QString());
        const QString primeiroId = Parametros().MOIP_IdRetorno;
        QVERIFY(!primeiroId.isEmpty());

        servidor_->DefinirCorpo(apoio::ServidorPagamento::Sucesso(QStringLiteral("TK2")));
        f->Btn()->click();
        QCOMPARE(servidor_->Pedidos().size(), 2);
        QVERIFY(Parametros().MOIP_IdRetorno != primeiroId);
        QCOMPARE(ValorElemento(servidor_->Pedidos().at(1).corpo, QStringLiteral("IdProprio")),
                 Parametros().MOIP_IdRetorno);
        QCOMPARE(Parametros().TokenInstrucao, QStringLiteral("TK2"));
    }

    // Wrong credentials (no XML back), a success without a token and a
    // server that is not there give the no-answer message; no token, no
    // page parameters.
    void semRespostaValida()
    {
        Parametros().MOIP_ChaveAcesso = Chave40.left(39) + QLatin1Char('X');
        Parametros().ParametrosPagina = QStringLiteral("anterior");
        Form2* f = AbrirForm2();
        Preencher(f);
        f->Btn()->click();
        QCOMPARE(respostas_->Caixas().size(), 1);
        QCOMPARE(respostas_->Caixas().first().texto, SemResposta);
        QCOMPARE(Parametros().TokenInstrucao, QString());
        QCOMPARE(Parametros().ParametrosPagina, QStringLiteral("anterior"));

        Parametros().MOIP_ChaveAcesso = Chave40;
        servidor_->DefinirCorpo(apoio::ServidorPagamento::Sucesso(QString()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("sem informar o token")));
        f->Btn()->click();
        QCOMPARE(servidor_->Pedidos().size(), 2);
        QCOMPARE(respostas_->Caixas().size(), 2);
        QCOMPARE(respostas_->Caixas().at(1).texto, SemResposta);
        QCOMPARE(Parametros().TokenInstrucao, QString());
        QCOMPARE(Parametros().ParametrosPagina, QStringLiteral("anterior"));

        ConfigCheckout().HostApi = QStringLiteral("http://127.0.0.1:1");
        f->Btn()->click();
        QCOMPARE(respostas_->Caixas().size(), 3);
        QCOMPARE(respostas_->Caixas().at(2).texto, SemResposta);
    }

    // The service's error text is shown as it came: its tags stay text.
    void erroDoServicoLiteral()
    {
        const QString texto = QStringLiteral("<b>Valor</b> <c=&H0000FF&>inválido</c>");
        servidor_->DefinirCorpo(apoio::ServidorPagamento::Falha(QStringLiteral("171"), texto));
        Form2* f = AbrirForm2();
        Preencher(f);
        f->Btn()->click();
        QCOMPARE(respostas_->Caixas().size(), 1);
        const QString caixa = respostas_->Caixas().first().texto;
        QCOMPARE(orvessa::TextoMarcadoParaSimples(caixa).remove(QChar(0x200B)), QStringLiteral("Erro: 171 - ") + texto);
        const QString html = orvessa::TextoMarcadoParaHtml(caixa);
        QVERIFY2(!html.contains(QLatin1String("color")) && html.count(QLatin1String("<b>")) == 1, qPrintable(html));
    }

    // Pasted text with control characters still makes a document the
    // service can parse.
    void caractereDeControle()
    {
        Form2* f = AbrirForm2();
        Preencher(f);
        f->CaixaCampo(F::CampoResponsavel)->DefinirTexto(QStringLiteral("Ana\x01Sou\x0bza"));
        f->CaixaCampo(F::CampoLogradouro)->DefinirTexto(QStringLiteral("Praça\x1b da Sé"));
        f->Btn()->click();
        QCOMPARE(servidor_->Pedidos().size(), 1);
        bool valido = false;
        QCOMPARE(ValorElemento(servidor_->Pedidos().first().corpo, QStringLiteral("Nome"), &valido),
                 QStringLiteral("AnaSouza"));
        QVERIFY(valido);
        QCOMPARE(ValorElemento(servidor_->Pedidos().first().corpo, QStringLiteral("Logradouro")),
                 QStringLiteral("Praça da Sé"));
        QCOMPARE(Parametros().TokenInstrucao, QStringLiteral("TOKEN-INSTRUCAO"));
    }

    // Once the outcome screen saw the payment succeed, the payer screen
    // sends nothing more in this run.
    void umaInstrucaoPorExecucao()
    {
        Form2* f = AbrirForm2();
        Preencher(f);
        f->Btn()->click();
        QCOMPARE(servidor_->Pedidos().size(), 1);
        Parametros().PagamentoProcessado = true;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("já foi processado")));
        f->Btn()->click();
        QCOMPARE(servidor_->Pedidos().size(), 1);
        QVERIFY(respostas_->Caixas().isEmpty());
    }

    // The one slow test: a server that never answers gives the message once
    // the 15 seconds are over, and the screen stayed responsive meanwhile.
    void servidorSilencioso()
    {
        servidor_->DefinirSilencio(true);
        Form2* f = AbrirForm2();
        Preencher(f);
        int pulsos = 0;
        QTimer pulso;
        connect(&pulso, &QTimer::timeout, [&] { ++pulsos; });
        pulso.start(100);
        QElapsedTimer relogio;
        relogio.start();
        f->Btn()->click();
        QVERIFY(relogio.elapsed() >= 15000);
        QCOMPARE(respostas_->Caixas().size(), 1);
        QCOMPARE(respostas_->Caixas().first().texto, SemResposta);
        QVERIFY(pulsos > 10);
        QVERIFY(!f->AguardandoResposta());
    }

    // A stop from the host, or closing the screen, ends the wait at once
    // without a message; the close itself is refused while it waits.
    void finalizarDuranteEspera()
    {
        servidor_->DefinirSilencio(true);
        Form2* f = AbrirForm2();
        Preencher(f);
        Checkout host;
        bool aguardava = false;
        QTimer::singleShot(200, [&] {
            aguardava = f->AguardandoResposta();
            host.App_Finalizar();
        });
        QElapsedTimer relogio;
        relogio.start();
        f->Btn()->click();
        QVERIFY(aguardava);
        QVERIFY(relogio.elapsed() < 10000);
        QVERIFY(respostas_->Caixas().isEmpty());
        QCOMPARE(Parametros().TokenInstrucao, QString());

        bool fechou = true;
        QTimer::singleShot(200, [&] { fechou = f->close(); });
        relogio.restart();
        f->Btn()->click();
        QVERIFY(!fechou);
        QVERIFY(f->Carregado());
        QVERIFY(relogio.elapsed() < 10000);
        QVERIFY(respostas_->Caixas().isEmpty());
        QCOMPARE(servidor_->Pedidos().size(), 2);
        // Once the wait is over the screen closes.
        QVERIFY(f->close());
    }
};

QTEST_MAIN(TesteTelas)
#include "tst_telas.moc"
