#include "suite/Formulario.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QChildEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QHash>
#include <QKeyEvent>
#include <QScrollArea>

namespace orvessa {

namespace {

QList<Formulario*>& Carregados()
{
    static QList<Formulario*> lista;
    return lista;
}

// Scroll bars, viewports and the editors inside combo and spin boxes are
// parts of one control, not controls of the window.
bool ParteInterna(const QWidget* w, const QWidget* janela)
{
    for (const QWidget* a = w->parentWidget(); a && a != janela; a = a->parentWidget()) {
        if (qobject_cast<const QComboBox*>(a) || qobject_cast<const QAbstractSpinBox*>(a))
            return true;
        if (qobject_cast<const QAbstractScrollArea*>(a) && !qobject_cast<const QScrollArea*>(a))
            return true;
    }
    return false;
}

}  // namespace

Formulario::Formulario(const QString& nome, QWidget* dono) : QWidget(dono, Qt::Window)
{
    setObjectName(nome);
    // Every child added from now on gets the key preview.
    installEventFilter(this);
}

Formulario::~Formulario()
{
    Carregados().removeAll(this);
    if (laco_)
        laco_->quit();
}

void Formulario::ObservarTeclas(QObject* objeto)
{
    objeto->installEventFilter(this);
    for (QObject* filho : objeto->findChildren<QObject*>())
        filho->installEventFilter(this);
}

void Formulario::Carregar()
{
    if (carregado_)
        return;
    // Loaded from the start of Form_Load: the load code finds its window in
    // the collection (for the cascade) and a nested load does not run twice.
    carregado_ = true;
    Carregados().append(this);
    ObservarTeclas(this);
    Form_Load();
}

void Formulario::Exibir()
{
    QPointer<Formulario> eu(this);
    Carregar();
    if (!eu || !carregado_)
        return;
    show();
    raise();
    activateWindow();
}

void Formulario::ExibirModal()
{
    QPointer<Formulario> eu(this);
    Carregar();
    if (!eu || !carregado_)
        return;
    setWindowModality(parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop laco;
    QEventLoop* anterior = laco_;
    laco_ = &laco;
    if (carregado_)
        laco.exec(QEventLoop::DialogExec);
    if (!eu)
        return;
    laco_ = anterior;
    if (!isVisible())
        setWindowModality(Qt::NonModal);
}

bool Formulario::Descarregar(bool forcar)
{
    return DescarregarComModo(forcar, 1);
}

bool Formulario::DescarregarComModo(bool forcar, int modo)
{
    if (!carregado_) {
        hide();
        return true;
    }
    if (descarregando_) {
        // Asked again while the first request runs its handlers: a forced
        // request wins over a refusal that is still being decided.
        if (forcar)
            forcadoDuranteConsulta_ = true;
        return forcar;
    }
    QPointer<Formulario> eu(this);
    descarregando_ = true;
    if (!forcar) {
        bool cancelar = false;
        Form_QueryUnload(cancelar, modo);
        if (!eu)
            return true;
        if (cancelar && !forcadoDuranteConsulta_) {
            descarregando_ = false;
            return false;
        }
    }
    forcadoDuranteConsulta_ = false;
    Form_Unload();
    if (!eu)
        return true;
    carregado_ = false;
    Carregados().removeAll(this);
    hide();
    if (laco_)
        laco_->quit();
    descarregando_ = false;
    return true;
}

QList<Formulario*> Formulario::FormulariosCarregados()
{
    return Carregados();
}

int Formulario::TabIndex(QWidget* controle)
{
    if (!controle)
        return -1;
    QWidget* alvo = controle;
    while (alvo->focusProxy())
        alvo = alvo->focusProxy();
    QWidget* janela = controle->window();
    if (alvo == janela)
        return -1;
    int indice = 0;
    int passos = 0;
    for (QWidget* w = janela->nextInFocusChain(); w && w != janela && passos < 1000000;
         w = w->nextInFocusChain(), ++passos) {
        if (w == alvo)
            return indice;
        if (w->window() == janela && !w->focusProxy() && (w->focusPolicy() & Qt::TabFocus) &&
            !ParteInterna(w, janela))
            ++indice;
    }
    return -1;
}

int Formulario::CodigoTecla(const QKeyEvent* evento)
{
    if (!evento)
        return 0;
    const int tecla = evento->key();
    const bool teclado = evento->modifiers() & Qt::KeypadModifier;
    if (tecla >= Qt::Key_A && tecla <= Qt::Key_Z)
        return tecla;
    if (tecla >= Qt::Key_0 && tecla <= Qt::Key_9)
        return teclado ? 96 + (tecla - Qt::Key_0) : tecla;
    if (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F24)
        return 112 + (tecla - Qt::Key_F1);
    static const QHash<int, int> tabela = {
        {Qt::Key_Return, 13},     {Qt::Key_Enter, 13},      {Qt::Key_Escape, 27},    {Qt::Key_Tab, 9},
        {Qt::Key_Backtab, 9},     {Qt::Key_Backspace, 8},   {Qt::Key_Space, 32},     {Qt::Key_PageUp, 33},
        {Qt::Key_PageDown, 34},   {Qt::Key_End, 35},        {Qt::Key_Home, 36},      {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},         {Qt::Key_Right, 39},      {Qt::Key_Down, 40},      {Qt::Key_Print, 44},
        {Qt::Key_Insert, 45},     {Qt::Key_Delete, 46},     {Qt::Key_Shift, 16},     {Qt::Key_Control, 17},
        {Qt::Key_Alt, 18},        {Qt::Key_Pause, 19},      {Qt::Key_CapsLock, 20},  {Qt::Key_Meta, 91},
        {Qt::Key_Menu, 93},       {Qt::Key_NumLock, 144},   {Qt::Key_ScrollLock, 145},
        {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},     {Qt::Key_Equal, 187},    {Qt::Key_Comma, 188},
        {Qt::Key_Less, 188},      {Qt::Key_Underscore, 189}, {Qt::Key_Greater, 190}, {Qt::Key_Slash, 191},
        {Qt::Key_Question, 191},  {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
        {Qt::Key_BraceLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},      {Qt::Key_BracketRight, 221},
        {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222}, {Qt::Key_QuoteDbl, 222},
    };
    // The keypad's operators have codes of their own.
    if (teclado) {
        switch (tecla) {
        case Qt::Key_Asterisk: return 106;
        case Qt::Key_Plus: return 107;
        case Qt::Key_Minus: return 109;
        case Qt::Key_Period: return 110;
        case Qt::Key_Slash: return 111;
        default: break;
        }
    }
    switch (tecla) {
    case Qt::Key_Plus: return 187;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    default: break;
    }
    return tabela.value(tecla, 0);
}

void Formulario::closeEvent(QCloseEvent* evento)
{
    if (descarregando_ || !carregado_) {
        evento->accept();
        return;
    }
    if (DescarregarComModo(false, 0))
        evento->accept();
    else
        evento->ignore();
}

bool Formulario::eventFilter(QObject* alvo, QEvent* evento)
{
    switch (evento->type()) {
    case QEvent::ChildAdded:
        if (QObject* filho = static_cast<QChildEvent*>(evento)->child())
            ObservarTeclas(filho);
        break;
    case QEvent::KeyRelease:
        teclaVista_ = nullptr;
        break;
    case QEvent::KeyPress: {
        auto* controle = qobject_cast<QWidget*>(alvo);
        if (!controle || controle->window() != this)
            break;
        // The same press handed on to a parent after the child ignored it.
        if (evento == teclaVista_ && alvoTeclaVista_ && alvoTeclaVista_ != controle &&
            controle->isAncestorOf(qobject_cast<QWidget*>(alvoTeclaVista_.data())))
            break;
        teclaVista_ = evento;
        alvoTeclaVista_ = controle;
        auto* tecla = static_cast<QKeyEvent*>(evento);
        int codigo = CodigoTecla(tecla);
        if (codigo == 0)
            break;
        QPointer<Formulario> eu(this);
        Form_KeyDown(codigo, tecla->modifiers());
        if (codigo == 0) {
            if (eu)
                teclaVista_ = nullptr;
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(alvo, evento);
}

}  // namespace orvessa
