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
    int failed = 0;
    for (const auto& make : suites()) {
        const std::unique_ptr<QObject> suite = make();
        failed += QTest::qExec(suite.get(), argc, argv);
    }
    return failed;
}
