#pragma once
// The suite's skinned controls as Qt widgets, with the members the windows
// call. Each takes part in the one style sheet of Tema.h.
#include "suite/Exporta.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace orvessa {

// The skinned frame of a window: a title band that holds the caption (and is
// mirrored into the window title).
class ORVESSA_EXPORT USForm : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE DefinirCaption)
public:
    explicit USForm(QWidget* pai = nullptr);
    QString Caption() const;
    void DefinirCaption(const QString& texto);
    // Applies the suite's theme to the whole window; the last step of a load.
    Q_INVOKABLE void AplicarTema();

private:
    QLabel* titulo_;
};
using USFormEx = USForm;

class ORVESSA_EXPORT USButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE DefinirCaption)
    Q_PROPERTY(QString ToolTipTitle READ ToolTipTitle WRITE DefinirToolTipTitle)
    Q_PROPERTY(QString ToolTipDescription READ ToolTipDescription WRITE DefinirToolTipDescription)
    Q_PROPERTY(bool Habilitado READ isEnabled WRITE setEnabled)
public:
    // DISPIDs of the two tooltip members, as hosts bind them late.
    static constexpr int DispidToolTipTitle = 0x68030038;
    static constexpr int DispidToolTipDescription = 0x68030037;

    explicit USButton(QWidget* pai = nullptr);
    explicit USButton(const QString& caption, QWidget* pai = nullptr);
    QString Caption() const { return text(); }
    void DefinirCaption(const QString& texto) { setText(texto); }
    QString ToolTipTitle() const { return tituloDica_; }
    void DefinirToolTipTitle(const QString& t);
    QString ToolTipDescription() const { return descricaoDica_; }
    void DefinirToolTipDescription(const QString& t);
    bool Habilitado() const { return isEnabled(); }
    void DefinirHabilitado(bool h) { setEnabled(h); }

private:
    void AtualizarDica();
    QString tituloDica_, descricaoDica_;
};

class ORVESSA_EXPORT USCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE DefinirValue)
    Q_PROPERTY(QString Legenda READ Legenda WRITE DefinirLegenda)
public:
    explicit USCheckBox(QWidget* pai = nullptr);
    int Value() const { return isChecked() ? 1 : 0; }
    // Sets the value without raising Click.
    void DefinirValue(int v);
    QString Legenda() const { return text(); }
    void DefinirLegenda(const QString& t) { setText(t); }
signals:
    // Raised when the user toggles the box.
    void Click();
};

class ORVESSA_EXPORT USComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(int IndiceSelecionado READ IndiceSelecionado WRITE DefinirIndiceSelecionado)
public:
    explicit USComboBox(QWidget* pai = nullptr);
    // An invalid colour keeps the theme's text colour.
    void AdicionarItem(const QString& texto, const QString& chave, const QColor& cor = QColor());
    int IndiceSelecionado() const { return currentIndex(); }
    void DefinirIndiceSelecionado(int i) { setCurrentIndex(i); }
    QString ChaveItem(int indice) const;
    void LimparItens() { clear(); }
    int LocalizarItem(const QString& texto) const;
    QString Texto() const { return currentText(); }
    bool Habilitado() const { return isEnabled(); }
    void DefinirHabilitado(bool h) { setEnabled(h); }
};

// Single-line text box. Tag "Keep" (dynamic property "Tag") keeps Enter/Esc.
class ORVESSA_EXPORT USTextBox : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString Texto READ Texto WRITE DefinirTexto)
    Q_PROPERTY(bool MultiLine READ MultiLine)
public:
    explicit USTextBox(QWidget* pai = nullptr);
    QString Texto() const { return text(); }
    void DefinirTexto(const QString& t) { setText(t); }
    double Valor() const;
    int TamanhoTexto() const { return text().size(); }
    bool EmailValido() const;
    bool DataValida() const;  // DD/MM/YYYY
    bool MultiLine() const { return false; }
};

// Multi-line text box (MultiLine is true).
class ORVESSA_EXPORT USTextBoxEx : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(QString Texto READ Texto WRITE DefinirTexto)
    Q_PROPERTY(bool MultiLine READ MultiLine)
public:
    explicit USTextBoxEx(QWidget* pai = nullptr);
    QString Texto() const { return toPlainText(); }
    void DefinirTexto(const QString& t) { setPlainText(t); }
    int TamanhoTexto() const { return toPlainText().size(); }
    bool MultiLine() const { return true; }
};

class ORVESSA_EXPORT USOptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit USOptionButton(QWidget* pai = nullptr);
    bool Value() const { return isChecked(); }
    void DefinirValue(bool v) { setChecked(v); }
    bool Habilitado() const { return isEnabled(); }
    void DefinirHabilitado(bool h) { setEnabled(h); }
};

class ORVESSA_EXPORT USProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit USProgressBar(QWidget* pai = nullptr);
    int Value() const { return value(); }
    void DefinirValue(int v);
    int Maximo() const { return maximum(); }
    void DefinirMaximo(int m);
};

// Renders its caption as marked-up text. The two switches are turned off
// around a caption change so the label redraws once.
class ORVESSA_EXPORT USLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE DefinirCaption)
    Q_PROPERTY(bool AutoRedesenhar READ AutoRedesenhar WRITE DefinirAutoRedesenhar)
    Q_PROPERTY(bool AutoAjustar READ AutoAjustar WRITE DefinirAutoAjustar)
public:
    static constexpr int DispidAutoRedesenhar = 0x68030006;
    static constexpr int DispidAutoAjustar = 0x68030007;

    explicit USLabel(QWidget* pai = nullptr);
    QString Caption() const { return caption_; }
    void DefinirCaption(const QString& marcado);
    bool AutoRedesenhar() const { return autoRedesenhar_; }
    void DefinirAutoRedesenhar(bool v);
    bool AutoAjustar() const { return autoAjustar_; }
    void DefinirAutoAjustar(bool v);

private:
    void Renderizar();
    QString caption_;
    bool autoRedesenhar_ = true;
    bool autoAjustar_ = true;
};

class ORVESSA_EXPORT USAlphaImage : public QLabel {
    Q_OBJECT
public:
    explicit USAlphaImage(QWidget* pai = nullptr);
    bool CarregarImagem(const QString& caminho);
    void DefinirImagem(const QImage& imagem);
    bool SalvarJPG(const QString& caminho) const;
    QImage Imagem() const { return imagem_; }

private:
    QImage imagem_;
};

// A busy animation: a ring of dots turning while the widget is shown.
class ORVESSA_EXPORT USAnimatedImage : public QWidget {
    Q_OBJECT
public:
    explicit USAnimatedImage(QWidget* pai = nullptr);
    QSize sizeHint() const override { return {32, 32}; }
    int Quadro() const { return quadro_; }

protected:
    void paintEvent(QPaintEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void hideEvent(QHideEvent* evento) override;
    void timerEvent(QTimerEvent* evento) override;

private:
    int quadro_ = 0;
    int relogio_ = 0;
};

// Decoration only.
class ORVESSA_EXPORT USStatusBar : public QFrame {
    Q_OBJECT
public:
    explicit USStatusBar(QWidget* pai = nullptr);
};

}  // namespace orvessa
