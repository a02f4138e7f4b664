// The checkout's two figures: the payer screen's button up to the token
// kept, against a local service that answers at once, and writes of an
// enciphered field to the payer store (one per key press).
#include "Apoio.h"
#include "Respostas.h"
#include "ServidorPagamento.h"

#include "checkout/Configuracao.h"
#include "checkout/Form2.h"
#include "checkout/Form3.h"
#include "checkout/Instrucao.h"
#include "checkout/modGlobal.h"
#include "suite/Controles.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vendalo;

namespace {

double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    apoio::AmbienteTeste ambiente;
    apoio::Respostas respostas;
    respostas.DefinirPadrao(1);
    apoio::ServidorPagamento servidor;
    servidor.DefinirCorpo(apoio::ServidorPagamento::Sucesso(QStringLiteral("TOKEN")));
    ConfigCheckout().HostApi = servidor.Endereco();
    ConfigCheckout().PastaChave = ambiente.Caminho(QStringLiteral("config"));
    ParametrosCheckout& p = Parametros();
    p.MOIP_Token = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    p.MOIP_ChaveAcesso = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
    p.MOIP_IdProprio = QStringLiteral("PED-1");
    p.ValorTotal = 19.9;

    // With the outcome screen already loaded an accepted instruction does
    // not open it, so the click ends once the token is kept.
    Form3::Instancia(nullptr)->Carregar();
    Form2* f = Form2::Instancia(nullptr);
    f->Carregar();
    f->show();
    // Bank slip: the payer's fields only, as the checks stop at them.
    f->btnOpcao(2)->click();
    const QList<QPair<int, QString>> campos = {
        {Form2::CampoResponsavel, QStringLiteral("Ana Souza")}, {Form2::CampoCep, QStringLiteral("01001-000")},
        {Form2::CampoLogradouro, QStringLiteral("Praça da Sé")}, {Form2::CampoNumero, QStringLiteral("100")},
        {Form2::CampoComplemento, QStringLiteral("sala 2")},    {Form2::CampoBairro, QStringLiteral("Sé")},
        {Form2::CampoMunicipio, QStringLiteral("São Paulo")},   {Form2::CampoTelefoneFixo, QStringLiteral("1133334444")},
        {Form2::CampoEmail, QStringLiteral("ana@exemplo.example")},
    };
    for (const auto& [campo, valor] : campos)
        f->CaixaCampo(campo)->DefinirTexto(valor);

    std::vector<double> tempos;
    for (int i = 0; i < 60; ++i) {
        p.TokenInstrucao.clear();
        QElapsedTimer relogio;
        relogio.start();
        f->Btn()->click();
        const double ms = double(relogio.nsecsElapsed()) / 1e6;
        if (p.TokenInstrucao != QLatin1String("TOKEN")) {
            std::fprintf(stderr, "a instrução não foi aceita\n");
            return 1;
        }
        if (i >= 10)  // the first connections warm up
            tempos.push_back(ms);
    }
    std::printf("figure checkout_instruction_ms %.2f ms\n", Mediana(tempos));

    p.InstituicaoSelecionada = 4;
    constexpr int Escritas = 2000;
    std::vector<double> taxas;
    QString numero = QStringLiteral("4111111111111111");
    for (int rodada = 0; rodada < 5; ++rodada) {
        QElapsedTimer relogio;
        relogio.start();
        // As key presses come: each handled, then the event loop served
        // (where the waiting writes go to the registry); the last ones are
        // written inside the measure too.
        for (int i = 0; i < Escritas; ++i) {
            numero[15] = QChar(u'0' + i % 10);
            GravarDadoSalvo(Form2::CampoNumeroCartao, numero);
            QCoreApplication::processEvents();
        }
        GravarDadosPendentes();
        taxas.push_back(Escritas / (double(relogio.nsecsElapsed()) / 1e9));
    }
    if (LerDadoSalvo(Form2::CampoNumeroCartao) != numero) {
        std::fprintf(stderr, "o número gravado não foi lido de volta\n");
        return 1;
    }
    std::printf("figure payer_store_write_per_s %.0f writes/s\n", Mediana(taxas));
    f->Descarregar(true);
    return 0;
}
