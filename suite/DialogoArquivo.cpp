#include "suite/DialogoArquivo.h"

#include "suite/Dialogos.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>

namespace orvessa {

QStringList DialogoArquivo::FiltrosQt(const QString& filtro)
{
    QStringList filtros;
    const QStringList partes = filtro.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 <= partes.size(); i += 2) {
        QString descricao = partes.at(i).trimmed();
        QStringList padroes;
        if (i + 1 < partes.size())
            for (const QString& p : partes.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!p.trimmed().isEmpty())
                    padroes << p.trimmed();
        if (descricao.isEmpty() && padroes.isEmpty())
            continue;
        if (padroes.isEmpty())
            padroes << QStringLiteral("*");
        // The description may already list its patterns, Windows-style.
        static const QRegularExpression listaFinal(QStringLiteral("\\s*\\([^()]*\\*[^()]*\\)\\s*$"));
        descricao.remove(listaFinal);
        if (descricao.isEmpty())
            descricao = padroes.join(QLatin1Char(' '));
        filtros << QStringLiteral("%1 (%2)").arg(descricao, padroes.join(QLatin1Char(' ')));
    }
    return filtros;
}

void DialogoArquivo::ExibirDialogo(int tipo, const QString& titulo, QWidget* pai)
{
    cancelado_ = true;
    escolhido_.clear();
    const DialogoArquivoExibido exibido{tipo, titulo, FiltroArquivos, DiretorioInicial, OpcoesDialogo};
    Dialogos::RegistrarDialogoArquivo(exibido);

    if (Dialogos::RespostaArquivoInstalada()) {
        const RespostaDialogoArquivo resposta = Dialogos::ResponderDialogoArquivo(exibido);
        cancelado_ = resposta.cancelado;
        if (!cancelado_) {
            escolhido_ = resposta.caminho;
            if (!escolhido_.isEmpty())
                DiretorioInicial = QDir::toNativeSeparators(QFileInfo(escolhido_).absolutePath());
        }
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;

    if (!pai)
        pai = QApplication::activeWindow();
    QPointer<QFileDialog> dialogo = new QFileDialog(pai, titulo);
    dialogo->setObjectName(QStringLiteral("DialogoArquivo"));
    // Qt's own dialog: in the program's language and under its skin.
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setWindowModality(Qt::ApplicationModal);
    if (tipo == 2) {
        dialogo->setAcceptMode(QFileDialog::AcceptSave);
        dialogo->setFileMode(QFileDialog::AnyFile);
        if (!(OpcoesDialogo & OFN_OVERWRITEPROMPT))
            dialogo->setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialogo->setAcceptMode(QFileDialog::AcceptOpen);
        dialogo->setFileMode((OpcoesDialogo & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    const QStringList filtros = FiltrosQt(FiltroArquivos);
    if (!filtros.isEmpty())
        dialogo->setNameFilters(filtros);

    const QString inicial = QDir::fromNativeSeparators(DiretorioInicial.trimmed());
    if (!inicial.isEmpty()) {
        const QFileInfo info(inicial);
        if (info.isDir()) {
            dialogo->setDirectory(info.absoluteFilePath());
        } else if (info.absoluteDir().exists()) {
            dialogo->setDirectory(info.absolutePath());
            dialogo->selectFile(info.fileName());
        }
    }

    const int resultado = dialogo->exec();
    if (!dialogo)
        return;
    const QStringList escolhidos = dialogo->selectedFiles();
    if (resultado == QDialog::Accepted && !escolhidos.isEmpty()) {
        cancelado_ = false;
        escolhido_ = QDir::toNativeSeparators(escolhidos.first());
        DiretorioInicial = QDir::toNativeSeparators(QFileInfo(escolhidos.first()).absolutePath());
    } else {
        DiretorioInicial = QDir::toNativeSeparators(dialogo->directory().absolutePath());
    }
    delete dialogo;
}

}  // namespace orvessa
