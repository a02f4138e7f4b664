#pragma once
// The component registry and loader: our stand-in for in-process COM.
//
// A library registers its classes (CLSID, ProgID, library path, type library)
// under HKEY_CURRENT_USER\Software\Classes, as Windows keeps them. A host
// creates an object by ProgID or CLSID; the loader finds the library in the
// registry, loads it and asks its factory. Members are then reached late
// bound through Qt's meta-object system, by name or by dispatch id.
#include "platform/Exporta.h"
#include "platform/TipoBiblioteca.h"

#include <QHash>
#include <QPair>
#include <QStringList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <cstdint>

class QWidget;

namespace plataforma {

class PLATAFORMA_EXPORT Componentes {
public:
    // Registration, called from a library's DllRegisterServer with its own
    // path (see CaminhoDestaBiblioteca). Returns false when a key cannot be
    // written.
    static bool RegistrarBiblioteca(const BibliotecaTipo& tipos, const QString& caminhoBiblioteca);
    static bool DesregistrarBiblioteca(const BibliotecaTipo& tipos);

    // What a library's DllRegisterServer / DllUnregisterServer answer:
    // registers the library that holds `umSimboloDela`; 0 (S_OK) on success,
    // 0x80040201 when a key cannot be written. Never throw.
    static long RegistrarEstaBiblioteca(const BibliotecaTipo& tipos, const void* umSimboloDela);
    static long DesregistrarEstaBiblioteca(const BibliotecaTipo& tipos);
    // A class id as a factory receives it ("{...}" or bare, any case) in the
    // form type tables write it: bare, upper case; empty when no GUID.
    static QString NormalizarClsid(const QString& clsid);

    // Path of the shared library that holds `enderecoDeUmSimbolo` (dladdr).
    static QString CaminhoDestaBiblioteca(const void* enderecoDeUmSimbolo);

    // "Kestrane.CStatusBar" or "{9D23CF34-...}" / "9D23CF34-..." -> CLSID
    // without braces, upper case; empty when not registered.
    static QString ClsidDe(const QString& progIdOuClsid);
    // The registered library path of a CLSID; empty when absent.
    static QString BibliotecaDe(const QString& clsid);

    // Creates the object. Throws ErroExecucao 429 when the class is not
    // registered (or its factory refuses it) and 339, naming the library
    // file between apostrophes, when the registered library cannot be loaded
    // or lacks its factory. The object is parented to `pai` when given.
    // A library once loaded stays loaded for the life of the process.
    static QObject* CriarObjeto(const QString& progIdOuClsid, QWidget* pai = nullptr);

    // The type information of an object made by CriarObjeto; null otherwise.
    static const ClasseTipo* TipoDe(const QObject* objeto);
    static const MembroTipo* MembroPorDispid(const QObject* objeto, std::int32_t dispid);
    static const MembroTipo* MembroPorNome(const QObject* objeto, const QString& nome);

    // Late-bound access by dispatch id. Properties are read and written
    // through Qt properties, methods are Q_INVOKABLE (or public slots) and
    // events are signals of the member's name. Arguments and property values
    // are converted to the types Qt declares (an empty QVariant becomes the
    // type's default). Throws ErroExecucao 438 for an unknown DISPID or a
    // member of another kind (writing a read-only property included), 13 when
    // a value cannot be converted and 450 for a wrong number of arguments.
    // A property get with an index takes its arguments in ObterPropriedade.
    static QVariant ObterPropriedade(QObject* objeto, std::int32_t dispid, const QVariantList& argumentos = {});
    static void DefinirPropriedade(QObject* objeto, std::int32_t dispid, const QVariant& valor);
    static QVariant ChamarMetodo(QObject* objeto, std::int32_t dispid, const QVariantList& argumentos = {});
    // The event's signal signature with the SIGNAL() code prefix, ready for
    // QObject::connect(objeto, assinatura, receptor, SLOT(...)).
    static QByteArray AssinaturaEvento(const QObject* objeto, std::int32_t dispid);

    // Late-bound access by member name (case-insensitive, as automation does).
    // A name the type information lacks is looked up in the object's own
    // meta-object, so this works on any QObject.
    static QVariant ObterPropriedade(QObject* objeto, const QString& nome, const QVariantList& argumentos = {});
    static void DefinirPropriedade(QObject* objeto, const QString& nome, const QVariant& valor);
    static QVariant ChamarMetodo(QObject* objeto, const QString& nome, const QVariantList& argumentos = {});
};

// A control's persisted properties, kept by the host with the window that
// places the control. Keys are matched without regard to case.
class PLATAFORMA_EXPORT PropertyBag {
public:
    QVariant ReadProperty(const QString& nome, const QVariant& padrao = QVariant()) const;
    // As the runtime does, a value equal to its default is not stored.
    void WriteProperty(const QString& nome, const QVariant& valor, const QVariant& padrao = QVariant());
    bool Contem(const QString& nome) const;
    QStringList Nomes() const;
    void Limpar();

private:
    QHash<QString, QPair<QString, QVariant>> valores_;  // lower-case key -> (key as written, value)
};

}  // namespace plataforma
