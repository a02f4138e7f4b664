#include "suite/Tema.h"

#include <QApplication>
#include <QFont>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QStyleFactory>
#include <QTranslator>
#include <QWidget>

namespace orvessa {

namespace {

// The appearance colours every window passes, as RGB (the callers write them
// as OLE colours, blue-green-red).
constexpr const char* kBorda = "#ACACAC";        // &HACACAC
constexpr const char* kDestaque = "#569DE5";     // &HE59D56
constexpr const char* kDestaqueClaro = "#7EB4EA";  // &HEAB47E
constexpr const char* kFaceClara = "#FBFBFB";    // &HFBFBFB
constexpr const char* kFaceMedia = "#ECECEC";    // &HECECEC
constexpr const char* kFundo = "#F9F9F9";        // &HF9F9F9
constexpr const char* kTexto = "#1E1E1E";
constexpr const char* kTextoInativo = "#A0A0A0";

QString FolhaEstilo()
{
    static const QString folha = [] {
        QString f = QStringLiteral(R"(
QToolTip { background: #FFFFE1; color: @texto; border: 1px solid @borda; padding: 3px; }

orvessa--USForm { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @destaqueClaro, stop:1 @destaque);
                  border: none; border-bottom: 1px solid #4A89C8; }
orvessa--USForm QLabel#USFormTitulo { color: #FFFFFF; font-weight: bold; padding: 7px 12px; background: transparent; }

orvessa--USStatusBar { background: @faceMedia; border: none; border-top: 1px solid @borda; }

QPushButton { color: @texto; border: 1px solid @borda; border-radius: 3px; padding: 4px 14px; min-height: 18px;
              background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @faceClara, stop:1 @faceMedia); }
QPushButton:hover { border-color: @destaqueClaro;
                    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #E3EEFA); }
QPushButton:focus, QPushButton:default { border-color: @destaque; }
QPushButton:pressed { background: #D6E7F8; border-color: @destaque; }
QPushButton:disabled { color: @textoInativo; background: #F3F3F3; border-color: #D2D2D2; }

QLineEdit, QPlainTextEdit, QTextEdit, QAbstractSpinBox {
    color: @texto; background: #FFFFFF; border: 1px solid @borda; border-radius: 2px;
    selection-background-color: @destaque; selection-color: #FFFFFF; }
QLineEdit, QAbstractSpinBox { padding: 2px 4px; min-height: 18px; }
QLineEdit:hover, QPlainTextEdit:hover, QTextEdit:hover, QAbstractSpinBox:hover { border-color: @destaqueClaro; }
QLineEdit:focus, QPlainTextEdit:focus, QTextEdit:focus, QAbstractSpinBox:focus { border-color: @destaque; }
QLineEdit:disabled, QPlainTextEdit:disabled, QTextEdit:disabled { background: #F3F3F3; color: @textoInativo; }

QComboBox { color: @texto; border: 1px solid @borda; border-radius: 2px; padding: 2px 6px; min-height: 18px;
            background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 @faceClara); }
QComboBox:hover { border-color: @destaqueClaro; }
QComboBox:focus, QComboBox:on { border-color: @destaque; }
QComboBox:disabled { color: @textoInativo; background: #F3F3F3; }
QComboBox QAbstractItemView { border: 1px solid @borda; background: #FFFFFF;
                              selection-background-color: @destaque; selection-color: #FFFFFF; outline: none; }

QComboBox::drop-down { subcontrol-origin: padding; subcontrol-position: center right; width: 18px; border: none; }
QComboBox::down-arrow { image: url(:/orvessa/recursos/seta-baixo.png); width: 9px; height: 6px; }

QCheckBox, QRadioButton { color: @texto; spacing: 6px; background: transparent; }
QCheckBox:disabled, QRadioButton:disabled { color: @textoInativo; }
QCheckBox::indicator, QHeaderView::indicator, QRadioButton::indicator {
    width: 13px; height: 13px; border: 1px solid @borda; background: #FFFFFF; }
QCheckBox::indicator, QHeaderView::indicator { border-radius: 2px; }
QRadioButton::indicator { border-radius: 7px; }
QCheckBox::indicator:hover, QRadioButton::indicator:hover { border-color: @destaque; }
QCheckBox::indicator:checked, QHeaderView::indicator:checked {
    background: @destaque; border-color: @destaque; image: url(:/orvessa/recursos/marca.png); }
QRadioButton::indicator:checked { border-color: @destaque;
    background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,
                                stop:0 @destaque, stop:0.45 @destaque, stop:0.55 #FFFFFF, stop:1 #FFFFFF); }
QCheckBox::indicator:disabled, QRadioButton::indicator:disabled { background: #F3F3F3; border-color: #D2D2D2; }
QCheckBox::indicator:checked:disabled { image: url(:/orvessa/recursos/marca-inativa.png); }

QProgressBar { border: 1px solid @borda; border-radius: 3px; background: @faceMedia; min-height: 12px; max-height: 14px;
               text-align: center; }
QProgressBar::chunk { border-radius: 2px;
                      background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @destaqueClaro, stop:1 @destaque); }

QTableView { border: 1px solid @borda; background: #FFFFFF; alternate-background-color: @faceClara;
             gridline-color: @faceMedia; selection-background-color: @destaque; selection-color: #FFFFFF; }
QHeaderView { background: @faceMedia; }
QHeaderView::section { color: @texto; padding: 3px 6px; border: none; border-right: 1px solid #D4D4D4;
                       border-bottom: 1px solid @borda;
                       background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @faceClara, stop:1 @faceMedia); }
QHeaderView::section:vertical { padding: 0px; border-right: 1px solid @borda; border-bottom: 1px solid #D4D4D4; }
QTableCornerButton::section { border: none; border-right: 1px solid @borda; border-bottom: 1px solid @borda;
                              background: @faceMedia; }

QMessageBox QLabel { color: @texto; }
)");
        f.replace(QLatin1String("@destaqueClaro"), QLatin1String(kDestaqueClaro));
        f.replace(QLatin1String("@destaque"), QLatin1String(kDestaque));
        f.replace(QLatin1String("@faceClara"), QLatin1String(kFaceClara));
        f.replace(QLatin1String("@faceMedia"), QLatin1String(kFaceMedia));
        f.replace(QLatin1String("@textoInativo"), QLatin1String(kTextoInativo));
        f.replace(QLatin1String("@texto"), QLatin1String(kTexto));
        f.replace(QLatin1String("@borda"), QLatin1String(kBorda));
        return f;
    }();
    return folha;
}

QPalette Paleta(QPalette p)
{
    const QColor texto(kTexto);
    p.setColor(QPalette::Window, QColor(kFundo));
    p.setColor(QPalette::WindowText, texto);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(kFaceClara));
    p.setColor(QPalette::Text, texto);
    p.setColor(QPalette::Button, QColor(kFaceMedia));
    p.setColor(QPalette::ButtonText, texto);
    p.setColor(QPalette::Highlight, QColor(kDestaque));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, texto);
    p.setColor(QPalette::Mid, QColor(kBorda));
    p.setColor(QPalette::Link, QColor(kDestaque));
    for (auto papel : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, papel, QColor(kTextoInativo));
    return p;
}

double DpiX()
{
    if (qGuiApp)
        if (QScreen* tela = QGuiApplication::primaryScreen())
            return tela->logicalDotsPerInchX();
    return 96.0;
}

double DpiY()
{
    if (qGuiApp)
        if (QScreen* tela = QGuiApplication::primaryScreen())
            return tela->logicalDotsPerInchY();
    return 96.0;
}

// The few texts Qt's own catalogue leaves in English in the dialogs the
// program shows: the kinds of entry in the file dialog's detail view.
class TraducoesProprias : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* contexto, const char* fonte, const char* desambiguacao, int n) const override
    {
        Q_UNUSED(desambiguacao);
        Q_UNUSED(n);
        static const QHash<QByteArray, QString> tabela = {
            {"QAbstractFileIconProvider\x1f" "Folder", QStringLiteral("Pasta")},
            {"QAbstractFileIconProvider\x1f" "File Folder", QStringLiteral("Pasta de arquivos")},
            {"QAbstractFileIconProvider\x1f" "Drive", QStringLiteral("Unidade")},
            {"QAbstractFileIconProvider\x1f" "File", QStringLiteral("Arquivo")},
            {"QAbstractFileIconProvider\x1f" "%1 File", QStringLiteral("Arquivo %1")},
            {"QAbstractFileIconProvider\x1f" "Alias", QStringLiteral("Atalho")},
            {"QAbstractFileIconProvider\x1f" "Shortcut", QStringLiteral("Atalho")},
            {"QAbstractFileIconProvider\x1f" "Unknown", QStringLiteral("Desconhecido")},
        };
        if (!contexto || !fonte)
            return QString();
        const auto it = tabela.constFind(QByteArray(contexto) + '\x1f' + QByteArray(fonte));
        return it == tabela.constEnd() ? QString() : *it;
    }
};

}  // namespace

void AplicarTema(QWidget* janela)
{
    if (!janela)
        return;
    QWidget* topo = janela->window();
    // A host that did not theme the whole application still gets the skin on
    // the windows of the suite.
    if (qApp && qApp->styleSheet() != FolhaEstilo()) {
        if (topo->styleSheet() != FolhaEstilo()) {
            topo->setPalette(Paleta(topo->palette()));
            topo->setStyleSheet(FolhaEstilo());
        }
    }
    topo->update();
}

void AplicarTemaAplicacao(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setPalette(Paleta(QApplication::palette()));
    QFont fonte = QApplication::font();
    fonte.setFamilies({QStringLiteral("Segoe UI"), QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")});
    fonte.setPointSize(9);
    QApplication::setFont(fonte);
    app.setStyleSheet(FolhaEstilo());
}

void CarregarTraducoes(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    static QPointer<QApplication> jaCarregado;
    if (jaCarregado == &app)
        return;
    jaCarregado = &app;

    const QString pasta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* qtbase = new QTranslator(&app);
    if (qtbase->load(QStringLiteral("qtbase_pt_BR"), pasta) || qtbase->load(QStringLiteral("qt_pt_BR"), pasta))
        QCoreApplication::installTranslator(qtbase);
    else
        delete qtbase;
    // Installed last, so consulted first; it only knows texts the catalogue lacks.
    QCoreApplication::installTranslator(new TraducoesProprias(&app));
}

double PixelsParaTwipsX(double px)
{
    return px * 1440.0 / DpiX();
}

double PixelsParaTwipsY(double px)
{
    return px * 1440.0 / DpiY();
}

double TwipsParaPixelsX(double twips)
{
    return twips * DpiX() / 1440.0;
}

double TwipsParaPixelsY(double twips)
{
    return twips * DpiY() / 1440.0;
}

}  // namespace orvessa
