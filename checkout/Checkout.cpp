#include "checkout/Checkout.h"

#include "checkout/Configuracao.h"
#include "checkout/Form1.h"
#include "checkout/Form2.h"
#include "checkout/SemErros.h"
#include "checkout/modGlobal.h"
#include "suite/Dialogos.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QThread>
#include <QtGlobal>
#include <exception>

namespace vendalo {
namespace {

bool TelaAberta(const ParametrosCheckout& p)
{
    return (p.form1 && p.form1->Carregado()) || (p.form2 && p.form2->Carregado());
}

// Qt shows widgets only on the application's GUI thread; anywhere else the
// screens could never appear and the modal wait would never end.
bool NaThreadDasTelas()
{
    const auto* aplicacao = qobject_cast<QApplication*>(QCoreApplication::instance());
    return aplicacao && QThread::currentThread() == aplicacao->thread();
}

}  // namespace

Checkout::Checkout(QObject* pai) : QObject(pai)
{
    SemErros("Main", [] { Main(); });
}

Checkout::~Checkout() = default;

bool ValidarCredenciais()
{
    const ParametrosCheckout& p = Parametros();
    QString mensagem;
    if (p.MOIP_Token.size() != 32)
        mensagem = QStringLiteral("<b>Atenção</b>: Token inválido. Por favor verifique.");
    else if (p.MOIP_ChaveAcesso.size() != 40)
        mensagem = QStringLiteral("<b>Atenção</b>: Chave de acesso inválida. Por favor verifique.");
    if (mensagem.isEmpty())
        return true;
    orvessa::Utilitarios::Instancia().CaixaMensagemAviso(mensagem, orvessa::EstiloMensagem::Critico,
                                                         ConfigCheckout().TituloAplicacao);
    return false;
}

bool Checkout::App_ProcessarPagamento()
{
    bool resultado = false;
    SemErros("App_ProcessarPagamento", [&] {
        if (!NaThreadDasTelas()) {
            qWarning("Vendalo: App_ProcessarPagamento: chamado fora da thread da interface do aplicativo (a de "
                     "QApplication), onde as telas não podem ser exibidas; nada foi enviado");
            return;
        }
        ParametrosCheckout& p = Parametros();
        // A host calling again while this thread's screens are open would
        // reopen them inside themselves.
        if (TelaAberta(p)) {
            qWarning("Vendalo: App_ProcessarPagamento: um pagamento já está em andamento");
            return;
        }
        if (!ValidarCredenciais())
            return;
        p.PagamentoProcessado = false;
        p.Finalizar = false;
        p.FecharTelas = false;
        if (p.MOIP_OmitirTelaInicial) {
            p.QuantidadeItens = 1;
            p.ValorTotal = p.MOIP_ValorUnitario;
            Form2::AbrirModal(nullptr);
        } else {
            Form1::AbrirModal();
        }
        resultado = Parametros().PagamentoProcessado;
    });
    SemErros("App_ProcessarPagamento", [] { GravarDadosPendentes(); });
    return resultado;
}

void Checkout::App_SalvarTransacao(const QString& Arquivo)
{
    SemErros("App_SalvarTransacao", [&] {
        const ParametrosCheckout& p = Parametros();
        auto& u = orvessa::Utilitarios::Instancia();
        if (!u.GravarINI(Arquivo, QStringLiteral("Checkout"), QStringLiteral("ID"), p.MOIP_IdRetorno)
            || !u.GravarINI(Arquivo, QStringLiteral("Checkout"), QStringLiteral("Token"), p.TokenInstrucao))
            qWarning("Vendalo: App_SalvarTransacao: a transação não foi gravada em %s", qPrintable(Arquivo));
    });
    Pagamento_SalvarDados(Arquivo, Parametros().TokenInstrucao);
}

void Checkout::App_Finalizar()
{
    SemErros("App_Finalizar", [] { Parametros().Finalizar = true; });
}

QString Checkout::MOIP_IdRetorno() const
{
    return Parametros().MOIP_IdRetorno;
}

// Every put stores its argument unchanged.
void Checkout::DefinirMOIP_OmitirTelaInicial(bool Texto) { Parametros().MOIP_OmitirTelaInicial = Texto; }
void Checkout::DefinirMOIP_DesabilitarBoleto(bool Texto) { Parametros().MOIP_DesabilitarBoleto = Texto; }
void Checkout::DefinirMOIP_DesabilitarCartaoCredito(bool Texto) { Parametros().MOIP_DesabilitarCartaoCredito = Texto; }
void Checkout::DefinirMOIP_DesabilitarDebitoConta(bool Texto) { Parametros().MOIP_DesabilitarDebitoConta = Texto; }
void Checkout::DefinirMOIP_ValorUnitario(double Texto) { Parametros().MOIP_ValorUnitario = Texto; }
void Checkout::DefinirMOIP_RazaoPagamento(const QString& Texto) { Parametros().MOIP_RazaoPagamento = Texto; }
void Checkout::DefinirApp_EmailSuporte(const QString& Texto) { Parametros().App_EmailSuporte = Texto; }
void Checkout::DefinirApp_DiretorioImagens(const QString& Texto) { Parametros().App_DiretorioImagens = Texto; }
void Checkout::DefinirApp_Img001(const QString& Texto) { Parametros().App_Img001 = Texto; }
void Checkout::DefinirApp_Img002(const QString& Texto) { Parametros().App_Img002 = Texto; }
void Checkout::DefinirApp_Img003(const QString& Texto) { Parametros().App_Img003 = Texto; }
void Checkout::DefinirMOIP_Token(const QString& Texto) { Parametros().MOIP_Token = Texto; }
void Checkout::DefinirMOIP_ChaveAcesso(const QString& Texto) { Parametros().MOIP_ChaveAcesso = Texto; }
void Checkout::DefinirMOIP_IdProprio(const QString& Texto) { Parametros().MOIP_IdProprio = Texto; }
void Checkout::DefinirMOIP_IdPagador(const QString& Texto) { Parametros().MOIP_IdPagador = Texto; }
void Checkout::DefinirApp_ModoDesenvolvedor(bool Texto) { Parametros().App_ModoDesenvolvedor = Texto; }

bool Checkout::OmitirTelaInicial() const { return Parametros().MOIP_OmitirTelaInicial; }
bool Checkout::DesabilitarBoleto() const { return Parametros().MOIP_DesabilitarBoleto; }
bool Checkout::DesabilitarCartaoCredito() const { return Parametros().MOIP_DesabilitarCartaoCredito; }
bool Checkout::DesabilitarDebitoConta() const { return Parametros().MOIP_DesabilitarDebitoConta; }
double Checkout::ValorUnitario() const { return Parametros().MOIP_ValorUnitario; }
QString Checkout::RazaoPagamento() const { return Parametros().MOIP_RazaoPagamento; }
QString Checkout::EmailSuporte() const { return Parametros().App_EmailSuporte; }
QString Checkout::DiretorioImagens() const { return Parametros().App_DiretorioImagens; }
QString Checkout::Img001() const { return Parametros().App_Img001; }
QString Checkout::Img002() const { return Parametros().App_Img002; }
QString Checkout::Img003() const { return Parametros().App_Img003; }
QString Checkout::Token() const { return Parametros().MOIP_Token; }
QString Checkout::ChaveAcesso() const { return Parametros().MOIP_ChaveAcesso; }
QString Checkout::IdProprio() const { return Parametros().MOIP_IdProprio; }
QString Checkout::IdPagador() const { return Parametros().MOIP_IdPagador; }
bool Checkout::ModoDesenvolvedor() const { return Parametros().App_ModoDesenvolvedor; }

}  // namespace vendalo
