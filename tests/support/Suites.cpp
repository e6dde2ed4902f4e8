#include "support/Suites.h"

#include <QTest>

std::vector<SuiteFactory>& suites()
{
    static std::vector<SuiteFactory> all;
    return all;
}

int runSuites(int argc, char** argv)
{
    int failed = 0;
    for (const auto& make : suites()) {
        const std::unique_ptr<QObject> suite = make();
        failed += QTest::qExec(suite.get(), argc, argv);
    }
    return failed;
}
