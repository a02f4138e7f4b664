#include "app/workbench/modErros.h"

#include "Versao.h"
#include "app/Configuracao.h"
#include "app/workbench/nucleo/CacheTraducao.h"
#include "app/workbench/XScreen.h"
#include "app/workbench/modComum.h"
#include "platform/ErroExecucao.h"
#include "platform/Processos.h"
#include "platform/Texto.h"
#include "suite/Dialogos.h"
#include "suite/Formulario.h"

#include <QGuiApplication>
#include <QStringList>
#include <new>

namespace qeltrano {

QString TextoRelatorioErros;
QString ArquivoCapturaTela;
QString VersaoADODB;

namespace {

const QString kMarcadorPendente =
    QStringLiteral("Esta variável tem que conter dados para que o sistema finalize sem perguntar");
const QString kFimLinha = QStringLiteral("\r\n");

std::function<void()>& Encerramento()
{
    static std::function<void()> encerrar;
    return encerrar;
}

std::function<void()>& ExibicaoRelatorio()
{
    static std::function<void()> exibir;
    return exibir;
}

// A failing step of the handler must never stop the ones after it.
template <typename Passo>
void Executar(Passo&& passo)
{
    try {
        passo();
    } catch (...) {
        RegistrarErroIgnorado(QStringLiteral("TratarErro"));
    }
}

QString NomeAplicacao()
{
    return NomeProduto();
}

bool Contem(const QString& descricao, const QString& padrao)
{
    return descricao.toUpper().contains(padrao.toUpper());
}

// The text between the first two apostrophes; "" when there are not two.
QString TextoEntreApostrofos(const QString& texto)
{
    return plataforma::TextoEntre(texto, QStringLiteral("'"), QStringLiteral("'"));
}

struct DadosErro {
    QString modulo;
    QString procedimento;
    long numero;
    QString descricao;
    long linha;
};

QString Detalhes(const DadosErro& erro, const QString& rotuloDescricao)
{
    return kFimLinha + kFimLinha + rotuloDescricao + erro.descricao + kFimLinha + QStringLiteral("Módulo: ") +
           erro.modulo + kFimLinha + QStringLiteral("Função: ") + erro.procedimento + kFimLinha +
           QStringLiteral("Linha: ") + QString::number(erro.linha);
}

QString DetalhesCurtos(const DadosErro& erro) { return Detalhes(erro, QStringLiteral("Descrição: ")); }
QString DetalhesLongos(const DadosErro& erro) { return Detalhes(erro, QStringLiteral("Descrição do erro: ")); }

QString SuporteReinstalar()
{
    return kFimLinha + kFimLinha +
           QStringLiteral("Se o problema presistir reinstale o aplicativo ou entre em contato com o suporte "
                          "técnico através do e-mail: ") +
           Config().CaixaSuporte + QStringLiteral(".");
}

QString SuporteContato()
{
    return kFimLinha + kFimLinha +
           QStringLiteral("Se o problema presistir entre em contato com o suporte técnico através do e-mail: ") +
           Config().CaixaSuporte + QStringLiteral(".");
}

const QString kAberturaArquivosCorrompidos = QStringLiteral(
    "Atenção: Alguns arquivos necessários para que este software funcione corretamente estão corrompidos, "
    "ausentes ou não foram registrados corretamente. ");

QString CaixaActiveX(const DadosErro& erro)
{
    return QStringLiteral("Atenção: O aplicativo retornou um erro de ActiveX e para resolver este problema "
                          "recomendamos que você reinicie o seu computador.") +
           DetalhesCurtos(erro) + SuporteReinstalar();
}

QString CaixaRegistroCorrigido(const DadosErro& erro)
{
    return kAberturaArquivosCorrompidos + QStringLiteral("Efetuamos a correção automática.") +
           DetalhesLongos(erro) + SuporteReinstalar();
}

QString CaixaRegistroFalhou(const DadosErro& erro)
{
    return kAberturaArquivosCorrompidos +
           QStringLiteral("Para resolver este problema recomendamos que você reinicie o seu computador.") +
           DetalhesLongos(erro) + SuporteReinstalar();
}

QString CaixaMemoria()
{
    return QStringLiteral("Atenção: Memória insuficiente para executar este aplicativo. Para resolver este "
                          "problema, reinicie o seu computador.") +
           SuporteReinstalar();
}

QString CaixaBaseDesatualizada(const DadosErro& erro)
{
    return QStringLiteral("Atenção: A base de dados está desatualizada e para resolver este problema "
                          "recomendamos que você atualize o software.") +
           DetalhesLongos(erro) + SuporteReinstalar();
}

QString CaixaAutomacao()
{
    return QStringLiteral("Atenção: O aplicativo retornou um erro de automação e para resolver este problema "
                          "recomendamos que você reinicie o seu computador.") +
           SuporteContato();
}

void ExibirCaixa(const QString& texto)
{
    Executar([&] { orvessa::Dialogos::ExibirCaixaSistema(texto, 16, NomeAplicacao()); });
}

void RestaurarPonteiro()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

bool TratamentoEmCurso()
{
    if (!TextoRelatorioErros.isEmpty())
        return true;
    bool janelaAberta = false;
    Executar([&] {
        const auto janelas = orvessa::Formulario::FormulariosCarregados();
        for (const orvessa::Formulario* janela : janelas) {
            const QString nome = janela->Name();
            if (nome == QLatin1String("FRelatorioErros") || nome == QLatin1String("XTelaAssistenteAtualizacoes"))
                janelaAberta = true;
        }
    });
    return janelaAberta;
}

QString MontarRelatorio(const DadosErro& erro)
{
    QStringList linhas{
        TituloRelatorioErros(NomeAplicacao(), versao::Major, versao::Minor, versao::Revision),
        QString(),
        QStringLiteral("Formulário: ") + erro.modulo,
        QStringLiteral("Função: ") + erro.procedimento,
        QStringLiteral("Linha: ") + QString::number(erro.linha),
        QStringLiteral("Número do erro: ") + QString::number(erro.numero),
        QStringLiteral("Descrição do erro: ") + erro.descricao,
        QStringLiteral("Versão do ADODB: ") + VersaoADODB,
    };
    QString texto;
    for (const QString& linha : linhas)
        texto += linha + kFimLinha;
    return texto;
}

// Everything between the guard and the end; each step runs on when the one
// before it failed.
void Tratar(const DadosErro& erro)
{
    Executar([] { ArquivoCapturaTela = PrintScreenEx(); });
    Executar([] { TextoRelatorioErros = kMarcadorPendente; });

    using plataforma::ErroExecucao;
    if (erro.numero == ErroExecucao::NumeroArquivoComponenteAusente || erro.numero == ErroExecucao::NumeroComponenteNaoCriado
        || erro.numero == ErroExecucao::NumeroComponenteNaoRegistrado)
        ExibirCaixa(CaixaActiveX(erro));

    bool relatorio = false;
    Executar([&] {
        if (Contem(erro.descricao, QStringLiteral("or one of its dependencies not correctly registered"))) {
            bool registrado = false;
            Executar([&] { registrado = RegistrarComponente(TextoEntreApostrofos(erro.descricao)); });
            ExibirCaixa(registrado ? CaixaRegistroCorrigido(erro) : CaixaRegistroFalhou(erro));
        } else if (erro.numero == ErroExecucao::NumeroMemoriaInsuficiente) {
            ExibirCaixa(CaixaMemoria());
        } else if (Contem(erro.descricao, QStringLiteral("Unknown column")) ||
                   Contem(erro.descricao, QStringLiteral("doesn't exist"))) {
            ExibirCaixa(CaixaBaseDesatualizada(erro));
        } else {
            if (Contem(erro.descricao, QStringLiteral("Method '~' of object '~'")))
                ExibirCaixa(CaixaActiveX(erro));
            if (Contem(erro.descricao, QStringLiteral("AUTOMATIOn Error ")))
                ExibirCaixa(CaixaAutomacao());
            relatorio = true;
        }
    });
    if (!relatorio)
        return;

    Executar([&] {
        VersaoADODB = CacheTraducao::VersaoEmUso();
        TextoRelatorioErros = MontarRelatorio(erro);
    });
    Executar([] { DescarregarFormularios(false); });
    Executar([] {
        if (ExibicaoRelatorio())
            ExibicaoRelatorio()();
    });
}

// Ends this process only: other running copies of the program belong to the
// user and may hold unsaved work.
void Encerrar()
{
    Executar([] {
        if (Encerramento())
            Encerramento()();
        else
            plataforma::EncerrarProcessoAtual();
    });
}

}  // namespace

QString TituloRelatorioErros(const QString& produto, int major, int minor, int revisao)
{
    return (QStringLiteral("RELATÓRIO DE ERROS - ") + MontarTituloVersao(produto, major, minor, revisao)).toUpper();
}

void TratarErro(const QString& modulo, const QString& procedimento, long numero, const QString& descricao,
                long linha)
{
    Executar(RestaurarPonteiro);
    if (TratamentoEmCurso())
        return;
    Executar([&] { Tratar(DadosErro{modulo, procedimento, numero, descricao, linha}); });
    Encerrar();
}

void DefinirEncerramento(std::function<void()> encerrar)
{
    Encerramento() = std::move(encerrar);
}

void DefinirExibicaoRelatorio(std::function<void()> exibir)
{
    ExibicaoRelatorio() = std::move(exibir);
}

void ReiniciarTratamentoErros()
{
    TextoRelatorioErros.clear();
    ArquivoCapturaTela.clear();
}

void TratarExcecao(const QString& modulo, const QString& procedimento)
{
    try {
        throw;
    } catch (const plataforma::ErroExecucao& e) {
        TratarErro(modulo, procedimento, e.Numero(), e.Descricao(), e.Linha());
    } catch (const std::bad_alloc&) {
        const auto e = plataforma::ErroExecucao::MemoriaInsuficiente();
        TratarErro(modulo, procedimento, e.Numero(), e.Descricao(), 0);
    } catch (const std::exception& e) {
        const auto interno =
            plataforma::ErroExecucao::ErroInterno(QStringLiteral("Internal error: ") + QString::fromUtf8(e.what()));
        TratarErro(modulo, procedimento, interno.Numero(), interno.Descricao(), 0);
    } catch (...) {
        const auto interno = plataforma::ErroExecucao::ErroInterno(QStringLiteral("Internal error"));
        TratarErro(modulo, procedimento, interno.Numero(), interno.Descricao(), 0);
    }
}

void RegistrarErroIgnorado(const QString& procedimento)
{
    plataforma::RegistrarErroIgnorado(qPrintable(procedimento));
}

}  // namespace qeltrano
