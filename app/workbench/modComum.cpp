#include "app/workbench/modComum.h"

#include "Versao.h"
#include "app/workbench/FSplash.h"
#include "app/workbench/modErros.h"
#include "platform/ErroExecucao.h"
#include "suite/Controles.h"
#include "suite/Formulario.h"
#include "suite/Tema.h"
#include "suite/Utilitarios.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>

namespace qeltrano {

QString NomeProduto()
{
    return QString::fromUtf8(versao::NomeProduto);
}

QString VersaoCompleta()
{
    return QStringLiteral("%1.%2.%3").arg(versao::Major).arg(versao::Minor).arg(versao::Revision);
}

QString MontarTituloVersao(const QString& produto, int major, int minor, int revision)
{
    return QStringLiteral("%1 %2.%3.%4").arg(produto).arg(major).arg(minor).arg(revision, 2, 10, QLatin1Char('0'));
}

QString ObterTituloVersao()
{
    return MontarTituloVersao(NomeProduto(), versao::Major, versao::Minor, versao::Revision);
}

QString ObterNomeExecutavel()
{
    QString nome = orvessa::Utilitarios::Instancia().NormalizarTexto(NomeProduto());
    nome.remove(QLatin1Char(' '));
    return nome;
}

QString ObterImagemExecutavel()
{
#ifdef Q_OS_WIN
    return ObterNomeExecutavel() + QStringLiteral(".exe");
#else
    return ObterNomeExecutavel();
#endif
}

namespace {
bool emExecucao = false;
}  // namespace

void DefinirEmExecucao(bool executando)
{
    emExecucao = executando;
}

bool EmExecucao()
{
    return emExecucao;
}

void DefinirPonteiroTela(int ponteiro)
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (ponteiro == Ponteiro::Ampulheta)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (ponteiro == Ponteiro::SetaEAmpulheta)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

void DescarregarFormularios(bool exibirSplash)
{
    try {
        // A copy: unloading changes the collection.
        const QList<orvessa::Formulario*> carregados = orvessa::Formulario::FormulariosCarregados();
        for (const QPointer<orvessa::Formulario> janela : carregados) {
            if (janela)
                janela->Descarregar();
        }
        if (exibirSplash && !FormSplash()->Carregado())
            FormSplash()->show();
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("DescarregarFormularios"));
    }
}

namespace {

bool EhCaixaTexto(QWidget* controle)
{
    return qobject_cast<QLineEdit*>(controle) || qobject_cast<QPlainTextEdit*>(controle) ||
           qobject_cast<QTextEdit*>(controle);
}

bool EhControleEntrada(QWidget* controle)
{
    return EhCaixaTexto(controle) || qobject_cast<QCheckBox*>(controle) || qobject_cast<QComboBox*>(controle) ||
           qobject_cast<QRadioButton*>(controle) || qobject_cast<QAbstractSpinBox*>(controle);
}

bool EhMultiLinha(QWidget* controle)
{
    const QVariant multi = controle->property("MultiLine");
    if (multi.isValid())
        return multi.toBool();
    return qobject_cast<QPlainTextEdit*>(controle) || qobject_cast<QTextEdit*>(controle);
}

}  // namespace

void TratarTecla(orvessa::Formulario* janela, int& codigo)
{
    try {
        if (!janela || (codigo != 13 && codigo != 27))
            return;
        QWidget* ativo = janela->focusWidget();
        if (!ativo)
            ativo = QApplication::focusWidget();
        if (!ativo || ativo->window() != janela->window())
            return;
        // An editable combo box hands focus to its line edit; judge the combo.
        if (auto* combo = qobject_cast<QComboBox*>(ativo->parentWidget()); combo && qobject_cast<QLineEdit*>(ativo))
            ativo = combo;
        if (EhCaixaTexto(ativo) &&
            (ativo->property("Tag").toString() == QLatin1String("Keep") || EhMultiLinha(ativo)))
            return;
        if (!EhControleEntrada(ativo))
            return;
        if (codigo == 13) {
            QCoreApplication::postEvent(ativo, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            codigo = 0;
            return;
        }
        if (orvessa::Formulario::TabIndex(ativo) > 0)
            QCoreApplication::postEvent(ativo, new QKeyEvent(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier));
        codigo = 0;
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("TratarTecla"));
    }
}

void CarregarPosicao(orvessa::Formulario* janela)
{
    try {
        if (!janela)
            return;
        QScreen* tela = janela->screen() ? janela->screen() : QGuiApplication::primaryScreen();
        if (!tela)
            return;
        const QRect area = tela->availableGeometry();
        const QRect geometriaTela = tela->geometry();

        // The window itself counts once, which the start value cancels.
        double x = -100, y = -100;
        bool contada = false;
        for (orvessa::Formulario* outra : orvessa::Formulario::FormulariosCarregados()) {
            if (outra->Name() == janela->Name()) {
                x += 100;
                y += 100;
                contada = contada || outra == janela;
            }
        }
        if (!contada) {
            x += 100;
            y += 100;
        }

        // A minimised or maximised window keeps its place, but the pointer is
        // reset all the same.
        if (janela->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
            DefinirPonteiroTela(Ponteiro::Padrao);
            return;
        }
        const QSize tamanho = janela->frameGeometry().size().isValid() ? janela->frameGeometry().size() : janela->size();
        const double larguraTela = orvessa::PixelsParaTwipsX(geometriaTela.width());
        const double larguraJanela = orvessa::PixelsParaTwipsX(tamanho.width());
        const double alturaJanela = orvessa::PixelsParaTwipsY(tamanho.height());
        const double fundoArea = orvessa::PixelsParaTwipsY(area.bottom() + 1 - geometriaTela.top());
        const double esquerda = (larguraTela - larguraJanela) / 2 + x;
        const double topo = (fundoArea - alturaJanela) / 2 + y;
        janela->move(geometriaTela.left() + qRound(orvessa::TwipsParaPixelsX(esquerda)),
                     geometriaTela.top() + qRound(orvessa::TwipsParaPixelsY(topo)));
        DefinirPonteiroTela(Ponteiro::Padrao);
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(QStringLiteral("modComum"), QStringLiteral("CarregarPosicao"), e.Numero(), e.Descricao(), e.Linha());
    }
}

void DefinirIcone(QWidget* janela, const QString& nome, bool tambemDono)
{
    try {
        if (!janela)
            return;
        QIcon icone;
        for (const int lado : {16, 24, 32, 48, 64, 128, 256}) {
            const QString recurso = QStringLiteral(":/icones/%1-%2.png").arg(nome).arg(lado);
            if (QFile::exists(recurso))
                icone.addFile(recurso, QSize(lado, lado));
        }
        if (icone.isNull())
            return;  // a missing resource leaves the icon as it was
        if (tambemDono) {
            QWidget* dono = janela->window();
            while (dono->parentWidget())
                dono = dono->parentWidget()->window();
            dono->setWindowIcon(icone);
        }
        janela->window()->setWindowIcon(icone);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("DefinirIcone"));
    }
}

}  // namespace qeltrano
