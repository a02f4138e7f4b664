#pragma once
// Test support: registers the built control library into the test's own
// registry and creates its controls through the component loader.
#include "platform/Componentes.h"
#include "platform/ErroExecucao.h"
#include "platform/TipoBiblioteca.h"

#include <QLibrary>
#include <QString>
#include <QWidget>

namespace apoio {

inline QString CaminhoKestrane()
{
    return QStringLiteral(KESTRANE_BIBLIOTECA);
}

template <typename Funcao>
Funcao EntradaKestrane(const char* nome)
{
    QLibrary biblioteca(CaminhoKestrane());
    return reinterpret_cast<Funcao>(biblioteca.resolve(nome));
}

// True when DllRegisterServer ran and answered success.
inline bool RegistrarKestrane()
{
    const auto registrar = EntradaKestrane<FuncaoRegistro>(PLATAFORMA_ENTRADA_REGISTRO);
    return registrar && registrar() == 0;
}

inline const plataforma::BibliotecaTipo* TiposKestrane()
{
    const auto tipos = EntradaKestrane<FuncaoTipoBiblioteca>(PLATAFORMA_ENTRADA_TIPOS);
    return tipos ? tipos() : nullptr;
}

// A control made by ProgID or CLSID, as a child of `pai`.
inline QWidget* CriarControle(const QString& progIdOuClsid, QWidget* pai)
{
    return qobject_cast<QWidget*>(plataforma::Componentes::CriarObjeto(progIdOuClsid, pai));
}

}  // namespace apoio
