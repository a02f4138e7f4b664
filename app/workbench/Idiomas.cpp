#include "app/workbench/Idiomas.h"

#include "suite/Controles.h"
#include "suite/TextoMarcado.h"

namespace qeltrano {

const QList<Idioma>& IdiomasComuns()
{
    static const QList<Idioma> idiomas = {
        {"Africâner", "af"},  {"Albanês", "sq"},    {"Alemão", "de"},      {"Árabe", "ar"},
        {"Bielo-russo", "be"}, {"Búlgaro", "bg"},   {"Catalão", "ca"},     {"Chinês", "zh-CN"},
        {"Coreano", "ko"},    {"Croata", "hr"},     {"Dinamarquês", "da"}, {"Eslovaco", "sk"},
        {"Esloveno", "sl"},   {"Espanhol", "es"},   {"Estoniano", "et"},   {"Finlandês", "fi"},
        {"Francês", "fr"},    {"Galego", "gl"},     {"Galês", "cy"},       {"Grego", "el"},
        {"Hebraico", "iw"},   {"Hindi", "hi"},      {"Holandês", "nl"},    {"Húngaro", "hu"},
        {"Indonésio", "id"},  {"Irlandês", "ga"},   {"Islandês", "is"},    {"Italiano", "it"},
        {"Japonês", "ja"},    {"Letão", "lv"},      {"Lituano", "lt"},     {"Macedônico", "mk"},
        {"Malaio", "ms"},     {"Maltês", "mt"},     {"Norueguês", "no"},   {"Persa", "fa"},
        {"Polonês", "pl"},    {"Romeno", "ro"},     {"Russo", "ru"},       {"Sérvio", "sr"},
        {"Suaíle", "sw"},     {"Sueco", "sv"},      {"Tagalo", "tl"},      {"Tailandês", "th"},
        {"Tcheco", "cs"},     {"Turco", "tr"},      {"Ucraniano", "uk"},   {"Vietnamita", "vi"},
        {"Yiddish", "yi"},
    };
    return idiomas;
}

QColor CorIdiomasPrincipais()
{
    return orvessa::CorOle(10236447);  // &H9C321F
}

namespace {

void AdicionarPrincipaisEComuns(orvessa::USComboBox* lista)
{
    const QColor cor = CorIdiomasPrincipais();
    lista->AdicionarItem(QStringLiteral("Português"), QStringLiteral("pt"), cor);
    lista->AdicionarItem(QStringLiteral("Inglês"), QStringLiteral("en"), cor);
    for (const Idioma& idioma : IdiomasComuns())
        lista->AdicionarItem(QString::fromUtf8(idioma.nome), QString::fromUtf8(idioma.codigo));
}

}  // namespace

void CarregarIdiomas(orvessa::USComboBox* origem, orvessa::USComboBox* destino)
{
    origem->LimparItens();
    origem->AdicionarItem(QStringLiteral("Detectar idioma"), QStringLiteral("auto"));
    AdicionarPrincipaisEComuns(origem);
    destino->LimparItens();
    AdicionarPrincipaisEComuns(destino);
    origem->DefinirIndiceSelecionado(0);
    destino->DefinirIndiceSelecionado(0);
}

}  // namespace qeltrano
