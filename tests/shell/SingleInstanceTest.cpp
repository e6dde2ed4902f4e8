#include "app/SingleInstance.h"

#include "support/Suites.h"

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// What a crashed copy leaves: a bound socket file nobody listens on.
bool leaveStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(),
                std::min<size_t>(name.size(), sizeof(address.sun_path) - 1));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    QString path() const { return dir_->filePath(QStringLiteral("quillhaven-test")); }

private Q_SLOTS:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void laterLaunchesHandTheirRequestsToTheFirst()
    {
        using Request = SingleInstance::Request;
        SingleInstance first(path());
        QCOMPARE(first.claim(), SingleInstance::Role::Primary);
        QSignalSpy asked(&first, &SingleInstance::requested);

        const QList<Request> requests{Request::ShowDashboard, Request::ToggleDashboard,
                                      Request::Capture, Request::NewNote};
        for (const Request request : requests) {
            SingleInstance later(path());
            bool delivered = false;
            QCOMPARE(later.claim(1000, request, &delivered), SingleInstance::Role::Secondary);
            QVERIFY(delivered);
        }
        QTRY_COMPARE(asked.size(), requests.size());
        for (int i = 0; i < requests.size(); ++i) {
            QCOMPARE(asked.at(i).at(0).value<Request>(), requests.at(i));
        }
    }

    // A copy that holds the lock but never listens (hung at start): the launch must not
    // pretend its request was served.
    void aCopyThatNeverAnswersIsReported()
    {
        QLockFile held(path() + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        SingleInstance later(path());
        bool delivered = true;
        QCOMPARE(later.claim(300, SingleInstance::Request::Capture, &delivered),
                 SingleInstance::Role::Secondary);
        QVERIFY(!delivered);
    }

    void socketLeftByACrashedCopyIsReplaced()
    {
        QVERIFY(leaveStaleSocket(path()));
        SingleInstance first(path());
        QCOMPARE(first.claim(), SingleInstance::Role::Primary);
        QSignalSpy asked(&first, &SingleInstance::requested);
        SingleInstance second(path());
        QCOMPARE(second.claim(1000), SingleInstance::Role::Secondary);
        QTRY_COMPARE(asked.size(), 1);
    }

    void unrelatedMessagesAreIgnored()
    {
        SingleInstance first(path());
        QCOMPARE(first.claim(), SingleInstance::Role::Primary);
        QSignalSpy asked(&first, &SingleInstance::requested);
        QLocalSocket socket;
        socket.connectToServer(path());
        QVERIFY(socket.waitForConnected(1000));
        socket.write("quit\nshow-dashboard-please\n");
        socket.write(QByteArray(4096, 'x'));
        QVERIFY(socket.waitForBytesWritten(1000));
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(asked.size(), 0);
    }
};

static RegisterSuite<SingleInstanceTest> registered;

#include "SingleInstanceTest.moc"
