#include "platform/Clock.h"

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

void setNow(std::function<QDateTime()> replacement)
{
    source() = std::move(replacement);
}

} // namespace platform
