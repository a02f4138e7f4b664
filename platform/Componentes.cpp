#include "platform/Componentes.h"

#include "platform/Biblioteca.h"

#include "platform/ErroExecucao.h"
#include "platform/Registro.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QMutex>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <dlfcn.h>
#include <vector>

namespace plataforma {

namespace {

const QString kClasses = QStringLiteral("Software\\Classes");

QString ChaveClsid(const QString& clsid)
{
    return kClasses + QStringLiteral("\\CLSID\\{") + clsid + QLatin1Char('}');
}

QString ChaveTypeLib(const QString& libid)
{
    return kClasses + QStringLiteral("\\TypeLib\\{") + libid + QLatin1Char('}');
}

// "{abc...}" or "abc..." -> "ABC..." when it is a GUID; empty otherwise.
QString NormalizarGuid(const QString& texto)
{
    static const QRegularExpression guid(QStringLiteral(
        "^\\{?([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})\\}?$"));
    const QRegularExpressionMatch m = guid.match(texto.trimmed());
    if (!m.hasMatch())
        return QString();
    const QString t = texto.trimmed();
    if (t.startsWith(QLatin1Char('{')) != t.endsWith(QLatin1Char('}')))
        return QString();
    return m.captured(1).toUpper();
}

QString ProgIdDe(const BibliotecaTipo& tipos, const ClasseTipo& classe)
{
    return QString::fromUtf8(tipos.nome) + QLatin1Char('.') + QString::fromUtf8(classe.nome);
}

// Libraries stay loaded for the life of the process: objects made by them
// may outlive any bookkeeping of ours, and unloading one under a live
// object's code would crash.
struct Carregada {
    void* alca = nullptr;
    FuncaoCriarObjeto criar = nullptr;
    const BibliotecaTipo* tipos = nullptr;
};

QMutex travaComponentes;
QHash<QString, Carregada> bibliotecasCarregadas;          // path as registered -> library
QHash<const QObject*, const ClasseTipo*> tiposDosObjetos;  // live objects -> their class

const ClasseTipo* ClasseEm(const BibliotecaTipo* tipos, const QString& clsid)
{
    if (!tipos)
        return nullptr;
    for (int i = 0; i < tipos->totalClasses; ++i)
        if (NormalizarGuid(QString::fromUtf8(tipos->classes[i].clsid)) == clsid)
            return &tipos->classes[i];
    return nullptr;
}

// ---- late binding --------------------------------------------------------------

enum class Acesso { Ler, Escrever, Chamar, Evento };

bool Permite(TipoMembro tipo, Acesso acesso)
{
    switch (acesso) {
    case Acesso::Ler:
        return tipo == TipoMembro::Propriedade || tipo == TipoMembro::PropriedadeSomenteLeitura ||
               tipo == TipoMembro::PropriedadeIndexada;
    case Acesso::Escrever:
        return tipo == TipoMembro::Propriedade || tipo == TipoMembro::PropriedadeSomenteEscrita;
    case Acesso::Chamar:
        return tipo == TipoMembro::Metodo || tipo == TipoMembro::PropriedadeIndexada;
    case Acesso::Evento:
        return tipo == TipoMembro::Evento;
    }
    return false;
}

// The member's name as Qt knows it, from the type information; for a name
// the type information lacks, the object's own meta-object answers.
QByteArray NomeQt(const QObject* objeto, std::int32_t dispid, Acesso acesso)
{
    const MembroTipo* m = Componentes::MembroPorDispid(objeto, dispid);
    if (!m || !Permite(m->tipo, acesso))
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    return QByteArray(m->nome);
}

QByteArray NomeQt(const QObject* objeto, const QString& nome, Acesso acesso)
{
    if (const MembroTipo* m = Componentes::MembroPorNome(objeto, nome)) {
        if (!Permite(m->tipo, acesso))
            throw ErroExecucao::ObjetoNaoSuportaPropriedade();
        return QByteArray(m->nome);
    }
    return nome.toUtf8();
}

QMetaProperty Propriedade(const QObject* objeto, const QByteArray& nome)
{
    const QMetaObject* mo = objeto->metaObject();
    int indice = mo->indexOfProperty(nome.constData());
    if (indice < 0) {
        for (int i = 0; i < mo->propertyCount(); ++i) {
            if (QString::compare(QLatin1String(mo->property(i).name()), QString::fromUtf8(nome),
                                 Qt::CaseInsensitive) == 0) {
                indice = i;
                break;
            }
        }
    }
    if (indice < 0)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    return mo->property(indice);
}

bool MesmoNome(const QMetaMethod& metodo, const QByteArray& nome)
{
    return QString::compare(QString::fromUtf8(metodo.name()), QString::fromUtf8(nome), Qt::CaseInsensitive) == 0;
}

// The value converted to the type Qt expects, as automation coerces
// arguments; Empty becomes the type's default. Throws 13 when it cannot be.
QVariant Converter(const QVariant& valor, QMetaType tipo)
{
    if (tipo == QMetaType::fromType<QVariant>())
        return valor;
    if (!valor.isValid())
        return QVariant(tipo);
    if (valor.metaType() == tipo)
        return valor;
    QVariant convertido = valor;
    if (!tipo.isValid() || !convertido.convert(tipo))
        throw ErroExecucao::TiposIncompativeis();
    return convertido;
}

QVariant LerPropriedade(QObject* objeto, const QByteArray& nome)
{
    const QMetaProperty p = Propriedade(objeto, nome);
    if (!p.isReadable())
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    return p.read(objeto);
}

void GravarPropriedade(QObject* objeto, const QByteArray& nome, const QVariant& valor)
{
    const QMetaProperty p = Propriedade(objeto, nome);
    if (!p.isWritable())
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    if (!p.write(objeto, Converter(valor, p.metaType())))
        throw ErroExecucao::TiposIncompativeis();
}

constexpr int kMaximoArgumentos = 10;  // what QMetaMethod::invoke can pass

QVariant Chamar(QObject* objeto, const QByteArray& nome, const QVariantList& argumentos)
{
    const QMetaObject* mo = objeto->metaObject();
    QMetaMethod escolhido;
    bool existe = false;
    for (int i = 0; i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.access() != QMetaMethod::Public ||
            (m.methodType() != QMetaMethod::Method && m.methodType() != QMetaMethod::Slot) || !MesmoNome(m, nome))
            continue;
        existe = true;
        if (m.parameterCount() == argumentos.size()) {
            escolhido = m;
            break;
        }
    }
    if (!existe)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    if (!escolhido.isValid() || argumentos.size() > kMaximoArgumentos)
        throw ErroExecucao::NumeroArgumentosInvalido();

    std::vector<QVariant> valores;
    std::vector<QByteArray> nomesTipos;
    valores.reserve(argumentos.size());
    nomesTipos.reserve(argumentos.size());
    QGenericArgument args[kMaximoArgumentos];
    for (int i = 0; i < argumentos.size(); ++i) {
        const QMetaType tipo = escolhido.parameterMetaType(i);
        valores.push_back(Converter(argumentos.at(i), tipo));
        nomesTipos.push_back(escolhido.parameterTypeName(i));
        // A QVariant parameter takes the variant itself, any other the value it holds.
        const void* dados = tipo == QMetaType::fromType<QVariant>() ? static_cast<const void*>(&valores.back())
                                                                    : valores.back().constData();
        args[i] = QGenericArgument(nomesTipos.back().constData(), dados);
    }

    const QMetaType tipoRetorno = escolhido.returnMetaType();
    QVariant retorno;
    QGenericReturnArgument argRetorno;
    const QByteArray nomeRetorno = escolhido.typeName();
    if (tipoRetorno == QMetaType::fromType<QVariant>()) {
        argRetorno = QGenericReturnArgument(nomeRetorno.constData(), &retorno);
    } else if (tipoRetorno.isValid() && tipoRetorno.id() != QMetaType::Void) {
        retorno = QVariant(tipoRetorno);
        argRetorno = QGenericReturnArgument(nomeRetorno.constData(), retorno.data());
    }
    const bool ok = escolhido.invoke(objeto, Qt::DirectConnection, argRetorno, args[0], args[1], args[2], args[3],
                                     args[4], args[5], args[6], args[7], args[8], args[9]);
    if (!ok)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    return retorno;
}

// A property read: an indexed get runs its method with the arguments (450
// without them); a plain property takes none. A name the type information
// lacks may still be an invokable that takes them.
QVariant LerComArgumentos(QObject* objeto, const MembroTipo* membro, const QByteArray& nome,
                          const QVariantList& argumentos)
{
    if (membro && membro->tipo == TipoMembro::PropriedadeIndexada)
        return Chamar(objeto, nome, argumentos);
    if (argumentos.isEmpty())
        return LerPropriedade(objeto, nome);
    if (membro)
        throw ErroExecucao::NumeroArgumentosInvalido();
    return Chamar(objeto, nome, argumentos);
}

}  // namespace

// ---- registration --------------------------------------------------------------------

namespace {
constexpr long FalhaRegistro = -2147220991;  // 0x80040201, SELFREG_E_CLASS
}

long Componentes::RegistrarEstaBiblioteca(const BibliotecaTipo& tipos, const void* umSimboloDela)
{
    try {
        const QString caminho = CaminhoDestaBiblioteca(umSimboloDela);
        if (caminho.isEmpty())
            return FalhaRegistro;
        return RegistrarBiblioteca(tipos, caminho) ? 0 : FalhaRegistro;
    } catch (...) {
        RegistrarErroIgnorado("Componentes::RegistrarEstaBiblioteca");
        return FalhaRegistro;
    }
}

long Componentes::DesregistrarEstaBiblioteca(const BibliotecaTipo& tipos)
{
    try {
        return DesregistrarBiblioteca(tipos) ? 0 : FalhaRegistro;
    } catch (...) {
        RegistrarErroIgnorado("Componentes::DesregistrarEstaBiblioteca");
        return FalhaRegistro;
    }
}

QString Componentes::NormalizarClsid(const QString& clsid)
{
    return NormalizarGuid(clsid);
}

bool Componentes::RegistrarBiblioteca(const BibliotecaTipo& tipos, const QString& caminhoBiblioteca)
{
    const QString libid = NormalizarGuid(QString::fromUtf8(tipos.libid));
    if (libid.isEmpty() || caminhoBiblioteca.isEmpty())
        return false;
    LoteRegistro lote;
    for (int i = 0; i < tipos.totalClasses; ++i) {
        const ClasseTipo& classe = tipos.classes[i];
        const QString clsid = NormalizarGuid(QString::fromUtf8(classe.clsid));
        if (clsid.isEmpty())
            return false;
        const QString chave = ChaveClsid(clsid);
        const QString progId = ProgIdDe(tipos, classe);
        lote.GravarTexto(chave, QString(), QString::fromUtf8(classe.nome));
        lote.GravarTexto(chave + QStringLiteral("\\InprocServer32"), QString(), caminhoBiblioteca);
        lote.GravarTexto(chave + QStringLiteral("\\ProgID"), QString(), progId);
        lote.GravarTexto(chave + QStringLiteral("\\TypeLib"), QString(), QLatin1Char('{') + libid + QLatin1Char('}'));
        lote.GravarTexto(kClasses + QLatin1Char('\\') + progId + QStringLiteral("\\CLSID"), QString(),
                         QLatin1Char('{') + clsid + QLatin1Char('}'));
    }
    const QString typeLib = ChaveTypeLib(libid) + QStringLiteral("\\1.0");
    lote.GravarTexto(typeLib, QString(), QString::fromUtf8(tipos.textoAjuda ? tipos.textoAjuda : ""));
    lote.GravarTexto(typeLib + QStringLiteral("\\0\\linux"), QString(), caminhoBiblioteca);
    return Registro::Aplicar(Hive::CurrentUser, lote);
}

bool Componentes::DesregistrarBiblioteca(const BibliotecaTipo& tipos)
{
    LoteRegistro lote;
    for (int i = 0; i < tipos.totalClasses; ++i) {
        const ClasseTipo& classe = tipos.classes[i];
        const QString clsid = NormalizarGuid(QString::fromUtf8(classe.clsid));
        if (clsid.isEmpty())
            continue;
        lote.ExcluirChave(ChaveClsid(clsid));
        // A ProgID that another class has taken over since is not ours to remove.
        const QString chaveProgId = kClasses + QLatin1Char('\\') + ProgIdDe(tipos, classe);
        const auto atual = Registro::LerTexto(Hive::CurrentUser, chaveProgId + QStringLiteral("\\CLSID"), QString());
        if (!atual || NormalizarGuid(*atual) == clsid)
            lote.ExcluirChave(chaveProgId);
    }
    const QString libid = NormalizarGuid(QString::fromUtf8(tipos.libid));
    if (!libid.isEmpty())
        lote.ExcluirChave(ChaveTypeLib(libid));
    return Registro::Aplicar(Hive::CurrentUser, lote);
}

QString Componentes::CaminhoDestaBiblioteca(const void* enderecoDeUmSimbolo)
{
    Dl_info info{};
    if (!enderecoDeUmSimbolo || ::dladdr(enderecoDeUmSimbolo, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

QString Componentes::ClsidDe(const QString& progIdOuClsid)
{
    QString clsid = NormalizarGuid(progIdOuClsid);
    if (clsid.isEmpty()) {
        const QString progId = progIdOuClsid.trimmed();
        if (progId.isEmpty() || progId.contains(QLatin1Char('\\')))
            return QString();
        const auto texto =
            Registro::LerTexto(Hive::CurrentUser, kClasses + QLatin1Char('\\') + progId + QStringLiteral("\\CLSID"),
                               QString());
        if (!texto)
            return QString();
        clsid = NormalizarGuid(*texto);
        if (clsid.isEmpty())
            return QString();
    }
    return Registro::ExisteChave(Hive::CurrentUser, ChaveClsid(clsid)) ? clsid : QString();
}

QString Componentes::BibliotecaDe(const QString& clsid)
{
    const QString normal = NormalizarGuid(clsid);
    if (normal.isEmpty())
        return QString();
    return Registro::LerTexto(Hive::CurrentUser, ChaveClsid(normal) + QStringLiteral("\\InprocServer32"), QString())
        .value_or(QString());
}

// ---- creation ------------------------------------------------------------------------

QObject* Componentes::CriarObjeto(const QString& progIdOuClsid, QWidget* pai)
{
    const QString clsid = ClsidDe(progIdOuClsid);
    if (clsid.isEmpty())
        throw ErroExecucao::ComponenteNaoCriado();
    const QString caminho = BibliotecaDe(clsid);
    if (caminho.isEmpty())
        throw ErroExecucao::ComponenteNaoCriado();

    Carregada biblioteca;
    {
        QMutexLocker trava(&travaComponentes);
        auto it = bibliotecasCarregadas.constFind(caminho);
        if (it != bibliotecasCarregadas.constEnd()) {
            biblioteca = *it;
        } else {
            const QString arquivo = QFileInfo(caminho).fileName();
            QString erro;
            void* alca = CarregarBiblioteca(caminho, &erro);
            if (!alca) {
                qWarning("Componentes: %s", qPrintable(erro));
                throw ErroExecucao::ComponenteNaoRegistrado(arquivo);
            }
            biblioteca.alca = alca;
            biblioteca.criar = Entrada<FuncaoCriarObjeto>(alca, PLATAFORMA_ENTRADA_CRIAR);
            if (!biblioteca.criar)
                throw ErroExecucao::ComponenteNaoRegistrado(arquivo);  // kept loaded: cheap and safe
            if (auto tipos = Entrada<FuncaoTipoBiblioteca>(alca, PLATAFORMA_ENTRADA_TIPOS))
                biblioteca.tipos = tipos();
            bibliotecasCarregadas.insert(caminho, biblioteca);
        }
    }

    const QByteArray clsidUtf8 = clsid.toUtf8();
    void* criado = biblioteca.criar(clsidUtf8.constData(), static_cast<void*>(pai));
    if (!criado)
        throw ErroExecucao::ComponenteNaoCriado();
    QObject* objeto = static_cast<QObject*>(criado);

    if (const ClasseTipo* classe = ClasseEm(biblioteca.tipos, clsid)) {
        QMutexLocker trava(&travaComponentes);
        tiposDosObjetos.insert(objeto, classe);
        QObject::connect(objeto, &QObject::destroyed, [](QObject* o) {
            QMutexLocker t(&travaComponentes);
            tiposDosObjetos.remove(o);
        });
    }
    if (pai && objeto->parent() != pai) {
        if (objeto->isWidgetType())
            static_cast<QWidget*>(objeto)->setParent(pai);
        else
            objeto->setParent(pai);
    }
    return objeto;
}

const ClasseTipo* Componentes::TipoDe(const QObject* objeto)
{
    QMutexLocker trava(&travaComponentes);
    return tiposDosObjetos.value(objeto, nullptr);
}

const MembroTipo* Componentes::MembroPorDispid(const QObject* objeto, std::int32_t dispid)
{
    const ClasseTipo* classe = TipoDe(objeto);
    if (!classe)
        return nullptr;
    for (int i = 0; i < classe->totalMembros; ++i)
        if (classe->membros[i].dispid == dispid)
            return &classe->membros[i];
    return nullptr;
}

const MembroTipo* Componentes::MembroPorNome(const QObject* objeto, const QString& nome)
{
    const ClasseTipo* classe = TipoDe(objeto);
    if (!classe)
        return nullptr;
    for (int i = 0; i < classe->totalMembros; ++i)
        if (QString::compare(QString::fromUtf8(classe->membros[i].nome), nome, Qt::CaseInsensitive) == 0)
            return &classe->membros[i];
    return nullptr;
}

// ---- late binding ----------------------------------------------------------------------

QVariant Componentes::ObterPropriedade(QObject* objeto, std::int32_t dispid, const QVariantList& argumentos)
{
    if (!objeto)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    const QByteArray nome = NomeQt(objeto, dispid, Acesso::Ler);
    return LerComArgumentos(objeto, MembroPorDispid(objeto, dispid), nome, argumentos);
}

void Componentes::DefinirPropriedade(QObject* objeto, std::int32_t dispid, const QVariant& valor)
{
    if (!objeto)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    GravarPropriedade(objeto, NomeQt(objeto, dispid, Acesso::Escrever), valor);
}

QVariant Componentes::ChamarMetodo(QObject* objeto, std::int32_t dispid, const QVariantList& argumentos)
{
    if (!objeto)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    return Chamar(objeto, NomeQt(objeto, dispid, Acesso::Chamar), argumentos);
}

QByteArray Componentes::AssinaturaEvento(const QObject* objeto, std::int32_t dispid)
{
    if (!objeto)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    const QByteArray nome = NomeQt(objeto, dispid, Acesso::Evento);
    const QMetaObject* mo = objeto->metaObject();
    QMetaMethod achado;
    for (int i = 0; i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() != QMetaMethod::Signal)
            continue;
        if (m.name() == nome) {
            achado = m;
            break;
        }
        if (!achado.isValid() && MesmoNome(m, nome))
            achado = m;
    }
    if (!achado.isValid())
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    return QByteArray::number(QSIGNAL_CODE) + achado.methodSignature();
}

QVariant Componentes::ObterPropriedade(QObject* objeto, const QString& nome, const QVariantList& argumentos)
{
    if (!objeto)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    const QByteArray nomeQt = NomeQt(objeto, nome, Acesso::Ler);
    return LerComArgumentos(objeto, MembroPorNome(objeto, nome), nomeQt, argumentos);
}

void Componentes::DefinirPropriedade(QObject* objeto, const QString& nome, const QVariant& valor)
{
    if (!objeto)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    GravarPropriedade(objeto, NomeQt(objeto, nome, Acesso::Escrever), valor);
}

QVariant Componentes::ChamarMetodo(QObject* objeto, const QString& nome, const QVariantList& argumentos)
{
    if (!objeto)
        throw ErroExecucao::ObjetoNaoSuportaPropriedade();
    return Chamar(objeto, NomeQt(objeto, nome, Acesso::Chamar), argumentos);
}

// ---- property bag --------------------------------------------------------------------------

QVariant PropertyBag::ReadProperty(const QString& nome, const QVariant& padrao) const
{
    const auto it = valores_.constFind(nome.toCaseFolded());
    return it == valores_.constEnd() ? padrao : it->second;
}

void PropertyBag::WriteProperty(const QString& nome, const QVariant& valor, const QVariant& padrao)
{
    const QString chave = nome.toCaseFolded();
    if (padrao.isValid() && valor == padrao) {
        valores_.remove(chave);
        return;
    }
    auto it = valores_.find(chave);
    if (it != valores_.end())
        it->second = valor;
    else
        valores_.insert(chave, qMakePair(nome, valor));
}

bool PropertyBag::Contem(const QString& nome) const
{
    return valores_.contains(nome.toCaseFolded());
}

QStringList PropertyBag::Nomes() const
{
    QStringList nomes;
    for (const auto& par : valores_)
        nomes.append(par.first);
    std::sort(nomes.begin(), nomes.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    return nomes;
}

void PropertyBag::Limpar()
{
    valores_.clear();
}

}  // namespace plataforma
