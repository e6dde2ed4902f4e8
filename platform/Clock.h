#pragma once

#include <QDateTime>
#include <functional>

namespace platform {

// The current date and time. Tests fix it; the real clock reads the system.
QDateTime now();
void setNow(std::function<QDateTime()> source); // empty restores the system clock

} // namespace platform
