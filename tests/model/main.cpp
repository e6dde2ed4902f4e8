#include "Suites.h"

#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv)
{
    // Dates are checked against a UTC calendar whatever the machine says.
    qputenv("TZ", "UTC");
    tzset();
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto& make : suites()) {
        const std::unique_ptr<QObject> suite = make();
        failed += QTest::qExec(suite.get(), argc, argv);
    }
    return failed;
}
