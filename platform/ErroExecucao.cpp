#include "platform/ErroExecucao.h"

#include <QtGlobal>

#include <utility>

namespace plataforma {

ErroExecucao::ErroExecucao(long numero, QString descricao, long linha)
    : numero_(numero), descricao_(std::move(descricao)), linha_(linha), utf8_(descricao_.toStdString())
{
}

ErroExecucao ErroExecucao::MemoriaInsuficiente()
{
    return ErroExecucao(NumeroMemoriaInsuficiente, QStringLiteral("Out of memory"));
}

ErroExecucao ErroExecucao::ComponenteNaoCriado()
{
    return ErroExecucao(NumeroComponenteNaoCriado, QStringLiteral("ActiveX component can't create object"));
}

ErroExecucao ErroExecucao::ComponenteNaoRegistrado(const QString& arquivo)
{
    return ErroExecucao(NumeroComponenteNaoRegistrado, QStringLiteral("Component '%1' or one of its dependencies not correctly "
                                            "registered: a file is missing or invalid")
                                 .arg(arquivo));
}

ErroExecucao ErroExecucao::ObjetoNaoSuportaPropriedade()
{
    return ErroExecucao(NumeroObjetoNaoSuportaPropriedade, QStringLiteral("Object doesn't support this property or method"));
}

ErroExecucao ErroExecucao::TiposIncompativeis()
{
    return ErroExecucao(NumeroTiposIncompativeis, QStringLiteral("Type mismatch"));
}

ErroExecucao ErroExecucao::NumeroArgumentosInvalido()
{
    return ErroExecucao(NumeroArgumentosErrados, QStringLiteral("Wrong number of arguments or invalid property assignment"));
}

ErroExecucao ErroExecucao::ErroInterno(const QString& descricao)
{
    return ErroExecucao(NumeroErroInterno, descricao);
}

void RegistrarErroIgnorado(const char* onde)
{
    try {
        throw;
    } catch (const ErroExecucao& e) {
        qWarning("%s: erro %ld ignorado: %s", onde, e.Numero(), qPrintable(e.Descricao()));
    } catch (const std::exception& e) {
        qWarning("%s: erro ignorado: %s", onde, e.what());
    } catch (...) {
        qWarning("%s: erro ignorado", onde);
    }
}

}  // namespace plataforma
