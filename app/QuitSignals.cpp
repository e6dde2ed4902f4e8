#include "app/QuitSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT, SIGHUP};

// The handler may only do async-signal-safe work: it writes the signal number into a socket
// that the event loop watches.
int wakeFds[2] = {-1, -1};

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(wakeFds[0], &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::drain);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : handledSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

QuitSignals::~QuitSignals()
{
    for (const int signal : handledSignals) {
        std::signal(signal, SIG_DFL);
    }
    for (int& fd : wakeFds) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void QuitSignals::drain()
{
    unsigned char byte = 0;
    int last = 0;
    while (::read(wakeFds[1], &byte, 1) == 1) {
        last = byte;
    }
    if (last != 0) {
        Q_EMIT quitRequested(last);
    }
}
