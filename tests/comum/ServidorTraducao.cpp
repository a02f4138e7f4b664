#include "ServidorTraducao.h"

#include "ServidorHttpTeste.h"

namespace apoio {

namespace {

const QByteArray kCaminhoEndpoint = QByteArrayLiteral("/translate_a/t");

// One key or value of a query or form: "+" is a blank, %XX a byte of UTF-8.
QString DecodificarParte(QByteArray parte)
{
    parte.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(parte));
}

ItensDecodificados DecodificarItens(const QByteArray& texto)
{
    ItensDecodificados itens;
    for (const QByteArray& par : texto.split('&')) {
        if (par.isEmpty())
            continue;
        const qsizetype igual = par.indexOf('=');
        if (igual < 0)
            itens.append({DecodificarParte(par), QString()});
        else
            itens.append({DecodificarParte(par.left(igual)), DecodificarParte(par.mid(igual + 1))});
    }
    return itens;
}

QString ValorEm(const ItensDecodificados& itens, const QString& chave, bool* achou)
{
    for (const auto& [nome, valor] : itens) {
        if (nome == chave) {
            *achou = true;
            return valor;
        }
    }
    *achou = false;
    return QString();
}

QByteArray TextoStatus(int status)
{
    switch (status) {
    case 200: return QByteArrayLiteral("OK");
    case 400: return QByteArrayLiteral("Bad Request");
    case 404: return QByteArrayLiteral("Not Found");
    case 405: return QByteArrayLiteral("Method Not Allowed");
    default: return QByteArrayLiteral("Internal Server Error");
    }
}

}  // namespace

QString RequisicaoRecebida::Valor(const QString& chave) const
{
    bool achou = false;
    const QString daConsulta = ValorEm(itensConsulta, chave, &achou);
    if (achou)
        return daConsulta;
    return ValorEm(camposFormulario, chave, &achou);
}

QStringList RequisicaoRecebida::Chaves() const
{
    QStringList chaves;
    for (const auto& item : itensConsulta.isEmpty() ? camposFormulario : itensConsulta)
        chaves << item.first;
    return chaves;
}

ServidorTraducao::ServidorTraducao(QObject* pai)
    : QObject(pai), servidor_(std::make_unique<ServidorHttpTeste>()), tradutor_(&ServidorTraducao::TraducaoPadrao)
{
    servidor_->DefinirPadrao([this](const PedidoHttp& pedido) { return Responder(pedido); });
}

ServidorTraducao::~ServidorTraducao() = default;

bool ServidorTraducao::Ouvindo() const
{
    return servidor_->Ouvindo();
}

QString ServidorTraducao::Endereco() const
{
    return servidor_->Endereco();
}

int ServidorTraducao::ConexoesAceitas() const
{
    return servidor_->ConexoesAceitas();
}

void ServidorTraducao::ZerarConexoes()
{
    servidor_->ZerarConexoes();
}

void ServidorTraducao::DefinirModo(Modo modo)
{
    modo_ = modo;
}

void ServidorTraducao::DefinirAtraso(int milissegundos)
{
    atraso_ = qMax(0, milissegundos);
}

void ServidorTraducao::DefinirTradutor(Tradutor tradutor)
{
    tradutor_ = tradutor ? std::move(tradutor) : Tradutor(&ServidorTraducao::TraducaoPadrao);
}

void ServidorTraducao::DefinirTraducoes(const QHash<QString, QString>& tabela)
{
    tradutor_ = [tabela](const QString& texto, const QString& origem, const QString& destino) {
        const auto achada = tabela.constFind(texto);
        return achada != tabela.constEnd() ? *achada : TraducaoPadrao(texto, origem, destino);
    };
}

void ServidorTraducao::DefinirCorpo(std::optional<QByteArray> corpo)
{
    corpoFixo_ = std::move(corpo);
}

QString ServidorTraducao::TraducaoPadrao(const QString& texto, const QString& /*origem*/, const QString& destino)
{
    return QStringLiteral("[%1] ").arg(destino) + texto;
}

QByteArray ServidorTraducao::MontarResposta(const QString& traducao, const QString& original, const QString& idioma)
{
    const auto json = [](const QString& texto) {
        QString saida;
        saida.reserve(texto.size() + 8);
        for (const QChar c : texto) {
            switch (c.unicode()) {
            case u'"': saida += QLatin1String("\\\""); break;
            case u'\\': saida += QLatin1String("\\\\"); break;
            case u'<': saida += QLatin1String("\\u003c"); break;
            case u'>': saida += QLatin1String("\\u003e"); break;
            case u'\n': saida += QLatin1String("\\n"); break;
            case u'\r': saida += QLatin1String("\\r"); break;
            case u'\t': saida += QLatin1String("\\t"); break;
            default:
                if (c.unicode() < 0x20)
                    saida += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    saida += c;
            }
        }
        return saida;
    };
    return (QStringLiteral("[[[\"") + json(traducao) + QStringLiteral("\",\"") + json(original)
            + QStringLiteral("\",null,null,1]],null,\"") + json(idioma) + QStringLiteral("\"]"))
        .toUtf8();
}

RespostaHttpTeste ServidorTraducao::Responder(const PedidoHttp& pedido)
{
    RequisicaoRecebida recebida;
    recebida.metodo = QString::fromLatin1(pedido.metodo);
    recebida.corpo = pedido.corpo;
    const qsizetype interrogacao = pedido.alvo.indexOf('?');
    const QByteArray caminho = interrogacao < 0 ? pedido.alvo : pedido.alvo.left(interrogacao);
    recebida.caminho = QString::fromUtf8(QByteArray::fromPercentEncoding(caminho));
    recebida.consulta = interrogacao < 0 ? QByteArray() : pedido.alvo.mid(interrogacao + 1);
    recebida.itensConsulta = DecodificarItens(recebida.consulta);
    if (pedido.cabecalhos.value("content-type").toLower().startsWith("application/x-www-form-urlencoded"))
        recebida.camposFormulario = DecodificarItens(recebida.corpo);
    requisicoes_.append(recebida);

    RespostaHttpTeste r;
    if (modo_ == Modo::Silencio) {
        r.modo = RespostaHttpTeste::Modo::Parar;  // held open until the client gives up
        return r;
    }
    const bool get = recebida.metodo == QLatin1String("GET");
    if (caminho != kCaminhoEndpoint) {
        r.status = 404;
    } else if (!get && recebida.metodo != QLatin1String("POST")) {
        r.status = 405;
    } else if (modo_ == Modo::FalharTudo || (modo_ == Modo::FalharGet && get)) {
        r.status = 500;
        r.corpo = QByteArrayLiteral("Internal Server Error");
    } else if (corpoFixo_) {
        r.corpo = *corpoFixo_;
    } else {
        const ItensDecodificados& campos = get ? recebida.itensConsulta : recebida.camposFormulario;
        bool achou = false;
        const QString texto = ValorEm(campos, QStringLiteral("text"), &achou);
        const QString origem = ValorEm(campos, QStringLiteral("sl"), &achou);
        const QString destino = ValorEm(campos, QStringLiteral("tl"), &achou);
        const QString detectado = origem.isEmpty() || origem == QLatin1String("auto") ? QStringLiteral("en") : origem;
        r.corpo = MontarResposta(tradutor_(texto, origem, destino), texto, detectado);
    }
    r.razao = TextoStatus(r.status);
    r.cabecalhos.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/javascript; charset=UTF-8")});
    r.atrasoMs = atraso_;
    return r;
}

}  // namespace apoio
