#include "app/Identity.h"

#include "platform/AppId.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

namespace {

// Waits for the first window to be exposed, then sets the icon on the next turn of the event
// loop; Qt hands it on to the windows already up.
class IconAfterFirstFrame : public QObject {
public:
    explicit IconAfterFirstFrame(QObject* parent)
        : QObject(parent)
    {
        parent->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType() &&
            static_cast<QWindow*>(watched)->isExposed()) {
            parent()->removeEventFilter(this);
            QTimer::singleShot(0, parent(), [] { applyWindowIcon(); });
            deleteLater();
        }
        return false;
    }
};

} // namespace

QString aboutText()
{
    return QStringLiteral("Quillhaven %1\n").arg(QStringLiteral(QUILLHAVEN_VERSION)) +
           QCoreApplication::translate(
               "About", "Sticky notes that tuck away at the top of the screen.\n"
                        "Copyright \u00A9 2026 The Quillhaven developers.\n"
                        "Licence: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
                        "This is free software: you are free to change and redistribute it.\n"
                        "There is NO WARRANTY, to the extent permitted by law.\n");
}

void applyIdentity()
{
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLHAVEN_APP_ID));
    new IconAfterFirstFrame(qApp);
}

void applyWindowIcon()
{
    if (!QApplication::windowIcon().isNull()) {
        return;
    }
    // The built-in pictures are the ones installed into the theme. Read as PNG by name, so no
    // image or icon plugin is loaded to guess the format; the largest sizes, which a window
    // list never shows, would only be kept in memory.
    const QString id = QStringLiteral(QUILLHAVEN_APP_ID);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QImageReader reader(QStringLiteral(":/icons/%1/%2.png").arg(size).arg(id), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    QApplication::setWindowIcon(icon);
}

void installTranslations(QCoreApplication& application, const QLocale& locale)
{
    // Parented to the application, so they live exactly as long as it does.
    auto* own = new QTranslator(&application);
    if (own->load(locale, QStringLiteral("quillhaven"), QStringLiteral("_"),
                  QStringLiteral(":/i18n"))) {
        QCoreApplication::installTranslator(own);
    }
    auto* qt = new QTranslator(&application);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    }
}
