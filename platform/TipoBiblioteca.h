#pragma once
// What a component library's type library holds: its identity, its classes
// and their interfaces, and every member's and event's dispatch id. A library
// exports one of these; hosts look members up in it to call them by DISPID.
#include <cstdint>

namespace plataforma {

// A write-only property (a put with no get) answers 438 when read. A
// property get with an index (an item number) is an invokable method that a
// host may read as a property with arguments or call as a method, as
// automation allows both.
enum class TipoMembro : int {
    Propriedade,
    PropriedadeSomenteLeitura,
    Metodo,
    Evento,
    PropriedadeSomenteEscrita,
    PropriedadeIndexada
};

struct MembroTipo {
    const char* nome;        // the Qt property, invokable method or signal
    std::int32_t dispid;
    TipoMembro tipo;
};

struct ClasseTipo {
    const char* nome;             // "CStatusBar"
    const char* clsid;            // "9D23CF34-7580-4AF9-B9A3-F46AE7F2A5CE", no braces
    const char* interfacePadrao;  // "_CStatusBar"
    const char* iidPadrao;
    const char* interfaceEventos; // "__CStatusBar"
    const char* iidEventos;
    const MembroTipo* membros;
    int totalMembros;
};

struct BibliotecaTipo {
    const char* nome;       // "Kestrane"; ProgIDs are nome + "." + class name
    const char* libid;
    const char* textoAjuda; // "::. Kestrane"
    const ClasseTipo* classes;
    int totalClasses;
};

}  // namespace plataforma

// The entry points a component library exports with C linkage, as a Windows
// in-process server does. DllRegisterServer/DllUnregisterServer return 0 on
// success (S_OK).
extern "C" {
using FuncaoRegistro = long (*)();
// Creates an object of the class; `pai` is the host's parent widget for
// controls (may be null), passed as a QWidget* converted to void*. Returns
// the object as a QObject* converted to void* (static_cast<QObject*> first
// for a widget) or null when the class is unknown.
using FuncaoCriarObjeto = void* (*)(const char* clsid, void* pai);
using FuncaoTipoBiblioteca = const plataforma::BibliotecaTipo* (*)();
}
#define PLATAFORMA_ENTRADA_REGISTRO "DllRegisterServer"
#define PLATAFORMA_ENTRADA_DESREGISTRO "DllUnregisterServer"
#define PLATAFORMA_ENTRADA_CRIAR "DllCriarObjeto"
#define PLATAFORMA_ENTRADA_TIPOS "DllTipoBiblioteca"
