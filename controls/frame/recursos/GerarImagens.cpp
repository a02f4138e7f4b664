// Draws the controls' pictures once; the results are committed beside the
// .qrc files and this program is not part of the build. To redraw them:
//   g++ -std=c++20 -fPIC GerarImagens.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/gerar
//   QT_QPA_PLATFORM=offscreen /tmp/gerar /work/main/controls
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <cstdio>

namespace {

// The suite's two blues, given blue-green-red as the theme lists them.
QColor Bgr(unsigned bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
const QColor AzulForte = Bgr(0xE59D56);
const QColor AzulClaro = Bgr(0xEAB47E);

bool Salvar(const QImage& imagem, const QString& caminho, const char* formato, int qualidade = -1)
{
    if (!imagem.save(caminho, formato, qualidade)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(caminho));
        return false;
    }
    return true;
}

// A soft vertical strip; the bar stretches it to its width.
QImage FaixaTema()
{
    const int largura = 800, altura = 54;
    QImage imagem(largura, altura, QImage::Format_RGB32);
    QPainter p(&imagem);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fundo(0, 0, 0, altura);
    fundo.setColorAt(0.0, AzulClaro.lighter(112));
    fundo.setColorAt(0.45, AzulClaro);
    fundo.setColorAt(1.0, AzulForte);
    p.fillRect(imagem.rect(), fundo);

    // A faint sheen on the upper half.
    QLinearGradient brilho(0, 0, 0, altura / 2);
    brilho.setColorAt(0.0, QColor(255, 255, 255, 70));
    brilho.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, largura, altura / 2), brilho);

    // Two wide, gentle swells towards the right for some depth.
    for (int k = 0; k < 2; ++k) {
        QPainterPath onda;
        const double base = altura * (0.62 + 0.16 * k);
        onda.moveTo(largura * 0.30, altura);
        onda.cubicTo(largura * 0.55, base - 16, largura * 0.78, base + 10, largura, base - 12);
        onda.lineTo(largura, altura);
        onda.closeSubpath();
        p.fillPath(onda, QColor(255, 255, 255, k == 0 ? 26 : 18));
    }

    // A light edge on top and a darker one at the bottom.
    p.setPen(QColor(255, 255, 255, 150));
    p.drawLine(0, 0, largura, 0);
    p.setPen(AzulForte.darker(118));
    p.drawLine(0, altura - 1, largura, altura - 1);
    return imagem;
}

// A round blue badge with a white "i".
QImage IconeInformacao(int lado)
{
    QImage imagem(lado, lado, QImage::Format_ARGB32_Premultiplied);
    imagem.fill(Qt::transparent);
    QPainter p(&imagem);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = lado / 32.0;

    // A soft shadow under the badge.
    QRadialGradient sombra(QPointF(16 * s, 17.5 * s), 15.5 * s);
    sombra.setColorAt(0.8, QColor(0, 30, 80, 60));
    sombra.setColorAt(1.0, QColor(0, 30, 80, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sombra);
    p.drawEllipse(QPointF(16 * s, 17.5 * s), 15.5 * s, 15.5 * s);

    const QRectF disco(1.5 * s, 1.5 * s, 28 * s, 28 * s);
    QLinearGradient corpo(disco.topLeft(), disco.bottomLeft());
    corpo.setColorAt(0.0, AzulClaro.lighter(108));
    corpo.setColorAt(1.0, AzulForte.darker(135));
    p.setBrush(corpo);
    p.setPen(QPen(QColor(255, 255, 255), 1.6 * s));
    p.drawEllipse(disco);

    // Gloss on the upper part of the disc.
    QPainterPath brilho;
    brilho.addEllipse(QRectF(5 * s, 3 * s, 22 * s, 13 * s));
    QLinearGradient luz(0, 3 * s, 0, 16 * s);
    luz.setColorAt(0.0, QColor(255, 255, 255, 110));
    luz.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(brilho, luz);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16 * s, 9.2 * s), 2.4 * s, 2.4 * s);
    p.drawRoundedRect(QRectF(13.9 * s, 13.2 * s, 4.2 * s, 11.8 * s), 1.2 * s, 1.2 * s);
    return imagem;
}

// A rounded blue tile with the letter in white.
QImage TileLetra(QChar letra, int lado)
{
    QImage imagem(lado, lado, QImage::Format_ARGB32_Premultiplied);
    imagem.fill(Qt::transparent);
    QPainter p(&imagem);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double s = lado / 20.0;
    const QRectF tile(0.5 * s, 0.5 * s, 19 * s, 19 * s);
    const double raio = 4.5 * s;

    QLinearGradient corpo(tile.topLeft(), tile.bottomLeft());
    corpo.setColorAt(0.0, AzulForte.lighter(104));
    corpo.setColorAt(1.0, AzulForte.darker(140));
    p.setPen(QPen(AzulForte.darker(160), 0.8 * s));
    p.setBrush(corpo);
    p.drawRoundedRect(tile, raio, raio);

    QPainterPath topo;
    topo.addRoundedRect(tile.adjusted(1.2 * s, 1.2 * s, -1.2 * s, -tile.height() / 2), raio * 0.8, raio * 0.8);
    QLinearGradient luz(0, tile.top(), 0, tile.center().y());
    luz.setColorAt(0.0, QColor(255, 255, 255, 80));
    luz.setColorAt(1.0, QColor(255, 255, 255, 8));
    p.fillPath(topo, luz);

    QFont fonte(QStringLiteral("DejaVu Sans"));
    fonte.setBold(true);
    fonte.setPixelSize(static_cast<int>(13 * s));
    fonte.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(fonte);
    const QRectF area = tile.translated(0, 0.4 * s);
    p.setPen(QColor(10, 40, 90, 110));
    p.drawText(area.translated(0, 0.8 * s), Qt::AlignCenter, QString(letra));
    p.setPen(Qt::white);
    p.drawText(area, Qt::AlignCenter, QString(letra));
    return imagem;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <controls folder>\n", argv[0]);
        return 2;
    }
    const QString raiz = QString::fromLocal8Bit(argv[1]);
    bool ok = Salvar(FaixaTema(), raiz + QStringLiteral("/statusbar/recursos/tema.jpg"), "JPG", 92);
    ok = Salvar(IconeInformacao(32), raiz + QStringLiteral("/infopanel/recursos/info.png"), "PNG") && ok;
    for (char16_t c = u'A'; c <= u'Z'; ++c) {
        const QString base = raiz + QStringLiteral("/tabletras/recursos/") + QChar(c);
        ok = Salvar(TileLetra(QChar(c), 22), base + QStringLiteral(".png"), "PNG") && ok;
        ok = Salvar(TileLetra(QChar(c), 44), base + QStringLiteral("@2x.png"), "PNG") && ok;
    }
    return ok ? 0 : 1;
}
