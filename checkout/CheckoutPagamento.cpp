// The Checkout members that verify a payment, read it back and export it.
#include "checkout/Checkout.h"

#include "checkout/Configuracao.h"
#include "checkout/ConsultaPagamento.h"
#include "checkout/ExportacaoTransacao.h"
#include "checkout/Instrucao.h"
#include "checkout/SemErros.h"
#include "checkout/modGlobal.h"

#include <type_traits>

namespace vendalo {
namespace {

const ConsultaLida& Consulta()
{
    return Parametros().Consulta;
}

template <typename Campo>
auto DoPagamento(int indice, Campo campo) -> std::decay_t<decltype(PagamentoLido{}.*campo)>
{
    const PagamentoLido* pagamento = Consulta().Pagamento(indice);
    return pagamento ? pagamento->*campo : std::decay_t<decltype(PagamentoLido{}.*campo)>{};
}

}  // namespace

bool Checkout::Pagamento_Verificar(const QString& TokenRetorno)
{
    bool respondeu = false;
    SemErros("Pagamento_Verificar", [&] {
        ParametrosCheckout& p = Parametros();
        // Nothing of an earlier query may pass for this token's answer.
        p.Consulta = ConsultaLida();
        if (TokenRetorno.trimmed().isEmpty()) {
            qWarning("Vendalo: Pagamento_Verificar: nenhum token de instrução informado");
            return;
        }
        const ConfiguracaoCheckout& c = ConfigCheckout();
        const QUrl endereco = EnderecoConsulta(p.App_ModoDesenvolvedor ? c.HostApiSandbox : c.HostApi,
                                               p.App_ModoDesenvolvedor, TokenRetorno, NumeroAleatorioEndereco());
        ResultadoConsulta r = ConsultarInstrucao(endereco, CabecalhoAutorizacao(p.MOIP_Token, p.MOIP_ChaveAcesso),
                                                 qMax(1, c.TempoLimiteConsultaMs / 1000));
        if (!r.respondeu) {
            qWarning("Vendalo: Pagamento_Verificar: %s", qPrintable(r.motivo));
            return;
        }
        Parametros().Consulta = std::move(r.dados);
        respondeu = true;
    });
    return respondeu;
}

void Checkout::Pagamento_SalvarDados(const QString& Arquivo, const QString& TokenRetorno)
{
    SemErros("Pagamento_SalvarDados", [&] {
        // Only verified data is written; without it the file keeps none, so
        // its id and token never stand beside another transaction's data.
        if (Pagamento_Verificar(TokenRetorno))
            GravarDadosPagamento(Arquivo, Consulta());
        else
            RemoverDadosPagamento(Arquivo);
    });
}

int Checkout::Pagamento_TotalItens() const { return int(Consulta().Pagamentos.size()); }

QString Checkout::Pagamento_Data(int Index) const { return DoPagamento(Index, &PagamentoLido::Data); }
QString Checkout::Pagamento_TotalPago(int Index) const { return DoPagamento(Index, &PagamentoLido::TotalPago); }
QString Checkout::Pagamento_TaxaParaPagador(int Index) const { return DoPagamento(Index, &PagamentoLido::TaxaParaPagador); }
QString Checkout::Pagamento_TaxaMoIP(int Index) const { return DoPagamento(Index, &PagamentoLido::TaxaMoIP); }
QString Checkout::Pagamento_ValorLiquido(int Index) const { return DoPagamento(Index, &PagamentoLido::ValorLiquido); }
QString Checkout::Pagamento_FormaPagamento(int Index) const { return DoPagamento(Index, &PagamentoLido::FormaPagamento); }
QString Checkout::Pagamento_InstituicaoPagamento(int Index) const
{
    return DoPagamento(Index, &PagamentoLido::InstituicaoPagamento);
}
int Checkout::Pagamento_StatusID(int Index) const { return DoPagamento(Index, &PagamentoLido::StatusID); }
QString Checkout::Pagamento_Status(int Index) const { return DoPagamento(Index, &PagamentoLido::Status); }
QString Checkout::Pagamento_TotalParcelas(int Index) const { return DoPagamento(Index, &PagamentoLido::TotalParcelas); }
QString Checkout::Pagamento_Cartao(int Index) const { return DoPagamento(Index, &PagamentoLido::Cartao); }
QString Checkout::Pagamento_Bandeira(int Index) const { return DoPagamento(Index, &PagamentoLido::Bandeira); }
QString Checkout::Pagamento_CodigoMoIP(int Index) const { return DoPagamento(Index, &PagamentoLido::CodigoMoIP); }

QString Checkout::Pagamento_Pagador_Nome() const { return Consulta().Pagador_Nome; }
QString Checkout::Pagamento_Pagador_Email() const { return Consulta().Pagador_Email; }
QString Checkout::Pagamento_EnderecoCobranca_Logradouro() const { return Consulta().EnderecoCobranca_Logradouro; }
QString Checkout::Pagamento_EnderecoCobranca_Numero() const { return Consulta().EnderecoCobranca_Numero; }
QString Checkout::Pagamento_EnderecoCobranca_Complemento() const { return Consulta().EnderecoCobranca_Complemento; }
QString Checkout::Pagamento_EnderecoCobranca_Bairro() const { return Consulta().EnderecoCobranca_Bairro; }
QString Checkout::Pagamento_EnderecoCobranca_CEP() const { return Consulta().EnderecoCobranca_CEP; }
QString Checkout::Pagamento_EnderecoCobranca_Cidade() const { return Consulta().EnderecoCobranca_Cidade; }
QString Checkout::Pagamento_EnderecoCobranca_Estado() const { return Consulta().EnderecoCobranca_Estado; }
QString Checkout::Pagamento_EnderecoCobranca_Pais() const { return Consulta().EnderecoCobranca_Pais; }
QString Checkout::Pagamento_EnderecoCobranca_TelefoneFixo() const { return Consulta().EnderecoCobranca_TelefoneFixo; }
QString Checkout::Pagamento_Recebedor_Nome() const { return Consulta().Recebedor_Nome; }
QString Checkout::Pagamento_Recebedor_Email() const { return Consulta().Recebedor_Email; }

}  // namespace vendalo
