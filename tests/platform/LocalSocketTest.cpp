#include "platform/LocalSocket.h"

#include "support/Suites.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// A client that writes in pieces of its own choosing, as a real peer may.
int connectRaw(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
        return fd;
    ::close(fd);
    return -1;
}

void writeRaw(int fd, const QByteArray& data)
{
    QCOMPARE(::send(fd, data.constData(), size_t(data.size()), MSG_NOSIGNAL), data.size());
}

// True once the server has closed its end (read sees the end or a reset).
bool closedByServer(int fd)
{
    char byte = 0;
    const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN);
}

} // namespace

class LocalSocketTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    QString path() const { return dir_->filePath(QStringLiteral("sock")); }

private Q_SLOTS:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    // Lines arrive whole whatever the writes carry. An endless line ends its connection; idle
    // peers beyond the limit make way for newer ones, so they can neither use up the descriptors
    // nor keep a request out.
    void linesArriveWholeAndPeersThatHoldTheServerAreLetGo()
    {
        platform::LocalServer server;
        QVERIFY(server.listen(path()));
        QSignalSpy lines(&server, &platform::LocalServer::lineReceived);
        int fd = connectRaw(path());
        QVERIFY(fd >= 0);
        writeRaw(fd, "one\ntw");
        QTRY_COMPARE(lines.size(), 1);
        writeRaw(fd, "o\nthree");
        QTRY_COMPARE(lines.size(), 2);
        // A line the peer never ends is not a request: the end of its connection, read before
        // the next one, adds nothing.
        ::close(fd);
        QVERIFY(platform::sendLine(path(), "four", 1000));
        QTRY_COMPARE(lines.size(), 3);
        for (const char* line : {"one", "two", "four"})
            QCOMPARE(lines.takeFirst().at(0).toByteArray(), QByteArray(line));

        fd = connectRaw(path());
        writeRaw(fd, QByteArray(platform::LocalServer::maxLine + 10, 'x'));
        QTRY_VERIFY(closedByServer(fd));
        ::close(fd);

        // Four more than the limit: exactly the four oldest go.
        std::vector<int> idle;
        for (size_t i = 0; i < platform::LocalServer::maxClients + 4; ++i) {
            idle.push_back(connectRaw(path()));
            QVERIFY(idle.back() >= 0);
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(closedByServer(idle[3]));
        for (size_t i = 0; i < idle.size(); ++i)
            QCOMPARE(closedByServer(idle[i]), i < 4);
        QVERIFY(platform::sendLine(path(), "still heard", 1000));
        QTRY_COMPARE(lines.size(), 1);
        for (const int peer : idle)
            ::close(peer);
    }

    // The socket is private and goes with its server, so a later launch does not wait on a dead
    // address; with no server, sending gives up at its deadline.
    void theSocketIsPrivateAndSendingGivesUpAtItsDeadline()
    {
        {
            platform::LocalServer server;
            QVERIFY(server.listen(path()));
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(path()).constData(), &st), 0);
            QVERIFY(S_ISSOCK(st.st_mode));
            QCOMPARE(st.st_mode & 0777, mode_t(0600));
            QVERIFY(!QFile::exists(path() + QStringLiteral(".new")));
        }
        QVERIFY(!QFile::exists(path()));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(!platform::sendLine(path(), "nobody", 200));
        QVERIFY(clock.elapsed() >= 190 && clock.elapsed() < 2000);
        const QString tooLong = dir_->filePath(QString(200, QLatin1Char('a')));
        QVERIFY(!platform::sendLine(tooLong, "x", 100));
        platform::LocalServer server;
        QVERIFY(!server.listen(tooLong));
        QVERIFY(!server.errorString().isEmpty());
    }
};

static RegisterSuite<LocalSocketTest> registered;

#include "LocalSocketTest.moc"
