#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

// The suites of test_shell, each a QObject run by QTest::qExec.
using ShellTestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<ShellTestFactory>& shellTests();

template <typename T> struct ShellTestRegistration {
    ShellTestRegistration()
    {
        shellTests().push_back([] { return std::make_unique<T>(); });
    }
};

inline std::vector<ShellTestFactory>& shellTests()
{
    static std::vector<ShellTestFactory> tests;
    return tests;
}
