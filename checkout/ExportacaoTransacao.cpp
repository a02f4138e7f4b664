#include "checkout/ExportacaoTransacao.h"

#include "suite/Utilitarios.h"

namespace vendalo {

void RemoverDadosPagamento(const QString& arquivo)
{
    const orvessa::Utilitarios& u = orvessa::Utilitarios::Instancia();
    for (const QString& secao : {QStringLiteral("Pagador"), QStringLiteral("Endereço de cobranca"),
                                 QStringLiteral("Recebedor"), QStringLiteral("Pagamento")})
        u.RemoverSecaoINI(arquivo, secao);
}

void GravarDadosPagamento(const QString& arquivo, const ConsultaLida& d)
{
    RemoverDadosPagamento(arquivo);
    const orvessa::Utilitarios& u = orvessa::Utilitarios::Instancia();
    bool gravou = true;
    auto gravar = [&](const QString& secao, const QString& chave, const QString& valor) {
        gravou = u.GravarINI(arquivo, secao, chave, valor) && gravou;
    };

    const QString pagador = QStringLiteral("Pagador");
    gravar(pagador, QStringLiteral("Nome"), d.Pagador_Nome);
    gravar(pagador, QStringLiteral("Email"), d.Pagador_Email);

    const QString endereco = QStringLiteral("Endereço de cobranca");
    gravar(endereco, QStringLiteral("Logradouro"), d.EnderecoCobranca_Logradouro);
    gravar(endereco, QStringLiteral("Numero"), d.EnderecoCobranca_Numero);
    gravar(endereco, QStringLiteral("Complemento"), d.EnderecoCobranca_Complemento);
    gravar(endereco, QStringLiteral("Bairro"), d.EnderecoCobranca_Bairro);
    gravar(endereco, QStringLiteral("CEP"), d.EnderecoCobranca_CEP);
    gravar(endereco, QStringLiteral("Cidade"), d.EnderecoCobranca_Cidade);
    gravar(endereco, QStringLiteral("Estado"), d.EnderecoCobranca_Estado);
    gravar(endereco, QStringLiteral("Pais"), d.EnderecoCobranca_Pais);
    gravar(endereco, QStringLiteral("TelefoneFixo"), d.EnderecoCobranca_TelefoneFixo);

    const QString recebedor = QStringLiteral("Recebedor");
    gravar(recebedor, QStringLiteral("Nome"), d.Recebedor_Nome);
    gravar(recebedor, QStringLiteral("Email"), d.Recebedor_Email);

    const QString pagamento = QStringLiteral("Pagamento");
    gravar(pagamento, QStringLiteral("TotalItens"), QString::number(d.Pagamentos.size()));
    for (int i = 1; i <= d.Pagamentos.size(); ++i) {
        const PagamentoLido& p = d.Pagamentos[i - 1];
        const QString n = QString::number(i);
        gravar(pagamento, QStringLiteral("Data") + n, p.Data);
        gravar(pagamento, QStringLiteral("TotalPago") + n, p.TotalPago);
        gravar(pagamento, QStringLiteral("TaxaParaPagador") + n, p.TaxaParaPagador);
        gravar(pagamento, QStringLiteral("TaxaMoIP") + n, p.TaxaMoIP);
        gravar(pagamento, QStringLiteral("ValorLiquido") + n, p.ValorLiquido);
        gravar(pagamento, QStringLiteral("FormaPagamento") + n, p.FormaPagamento);
        gravar(pagamento, QStringLiteral("InstituicaoPagamento") + n, p.InstituicaoPagamento);
        gravar(pagamento, QStringLiteral("StatusID") + n, QString::number(p.StatusID));
        gravar(pagamento, QStringLiteral("Status") + n, p.Status);
        gravar(pagamento, QStringLiteral("TotalParcelas") + n, p.TotalParcelas);
        gravar(pagamento, QStringLiteral("Cartao") + n, p.Cartao);
        gravar(pagamento, QStringLiteral("Bandeira") + n, p.Bandeira);
        gravar(pagamento, QStringLiteral("CodigoMoIP") + n, p.CodigoMoIP);
    }
    if (!gravou)
        qWarning("Vendalo: Pagamento_SalvarDados: os dados do pagamento não foram gravados por inteiro em %s",
                 qPrintable(arquivo));
}

}  // namespace vendalo
