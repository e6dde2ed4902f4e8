#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

// Test folders with several test classes register each one here; their main() runs them all
// in one executable with runSuites().
using SuiteFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<SuiteFactory>& suites();

template <typename T> struct RegisterSuite {
    RegisterSuite()
    {
        suites().push_back([] { return std::make_unique<T>(); });
    }
};

// Runs every registered suite; returns the number of failed test functions.
int runSuites(int argc, char** argv);
