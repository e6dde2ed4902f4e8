#include "platform/Clock.h"

#include <utility>

namespace platform {

namespace {
std::function<QDateTime()>& source()
{
    static std::function<QDateTime()> installed;
    return installed;
}
} // namespace

QDateTime now()
{
    return source() ? source()() : QDateTime::currentDateTimeUtc();
}

NowOverride::NowOverride(std::function<QDateTime()> replacement)
    : previous_(std::exchange(source(), std::move(replacement)))
{
}

NowOverride::~NowOverride()
{
    source() = std::move(previous_);
}

} // namespace platform
