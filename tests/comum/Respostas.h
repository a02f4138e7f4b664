#pragma once
// Answers the program's message boxes and file dialogs in tests: each box is
// answered by the first rule whose text fragment it contains (else by the
// default answer), and every box is kept to be read afterwards.
#include "suite/Dialogos.h"

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

namespace apoio {

class Respostas {
public:
    Respostas();
    ~Respostas();

    // Answer boxes whose text contains `trecho` with `resposta` (6, 7, 1...).
    void Responder(const QString& trecho, int resposta);
    // Run `acao` when a box containing `trecho` is shown, then answer.
    void AoExibir(const QString& trecho, std::function<int()> acao);
    void DefinirPadrao(int resposta) { padrao_ = resposta; }
    // The next file dialogs get these paths, in order ("" cancels).
    void ResponderArquivo(const QString& caminho);

    QList<orvessa::CaixaExibida> Caixas() const;
    // The boxes whose text contains `trecho`.
    QList<orvessa::CaixaExibida> CaixasCom(const QString& trecho) const;
    QList<orvessa::DialogoArquivoExibido> Dialogos() const;
    void Limpar();

private:
    struct Regra {
        QString trecho;
        std::function<int()> acao;
    };
    QList<Regra> regras_;
    QList<QString> arquivos_;
    int padrao_ = 6;
};

}  // namespace apoio
