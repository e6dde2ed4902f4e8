#pragma once

#include <QDateTime>
#include <functional>

namespace platform {

// The current date and time. Tests fix it; the real clock reads the system.
QDateTime now();

// Makes now() answer from `source` for the guard's lifetime, then puts back the clock that was
// there. Guards nest and end in the reverse order of their making.
class NowOverride {
public:
    explicit NowOverride(std::function<QDateTime()> source);
    ~NowOverride();
    NowOverride(const NowOverride&) = delete;
    NowOverride& operator=(const NowOverride&) = delete;

private:
    std::function<QDateTime()> previous_;
};

} // namespace platform
