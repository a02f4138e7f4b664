// The component library's frame: its type library and the entry points a
// host's loader looks up by name.
#include "checkout/Vendalo.h"

#include "checkout/Checkout.h"
#include "checkout/SemErros.h"
#include "checkout/modGlobal.h"
#include "platform/Componentes.h"

#include <QString>

namespace vendalo {
namespace {

using plataforma::MembroTipo;
using plataforma::TipoMembro;

constexpr TipoMembro Put = TipoMembro::PropriedadeSomenteEscrita;
constexpr TipoMembro Get = TipoMembro::PropriedadeSomenteLeitura;
// Property gets that take an item number: read as properties with it, or
// called as methods.
constexpr TipoMembro GetIndexado = TipoMembro::PropriedadeIndexada;

// Members in the order the default interface lists them: the seven switches
// and pictures come after the last payment getter.
constexpr MembroTipo MembrosCheckout[] = {
    {"App_ProcessarPagamento", 0x6003004B, TipoMembro::Metodo},
    {"App_SalvarTransacao", 0x6003004C, TipoMembro::Metodo},
    {"MOIP_ValorUnitario", 0x6803004A, Put},
    {"MOIP_RazaoPagamento", 0x68030049, Put},
    {"App_EmailSuporte", 0x68030048, Put},
    {"App_DiretorioImagens", 0x68030047, Put},
    {"MOIP_Token", 0x68030046, Put},
    {"MOIP_ChaveAcesso", 0x68030045, Put},
    {"MOIP_IdRetorno", 0x68030044, Get},
    {"MOIP_IdProprio", 0x68030043, Put},
    {"MOIP_IdPagador", 0x68030042, Put},
    {"App_ModoDesenvolvedor", 0x68030041, Put},
    {"App_Finalizar", 0x6003004D, TipoMembro::Metodo},
    {"Pagamento_SalvarDados", 0x6003004F, TipoMembro::Metodo},
    {"Pagamento_Verificar", 0x60030050, TipoMembro::Metodo},
    {"Pagamento_TotalItens", 0x68030040, Get},
    {"Pagamento_Data", 0x6803003F, GetIndexado},
    {"Pagamento_TotalPago", 0x6803003E, GetIndexado},
    {"Pagamento_TaxaParaPagador", 0x6803003D, GetIndexado},
    {"Pagamento_TaxaMoIP", 0x6803003C, GetIndexado},
    {"Pagamento_ValorLiquido", 0x6803003B, GetIndexado},
    {"Pagamento_FormaPagamento", 0x6803003A, GetIndexado},
    {"Pagamento_InstituicaoPagamento", 0x68030039, GetIndexado},
    {"Pagamento_StatusID", 0x68030038, GetIndexado},
    {"Pagamento_Status", 0x68030037, GetIndexado},
    {"Pagamento_TotalParcelas", 0x68030036, GetIndexado},
    {"Pagamento_Cartao", 0x68030035, GetIndexado},
    {"Pagamento_Bandeira", 0x68030034, GetIndexado},
    {"Pagamento_CodigoMoIP", 0x68030033, GetIndexado},
    {"Pagamento_Pagador_Nome", 0x68030032, Get},
    {"Pagamento_Pagador_Email", 0x68030031, Get},
    {"Pagamento_EnderecoCobranca_Logradouro", 0x68030030, Get},
    {"Pagamento_EnderecoCobranca_Numero", 0x6803002F, Get},
    {"Pagamento_EnderecoCobranca_Complemento", 0x6803002E, Get},
    {"Pagamento_EnderecoCobranca_Bairro", 0x6803002D, Get},
    {"Pagamento_EnderecoCobranca_CEP", 0x6803002C, Get},
    {"Pagamento_EnderecoCobranca_Cidade", 0x6803002B, Get},
    {"Pagamento_EnderecoCobranca_Estado", 0x6803002A, Get},
    {"Pagamento_EnderecoCobranca_Pais", 0x68030029, Get},
    {"Pagamento_EnderecoCobranca_TelefoneFixo", 0x68030028, Get},
    {"Pagamento_Recebedor_Nome", 0x68030027, Get},
    {"Pagamento_Recebedor_Email", 0x68030026, Get},
    {"MOIP_OmitirTelaInicial", 0x68030051, Put},
    {"MOIP_DesabilitarBoleto", 0x68030054, Put},
    {"MOIP_DesabilitarCartaoCredito", 0x68030053, Put},
    {"MOIP_DesabilitarDebitoConta", 0x68030052, Put},
    {"App_Img001", 0x68030057, Put},
    {"App_Img002", 0x68030056, Put},
    {"App_Img003", 0x68030055, Put},
};

template <typename T, int N>
constexpr int Total(const T (&)[N])
{
    return N;
}

// The class raises no events.
constexpr plataforma::ClasseTipo Classes[] = {
    {"Checkout", ClsidCheckout, "_Checkout", IidCheckout, nullptr, nullptr, MembrosCheckout,
     Total(MembrosCheckout)},
};

constexpr plataforma::BibliotecaTipo Biblioteca = {
    "Vendalo", LibidVendalo, "Vendalo", Classes, Total(Classes),
};

// Any object of this library will do for finding the library's own file.
const char MarcadorBiblioteca = 0;

}  // namespace

const plataforma::BibliotecaTipo& Tipos()
{
    return Biblioteca;
}

}  // namespace vendalo

extern "C" {

VENDALO_EXPORT long DllRegisterServer()
{
    return plataforma::Componentes::RegistrarEstaBiblioteca(vendalo::Tipos(), &vendalo::MarcadorBiblioteca);
}

VENDALO_EXPORT long DllUnregisterServer()
{
    return plataforma::Componentes::DesregistrarEstaBiblioteca(vendalo::Tipos());
}

// The checkout is no control: it takes no parent and belongs to the host.
VENDALO_EXPORT void* DllCriarObjeto(const char* clsid, void* pai)
{
    Q_UNUSED(pai);
    if (!clsid)
        return nullptr;
    QObject* objeto = nullptr;
    vendalo::SemErros("DllCriarObjeto", [&] {
        if (plataforma::Componentes::NormalizarClsid(QString::fromLatin1(clsid)) == QLatin1String(vendalo::ClsidCheckout))
            objeto = new vendalo::Checkout();
    });
    return objeto;
}

VENDALO_EXPORT const plataforma::BibliotecaTipo* DllTipoBiblioteca()
{
    return &vendalo::Tipos();
}

}  // extern "C"
