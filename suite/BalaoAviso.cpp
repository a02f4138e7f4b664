#include "suite/BalaoAviso.h"

#include "suite/TextoMarcado.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace orvessa {

namespace {

constexpr int kPonta = 10;   // height of the pointer
constexpr int kRaio = 6;
constexpr int kMargem = 10;

// The popup itself: a rounded body with a pointer toward the anchor. It
// follows the anchor's window and goes away with the anchor.
class JanelaBalao : public QWidget {
public:
    JanelaBalao(const QString& titulo, const QString& texto, QWidget* ancora, int icone, const QColor& fundo)
        : QWidget(ancora->window(), Qt::ToolTip | Qt::FramelessWindowHint), ancora_(ancora), fundo_(fundo)
    {
        setObjectName(QStringLiteral("BalaoAviso"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_DeleteOnClose);
        setFocusPolicy(Qt::NoFocus);

        auto* corpo = new QHBoxLayout;
        corpo->setSpacing(8);
        const QStyle::StandardPixmap padrao = icone == 1   ? QStyle::SP_MessageBoxInformation
                                              : icone == 3 ? QStyle::SP_MessageBoxCritical
                                                           : QStyle::SP_MessageBoxWarning;
        if (icone != 0) {
            auto* imagem = new QLabel(this);
            imagem->setObjectName(QStringLiteral("BalaoIcone"));
            imagem->setPixmap(style()->standardIcon(padrao).pixmap(24, 24));
            imagem->setAlignment(Qt::AlignTop);
            corpo->addWidget(imagem, 0, Qt::AlignTop);
        }
        auto* textos = new QVBoxLayout;
        textos->setSpacing(3);
        auto* rotuloTitulo = new QLabel(this);
        rotuloTitulo->setObjectName(QStringLiteral("BalaoTitulo"));
        rotuloTitulo->setTextFormat(Qt::PlainText);
        rotuloTitulo->setText(titulo);
        QFont negrito = rotuloTitulo->font();
        negrito.setBold(true);
        rotuloTitulo->setFont(negrito);
        auto* rotuloTexto = new QLabel(this);
        rotuloTexto->setObjectName(QStringLiteral("BalaoTexto"));
        rotuloTexto->setTextFormat(Qt::RichText);
        rotuloTexto->setText(TextoMarcadoParaHtml(texto));
        rotuloTexto->setWordWrap(true);
        rotuloTexto->setMaximumWidth(320);
        for (QLabel* r : {rotuloTitulo, rotuloTexto})
            r->setStyleSheet(QStringLiteral("color: #1E1E1E; background: transparent;"));
        textos->addWidget(rotuloTitulo);
        textos->addWidget(rotuloTexto);
        corpo->addLayout(textos, 1);

        auto* raiz = new QVBoxLayout(this);
        raiz->setContentsMargins(kMargem, kMargem + kPonta, kMargem, kMargem);
        raiz->addLayout(corpo);

        ancora->installEventFilter(this);
        ancora->window()->installEventFilter(this);
        connect(ancora, &QObject::destroyed, this, &QWidget::close);
    }

    QWidget* Ancora() const { return ancora_; }

    void Posicionar()
    {
        if (!ancora_)
            return;
        adjustSize();
        const QRect alvo(ancora_->mapToGlobal(QPoint(0, 0)), ancora_->size());
        // The tip points at the lower edge of the control, a little in from
        // its left; above it when there is no room below.
        pontaX_ = qMin(24, qMax(kRaio + kPonta, alvo.width() / 2));
        QPoint origem(alvo.left() + qMin(alvo.width() / 2, 24) - pontaX_, alvo.bottom() + 1);
        acima_ = false;
        if (QScreen* tela = ancora_->screen()) {
            const QRect area = tela->availableGeometry();
            if (origem.y() + height() > area.bottom() && alvo.top() - height() >= area.top()) {
                acima_ = true;
                origem.setY(alvo.top() - height());
            }
            origem.setX(qBound(area.left(), origem.x(), qMax(area.left(), area.right() - width())));
        }
        auto* raiz = static_cast<QVBoxLayout*>(layout());
        raiz->setContentsMargins(kMargem, kMargem + (acima_ ? 0 : kPonta), kMargem, kMargem + (acima_ ? kPonta : 0));
        move(origem);
        // Keep the tip over the anchor even when the popup was pushed aside.
        pontaX_ = qBound(kRaio + kPonta, alvo.left() + qMin(alvo.width() / 2, 24) - origem.x(), width() - kRaio - kPonta);
        update();
    }

protected:
    bool eventFilter(QObject* alvo, QEvent* evento) override
    {
        switch (evento->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            if (isVisible())
                Posicionar();
            break;
        case QEvent::Hide:
            if (alvo == ancora_ || (ancora_ && alvo == ancora_->window()))
                close();
            break;
        default:
            break;
        }
        return QWidget::eventFilter(alvo, evento);
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.5, acima_ ? 0.5 : kPonta + 0.5, -0.5, acima_ ? -kPonta - 0.5 : -0.5);
        QPainterPath corpo;
        corpo.addRoundedRect(r, kRaio, kRaio);
        QPainterPath ponta;
        if (acima_) {
            ponta.moveTo(pontaX_ - kPonta, r.bottom() - 1);
            ponta.lineTo(pontaX_, rect().bottom() - 0.5);
            ponta.lineTo(pontaX_ + kPonta, r.bottom() - 1);
        } else {
            ponta.moveTo(pontaX_ - kPonta, r.top() + 1);
            ponta.lineTo(pontaX_, 0.5);
            ponta.lineTo(pontaX_ + kPonta, r.top() + 1);
        }
        ponta.closeSubpath();
        p.setPen(QPen(QColor(0x76, 0x76, 0x76), 1));
        p.setBrush(fundo_);
        p.drawPath(corpo.united(ponta));
    }

private:
    QPointer<QWidget> ancora_;
    QColor fundo_;
    int pontaX_ = 20;
    bool acima_ = false;
};

// Follows the convention for one text box.
class ConvencaoBalao : public QObject {
public:
    explicit ConvencaoBalao(QWidget* caixa) : QObject(caixa), caixa_(caixa)
    {
        setObjectName(QStringLiteral("ConvencaoBalao"));
        caixa->installEventFilter(this);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(caixa))
            area->viewport()->installEventFilter(this);
        auto ocultar = [] { BalaoAviso::Instancia().OcultarBalao(); };
        if (auto* linha = qobject_cast<QLineEdit*>(caixa))
            connect(linha, &QLineEdit::textChanged, this, ocultar);
        else if (auto* texto = qobject_cast<QPlainTextEdit*>(caixa))
            connect(texto, &QPlainTextEdit::textChanged, this, ocultar);
        else if (auto* rico = qobject_cast<QTextEdit*>(caixa))
            connect(rico, &QTextEdit::textChanged, this, ocultar);
        else if (auto* lista = qobject_cast<QComboBox*>(caixa))
            connect(lista, &QComboBox::currentTextChanged, this, ocultar);
    }

protected:
    bool eventFilter(QObject* alvo, QEvent* evento) override
    {
        Q_UNUSED(alvo);
        BalaoAviso& balao = BalaoAviso::Instancia();
        switch (evento->type()) {
        case QEvent::FocusOut:
        case QEvent::MouseButtonPress:
            balao.OcultarBalao();
            break;
        case QEvent::FocusIn:
            if (balao.ControleBalao() != caixa_)
                balao.OcultarBalao();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* caixa_;
};

}  // namespace

BalaoAviso& BalaoAviso::Instancia()
{
    static BalaoAviso instancia;
    return instancia;
}

void BalaoAviso::ExibirBalao(const QString& titulo, const QString& texto, QWidget* ancora, int icone,
                             int reservado, long corFundo, int reservado2)
{
    Q_UNUSED(reservado);
    Q_UNUSED(reservado2);
    OcultarBalao();
    if (!ancora || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    auto* janela = new JanelaBalao(titulo, texto, ancora, icone, CorOle(corFundo));
    balao_ = janela;
    ancora_ = ancora;
    texto_ = texto;
    janela->Posicionar();
    janela->show();
    janela->raise();
}

void BalaoAviso::OcultarBalao()
{
    if (balao_) {
        QWidget* janela = balao_;
        balao_ = nullptr;
        janela->hide();
        janela->deleteLater();
    }
    ancora_ = nullptr;
    texto_.clear();
}

QWidget* BalaoAviso::ControleBalao() const
{
    return Visivel() ? ancora_.data() : nullptr;
}

bool BalaoAviso::Visivel() const
{
    return balao_ && ancora_ && balao_->isVisible();
}

QString BalaoAviso::TextoExibido() const
{
    return Visivel() ? texto_ : QString();
}

void BalaoAviso::AplicarConvencao(QWidget* caixaTexto)
{
    if (!caixaTexto || caixaTexto->findChild<QObject*>(QStringLiteral("ConvencaoBalao"), Qt::FindDirectChildrenOnly))
        return;
    new ConvencaoBalao(caixaTexto);
}

}  // namespace orvessa
