#pragma once
// The library's one public class. Every object on a thread reads and writes
// that thread's module state; no member raises an error to the host.
#include "checkout/Exporta.h"

#include <QObject>
#include <QString>

namespace vendalo {

class VENDALO_EXPORT Checkout : public QObject {
    Q_OBJECT
    // Write-only for hosts (the type table says so); the reads exist only
    // because Qt properties need them.
    Q_PROPERTY(bool MOIP_OmitirTelaInicial READ OmitirTelaInicial WRITE DefinirMOIP_OmitirTelaInicial)
    Q_PROPERTY(bool MOIP_DesabilitarBoleto READ DesabilitarBoleto WRITE DefinirMOIP_DesabilitarBoleto)
    Q_PROPERTY(bool MOIP_DesabilitarCartaoCredito READ DesabilitarCartaoCredito
                   WRITE DefinirMOIP_DesabilitarCartaoCredito)
    Q_PROPERTY(bool MOIP_DesabilitarDebitoConta READ DesabilitarDebitoConta WRITE DefinirMOIP_DesabilitarDebitoConta)
    Q_PROPERTY(double MOIP_ValorUnitario READ ValorUnitario WRITE DefinirMOIP_ValorUnitario)
    Q_PROPERTY(QString MOIP_RazaoPagamento READ RazaoPagamento WRITE DefinirMOIP_RazaoPagamento)
    Q_PROPERTY(QString App_EmailSuporte READ EmailSuporte WRITE DefinirApp_EmailSuporte)
    Q_PROPERTY(QString App_DiretorioImagens READ DiretorioImagens WRITE DefinirApp_DiretorioImagens)
    Q_PROPERTY(QString App_Img001 READ Img001 WRITE DefinirApp_Img001)
    Q_PROPERTY(QString App_Img002 READ Img002 WRITE DefinirApp_Img002)
    Q_PROPERTY(QString App_Img003 READ Img003 WRITE DefinirApp_Img003)
    Q_PROPERTY(QString MOIP_Token READ Token WRITE DefinirMOIP_Token)
    Q_PROPERTY(QString MOIP_ChaveAcesso READ ChaveAcesso WRITE DefinirMOIP_ChaveAcesso)
    Q_PROPERTY(QString MOIP_IdProprio READ IdProprio WRITE DefinirMOIP_IdProprio)
    Q_PROPERTY(QString MOIP_IdPagador READ IdPagador WRITE DefinirMOIP_IdPagador)
    Q_PROPERTY(bool App_ModoDesenvolvedor READ ModoDesenvolvedor WRITE DefinirApp_ModoDesenvolvedor)
    Q_PROPERTY(QString MOIP_IdRetorno READ MOIP_IdRetorno)
    // What the last Pagamento_Verificar read (CheckoutPagamento.cpp).
    Q_PROPERTY(int Pagamento_TotalItens READ Pagamento_TotalItens)
    Q_PROPERTY(QString Pagamento_Pagador_Nome READ Pagamento_Pagador_Nome)
    Q_PROPERTY(QString Pagamento_Pagador_Email READ Pagamento_Pagador_Email)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_Logradouro READ Pagamento_EnderecoCobranca_Logradouro)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_Numero READ Pagamento_EnderecoCobranca_Numero)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_Complemento READ Pagamento_EnderecoCobranca_Complemento)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_Bairro READ Pagamento_EnderecoCobranca_Bairro)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_CEP READ Pagamento_EnderecoCobranca_CEP)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_Cidade READ Pagamento_EnderecoCobranca_Cidade)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_Estado READ Pagamento_EnderecoCobranca_Estado)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_Pais READ Pagamento_EnderecoCobranca_Pais)
    Q_PROPERTY(QString Pagamento_EnderecoCobranca_TelefoneFixo READ Pagamento_EnderecoCobranca_TelefoneFixo)
    Q_PROPERTY(QString Pagamento_Recebedor_Nome READ Pagamento_Recebedor_Nome)
    Q_PROPERTY(QString Pagamento_Recebedor_Email READ Pagamento_Recebedor_Email)
public:
    explicit Checkout(QObject* pai = nullptr);
    ~Checkout() override;

    // Checks the credentials, then leads the buyer through the screens;
    // true only when the outcome screen saw the payment succeed.
    Q_INVOKABLE bool App_ProcessarPagamento();
    // Writes the transaction's id and instruction token into the ini file.
    Q_INVOKABLE void App_SalvarTransacao(const QString& Arquivo);
    // Ends a pending instruction request without a message.
    Q_INVOKABLE void App_Finalizar();

    QString MOIP_IdRetorno() const;

    // Verifies the instruction with that token, then writes the payer, the
    // billing address, the receiver and the payments into the file.
    Q_INVOKABLE void Pagamento_SalvarDados(const QString& Arquivo, const QString& TokenRetorno);
    // Asks the payment service for the instruction's state; true when an
    // answer came, and the getters then return what it held.
    Q_INVOKABLE bool Pagamento_Verificar(const QString& TokenRetorno);
    int Pagamento_TotalItens() const;
    // Payments are numbered from 1; out of range gives "" (0).
    Q_INVOKABLE QString Pagamento_Data(int Index) const;
    Q_INVOKABLE QString Pagamento_TotalPago(int Index) const;
    Q_INVOKABLE QString Pagamento_TaxaParaPagador(int Index) const;
    Q_INVOKABLE QString Pagamento_TaxaMoIP(int Index) const;
    Q_INVOKABLE QString Pagamento_ValorLiquido(int Index) const;
    Q_INVOKABLE QString Pagamento_FormaPagamento(int Index) const;
    Q_INVOKABLE QString Pagamento_InstituicaoPagamento(int Index) const;
    Q_INVOKABLE int Pagamento_StatusID(int Index) const;
    Q_INVOKABLE QString Pagamento_Status(int Index) const;
    Q_INVOKABLE QString Pagamento_TotalParcelas(int Index) const;
    Q_INVOKABLE QString Pagamento_Cartao(int Index) const;
    Q_INVOKABLE QString Pagamento_Bandeira(int Index) const;
    Q_INVOKABLE QString Pagamento_CodigoMoIP(int Index) const;
    QString Pagamento_Pagador_Nome() const;
    QString Pagamento_Pagador_Email() const;
    QString Pagamento_EnderecoCobranca_Logradouro() const;
    QString Pagamento_EnderecoCobranca_Numero() const;
    QString Pagamento_EnderecoCobranca_Complemento() const;
    QString Pagamento_EnderecoCobranca_Bairro() const;
    QString Pagamento_EnderecoCobranca_CEP() const;
    QString Pagamento_EnderecoCobranca_Cidade() const;
    QString Pagamento_EnderecoCobranca_Estado() const;
    QString Pagamento_EnderecoCobranca_Pais() const;
    QString Pagamento_EnderecoCobranca_TelefoneFixo() const;
    QString Pagamento_Recebedor_Nome() const;
    QString Pagamento_Recebedor_Email() const;

    void DefinirMOIP_OmitirTelaInicial(bool Texto);
    void DefinirMOIP_DesabilitarBoleto(bool Texto);
    void DefinirMOIP_DesabilitarCartaoCredito(bool Texto);
    void DefinirMOIP_DesabilitarDebitoConta(bool Texto);
    void DefinirMOIP_ValorUnitario(double Texto);
    void DefinirMOIP_RazaoPagamento(const QString& Texto);
    void DefinirApp_EmailSuporte(const QString& Texto);
    void DefinirApp_DiretorioImagens(const QString& Texto);
    void DefinirApp_Img001(const QString& Texto);
    void DefinirApp_Img002(const QString& Texto);
    void DefinirApp_Img003(const QString& Texto);
    void DefinirMOIP_Token(const QString& Texto);
    void DefinirMOIP_ChaveAcesso(const QString& Texto);
    void DefinirMOIP_IdProprio(const QString& Texto);
    void DefinirMOIP_IdPagador(const QString& Texto);
    void DefinirApp_ModoDesenvolvedor(bool Texto);

private:
    bool OmitirTelaInicial() const;
    bool DesabilitarBoleto() const;
    bool DesabilitarCartaoCredito() const;
    bool DesabilitarDebitoConta() const;
    double ValorUnitario() const;
    QString RazaoPagamento() const;
    QString EmailSuporte() const;
    QString DiretorioImagens() const;
    QString Img001() const;
    QString Img002() const;
    QString Img003() const;
    QString Token() const;
    QString ChaveAcesso() const;
    QString IdProprio() const;
    QString IdPagador() const;
    bool ModoDesenvolvedor() const;
};

// The credential check that opens a payment: shows the first failure and
// answers false.
VENDALO_EXPORT bool ValidarCredenciais();

}  // namespace vendalo
