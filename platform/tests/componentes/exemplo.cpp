// A small but real component library: one class, Exemplo.Contador, with a
// property, a read-only property, a method and an event.
#include "platform/Componentes.h"
#include "platform/TipoBiblioteca.h"

#include <QObject>
#include <QWidget>

namespace {

class Contador : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Valor READ Valor WRITE DefinirValor)
    Q_PROPERTY(QString Descricao READ Descricao)

public:
    explicit Contador(QObject* pai) : QObject(pai) {}

    int Valor() const { return valor_; }
    void DefinirValor(int valor)
    {
        if (valor == valor_)
            return;
        valor_ = valor;
        emit Mudou(valor_);
    }
    QString Descricao() const { return QStringLiteral("Contador de exemplo"); }

    Q_INVOKABLE int Somar(int parcela)
    {
        DefinirValor(valor_ + parcela);
        return valor_;
    }

signals:
    void Mudou(int valor);

private:
    int valor_ = 0;
};

constexpr const char* kClsidContador = "6F1C2A7E-3B94-4D0A-9E51-C2B8D4A0F317";

const plataforma::MembroTipo kMembros[] = {
    {"Valor", 0x68030000, plataforma::TipoMembro::Propriedade},
    {"Descricao", 0x68030001, plataforma::TipoMembro::PropriedadeSomenteLeitura},
    {"Somar", 0x60030001, plataforma::TipoMembro::Metodo},
    {"Mudou", 1, plataforma::TipoMembro::Evento},
};

const plataforma::ClasseTipo kClasses[] = {
    {"Contador", kClsidContador, "_Contador", "0B7E5D21-8C3F-4A6E-B2D9-71E4F0A9C583", "__Contador",
     "D4A93F60-2E17-4B8C-A5F2-9C06E3B7184D", kMembros, int(sizeof kMembros / sizeof kMembros[0])},
};

const plataforma::BibliotecaTipo kBiblioteca = {"Exemplo", "A2E47C19-5D3B-4F86-8B0E-6C1D9F2A7B54",
                                                "::. Exemplo", kClasses, 1};

}  // namespace

extern "C" Q_DECL_EXPORT const plataforma::BibliotecaTipo* DllTipoBiblioteca()
{
    return &kBiblioteca;
}

extern "C" Q_DECL_EXPORT long DllRegisterServer()
{
    const QString caminho =
        plataforma::Componentes::CaminhoDestaBiblioteca(reinterpret_cast<const void*>(&DllTipoBiblioteca));
    return plataforma::Componentes::RegistrarBiblioteca(kBiblioteca, caminho) ? 0 : long(0x80004005L);
}

extern "C" Q_DECL_EXPORT long DllUnregisterServer()
{
    return plataforma::Componentes::DesregistrarBiblioteca(kBiblioteca) ? 0 : long(0x80004005L);
}

extern "C" Q_DECL_EXPORT void* DllCriarObjeto(const char* clsid, void* pai)
{
    if (!clsid || qstricmp(clsid, kClsidContador) != 0)
        return nullptr;
    return static_cast<void*>(new Contador(static_cast<QObject*>(static_cast<QWidget*>(pai))));
}

#include "exemplo.moc"
