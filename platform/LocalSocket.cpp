#include "platform/LocalSocket.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// False when `path` does not fit a socket address.
bool addressOf(const QByteArray& path, sockaddr_un* address)
{
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address->sun_path)) {
        return false;
    }
    std::memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

int unixSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// Connects without waiting: a server that is not there (yet) or whose queue is full fails now.
int connectTo(const sockaddr_un& address)
{
    const int fd = unixSocket();
    if (fd >= 0 &&
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        return fd;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return -1;
}

bool writeAll(int fd, const QByteArray& data, const QDeadlineTimer& deadline)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t sent =
            ::send(fd, data.constData() + done, size_t(data.size() - done), MSG_NOSIGNAL);
        if (sent > 0) {
            done += sent;
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && errno != EAGAIN) {
            return false;
        }
        pollfd ready{fd, POLLOUT, 0};
        if (deadline.hasExpired() ||
            ::poll(&ready, 1, int(std::max<qint64>(deadline.remainingTime(), 0))) <= 0) {
            return false;
        }
    }
    return true;
}

} // namespace

struct LocalServer::Client {
    int fd = -1;
    QByteArray buffer;
    std::unique_ptr<QSocketNotifier> notifier;

    ~Client()
    {
        notifier.reset();
        ::close(fd);
    }
};

LocalServer::LocalServer(QObject* parent)
    : QObject(parent)
{
}

LocalServer::~LocalServer()
{
    clients_.clear();
    if (fd_ < 0) {
        return;
    }
    notifier_.reset();
    ::close(fd_);
    if (spare_ >= 0) {
        ::close(spare_);
    }
    // Nobody answers here any more; a later copy would replace the file anyway.
    sockaddr_un address{};
    if (addressOf(QFile::encodeName(path_), &address)) {
        ::unlink(address.sun_path);
    }
}

bool LocalServer::listen(const QString& path)
{
    // Bound under a name of its own and renamed into place once private, so the socket is
    // never reachable with wider permissions, and a stale file is replaced in one step.
    const QByteArray name = QFile::encodeName(path);
    const QByteArray fresh = name + ".new";
    sockaddr_un address{};
    if (!addressOf(fresh, &address)) {
        error_ = QStringLiteral("socket path too long");
        return false;
    }
    const int fd = unixSocket();
    ::unlink(address.sun_path);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 16) != 0 ||
        ::rename(fresh.constData(), name.constData()) != 0) {
        error_ = lastError();
        ::unlink(address.sun_path);
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    fd_ = fd;
    path_ = path;
    spare_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &LocalServer::accept);
    return true;
}

void LocalServer::accept()
{
    while (true) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EMFILE || errno == ENFILE) {
                refuseOne();
            }
            return; // EAGAIN: none left; anything else is the client's trouble, not ours
        }
        if (clients_.size() >= maxClients) {
            // Whoever connects and says nothing makes way for the next one.
            drop(clients_.front().get());
        }
        auto client = std::make_unique<Client>();
        client->fd = fd;
        client->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        Client* raw = client.get();
        connect(raw->notifier.get(), &QSocketNotifier::activated, this, [this, raw] { read(raw); });
        clients_.push_back(std::move(client));
        read(raw); // the line may have come with the connection
    }
}

void LocalServer::read(Client* client)
{
    bool ended = false;
    char chunk[512];
    while (true) {
        const ssize_t got = ::read(client->fd, chunk, sizeof(chunk));
        if (got > 0) {
            client->buffer.append(chunk, got);
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        ended = got == 0 || errno != EAGAIN;
        break;
    }
    QList<QByteArray> lines;
    for (qsizetype end; (end = client->buffer.indexOf('\n')) >= 0;) {
        lines.append(client->buffer.left(end));
        client->buffer.remove(0, end + 1);
    }
    if (ended || client->buffer.size() > maxLine) {
        drop(client);
    }
    // Last, because whoever hears a line may do anything, even end this server.
    const QPointer<LocalServer> alive(this);
    for (const QByteArray& line : lines) {
        if (!alive) {
            return;
        }
        Q_EMIT lineReceived(line);
    }
}

void LocalServer::refuseOne()
{
    // Out of descriptors, the waiting connection would keep the socket readable and the loop
    // spinning: the spare descriptor makes room to take it and close it at once.
    ::close(spare_);
    const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
    }
    spare_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

void LocalServer::drop(Client* client)
{
    // Called from the client's own notifier: it goes once its signal has returned.
    client->notifier->setEnabled(false);
    client->notifier.release()->deleteLater();
    const auto found = std::find_if(clients_.begin(), clients_.end(),
                                    [client](const auto& owned) { return owned.get() == client; });
    clients_.erase(found);
}

bool sendLineOnce(const QString& path, const QByteArray& line, const QDeadlineTimer& deadline)
{
    sockaddr_un address{};
    if (!addressOf(QFile::encodeName(path), &address)) {
        return false;
    }
    const int fd = connectTo(address);
    if (fd < 0) {
        return false;
    }
    const bool sent = writeAll(fd, line + '\n', deadline);
    ::close(fd);
    return sent;
}

bool sendLine(const QString& path, const QByteArray& line, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!sendLineOnce(path, line, deadline)) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(ulong(std::min<qint64>(50, deadline.remainingTime())));
    }
    return true;
}

} // namespace platform
