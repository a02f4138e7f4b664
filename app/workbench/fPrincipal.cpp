#include "app/workbench/fPrincipal.h"

#include "Versao.h"
#include "app/support/FContato.h"
#include "app/support/fSobre.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/nucleo/Codificacao.h"
#include "app/workbench/nucleo/EscritaLegenda.h"
#include "app/workbench/nucleo/Formatos.h"
#include "app/workbench/Idiomas.h"
#include "app/workbench/nucleo/Traducao.h"
#include "app/workbench/modComum.h"
#include "app/workbench/modErros.h"
#include "app/workbench/nucleo/modMDVD.h"
#include "platform/Configuracoes.h"
#include "platform/ErroExecucao.h"
#include "platform/Texto.h"
#include "suite/Controles.h"
#include "suite/DialogoArquivo.h"
#include "suite/Dialogos.h"
#include "suite/USFlexGrid.h"
#include "suite/Utilitarios.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <optional>
#include <vector>

namespace qeltrano {

namespace {

namespace Estilo = orvessa::EstiloMensagem;

const QString kSecaoOpcoes = QStringLiteral("Opcões");
const QString kSecaoPrincipal = QStringLiteral("Principal");
const QString kUltimoAberto = QStringLiteral("Último arquivo aberto");
const QString kUltimoSalvo = QStringLiteral("Último arquivo salvo");

const QString kOcupado = QStringLiteral("<b>Atenção</b>: O aplicativo está ocupado. Por favor aguarde!");
const QString kAntesDeSalvar = QStringLiteral("<b>Atenção</b>: Antes de salvar, você deve abrir uma legenda.");
const QString kNenhumaLegenda = QStringLiteral(
    "<b>Atenção</b>: Nenhuma legenda selecionada. Clique no botão <b>Abrir</b> e selecione uma legenda.");
const QString kAguarde =
    QStringLiteral("<b>Atenção</b>: Aguarde o termino do processo antes de finalizar o aplicativo.");
const QString kErroImportar = QStringLiteral(
    "<b>Atenção</b>: Erro ao importar o arquivo. É possível que o arquivo de destino esteja sendo usado por outro "
    "processo.");
const QString kErroExportar = QStringLiteral(
    "<b>Atenção</b>: Erro ao exportar o arquivo. É possível que o arquivo de destino esteja sendo usado por outro "
    "processo.");
const QString kErroVerificar = QStringLiteral(
    "<b>Atenção</b>: Erro ao verificar o tipo de arquivo. É possível que o arquivo de destino esteja sendo usado por "
    "outro processo.");
const QString kDescricaoInicial = QStringLiteral(
    "Clique no botão <b>Iniciar Tradução</b> para iniciar o processo de tradução. Quando a tradução for finalizada, "
    "clique no botão <b>Salvar</b> para salvar a legenda traduzida.");
const QString kDescricaoImportada = QStringLiteral(
    "Clique no botão <b>Iniciar Tradução</b> para iniciar o processo de tradução. Você pode editar a legenda "
    "original clicando duas vezes nos campos <b>Início</b>, <b>Final</b> e <b>Texto Original</b>. Quando a "
    "tradução for finalizada, clique no botão <b>Salvar</b> para salvar a legenda traduzida.");
const QString kCancelada = QStringLiteral(
    "<b>Atenção</b>: Você optou por cancelar o processo de tradução. Para reiniciar, clique no botão <b>Iniciar "
    "Tradução</b>.");
const QString kConcluida = QStringLiteral(
    "<b>Parabéns</b>, a tradução foi concluída. Você pode efetuar ajustes clicando duas vezes no campo <b>Texto "
    "Traduzido</b>. Quando estiver tudo pronto, clique no botão <b>Salvar</b> para salvar a legenda traduzida.");
const QString kSemConexao = QStringLiteral(
    "<b>Atenção</b>: Não foi possível identificar uma conexão ativa com à Internet. Utilizamos um mecanismo de "
    "tradução on-line, portanto a legenda não deverá ser traduzida.<br><br>Deseja continuar?");
const QString kIniciar = QStringLiteral("&Iniciar Tradução");
const QString kInterromper = QStringLiteral("&Interromper Tradução");
const QString kDicaIniciar = QStringLiteral("Iniciar a tradução automática");
const QString kDicaInterromper = QStringLiteral("Interromper a tradução automática");

struct Botao {
    const char* caption;
    const char* titulo;
    const char* descricao;
};

// Captions of the formatting and row buttons are short marks; the tooltips
// carry their meaning.
const Botao kBotoes[10] = {
    {"&Abrir", "Abrir", "Abrir uma legenda"},
    {"&Salvar", "Salvar", "Salvar a legenda atual"},
    {"N", "Formatação", "Formatar para negrito"},
    {"I", "Formatação", "Formatar para itálico"},
    {"S", "Formatação", "Formatar para sublinhado"},
    {"+ Li&nha", "Linhas", "Incluir uma linha em branco após a linha selecionada"},
    {"− Lin&has", "Linhas", "Excluir todas as linhas selecionadas"},
    {"&Iniciar Tradução", "Tradução", "Iniciar a tradução automática"},
    {"S&obre", "Sobre", "Informações gerais do aplicativo"},
    {"Fale &conosco", "Suporte", "Enviar uma mensagem para o suporte técnico"},
};

QString Produto()
{
    return NomeProduto();
}

orvessa::Utilitarios& Util()
{
    return orvessa::Utilitarios::Instancia();
}

void DoEvents()
{
    QCoreApplication::processEvents();
}

// The run yields once per row so a click can stop it, but painting the
// window after every row costs more than translating the row. While it runs
// the window is painted about ten times a second (shaping the grids' text
// was a third of a run's time at 25): a timer turns painting on, the next
// yield paints, and the yield after that turns it off again. A slow request
// still lets the timer paint while it waits.
class PinturaEspacada {
public:
    explicit PinturaEspacada(QWidget* janela) : janela_(janela)
    {
        relogio_.setInterval(100);
        QObject::connect(&relogio_, &QTimer::timeout, janela, [this] {
            pendente_ = true;
            janela_->setUpdatesEnabled(true);
        });
        relogio_.start();
    }
    ~PinturaEspacada() { Concluir(); }

    void AntesDeCeder()
    {
        if (!janela_ || !janela_->updatesEnabled())
            return;
        if (pendente_)
            pendente_ = false;
        else
            janela_->setUpdatesEnabled(false);
    }
    void Concluir()
    {
        relogio_.stop();
        if (janela_)
            janela_->setUpdatesEnabled(true);
    }

private:
    QPointer<QWidget> janela_;
    QTimer relogio_;
    bool pendente_ = true;
};

// Set for as long as the object lives, whichever way the scope is left.
class Ocupado {
public:
    explicit Ocupado(bool& sinal) : sinal_(sinal) { sinal_ = true; }
    ~Ocupado() { sinal_ = false; }
    Ocupado(const Ocupado&) = delete;
    Ocupado& operator=(const Ocupado&) = delete;

private:
    bool& sinal_;
};

// A grid never stays with its redrawing off, whatever ends the fill.
class RedesenharDesligado {
public:
    explicit RedesenharDesligado(orvessa::USFlexGrid* grade) : grade_(grade) { grade_->DefinirRedesenhar(false); }
    ~RedesenharDesligado() { grade_->DefinirRedesenhar(true); }
    RedesenharDesligado(const RedesenharDesligado&) = delete;
    RedesenharDesligado& operator=(const RedesenharDesligado&) = delete;

private:
    orvessa::USFlexGrid* grade_;
};

}  // namespace

QString fPrincipal::TextoOpcaoApenasIguais()
{
    return QStringLiteral("Traduzir apenas quando o texto original e o texto traduzido forem iguais");
}

QString fPrincipal::TextoOpcaoOffline()
{
    return QStringLiteral("Usar tradução off-line quando disponível");
}

fPrincipal::fPrincipal() : orvessa::Formulario(QStringLiteral("fPrincipal"))
{
    CriarControles();
}

void fPrincipal::CriarControles()
{
    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(0);

    USForm1 = new orvessa::USForm(this);
    USForm1->setObjectName(QStringLiteral("USForm1"));
    raiz->addWidget(USForm1);

    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(12, 10, 12, 8);
    corpo->setSpacing(8);
    raiz->addLayout(corpo, 1);
    corpo->addLayout(CriarIdiomasEOpcoes());
    corpo->addWidget(CriarGrades(), 1);
    corpo->addLayout(CriarBotoes());
    CriarRodape(corpo);

    USStatusBar1 = new orvessa::USStatusBar(this);
    raiz->addWidget(USStatusBar1);

    resize(1000, 680);
}

QLayout* fPrincipal::CriarIdiomasEOpcoes()
{
    auto* topo = new QGridLayout;
    topo->setHorizontalSpacing(10);
    topo->setVerticalSpacing(4);
    const char* rotulos[2] = {"Idioma de origem:", "Idioma de destino:"};
    for (int i = 0; i < 2; ++i) {
        auto* rotulo = new orvessa::USLabel(this);
        rotulo->DefinirCaption(QString::fromUtf8(rotulos[i]));
        idiomas_[i] = new orvessa::USComboBox(this);
        idiomas_[i]->setObjectName(QStringLiteral("USComboBoxX_%1").arg(i));
        idiomas_[i]->setMinimumWidth(200);
        topo->addWidget(rotulo, i, 0);
        topo->addWidget(idiomas_[i], i, 1);
        opcoes_[i] = new orvessa::USCheckBox(this);
        opcoes_[i]->setObjectName(QStringLiteral("chkOpcao_%1").arg(i));
        opcoes_[i]->DefinirLegenda(i == 0 ? TextoOpcaoApenasIguais() : TextoOpcaoOffline());
        topo->addWidget(opcoes_[i], i, 3);
        connect(opcoes_[i], &orvessa::USCheckBox::Click, this, [this, i] { chkOpcao_Click(i); });
    }
    topo->setColumnMinimumWidth(2, 24);
    topo->setColumnStretch(4, 1);
    return topo;
}

// The two grids side by side.
QWidget* fPrincipal::CriarGrades()
{
    auto* divisor = new QSplitter(Qt::Horizontal, this);
    divisor->setChildrenCollapsible(false);
    for (int i = 0; i < 2; ++i) {
        grades_[i] = new orvessa::USFlexGrid(divisor);
        grades_[i]->setObjectName(QStringLiteral("FlexGrid_%1").arg(i));
        divisor->addWidget(grades_[i]);
        connect(grades_[i], &orvessa::USFlexGrid::MarcacaoAlterada, this,
                [this, i](int linha) { SincronizarMarcacao(i, linha); });
        connect(grades_[i], &orvessa::USFlexGrid::LinhaAtualAlterada, this, [this, i](int) { SincronizarRolagem(i); });
    }
    divisor->setSizes({1, 1});
    return divisor;
}

QLayout* fPrincipal::CriarBotoes()
{
    auto* linhaBotoes = new QHBoxLayout;
    linhaBotoes->setSpacing(6);
    for (int i = 0; i < 10; ++i) {
        botoes_[i] = new orvessa::USButton(this);
        botoes_[i]->setObjectName(QStringLiteral("btnAcao_%1").arg(i));
        botoes_[i]->DefinirCaption(QString::fromUtf8(kBotoes[i].caption));
        botoes_[i]->DefinirToolTipTitle(QString::fromUtf8(kBotoes[i].titulo));
        botoes_[i]->DefinirToolTipDescription(QString::fromUtf8(kBotoes[i].descricao));
        connect(botoes_[i], &QPushButton::clicked, this, [this, i] { btnAcao_Click(i); });
    }
    // The formatting buttons show what they do.
    const std::array<void (QFont::*)(bool), 3> estilos{&QFont::setBold, &QFont::setItalic, &QFont::setUnderline};
    for (int i = 0; i < 3; ++i) {
        QFont fonte = botoes_[2 + i]->font();
        (fonte.*estilos[i])(true);
        botoes_[2 + i]->setFont(fonte);
        botoes_[2 + i]->setFixedWidth(36);
    }
    for (int i : {0, 1})
        linhaBotoes->addWidget(botoes_[i]);
    linhaBotoes->addSpacing(12);
    for (int i : {2, 3, 4})
        linhaBotoes->addWidget(botoes_[i]);
    linhaBotoes->addSpacing(12);
    for (int i : {5, 6})
        linhaBotoes->addWidget(botoes_[i]);
    linhaBotoes->addStretch(1);
    linhaBotoes->addWidget(botoes_[7]);
    botoes_[7]->setMinimumWidth(170);
    linhaBotoes->addWidget(botoes_[8]);
    linhaBotoes->addWidget(botoes_[9]);
    return linhaBotoes;
}

// The description line, the progress bar and the version line.
void fPrincipal::CriarRodape(QVBoxLayout* corpo)
{
    lblDescription = new orvessa::USLabel(this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDescription->setMinimumHeight(36);
    corpo->addWidget(lblDescription);

    USProgressBar1 = new orvessa::USProgressBar(this);
    USProgressBar1->setObjectName(QStringLiteral("USProgressBar1"));
    corpo->addWidget(USProgressBar1);

    lblST = new orvessa::USLabel(this);
    lblST->setObjectName(QStringLiteral("lblST"));
    corpo->addWidget(lblST, 0, Qt::AlignHCenter);
}

void fPrincipal::PrepararColunas(int indice)
{
    orvessa::USFlexGrid* grade = FlexGrid(indice);
    grade->LimparColunas();
    grade->AdicionarColuna(QStringLiteral("Início"), 2000, 5);
    grade->AdicionarColuna(QStringLiteral("Final"), 2000, 5);
    grade->AdicionarColuna(indice == 0 ? QStringLiteral("Texto Original") : QStringLiteral("Texto Traduzido"), 9600,
                           5);
}

void fPrincipal::Form_Load()
{
    try {
        DefinirIcone(this, QStringLiteral("EXEICON"), true);
        USForm1->DefinirCaption(ObterTituloVersao());
        for (int i = 0; i < 2; ++i) {
            const QString valor = plataforma::GetSetting(Produto(), kSecaoOpcoes, chkOpcao(i)->Legenda(), QString());
            chkOpcao(i)->DefinirValue(valor.trimmed().toInt() != 0 ? 1 : 0);
        }
        CarregarIdiomas(USComboBoxX(0), USComboBoxX(1));
        // Empty grids show their columns from the start.
        PrepararColunas(0);
        PrepararColunas(1);
        lblDescription->DefinirCaption(kDescricaoInicial);
        ExibirVersao();
        USForm1->AplicarTema();
    } catch (...) {
        TratarExcecao(Name(), QStringLiteral("Form_Load"));
    }
}

void fPrincipal::chkOpcao_Click(int Index)
{
    try {
        plataforma::SaveSetting(Produto(), kSecaoOpcoes, chkOpcao(Index)->Legenda(),
                                QString::number(chkOpcao(Index)->Value()));
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fPrincipal.chkOpcao_Click"));
    }
}

void fPrincipal::ExibirVersao()
{
    try {
        lblST->DefinirCaption(QStringLiteral("<b>Versão:</b> ") + VersaoCompleta());
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fPrincipal.ExibirVersao"));
    }
}

void fPrincipal::SincronizarMarcacao(int Index, int linha)
{
    if (EmProcessamento)
        return;
    orvessa::USFlexGrid* outra = FlexGrid(1 - Index);
    if (linha >= 0 && linha < outra->TotalLinhas() && outra->Marcada(linha) != FlexGrid(Index)->Marcada(linha))
        outra->DefinirMarcada(linha, FlexGrid(Index)->Marcada(linha));
}

void fPrincipal::SincronizarRolagem(int Index)
{
    if (EmProcessamento)
        return;
    orvessa::USFlexGrid* outra = FlexGrid(1 - Index);
    const int linha = FlexGrid(Index)->LinhaAtual();
    if (outra->LinhaAtual() != linha && linha < outra->TotalLinhas())
        outra->DefinirLinhaAtual(linha);
}

void fPrincipal::Form_QueryUnload(bool& cancelar, int modo)
{
    Q_UNUSED(modo);
    try {
        if (EmProcessamento || EmTraducao) {
            Aviso(kAguarde, Estilo::Exclamacao);
            cancelar = true;
            return;
        }
        DescarregarFormularios(false);
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("fPrincipal.Form_QueryUnload"));
    }
}

void fPrincipal::Form_Unload()
{
    CacheTraducao::Liberar();
    // The process ends when no window is left.
    if (EmExecucao()) {
        QTimer::singleShot(0, qApp, [] {
            if (orvessa::Formulario::FormulariosCarregados().isEmpty())
                QCoreApplication::quit();
        });
    }
}

QString fPrincipal::IdiomaOrigem() const
{
    return USComboBoxX(0)->ChaveItem(USComboBoxX(0)->IndiceSelecionado());
}

QString fPrincipal::IdiomaDestino() const
{
    return USComboBoxX(1)->ChaveItem(USComboBoxX(1)->IndiceSelecionado());
}

// The runtime's test: the bitwise And of the two row counts, so two grids of
// 1 and 2 rows count as no subtitle, as they always have.
bool fPrincipal::TemLegenda() const
{
    return (FlexGrid(0)->TotalLinhas() & FlexGrid(1)->TotalLinhas()) != 0;
}

int fPrincipal::Aviso(const QString& texto, int estilo)
{
    return Util().CaixaMensagemAviso(texto, estilo, Produto());
}

int fPrincipal::Mensagem(const QString& texto, int estilo)
{
    return Util().CaixaMensagem(texto, estilo, Produto());
}

// ---- The dispatcher --------------------------------------------------------

void fPrincipal::btnAcao_Click(int Index)
{
    try {
        if ((EmProcessamento || EmTraducao) && Index != 7) {
            Aviso(kOcupado, Estilo::Exclamacao);
            return;
        }
        if (Index >= 1 && Index <= 7 && !TemLegenda()) {
            Aviso(Index == 1 ? kAntesDeSalvar : kNenhumaLegenda, Estilo::Exclamacao);
            return;
        }
        switch (Index) {
        case 0: Abrir(); break;
        case 1: Salvar(); break;
        case 2: Formatar(QStringLiteral("<b>"), QStringLiteral("</b>")); break;
        case 3: Formatar(QStringLiteral("<i>"), QStringLiteral("</i>")); break;
        case 4: Formatar(QStringLiteral("<u>"), QStringLiteral("</u>")); break;
        case 5: IncluirLinha(); break;
        case 6: ExcluirLinhasMarcadas(); break;
        case 7: IniciarOuInterromperTraducao(); break;
        case 8: ExibirSobre(this); break;
        case 9: ExibirContato(this); break;
        default: break;
        }
    } catch (...) {
        TratarExcecao(Name(), QStringLiteral("btnAcao_Click(%1)").arg(Index));
    }
}

void fPrincipal::Abrir()
{
    orvessa::DialogoArquivo dialogo;
    dialogo.DiretorioInicial = plataforma::GetSetting(Produto(), kSecaoPrincipal, kUltimoAberto, QString());
    dialogo.OpcoesDialogo = orvessa::DialogoArquivo::OpcoesPadrao;
    dialogo.FiltroArquivos = QStringLiteral("Arquivos suportados (*.sub;*.srt)|*.sub;*.srt");
    dialogo.ExibirDialogo(orvessa::DialogoArquivo::Abrir, QStringLiteral("::. Abrir arquivo de legenda"), this);
    const QString escolhido = plataforma::Trim(dialogo.NomeArquivoEscolhido());
    if (!dialogo.DialogoCancelado() && !escolhido.isEmpty()) {
        plataforma::SaveSetting(Produto(), kSecaoPrincipal, kUltimoAberto, dialogo.DiretorioInicial);
        ImportarLegenda(escolhido);
    }
    DoEvents();
}

void fPrincipal::Salvar()
{
    orvessa::DialogoArquivo dialogo;
    dialogo.DiretorioInicial = plataforma::GetSetting(Produto(), kSecaoPrincipal, kUltimoSalvo, QString());
    dialogo.OpcoesDialogo = orvessa::DialogoArquivo::OpcoesPadrao;
    if (FormatoArquivo == QLatin1String(FormatoMDVD))
        dialogo.FiltroArquivos = QStringLiteral("MicroDVD Subtitles (*.sub)|*.sub");
    else if (FormatoArquivo == QLatin1String(FormatoSRT))
        dialogo.FiltroArquivos = QStringLiteral("SubRip Subtitles (*.srt)|*.srt");
    dialogo.ExibirDialogo(orvessa::DialogoArquivo::Salvar, QStringLiteral("::. Salvar arquivo de legenda"), this);
    const QString nome = plataforma::Trim(dialogo.NomeArquivoEscolhido());
    if (dialogo.DialogoCancelado() || nome.isEmpty())
        return;

    // The extension rule comes first, so the overwrite question is asked for
    // the file that will really be written.
    QString caminho = nome;
    const QString extensao = nome.right(4).toLower();
    if (FormatoArquivo == QLatin1String(FormatoMDVD) && extensao != QLatin1String(".sub"))
        caminho = nome + QStringLiteral(".sub");
    else if (FormatoArquivo == QLatin1String(FormatoSRT) && extensao != QLatin1String(".srt"))
        caminho = nome + QStringLiteral(".srt");

    if (Util().ArquivoExiste(caminho, 0) &&
        Aviso(QStringLiteral("<b>Atenção</b>: O arquivo de destino já existe, deseja substitui-lo?"), Estilo::PerguntaSimNaoPadraoNao) != orvessa::Resposta::Sim)
        return;
    if (!ExportarLegenda(caminho))
        return;
    plataforma::SaveSetting(Produto(), kSecaoPrincipal, kUltimoSalvo, dialogo.DiretorioInicial);
    Util().RegistrarPastaArquivo(QFileInfo(caminho).absolutePath());
    Mensagem(QStringLiteral("Arquivo salvo com sucesso."), Estilo::Informacao);
}

void fPrincipal::Formatar(const QString& abertura, const QString& fechamento)
{
    if (FlexGrid(0)->LinhaAtual() < 0 || FlexGrid(1)->LinhaAtual() < 0)
        return;
    for (int g = 0; g < 2; ++g) {
        orvessa::USFlexGrid* grade = FlexGrid(g);
        const int linha = grade->LinhaAtual();
        const QString texto = grade->Celula(linha, 2);
        if (texto.left(3) != abertura && texto.right(4) != fechamento)
            grade->DefinirCelula(linha, 2, abertura + texto + fechamento);
    }
}

void fPrincipal::IncluirLinha()
{
    if (Mensagem(QStringLiteral("Deseja incluir uma linha em branco após a linha selecionada?"), Estilo::PerguntaSimNao) != orvessa::Resposta::Sim)
        return;
    for (int g = 0; g < 2; ++g)
        FlexGrid(g)->DefinirRedesenhar(false);
    for (int g = 0; g < 2; ++g)
        FlexGrid(g)->AdicionarLinha(LinhaLegenda{}.Celulas(), FlexGrid(g)->LinhaAtual() + 1);
    for (int g = 0; g < 2; ++g)
        FlexGrid(g)->DefinirRedesenhar(true);
}

void fPrincipal::ExcluirLinhasMarcadas()
{
    orvessa::USFlexGrid* original = FlexGrid(0);
    if (original->TotalMarcadas() == original->TotalLinhas()) {
        Aviso(QStringLiteral("<b>Atenção</b>: Você não pode excluir todas as linhas da legenda."), Estilo::Exclamacao);
        return;
    }
    if (original->TotalMarcadas() == 0) {
        Aviso(QStringLiteral("<b>Atenção</b>: Nenhuma linha marcada para exclusão."), Estilo::Exclamacao);
        return;
    }
    if (Mensagem(QStringLiteral("Deseja remover as linhas selecionadas?"), Estilo::PerguntaSimNao) != orvessa::Resposta::Sim)
        return;
    for (int g = 0; g < 2; ++g)
        FlexGrid(g)->DefinirRedesenhar(false);
    for (int i = 0; i < original->TotalLinhas(); ++i) {
        if (original->Marcada(i)) {
            FlexGrid(0)->RemoverLinha(i);
            FlexGrid(1)->RemoverLinha(i);
            --i;
            const int atual = std::max(i, 0);
            FlexGrid(0)->DefinirLinhaAtual(atual);
            FlexGrid(1)->DefinirLinhaAtual(atual);
        }
    }
    for (int g = 0; g < 2; ++g)
        FlexGrid(g)->DefinirRedesenhar(true);
}

// ---- Import and grid fill --------------------------------------------------

void fPrincipal::ImportarLegenda(const QString& caminho)
{
    Ocupado ocupado(EmProcessamento);
    DoEvents();
    try {
        if (!Util().ArquivoExiste(caminho, 0))
            return;
        // One read and one decode: detection and reader see the same lines.
        // The decoded file is gone before the grids fill.
        QString formato;
        Leitura leitura;
        {
            const TextoArquivo texto = LerLinhasArquivo(caminho);
            if (!texto.ok) {
                qWarning("ImportarLegenda: %s", qPrintable(texto.erro));
                Aviso(kErroVerificar, Estilo::Critico);
            }
            formato = texto.ok ? VerificarFormatoLinhas(texto.linhas) : FormatoNaoReconhecido();
            if (formato != QLatin1String(FormatoMDVD) && formato != QLatin1String(FormatoSRT)) {
                Aviso(QStringLiteral("<b>Atenção</b>: O arquivo está corrompido ou possui formato não suportado por "
                                     "esta versão do aplicativo.\r\n-\r\nFormato do arquivo: %1\r\nFormato "
                                     "suportado: mDVD (MicroDVD Subtitles)")
                          .arg(formato),
                      Estilo::Critico);
                return;
            }
            const auto respirar = [] { DoEvents(); };
            leitura = formato == QLatin1String(FormatoMDVD) ? LerLinhasMDVD(texto.linhas, respirar)
                                                            : LerLinhasSRT(texto.linhas, respirar);
        }
        // A read that yields no subtitle is a failed import, not an empty one;
        // the grids keep what they held.
        if (!leitura.ok || leitura.linhas.isEmpty()) {
            QString mensagem = kErroImportar;
            if (leitura.linhaFalha > 0)
                mensagem += QStringLiteral("<br><br>Linha inválida: %1").arg(leitura.linhaFalha);
            else if (leitura.linhas.isEmpty())
                mensagem += QStringLiteral("<br><br>Nenhuma legenda encontrada no arquivo.");
            else if (!leitura.erro.isEmpty())
                qWarning("ImportarLegenda: %s", qPrintable(leitura.erro));
            Aviso(mensagem, Estilo::Critico);
            return;
        }
        // Only a complete fill changes the format the save writes and the caption.
        if (!PreencherGrade(std::move(leitura.linhas)))
            return;
        FormatoArquivo = formato;
        USForm1->DefinirCaption(ObterTituloVersao() + QStringLiteral(" -> ") + caminho);
    } catch (const std::exception& e) {
        qWarning("ImportarLegenda: %s", e.what());
        Aviso(kErroImportar, Estilo::Critico);
    }
}

bool fPrincipal::PreencherGrade(QList<LinhaLegenda> linhas)
{
    try {
        USProgressBar1->DefinirMaximo(100);
        const qsizetype total = linhas.size();
        // The cached translations are looked up before either grid changes:
        // a cache that fails leaves both grids as they were.
        std::vector<std::optional<QString>> guardadas;
        if (chkOpcao(1)->Value() > 0) {
            if (CacheTraducao* cache = CacheTraducao::Conexao()) {
                QStringList textos;
                textos.reserve(total);
                for (const LinhaLegenda& linha : linhas)
                    textos.append(linha.texto);
                guardadas = cache->BuscarTodos(textos, IdiomaOrigem(), IdiomaDestino());
            }
        }
        // Both grids hold the same cells: one list per row, shared by the two
        // until a cell of one is changed.
        std::vector<QStringList> celulas;
        celulas.reserve(size_t(total));
        // The texts move into the cells: nothing is copied or counted twice.
        for (LinhaLegenda& linha : linhas)
            celulas.push_back(QStringList{std::move(linha.inicio), std::move(linha.fim), std::move(linha.texto)});
        try {
            for (int g = 0; g < 2; ++g) {
                DoEvents();
                orvessa::USFlexGrid* grade = FlexGrid(g);
                grade->LimparGrade(false);
                PrepararColunas(g);
                grade->ReservarLinhas(int(total));
                RedesenharDesligado semRedesenhar(grade);
                int ultimo = -1;
                for (qsizetype r = 0; r < total; ++r) {
                    QStringList linha = celulas[size_t(r)];
                    // Only a cached translation replaces the copy of the original.
                    if (g == 1 && !guardadas.empty()) {
                        const std::optional<QString>& guardada = guardadas[size_t(r)];
                        if (guardada && *guardada != linha.at(2))
                            linha[2] = *guardada;
                    }
                    grade->AdicionarLinha(std::move(linha));
                    const int valor = static_cast<int>(std::lround(double(r + 1) / double(total) * 100.0));
                    if (valor != ultimo) {
                        USProgressBar1->DefinirValue(valor);
                        ultimo = valor;
                    }
                }
                grade->DefinirRedesenhar(true);
                grade->Atualizar();
                grade->LimparGrade(true);
            }
        } catch (...) {
            // Half a fill would leave grids of different lengths to save.
            for (int g = 0; g < 2; ++g)
                FlexGrid(g)->LimparGrade(false);
            throw;
        }
        lblDescription->DefinirCaption(kDescricaoImportada);
        USProgressBar1->DefinirValue(0);
        return true;
    } catch (const plataforma::ErroExecucao& e) {
        USProgressBar1->DefinirValue(0);
        TratarErro(Name(), QStringLiteral("PreencherGrade"), e.Numero(), e.Descricao(), e.Linha());
    } catch (const std::exception& e) {
        qWarning("PreencherGrade: %s", e.what());
        USProgressBar1->DefinirValue(0);
        Aviso(kErroImportar, Estilo::Critico);
    }
    return false;
}

// ---- Export ----------------------------------------------------------------

bool fPrincipal::ExportarLegenda(const QString& caminho)
{
    orvessa::USFlexGrid* original = FlexGrid(0);
    orvessa::USFlexGrid* traducao = FlexGrid(1);
    const int total = traducao->TotalLinhas();
    QString erro;
    bool ok = false;
    {
        Ocupado ocupado(EmProcessamento);
        USProgressBar1->DefinirMaximo(std::max(total, 1));
        try {
            ok = EscreverLegenda(
                caminho, FormatoArquivo, total,
                [&](int r) {
                    return LinhaLegenda{traducao->Celula(r, 0), traducao->Celula(r, 1), traducao->Celula(r, 2)};
                },
                [&](int r) { USProgressBar1->DefinirValue(r + 1); }, &erro);
        } catch (const std::exception& e) {
            erro = QString::fromLocal8Bit(e.what());
        }
    }
    if (!ok) {
        qWarning("ExportarLegenda: %s", qPrintable(erro));
        Aviso(kErroExportar, Estilo::Critico);
        return false;
    }
    // The file is whole on disk before the cache is touched: a cache that
    // fails afterwards costs no edit. The store yields to no event, so the
    // busy flag may already be down; the handler then closes the window.
    try {
        if (CacheTraducao* cache = CacheTraducao::Conexao()) {
            QList<QPair<QString, QString>> pares;
            pares.reserve(total);
            for (int r = 0; r < total; ++r)
                pares.append({original->Celula(r, 2), traducao->Celula(r, 2)});
            cache->GravarTodos(pares, IdiomaOrigem(), IdiomaDestino());
        }
    } catch (...) {
        TratarExcecao(Name(), QStringLiteral("ExportarLegenda"));
        return false;
    }
    return true;
}

// ---- Cache and translation -------------------------------------------------

QString fPrincipal::TraduzirTexto(const QString& texto, const QString& origem, const QString& destino)
{
    try {
        return qeltrano::TraduzirTexto(texto, origem, destino, chkOpcao(1)->Value() == 1);
    } catch (...) {
        TratarExcecao(Name(), QStringLiteral("TraduzirTexto"));
    }
    return plataforma::Trim(texto);
}

// ---- The translation run ---------------------------------------------------

void fPrincipal::IniciarOuInterromperTraducao()
{
    if (EmTraducao) {
        InterromperTraducao();
        return;
    }
    // The stop command passes the busy guard; a start while a file is read
    // or written would translate rows that are still being filled.
    if (EmProcessamento) {
        Aviso(kOcupado, Estilo::Exclamacao);
        return;
    }
    IniciarTraducao();
}

void fPrincipal::IniciarTraducao()
{
    if (!TemLegenda()) {
        Aviso(kNenhumaLegenda, Estilo::Exclamacao);
        return;
    }
    if (!Util().ConexaoInternetAtiva() && Aviso(kSemConexao, Estilo::PerguntaSimNaoPadraoNao) == orvessa::Resposta::Nao)
        return;
    if (Mensagem(QStringLiteral("Deseja iniciar a tradução?"), Estilo::PerguntaSimNao) != orvessa::Resposta::Sim)
        return;

    lblDescription->DefinirCaption(
        QStringLiteral("O %1 está efetuando a tradução do arquivo selecionado. Clique no botão <b>Interromper "
                       "Tradução</b> para interromper o processo de tradução a qualquer momento.")
            .arg(Produto()));
    btnAcao(7)->DefinirCaption(kInterromper);
    btnAcao(7)->DefinirToolTipDescription(kDicaInterromper);
    DefinirPonteiroTela(Ponteiro::SetaEAmpulheta);
    // However the run ends, the flags and the button come back; an error
    // then travels on to the dispatcher's trap.
    struct FimDaExecucao {
        fPrincipal* janela;
        ~FimDaExecucao()
        {
            DefinirPonteiroTela(Ponteiro::Padrao);
            janela->EmTraducao = false;
            janela->TraducaoCancelada = false;
            janela->RestaurarBotaoTraducao();
        }
    } fim{this};
    EmTraducao = true;

    orvessa::USFlexGrid* original = FlexGrid(0);
    orvessa::USFlexGrid* traducao = FlexGrid(1);
    const int total = original->TotalLinhas();
    USProgressBar1->DefinirValue(0);
    USProgressBar1->DefinirMaximo(total - 1);

    PinturaEspacada pintura(this);
    for (int i = 0; i < total; ++i) {
        // Rows may have been removed by an edit while the loop yielded.
        if (i >= original->TotalLinhas())
            break;
        USProgressBar1->DefinirValue(i);
        original->DefinirLinhaAtual(i);
        traducao->DefinirLinhaAtual(i);
        const bool pular = chkOpcao(0)->Value() == 1 && traducao->Celula(i, 2) != original->Celula(i, 2);
        // The languages are read for each row: a change during the run
        // applies from the next row on.
        if (!pular)
            traducao->DefinirCelula(i, 2, TraduzirTexto(original->Celula(i, 2), IdiomaOrigem(), IdiomaDestino()));
        pintura.AntesDeCeder();
        DoEvents();
        if (TraducaoCancelada)
            break;
    }

    DefinirPonteiroTela(Ponteiro::Padrao);
    pintura.Concluir();
    if (TraducaoCancelada) {
        lblDescription->DefinirCaption(kCancelada);
        Aviso(lblDescription->Caption(), Estilo::Exclamacao);
    } else {
        lblDescription->DefinirCaption(kConcluida);
        Aviso(lblDescription->Caption(), Estilo::Informacao);
    }
}

void fPrincipal::RestaurarBotaoTraducao()
{
    btnAcao(7)->DefinirCaption(kIniciar);
    btnAcao(7)->DefinirToolTipDescription(kDicaIniciar);
}

void fPrincipal::InterromperTraducao()
{
    if (Mensagem(QStringLiteral("Deseja realmente interromper a tradução?"), Estilo::PerguntaSimNaoPadraoNao) != orvessa::Resposta::Sim)
        return;
    lblDescription->DefinirCaption(kDescricaoInicial);
    RestaurarBotaoTraducao();
    TraducaoCancelada = true;
}

// ---- The single instance ---------------------------------------------------

namespace {
QPointer<fPrincipal>& Instancia()
{
    static QPointer<fPrincipal> instancia;
    return instancia;
}
}  // namespace

fPrincipal* FormPrincipal()
{
    if (!Instancia())
        Instancia() = new fPrincipal;
    return Instancia();
}

void LiberarFormPrincipal()
{
    if (Instancia()) {
        Instancia()->Descarregar(true);
        delete Instancia().data();
    }
    Instancia() = nullptr;
}

}  // namespace qeltrano
