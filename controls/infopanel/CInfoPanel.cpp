#include "controls/infopanel/CInfoPanel.h"

#include "controls/frame/ErrosIgnorados.h"
#include "platform/Texto.h"
#include "suite/Controles.h"
#include "suite/TextoMarcado.h"

#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace kestrane {
namespace {

// The border: an outline in the border colour that lets the mouse through.
class Contorno : public QWidget {
public:
    explicit Contorno(QWidget* pai) : QWidget(pai)
    {
        setObjectName(QStringLiteral("Linha"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    void DefinirCor(const QColor& cor)
    {
        cor_ = cor;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter pintor(this);
        pintor.setPen(QPen(cor_, 1));
        pintor.setBrush(Qt::NoBrush);
        pintor.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    QColor cor_;
};

// A colour from the bag: a number, or the default when it is none.
long LerCor(const plataforma::PropertyBag& bag, const QString& chave, long padrao)
{
    const QVariant valor = bag.ReadProperty(chave, QVariant::fromValue<qlonglong>(padrao));
    bool ok = false;
    const qlonglong numero = valor.toLongLong(&ok);
    return ok ? static_cast<long>(numero) : padrao;
}

constexpr int EsquerdaTexto = CInfoPanel::EsquerdaIcone + CInfoPanel::LadoIcone + 12;
constexpr int TopoTexto = CInfoPanel::MargemTexto;
constexpr int AlturaDesenho = CInfoPanel::LadoIcone + 2 * 14;

}  // namespace

CInfoPanel::CInfoPanel(QWidget* pai)
    : QWidget(pai), lblM_(new orvessa::USLabel(this)), Icone_(new orvessa::USAlphaImage(this)),
      Linha_(new Contorno(this))
{
    setObjectName(QStringLiteral("CInfoPanel"));

    lblM_->setObjectName(QStringLiteral("lblM"));
    QFont fonte(QStringLiteral("Verdana"));
    fonte.setStyleHint(QFont::SansSerif);
    fonte.setPointSizeF(8.25);
    lblM_->setFont(fonte);
    lblM_->setWordWrap(true);
    lblM_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblM_->setAttribute(Qt::WA_TranslucentBackground);
    lblM_->setAutoFillBackground(false);
    lblM_->move(EsquerdaTexto, TopoTexto);

    Icone_->setObjectName(QStringLiteral("Icone"));
    Icone_->setAutoFillBackground(false);
    Icone_->DefinirImagem(QImage(QStringLiteral(":/kestrane/infopanel/info.png")));
    Icone_->resize(LadoIcone, LadoIcone);

    Linha_->raise();

    AplicarBackColor(BackColorPadrao);
    AplicarBorderColor(BorderColorPadrao);
    resize(320, AlturaDesenho);
    Organizar();
}

QString CInfoPanel::Texto() const
{
    return lblM_->Caption();
}

void CInfoPanel::DefinirTexto(const QString& texto)
{
    try {
        // The label redraws once, with the new caption.
        lblM_->DefinirAutoRedesenhar(false);
        lblM_->DefinirAutoAjustar(false);
        lblM_->DefinirCaption(plataforma::Trim(texto));
        lblM_->DefinirAutoRedesenhar(true);
        lblM_->DefinirAutoAjustar(true);
        Organizar();
        emit PropertyChanged(QStringLiteral("Texto"));
    } catch (...) {
        RegistrarErroIgnorado("CInfoPanel.DefinirTexto");
    }
}

void CInfoPanel::DefinirBackColor(long cor)
{
    AplicarBackColor(cor);
    backColor_ = cor;
    emit PropertyChanged(QStringLiteral("BackColor"));
}

void CInfoPanel::DefinirBorderColor(long cor)
{
    AplicarBorderColor(cor);
    borderColor_ = cor;
    emit PropertyChanged(QStringLiteral("BorderColor"));
}

void CInfoPanel::AplicarBackColor(long cor)
{
    corFundo_ = orvessa::CorOle(cor);
    update();
}

void CInfoPanel::AplicarBorderColor(long cor)
{
    static_cast<Contorno*>(Linha_)->DefinirCor(orvessa::CorOle(cor));
}

void CInfoPanel::ReadProperties(plataforma::PropertyBag* bag)
{
    if (!bag)
        return;
    try {
        lblM_->DefinirCaption(bag->ReadProperty(QStringLiteral("Texto"), QString()).toString());
        const long fundo = LerCor(*bag, QStringLiteral("BackColor"), BackColorPadrao);
        const long borda = LerCor(*bag, QStringLiteral("BorderColor"), BorderColorPadrao);
        AplicarBackColor(fundo);
        AplicarBorderColor(borda);
        backColor_ = fundo;
        borderColor_ = borda;
        Organizar();
    } catch (...) {
        RegistrarErroIgnorado("CInfoPanel.ReadProperties");
    }
}

void CInfoPanel::WriteProperties(plataforma::PropertyBag* bag) const
{
    if (!bag)
        return;
    try {
        bag->WriteProperty(QStringLiteral("Texto"), lblM_->Caption(), QString());
        bag->WriteProperty(QStringLiteral("BackColor"), QVariant::fromValue<qlonglong>(backColor_),
                           QVariant::fromValue<qlonglong>(BackColorPadrao));
        bag->WriteProperty(QStringLiteral("BorderColor"), QVariant::fromValue<qlonglong>(borderColor_),
                           QVariant::fromValue<qlonglong>(BorderColorPadrao));
    } catch (...) {
        RegistrarErroIgnorado("CInfoPanel.WriteProperties");
    }
}

QSize CInfoPanel::sizeHint() const
{
    return {QWidget::sizeHint().width(), height()};
}

void CInfoPanel::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    Organizar();
}

void CInfoPanel::Organizar()
{
    // Growing the panel below raises a further resize; that one lays out
    // with the new height already in place.
    if (organizando_)
        return;
    organizando_ = true;
    try {
        const int largura = std::max(1, width() - (lblM_->x() + MargemTexto));
        const int alturaTexto = std::max(lblM_->heightForWidth(largura), lblM_->fontMetrics().height());
        lblM_->resize(largura, alturaTexto);

        // Only ever taller: a shorter text leaves the grown height.
        const int necessaria = lblM_->y() + lblM_->height() + MargemTexto;
        if (necessaria > height()) {
            setMinimumHeight(std::max(minimumHeight(), necessaria));
            resize(width(), necessaria);
            updateGeometry();
        }

        Icone_->setGeometry(EsquerdaIcone, (height() - LadoIcone) / 2, LadoIcone, LadoIcone);
        Linha_->setGeometry(0, 0, width(), height());
        Linha_->raise();
    } catch (...) {
        RegistrarErroIgnorado("CInfoPanel.Organizar");
    }
    organizando_ = false;
}

void CInfoPanel::paintEvent(QPaintEvent*)
{
    QPainter pintor(this);
    pintor.fillRect(rect(), corFundo_);
}

}  // namespace kestrane
