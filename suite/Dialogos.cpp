#include "suite/Dialogos.h"

#include "suite/TextoMarcado.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <cstdio>

namespace orvessa {

namespace {

struct Estado {
    Dialogos::ResponderCaixa responderCaixa;
    Dialogos::ResponderArquivo responderArquivo;
    QList<CaixaExibida> caixas;
    QList<DialogoArquivoExibido> dialogos;
};

Estado& Seam()
{
    static Estado estado;
    return estado;
}

// Message-box flags: the low four bits choose the buttons, 16/32/48/64 the
// icon, 256/512 the default button.
struct Botao {
    QMessageBox::StandardButton padrao;
    int resposta;
};

QList<Botao> BotoesDoEstilo(int estilo)
{
    switch (estilo & 0xF) {
    case 1: return {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}};
    case 2: return {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
    case 3: return {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}, {QMessageBox::Cancel, 2}};
    case 4: return {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}};
    case 5: return {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, 2}};
    default: return {{QMessageBox::Ok, 1}};
    }
}

QMessageBox::Icon IconeDoEstilo(int estilo)
{
    switch (estilo & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    // 64 + 16: the windows pass it for yes/no warnings; shown as the exclamation.
    case 80: return QMessageBox::Warning;
    default: return QMessageBox::NoIcon;
    }
}

// The suite's marked-up Yes/No box may be closed without choosing (Esc or
// the window's close button): it then answers 2, neither Yes nor No, so a
// caller that only stops on No goes on and one that needs Yes does nothing.
constexpr int kFechadaSemBotao = 2;

class CaixaSuite : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool fecharSemBotao = false;
    bool fechada = false;

protected:
    void keyPressEvent(QKeyEvent* evento) override
    {
        if (fecharSemBotao && evento->key() == Qt::Key_Escape) {
            fechada = true;
            done(0);
            return;
        }
        QMessageBox::keyPressEvent(evento);
    }
    void closeEvent(QCloseEvent* evento) override
    {
        if (fecharSemBotao) {
            fechada = true;
            evento->accept();
            done(0);
            return;
        }
        QMessageBox::closeEvent(evento);
    }
};

// The answer a box gives when it is closed without a button: Cancel where
// there is one, otherwise No, otherwise the single button.
int RespostaAoFechar(const QList<Botao>& botoes)
{
    for (const Botao& b : botoes)
        if (b.resposta == 2)
            return 2;
    for (const Botao& b : botoes)
        if (b.resposta == 7)
            return 7;
    return botoes.first().resposta;
}

int RespostaPadrao(int estilo)
{
    const QList<Botao> botoes = BotoesDoEstilo(estilo);
    const int indice = (estilo & 0x300) >> 8;
    return botoes.at(indice < botoes.size() ? indice : 0).resposta;
}

int MostrarCaixa(const QString& texto, Qt::TextFormat formato, int estilo, const QString& titulo, QWidget* pai,
                 bool suite)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // No desktop to show it on: the text still reaches the user.
        std::fprintf(stderr, "%s: %s\n", qPrintable(titulo), qPrintable(texto));
        return RespostaPadrao(estilo);
    }
    if (!pai)
        pai = QApplication::activeWindow();

    const QList<Botao> botoes = BotoesDoEstilo(estilo);
    QPointer<CaixaSuite> caixa = new CaixaSuite(pai);
    caixa->fecharSemBotao = suite && (estilo & 0xF) == 4;
    caixa->setObjectName(QStringLiteral("CaixaMensagem"));
    caixa->setWindowTitle(titulo);
    caixa->setIcon(IconeDoEstilo(estilo));
    caixa->setTextFormat(formato);
    caixa->setText(texto);
    caixa->setWindowModality(Qt::ApplicationModal);

    QList<QAbstractButton*> criados;
    for (const Botao& b : botoes)
        criados << caixa->addButton(b.padrao);
    const int indicePadrao = (estilo & 0x300) >> 8;
    if (auto* padrao = qobject_cast<QPushButton*>(criados.value(indicePadrao < criados.size() ? indicePadrao : 0)))
        caixa->setDefaultButton(padrao);
    const int aoFechar = RespostaAoFechar(botoes);
    for (int i = 0; i < botoes.size(); ++i)
        if (botoes.at(i).resposta == aoFechar)
            caixa->setEscapeButton(criados.at(i));

    caixa->exec();
    int resposta = aoFechar;
    if (caixa && caixa->fechada) {
        resposta = kFechadaSemBotao;
        delete caixa;
    } else if (caixa) {
        const int indice = criados.indexOf(caixa->clickedButton());
        if (indice >= 0)
            resposta = botoes.at(indice).resposta;
        delete caixa;
    }
    return resposta;
}

}  // namespace

void Dialogos::DefinirRespostaCaixas(ResponderCaixa responder)
{
    Seam().responderCaixa = std::move(responder);
}

void Dialogos::DefinirRespostaArquivos(ResponderArquivo responder)
{
    Seam().responderArquivo = std::move(responder);
}

const QList<CaixaExibida>& Dialogos::CaixasExibidas()
{
    return Seam().caixas;
}

const QList<DialogoArquivoExibido>& Dialogos::DialogosExibidos()
{
    return Seam().dialogos;
}

void Dialogos::LimparRegistro()
{
    Seam().caixas.clear();
    Seam().dialogos.clear();
}

int Dialogos::ExibirCaixa(TipoCaixa tipo, const QString& texto, int estilo, const QString& titulo, QWidget* pai)
{
    const CaixaExibida caixa{tipo, texto, estilo, titulo};
    Seam().caixas.append(caixa);
    if (Seam().responderCaixa) {
        // A copy: the answerer may install another one while it runs.
        const ResponderCaixa responder = Seam().responderCaixa;
        return responder(caixa);
    }
    if (tipo == TipoCaixa::Sistema)
        return MostrarCaixa(texto, Qt::PlainText, estilo, titulo, pai, false);
    return MostrarCaixa(TextoMarcadoParaHtml(texto), Qt::RichText, estilo, titulo, pai, true);
}

int Dialogos::ExibirCaixaSistema(const QString& texto, int estilo, const QString& titulo)
{
    return ExibirCaixa(TipoCaixa::Sistema, texto, estilo, titulo, nullptr);
}

bool Dialogos::RespostaArquivoInstalada()
{
    return static_cast<bool>(Seam().responderArquivo);
}

RespostaDialogoArquivo Dialogos::ResponderDialogoArquivo(const DialogoArquivoExibido& exibido)
{
    if (!Seam().responderArquivo)
        return {};
    const ResponderArquivo responder = Seam().responderArquivo;
    return responder(exibido);
}

void Dialogos::RegistrarDialogoArquivo(const DialogoArquivoExibido& exibido)
{
    Seam().dialogos.append(exibido);
}

}  // namespace orvessa
