#include "Suites.h"

#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>
#include <ctime>

// Runs every suite, or with a suite's class name as the first argument only that one (the
// remaining arguments go to Qt Test as usual, e.g. test_model ImagesTest namesAreFresh...).
int main(int argc, char** argv)
{
    // Dates are checked against a UTC calendar whatever the machine says.
    qputenv("TZ", "UTC");
    tzset();
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const QByteArray only = argc > 1 && argv[1][0] != '-' ? QByteArray(argv[1]) : QByteArray();
    std::vector<char*> args(argv, argv + argc);
    if (!only.isEmpty()) {
        args.erase(args.begin() + 1);
    }
    int failed = 0;
    bool ran = false;
    for (const auto& make : suites()) {
        const std::unique_ptr<QObject> suite = make();
        if (!only.isEmpty() && only != suite->metaObject()->className()) {
            continue;
        }
        ran = true;
        failed += QTest::qExec(suite.get(), int(args.size()), args.data());
    }
    return ran ? failed : 1;
}
