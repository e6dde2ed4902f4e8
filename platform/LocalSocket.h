#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace platform {

// A listening AF_UNIX stream socket that hands on each newline-ended line its clients send.
// Plain sockets rather than a networking module: that module alone would bring a dozen
// libraries (Kerberos, proxy lookup) into every start for a one-line message.
class LocalServer : public QObject {
    Q_OBJECT
public:
    explicit LocalServer(QObject* parent = nullptr);
    ~LocalServer() override;

    // Listens at `path`, readable and writable by this user only. A socket file already there
    // is replaced: the caller holds the lock that says its owner is gone.
    bool listen(const QString& path);
    QString errorString() const { return error_; }

    // A line longer than this ends its connection unread, so a peer cannot grow the buffer.
    static constexpr qsizetype maxLine = 1024;
    // Connections kept open at once: a newer one closes the oldest, so idle peers can neither
    // use up the program's descriptors nor keep a real request out.
    static constexpr size_t maxClients = 16;

Q_SIGNALS:
    // One line from a client, without its newline.
    void lineReceived(const QByteArray& line);

private:
    struct Client;
    void accept();
    void read(Client* client);
    void drop(Client* client);
    void refuseOne();

    QString path_;
    QString error_;
    int fd_ = -1;
    int spare_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<Client>> clients_;
};

// Connects to the server at `path` and sends `line` and a newline, retrying the connection
// until `timeoutMs` runs out (the server may hold its lock but not listen yet). True once the
// whole line is handed to the kernel.
bool sendLine(const QString& path, const QByteArray& line, int timeoutMs);
// One try of the same: false at once when nobody listens at `path`.
bool sendLineOnce(const QString& path, const QByteArray& line, const QDeadlineTimer& deadline);

} // namespace platform
