#include "app/Identity.h"

#include "platform/AppId.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
    const QString id = QStringLiteral(QUILLHAVEN_APP_ID);
    QGuiApplication::setDesktopFileName(id);
    QIcon builtIn;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        builtIn.addFile(QStringLiteral(":/icons/%1/%2.png").arg(size).arg(id));
    }
    QApplication::setWindowIcon(QIcon::fromTheme(id, builtIn));
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
