#pragma once

#include <QObject>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

// Every test class registers itself here; the one main (support/main.cpp) that each test
// executable links runs them all with runSuites().
using SuiteFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<SuiteFactory>& suites();

template <typename T> struct RegisterSuite {
    RegisterSuite()
    {
        suites().push_back([] { return std::make_unique<T>(); });
    }
};

// Runs the registered suites that the arguments name (all without names); returns the
// number of failed test functions.
int runSuites(int argc, char** argv);
