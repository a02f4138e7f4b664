// The component library's frame: its type library and the entry points a
// host's loader looks up by name.
#include "controls/frame/Kestrane.h"

#include "controls/download/CDownload.h"
#include "controls/frame/ErrosIgnorados.h"
#include "controls/infopanel/CInfoPanel.h"
#include "controls/statusbar/CStatusBar.h"
#include "controls/tabletras/CTabLetras.h"

#include "platform/Componentes.h"

#include <QString>
#include <QWidget>

namespace kestrane {
namespace {

using plataforma::MembroTipo;
using plataforma::TipoMembro;

// Members in the order the default interfaces list them.
constexpr MembroTipo MembrosCStatusBar[] = {
    {"Width", 0x68030001, TipoMembro::Propriedade},
    {"Height", 0x68030000, TipoMembro::Propriedade},
};

constexpr MembroTipo MembrosCInfoPanel[] = {
    {"Texto", 0x68030002, TipoMembro::Propriedade},
    {"BackColor", 0x68030001, TipoMembro::Propriedade},
    {"BorderColor", 0x68030000, TipoMembro::Propriedade},
};

constexpr MembroTipo MembrosCDownload[] = {
    {"Tamanho", 0x68030002, TipoMembro::Propriedade},
    {"Baixando", 0x68030001, TipoMembro::PropriedadeSomenteLeitura},
    {"Cancelado", 0x68030000, TipoMembro::Propriedade},
    {"getContentType", 0x60030004, TipoMembro::Metodo},
    {"getHTMLFromUrl", 0x60030005, TipoMembro::Metodo},
    {"Baixar", 0x60030006, TipoMembro::Metodo},
    {"Cancelar", 0x60030007, TipoMembro::Metodo},
    {"Erros", 1, TipoMembro::Evento},
    {"Progresso", 2, TipoMembro::Evento},
    {"Concluido", 3, TipoMembro::Evento},
};

constexpr MembroTipo MembrosCTabLetras[] = {
    {"ToolTipTitle", 0x68030000, TipoMembro::Propriedade},
    {"Click", 1, TipoMembro::Evento},
};

template <typename T, int N>
constexpr int Total(const T (&)[N])
{
    return N;
}

constexpr plataforma::ClasseTipo Classes[] = {
    {"CStatusBar", ClsidCStatusBar, "_CStatusBar", "54274CB9-8704-44CD-B666-1FEAEA47EFCC", "__CStatusBar",
     "076768B9-0A8E-40DD-ADCA-805D013D0017", MembrosCStatusBar, Total(MembrosCStatusBar)},
    {"CInfoPanel", ClsidCInfoPanel, "_CInfoPanel", "B14D22AB-89CB-4AAE-A05F-C4EA793EF410", "__CInfoPanel",
     "34181E57-FB57-4E29-AA68-DCFD99B61921", MembrosCInfoPanel, Total(MembrosCInfoPanel)},
    {"CDownload", ClsidCDownload, "_CDownload", "7CE3DC44-DDDC-4DF2-A7F3-DCABEDC759DC", "__CDownload",
     "C4B9E4CA-17F3-4E22-8774-E2678A0A9444", MembrosCDownload, Total(MembrosCDownload)},
    {"CTabLetras", ClsidCTabLetras, "_CTabLetras", "108BDD45-402E-41E9-B202-97294E640BA5", "__CTabLetras",
     "F50A2C02-B688-4069-BA79-504435E6327C", MembrosCTabLetras, Total(MembrosCTabLetras)},
};

constexpr plataforma::BibliotecaTipo Biblioteca = {
    "Kestrane", "21EE3506-2691-4F85-AE83-728AA2436326", "::. Kestrane", Classes, Total(Classes),
};

// Any object of this library will do for finding the library's own file.
const char MarcadorBiblioteca = 0;

QString NormalizarClsid(const char* clsid)
{
    return plataforma::Componentes::NormalizarClsid(QString::fromLatin1(clsid));
}

}  // namespace

const plataforma::BibliotecaTipo& Tipos()
{
    return Biblioteca;
}

}  // namespace kestrane

extern "C" {

Q_DECL_EXPORT long DllRegisterServer()
{
    return plataforma::Componentes::RegistrarEstaBiblioteca(kestrane::Tipos(), &kestrane::MarcadorBiblioteca);
}

Q_DECL_EXPORT long DllUnregisterServer()
{
    return plataforma::Componentes::DesregistrarEstaBiblioteca(kestrane::Tipos());
}

// Controls are made with the host's widget as parent; an unknown class id
// answers null, which the loader reports as a class it cannot create.
Q_DECL_EXPORT void* DllCriarObjeto(const char* clsid, void* pai)
{
    if (!clsid)
        return nullptr;
    try {
        auto* janela = static_cast<QWidget*>(pai);
        const QString id = kestrane::NormalizarClsid(clsid);
        QObject* objeto = nullptr;
        if (id == QLatin1String(kestrane::ClsidCStatusBar))
            objeto = new kestrane::CStatusBar(janela);
        else if (id == QLatin1String(kestrane::ClsidCInfoPanel))
            objeto = new kestrane::CInfoPanel(janela);
        else if (id == QLatin1String(kestrane::ClsidCDownload))
            objeto = new kestrane::CDownload(janela);
        else if (id == QLatin1String(kestrane::ClsidCTabLetras))
            objeto = new kestrane::CTabLetras(janela);
        return objeto;
    } catch (...) {
        kestrane::RegistrarErroIgnorado("DllCriarObjeto");
        return nullptr;
    }
}

Q_DECL_EXPORT const plataforma::BibliotecaTipo* DllTipoBiblioteca()
{
    return &kestrane::Tipos();
}

}  // extern "C"
