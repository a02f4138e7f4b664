#pragma once
// The one seam through which every message box and file dialog of the three
// deliverables passes. Without an answerer installed the real Qt dialog is
// shown; with one, the answerer decides. Either way what was shown is kept so
// tests can read it.
#include "suite/Exporta.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;

namespace orvessa {

enum class TipoCaixa { Mensagem, Aviso, Sistema };

// Message-box style flags as the runtime numbers them; they add up.
namespace EstiloMensagem {
inline constexpr int SimNao = 4;
inline constexpr int Critico = 16;
inline constexpr int Pergunta = 32;
inline constexpr int Exclamacao = 48;
inline constexpr int Informacao = 64;
inline constexpr int SegundoBotaoPadrao = 256;
inline constexpr int PerguntaSimNao = Pergunta + SimNao;                          // 36
inline constexpr int PerguntaSimNaoPadraoNao = PerguntaSimNao + SegundoBotaoPadrao;  // 292
inline constexpr int PerguntaSimNaoExclamacao = PerguntaSimNao + Exclamacao;        // 84
}  // namespace EstiloMensagem

// What a box answers.
namespace Resposta {
inline constexpr int Ok = 1;
inline constexpr int Cancelar = 2;
inline constexpr int Sim = 6;
inline constexpr int Nao = 7;
}  // namespace Resposta

struct CaixaExibida {
    TipoCaixa tipo;
    QString texto;     // as passed: marked-up for Mensagem/Aviso, plain for Sistema
    int estilo;        // message-box flags: 16, 36, 48, 64, 84, 292...
    QString titulo;
};

struct DialogoArquivoExibido {
    int tipo;                 // 1 open, 2 save
    QString titulo;
    QString filtro;           // as given: description|patterns|...
    QString diretorioInicial;
    long opcoes;
};

struct RespostaDialogoArquivo {
    bool cancelado = true;
    QString caminho;          // the chosen full path
};

class ORVESSA_EXPORT Dialogos {
public:
    using ResponderCaixa = std::function<int(const CaixaExibida&)>;
    using ResponderArquivo = std::function<RespostaDialogoArquivo(const DialogoArquivoExibido&)>;

    // Null restores the real dialogs.
    static void DefinirRespostaCaixas(ResponderCaixa responder);
    static void DefinirRespostaArquivos(ResponderArquivo responder);

    static const QList<CaixaExibida>& CaixasExibidas();
    static const QList<DialogoArquivoExibido>& DialogosExibidos();
    static void LimparRegistro();

    // Shows a box (or asks the answerer) and returns 6 Yes, 7 No, 1 OK.
    static int ExibirCaixa(TipoCaixa tipo, const QString& texto, int estilo, const QString& titulo,
                           QWidget* pai = nullptr);
    // The plain system box (MsgBox): text shown as is, no markup.
    static int ExibirCaixaSistema(const QString& texto, int estilo, const QString& titulo);

    // Used by DialogoArquivo.
    static bool RespostaArquivoInstalada();
    static RespostaDialogoArquivo ResponderDialogoArquivo(const DialogoArquivoExibido& exibido);
    static void RegistrarDialogoArquivo(const DialogoArquivoExibido& exibido);
};

}  // namespace orvessa
