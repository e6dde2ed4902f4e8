#include "platform/TimeChanges.h"

#include <QDBusConnection>
#include <QSocketNotifier>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace platform {

namespace {

// Far enough ahead that the watch never expires in a program's lifetime.
constexpr time_t neverSeconds = time_t(100) * 365 * 24 * 3600;

} // namespace

TimeChanges& TimeChanges::shared()
{
    static TimeChanges changes;
    return changes;
}

TimeChanges::~TimeChanges()
{
    notifier_.reset();
    if (timerFd_ >= 0) {
        ::close(timerFd_);
    }
}

void TimeChanges::watch()
{
    if (watching_) {
        return;
    }
    watching_ = true;
    timerFd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timerFd_ >= 0) {
        armClockWatch();
        notifier_ = std::make_unique<QSocketNotifier>(timerFd_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { clockSet(); });
    }
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(sleeping(bool)));
}

// An absolute timer on the wall clock that the kernel cancels whenever the clock is set.
void TimeChanges::armClockWatch()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    itimerspec never{};
    never.it_value.tv_sec = now.tv_sec + neverSeconds;
    ::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr);
}

void TimeChanges::clockSet()
{
    // A set clock reads as ECANCELED and leaves the watch disarmed: it is armed again.
    std::uint64_t expirations = 0;
    [[maybe_unused]] const ssize_t got = ::read(timerFd_, &expirations, sizeof expirations);
    armClockWatch();
    Q_EMIT moved();
}

void TimeChanges::sleeping(bool before)
{
    if (!before) {
        Q_EMIT moved();
    }
}

} // namespace platform
