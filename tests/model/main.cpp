#include "Suites.h"

#include <QApplication>
#include <QStandardPaths>
#include <ctime>

std::vector<SuiteFactory>& suites()
{
    static std::vector<SuiteFactory> all;
    return all;
}

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC"); // dates are checked against a UTC calendar
    tzset();
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto& make : suites()) {
        failed += QTest::qExec(make().get(), argc, argv);
    }
    return failed;
}
