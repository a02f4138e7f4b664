#include "Respostas.h"

namespace apoio {

Respostas::Respostas()
{
    orvessa::Dialogos::LimparRegistro();
    orvessa::Dialogos::DefinirRespostaCaixas([this](const orvessa::CaixaExibida& caixa) {
        for (const Regra& regra : regras_) {
            if (caixa.texto.contains(regra.trecho))
                return regra.acao();
        }
        return padrao_;
    });
    orvessa::Dialogos::DefinirRespostaArquivos([this](const orvessa::DialogoArquivoExibido&) {
        orvessa::RespostaDialogoArquivo resposta;
        if (!arquivos_.isEmpty()) {
            resposta.caminho = arquivos_.takeFirst();
            resposta.cancelado = resposta.caminho.isEmpty();
        }
        return resposta;
    });
}

Respostas::~Respostas()
{
    orvessa::Dialogos::DefinirRespostaCaixas(nullptr);
    orvessa::Dialogos::DefinirRespostaArquivos(nullptr);
}

void Respostas::Responder(const QString& trecho, int resposta)
{
    regras_.prepend({trecho, [resposta] { return resposta; }});
}

void Respostas::AoExibir(const QString& trecho, std::function<int()> acao)
{
    regras_.prepend({trecho, std::move(acao)});
}

void Respostas::ResponderArquivo(const QString& caminho)
{
    arquivos_.append(caminho);
}

QList<orvessa::CaixaExibida> Respostas::Caixas() const
{
    return orvessa::Dialogos::CaixasExibidas();
}

QList<orvessa::CaixaExibida> Respostas::CaixasCom(const QString& trecho) const
{
    QList<orvessa::CaixaExibida> encontradas;
    for (const auto& caixa : orvessa::Dialogos::CaixasExibidas()) {
        if (caixa.texto.contains(trecho))
            encontradas.append(caixa);
    }
    return encontradas;
}

QList<orvessa::DialogoArquivoExibido> Respostas::Dialogos() const
{
    return orvessa::Dialogos::DialogosExibidos();
}

void Respostas::Limpar()
{
    regras_.clear();
    arquivos_.clear();
    padrao_ = 6;
    orvessa::Dialogos::LimparRegistro();
}

}  // namespace apoio
