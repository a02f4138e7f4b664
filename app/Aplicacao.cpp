#include "app/Aplicacao.h"

#include "app/support/FRelatorioErros.h"
#include "app/workbench/modErros.h"
#include "platform/ErroExecucao.h"
#include "suite/Formulario.h"

#include <QEvent>
#include <QMetaEnum>
#include <QWidget>
#include <exception>
#include <new>

namespace qeltrano {

namespace {

constexpr long kErroMemoria = 7;
constexpr long kErroInterno = 51;

}  // namespace

Aplicacao::Aplicacao(int& argc, char** argv) : QApplication(argc, argv)
{
    // An error of no known class ends in the report window.
    InstalarRelatorioErros();
}

Aplicacao::~Aplicacao() = default;

QString Aplicacao::NomeModulo(const QObject* receptor)
{
    if (!receptor)
        return QStringLiteral("Aplicacao");
    const QObject* alvo = receptor;
    if (const auto* widget = qobject_cast<const QWidget*>(receptor))
        alvo = widget->window();
    // A control's window is the form that traps for it.
    for (const QObject* o = alvo; o; o = o->parent()) {
        if (const auto* janela = qobject_cast<const orvessa::Formulario*>(o)) {
            if (!janela->Name().isEmpty())
                return janela->Name();
            break;
        }
    }
    return QString::fromLatin1(alvo->metaObject()->className());
}

QString Aplicacao::NomeProcedimento(const QObject* receptor, const QEvent* evento)
{
    QString nome;
    if (evento) {
        const char* chave = QMetaEnum::fromType<QEvent::Type>().valueToKey(evento->type());
        nome = chave ? QString::fromLatin1(chave) : QString::number(int(evento->type()));
    }
    if (nome.isEmpty())
        return QStringLiteral("notify");
    if (receptor && !receptor->objectName().isEmpty())
        return receptor->objectName() + QLatin1Char('_') + nome;
    return nome;
}

bool Aplicacao::notify(QObject* receptor, QEvent* evento)
{
    try {
        return QApplication::notify(receptor, evento);
    } catch (const plataforma::ErroExecucao& erro) {
        TratarErro(NomeModulo(receptor), NomeProcedimento(receptor, evento), erro.Numero(), erro.Descricao(),
                   erro.Linha());
    } catch (const std::bad_alloc&) {
        TratarErro(NomeModulo(receptor), NomeProcedimento(receptor, evento), kErroMemoria,
                   QStringLiteral("Out of memory"), 0);
    } catch (const std::exception& erro) {
        TratarErro(NomeModulo(receptor), NomeProcedimento(receptor, evento), kErroInterno,
                   QStringLiteral("Internal error: ") + QString::fromUtf8(erro.what()), 0);
    } catch (...) {
        TratarErro(NomeModulo(receptor), NomeProcedimento(receptor, evento), kErroInterno,
                   QStringLiteral("Internal error"), 0);
    }
    return false;
}

}  // namespace qeltrano
