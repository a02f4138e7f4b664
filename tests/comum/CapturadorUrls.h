#pragma once
// Takes the requests QDesktopServices would hand to a browser or a program,
// so tests see what would open and nothing starts.
#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace apoio {

class CapturadorUrls : public QObject {
    Q_OBJECT
public:
    explicit CapturadorUrls(const QStringList& esquemas) : esquemas_(esquemas)
    {
        for (const QString& esquema : esquemas_)
            QDesktopServices::setUrlHandler(esquema, this, "Abrir");
    }
    ~CapturadorUrls() override
    {
        for (const QString& esquema : esquemas_)
            QDesktopServices::unsetUrlHandler(esquema);
    }
    QList<QUrl> urls;

public slots:
    void Abrir(const QUrl& url) { urls.append(url); }

private:
    QStringList esquemas_;
};

}  // namespace apoio
