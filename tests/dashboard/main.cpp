#include "Fixture.h"

#include <QApplication>
#include <QLocale>
#include <QStandardPaths>
#include <ctime>

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    tzset();
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QuillhavenTest"));
    QApplication::setApplicationName(QStringLiteral("Dashboard"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return runSuites(argc, argv);
}
