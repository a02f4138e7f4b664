#pragma once
// The forms runtime: a window with a Name, a loaded flag behind Carregado,
// load/query-unload/unload handlers, key preview and the program-wide
// collection of loaded windows.
#include "suite/Exporta.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QEventLoop;
class QKeyEvent;

namespace orvessa {

class ORVESSA_EXPORT Formulario : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Carregado READ Carregado)
public:
    // `nome` is the window's Name (several windows may share it).
    explicit Formulario(const QString& nome, QWidget* dono = nullptr);
    ~Formulario() override;

    QString Name() const { return objectName(); }
    bool Carregado() const { return carregado_; }

    // Loads the window (runs Form_Load once) without showing it.
    void Carregar();
    // Loads when needed and shows the window modeless.
    void Exibir();
    // Loads when needed, shows the window modal and returns when it closes.
    void ExibirModal();
    // Unloads: asks Form_QueryUnload (unless forced), runs Form_Unload,
    // hides the window and leaves the collection. Returns false when the
    // window refused. The object itself stays; owners delete it.
    bool Descarregar(bool forcar = false);

    // Every loaded window of the program, in load order.
    static QList<Formulario*> FormulariosCarregados();

    // Position in the window's tab order, 0 for the first control.
    static int TabIndex(QWidget* controle);

    // The key code a key-down handler sees (13 Enter, 27 Esc, 9 Tab, 65 A,
    // 112 F1...); 0 for keys that have none.
    static int CodigoTecla(const QKeyEvent* evento);

protected:
    virtual void Form_Load() {}
    // Set `cancelar` to keep the window. `modo` 0: closed by the user.
    virtual void Form_QueryUnload(bool& cancelar, int modo) { Q_UNUSED(cancelar); Q_UNUSED(modo); }
    virtual void Form_Unload() {}
    // Key preview: every key pressed in any control of the window reaches
    // this first; set `codigo` to 0 to swallow the key.
    virtual void Form_KeyDown(int& codigo, Qt::KeyboardModifiers modificadores)
    {
        Q_UNUSED(codigo);
        Q_UNUSED(modificadores);
    }

    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* alvo, QEvent* evento) override;

private:
    bool DescarregarComModo(bool forcar, int modo);
    void ObservarTeclas(QObject* objeto);
    bool carregado_ = false;
    bool descarregando_ = false;
    bool forcadoDuranteConsulta_ = false;
    QEventLoop* laco_ = nullptr;
    // The key press last previewed, so that one press climbing from a child
    // to its parents reaches the handler once.
    const QEvent* teclaVista_ = nullptr;
    QPointer<QObject> alvoTeclaVista_;
};

}  // namespace orvessa
