#include "suite/Controles.h"

#include "suite/EnderecoEmail.h"
#include "suite/Tema.h"
#include "suite/TextoMarcado.h"

#include <QDate>
#include <QEvent>
#include <QHBoxLayout>
#include <QImageReader>
#include <QImageWriter>
#include <QLayout>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QTimerEvent>
#include <cmath>

namespace orvessa {

// ---------------------------------------------------------------- USForm

USForm::USForm(QWidget* pai) : QFrame(pai), titulo_(new QLabel(this))
{
    titulo_->setObjectName(QStringLiteral("USFormTitulo"));
    titulo_->setTextFormat(Qt::PlainText);
    titulo_->setTextInteractionFlags(Qt::NoTextInteraction);
    auto* faixa = new QHBoxLayout(this);
    faixa->setContentsMargins(0, 0, 0, 0);
    faixa->addWidget(titulo_, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_StyledBackground);
}

QString USForm::Caption() const
{
    return titulo_->text();
}

void USForm::DefinirCaption(const QString& texto)
{
    titulo_->setText(texto);
    if (window() != this)
        window()->setWindowTitle(texto);
}

void USForm::AplicarTema()
{
    if (window() != this && !Caption().isEmpty())
        window()->setWindowTitle(Caption());
    orvessa::AplicarTema(window());
}

// ---------------------------------------------------------------- USButton

USButton::USButton(QWidget* pai) : QPushButton(pai)
{
    setAutoDefault(false);
}

USButton::USButton(const QString& caption, QWidget* pai) : QPushButton(caption, pai)
{
    setAutoDefault(false);
}

void USButton::DefinirToolTipTitle(const QString& t)
{
    tituloDica_ = t;
    AtualizarDica();
}

void USButton::DefinirToolTipDescription(const QString& t)
{
    descricaoDica_ = t;
    AtualizarDica();
}

void USButton::AtualizarDica()
{
    QString dica;
    if (!tituloDica_.isEmpty())
        dica = QStringLiteral("<b>%1</b>").arg(tituloDica_.toHtmlEscaped());
    if (!descricaoDica_.isEmpty()) {
        if (!dica.isEmpty())
            dica += QStringLiteral("<br>");
        dica += descricaoDica_.toHtmlEscaped();
    }
    setToolTip(dica.isEmpty() ? QString() : QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(dica));
}

// ---------------------------------------------------------------- USCheckBox

USCheckBox::USCheckBox(QWidget* pai) : QCheckBox(pai)
{
    // clicked() comes from the user (mouse or Space), never from setChecked.
    connect(this, &QAbstractButton::clicked, this, &USCheckBox::Click);
}

void USCheckBox::DefinirValue(int v)
{
    setChecked(v != 0);
}

// ---------------------------------------------------------------- USComboBox

USComboBox::USComboBox(QWidget* pai) : QComboBox(pai) {}

void USComboBox::AdicionarItem(const QString& texto, const QString& chave, const QColor& cor)
{
    addItem(texto, chave);
    if (cor.isValid())
        setItemData(count() - 1, cor, Qt::ForegroundRole);
}

QString USComboBox::ChaveItem(int indice) const
{
    if (indice < 0 || indice >= count())
        return QString();
    return itemData(indice, Qt::UserRole).toString();
}

int USComboBox::LocalizarItem(const QString& texto) const
{
    return findText(texto, Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

// ---------------------------------------------------------------- USTextBox

USTextBox::USTextBox(QWidget* pai) : QLineEdit(pai) {}

double USTextBox::Valor() const
{
    const QString t = text().trimmed();
    if (t.isEmpty())
        return 0.0;
    bool ok = false;
    double v = QLocale().toDouble(t, &ok);
    if (ok)
        return v;
    v = QLocale::c().toDouble(t, &ok);
    if (ok)
        return v;
    // Like a numeric read of a typed text: the leading number, 0 when none.
    static const QRegularExpression inicio(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)"));
    const QRegularExpressionMatch m = inicio.match(t);
    if (!m.hasMatch())
        return 0.0;
    QString numero = m.captured(0);
    numero.replace(QLatin1Char(','), QLatin1Char('.'));
    return QLocale::c().toDouble(numero);
}

bool USTextBox::EmailValido() const
{
    return EnderecoEmailValido(text());
}

bool USTextBox::DataValida() const
{
    static const QRegularExpression forma(QStringLiteral("^\\d{2}/\\d{2}/\\d{4}$"));
    const QString t = text().trimmed();
    if (!forma.match(t).hasMatch())
        return false;
    return QDate::fromString(t, QStringLiteral("dd/MM/yyyy")).isValid();
}

// ---------------------------------------------------------------- USTextBoxEx

USTextBoxEx::USTextBoxEx(QWidget* pai) : QPlainTextEdit(pai)
{
    setTabChangesFocus(true);
}

// ---------------------------------------------------------------- USOptionButton

USOptionButton::USOptionButton(QWidget* pai) : QRadioButton(pai) {}

// ---------------------------------------------------------------- USProgressBar

USProgressBar::USProgressBar(QWidget* pai) : QProgressBar(pai)
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void USProgressBar::DefinirValue(int v)
{
    setValue(qBound(minimum(), v, maximum()));
}

void USProgressBar::DefinirMaximo(int m)
{
    // Qt resets a value that falls out of the new range; keep it at the end
    // instead. A maximum below the minimum would move the minimum.
    const int anterior = value();
    setMaximum(qMax(minimum(), m));
    setValue(qBound(minimum(), anterior, maximum()));
}

// ---------------------------------------------------------------- USLabel

USLabel::USLabel(QWidget* pai) : QLabel(pai)
{
    setTextFormat(Qt::RichText);
    setWordWrap(true);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void USLabel::DefinirCaption(const QString& marcado)
{
    caption_ = marcado;
    if (autoRedesenhar_ && autoAjustar_)
        Renderizar();
}

void USLabel::DefinirAutoRedesenhar(bool v)
{
    const bool antes = autoRedesenhar_ && autoAjustar_;
    autoRedesenhar_ = v;
    if (!antes && autoRedesenhar_ && autoAjustar_)
        Renderizar();
}

void USLabel::DefinirAutoAjustar(bool v)
{
    const bool antes = autoRedesenhar_ && autoAjustar_;
    autoAjustar_ = v;
    if (!antes && autoRedesenhar_ && autoAjustar_)
        Renderizar();
}

void USLabel::Renderizar()
{
    const QString html = TextoMarcadoParaHtml(caption_);
    if (html != text())
        setText(html);
    // A free-standing label grows or shrinks to its wrapped text; inside a
    // layout the layout asks heightForWidth itself.
    QWidget* pai = parentWidget();
    if (pai && !(pai->layout() && pai->layout()->indexOf(this) >= 0) && width() > 0) {
        const int altura = heightForWidth(width());
        if (altura > 0 && altura != height())
            resize(width(), altura);
    }
}

// ---------------------------------------------------------------- USAlphaImage

USAlphaImage::USAlphaImage(QWidget* pai) : QLabel(pai)
{
    setAlignment(Qt::AlignCenter);
}

bool USAlphaImage::CarregarImagem(const QString& caminho)
{
    if (caminho.isEmpty())
        return false;
    QImageReader leitor(caminho);
    leitor.setAutoTransform(true);
    QImage lida = leitor.read();
    if (lida.isNull())
        return false;
    DefinirImagem(lida);
    return true;
}

void USAlphaImage::DefinirImagem(const QImage& imagem)
{
    imagem_ = imagem;
    setPixmap(imagem.isNull() ? QPixmap() : QPixmap::fromImage(imagem));
}

bool USAlphaImage::SalvarJPG(const QString& caminho) const
{
    if (imagem_.isNull() || caminho.isEmpty())
        return false;
    // JPEG has no alpha: lay the image on white first.
    QImage opaca(imagem_.size(), QImage::Format_RGB32);
    opaca.fill(Qt::white);
    {
        QPainter p(&opaca);
        p.drawImage(0, 0, imagem_);
    }
    QImageWriter escritor(caminho, "jpg");
    escritor.setQuality(90);
    return escritor.write(opaca);
}

// ------------------------------------------------------------ USAnimatedImage

USAnimatedImage::USAnimatedImage(QWidget* pai) : QWidget(pai)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

namespace {
constexpr int kPontosAnimacao = 12;
constexpr int kQuadroMs = 80;
}  // namespace

// Runs only while visible, so a hidden animation costs nothing.
void USAnimatedImage::showEvent(QShowEvent* evento)
{
    QWidget::showEvent(evento);
    if (!relogio_)
        relogio_ = startTimer(kQuadroMs);
}

void USAnimatedImage::hideEvent(QHideEvent* evento)
{
    if (relogio_)
        killTimer(relogio_);
    relogio_ = 0;
    QWidget::hideEvent(evento);
}

void USAnimatedImage::timerEvent(QTimerEvent* evento)
{
    if (evento->timerId() != relogio_)
        return QWidget::timerEvent(evento);
    quadro_ = (quadro_ + 1) % kPontosAnimacao;
    update();
}

void USAnimatedImage::paintEvent(QPaintEvent*)
{
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::Antialiasing);
    const double lado = qMin(width(), height());
    const double raioPonto = lado / 10.0;
    const double raio = lado / 2.0 - raioPonto - 1;
    pintor.translate(width() / 2.0, height() / 2.0);
    QColor cor = palette().color(QPalette::Highlight);
    for (int i = 0; i < kPontosAnimacao; ++i) {
        // The dot of the current frame is solid; the ones behind it fade.
        const int atras = (quadro_ - i + kPontosAnimacao) % kPontosAnimacao;
        cor.setAlphaF(1.0 - 0.8 * atras / double(kPontosAnimacao - 1));
        pintor.setPen(Qt::NoPen);
        pintor.setBrush(cor);
        const double angulo = 2 * M_PI * i / kPontosAnimacao - M_PI / 2;
        pintor.drawEllipse(QPointF(raio * std::cos(angulo), raio * std::sin(angulo)), raioPonto, raioPonto);
    }
}

// ---------------------------------------------------------------- USStatusBar

USStatusBar::USStatusBar(QWidget* pai) : QFrame(pai)
{
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(20);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

}  // namespace orvessa
