#pragma once

#include <QObject>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

// Each test file registers its class here; main.cpp runs them all in one executable.
using SuiteFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<SuiteFactory>& suites();

template <typename T> struct RegisterSuite {
    RegisterSuite()
    {
        suites().push_back([] { return std::make_unique<T>(); });
    }
};
