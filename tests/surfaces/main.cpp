#include "Suites.h"

#include <QApplication>

std::vector<SuiteFactory>& suites()
{
    static std::vector<SuiteFactory> all;
    return all;
}

int main(int argc, char** argv)
{
    // No sound server for these tests, whatever the machine has: the sound service must
    // then stay quiet without blocking. (An explicit server also stops libpulse from
    // spawning a daemon.)
    qputenv("PULSE_SERVER", "unix:/nonexistent/quillhaven-test/native");
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto& make : suites()) {
        const std::unique_ptr<QObject> suite = make();
        failed += QTest::qExec(suite.get(), argc, argv);
    }
    return failed;
}
