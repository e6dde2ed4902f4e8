#include "app/SingleInstance.h"

#include "platform/FileLock.h"
#include "platform/LocalSocket.h"
#include "support/Suites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

class SingleInstanceTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    QString path() const { return dir_->filePath(QStringLiteral("quillhaven-test")); }

private Q_SLOTS:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    // Later launches hand their requests to the first; other lines are ignored. A copy that
    // holds the lock but no longer listens is quitting (or hung): a launch must not pretend its
    // request was served, and takes over once that copy is gone.
    void laterLaunchesHandTheirRequestsToTheFirstWhileItListens()
    {
        using Request = SingleInstance::Request;
        SingleInstance first(path());
        QCOMPARE(first.claim(), SingleInstance::Role::Primary);
        QList<Request> asked;
        connect(&first, &SingleInstance::requested, this, [&](Request r) { asked << r; });
        QVERIFY(platform::sendLine(path(), "quit", 1000));
        QVERIFY(platform::sendLine(path(), "show-dashboard-please", 1000));
        const QList<Request> requests{Request::ShowDashboard, Request::ToggleDashboard,
                                      Request::Capture, Request::NewNote};
        for (const Request request : requests) {
            SingleInstance later(path());
            bool delivered = false;
            QCOMPARE(later.claim(1000, request, &delivered), SingleInstance::Role::Secondary);
            QVERIFY(delivered);
        }
        QTRY_COMPARE(asked, requests);
        // An export's folder travels with it, spaces and all.
        QString folder;
        connect(&first, &SingleInstance::requested, this,
                [&](Request, const QString& about) { folder = about; });
        SingleInstance exporter(path());
        exporter.setArgument(QStringLiteral("/tmp/a b/Grüße "));
        QCOMPARE(exporter.claim(1000, Request::Export), SingleInstance::Role::Secondary);
        QTRY_COMPARE(folder, QStringLiteral("/tmp/a b/Grüße "));
        QCOMPARE(asked.takeLast(), Request::Export);

        first.stopListening();
        SingleInstance later(path());
        bool delivered = true;
        QCOMPARE(later.claim(300, Request::Capture, &delivered), SingleInstance::Role::Secondary);
        QVERIFY(!delivered);
        QCoreApplication::processEvents();
        QCOMPARE(asked, requests);

        const QString otherPath = dir_->filePath(QStringLiteral("other"));
        auto quitting = std::make_unique<platform::FileLock>(otherPath + QStringLiteral(".lock"));
        QCOMPARE(quitting->tryLock(), platform::FileLock::State::Taken);
        std::thread exits([&quitting] {
            QThread::msleep(200);
            quitting.reset();
        });
        SingleInstance next(otherPath);
        QCOMPARE(next.claim(10000), SingleInstance::Role::Primary);
        exits.join();
    }

    // Copies started with different runtime folders meet at the notes folder's own lock, kept
    // outside the folder. Whatever a sync or clean-up tool puts at the lock's path, before the
    // first copy starts or while it runs, cannot let a second copy in.
    void theNotesFolderHasOneCopy_data()
    {
        QTest::addColumn<QString>("inTheWay");
        QTest::addColumn<bool>("whileHeld");
        for (const char* thing : {"", "folder", "full folder", "dangling link", "fifo"}) {
            QTest::newRow(thing) << QString::fromLatin1(thing) << false;
        }
        QTest::newRow("renamed over while held") << QStringLiteral("file") << true;
        QTest::newRow("deleted while held") << QString() << true;
    }
    void theNotesFolderHasOneCopy()
    {
        QFETCH(QString, inTheWay);
        QFETCH(bool, whileHeld);
        const QString folder = dir_->filePath(QStringLiteral("notes"));
        const QString lock = SingleInstance::folderLockPath(folder);
        const auto putInTheWay = [&] {
            if (inTheWay != "file") {
                QFile::remove(lock);
            }
            if (inTheWay == "folder" || inTheWay == "full folder") {
                QVERIFY(QDir().mkpath(lock + (inTheWay == "folder" ? "" : "/kept")));
            } else if (inTheWay == "dangling link") {
                QVERIFY(QFile::link(folder + "/gone", lock));
            } else if (inTheWay == "fifo") {
                QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
            } else if (inTheWay == "file") {
                const QString other = dir_->filePath(QStringLiteral("other"));
                QVERIFY(QFile(other).open(QIODevice::WriteOnly));
                QCOMPARE(::rename(QFile::encodeName(other), QFile::encodeName(lock)), 0);
            }
        };
        if (!whileHeld) {
            putInTheWay();
        }
        auto first = std::make_unique<SingleInstance>(dir_->filePath(QStringLiteral("a")));
        QCOMPARE(first->claim(), SingleInstance::Role::Primary);
        QCOMPARE(first->claimFolder(folder, 1000), SingleInstance::FolderClaim::Taken);
        QSignalSpy asked(first.get(), &SingleInstance::requested);
        if (whileHeld) {
            putInTheWay();
            QTRY_COMPARE(platform::FileLock(lock).tryLock(), platform::FileLock::State::Held);
        }
        const QString aside = lock + ".in-the-way-" + QString::number(::getpid());
        QVERIFY(inTheWay != "full folder" || QFileInfo::exists(aside + "/kept"));

        SingleInstance second(dir_->filePath(QStringLiteral("b")));
        QCOMPARE(second.claim(), SingleInstance::Role::Primary);
        QCOMPARE(second.claimFolder(folder, 1000, SingleInstance::Request::NewNote),
                 SingleInstance::FolderClaim::HandedOver);
        QTRY_COMPARE(asked.size(), 1);
        QCOMPARE(asked.at(0).at(0).value<SingleInstance::Request>(),
                 SingleInstance::Request::NewNote);

        // The holder ends: the folder is free at once, whatever its lock file says.
        first.reset();
        SingleInstance third(dir_->filePath(QStringLiteral("c")));
        QCOMPARE(third.claimFolder(folder, 300), SingleInstance::FolderClaim::Taken);
    }

    void aFolderHolderThatCannotBeReachedRefuses()
    {
        const QString lockPath = SingleInstance::folderLockPath(dir_->path());
        platform::FileLock held(lockPath);
        QCOMPARE(held.tryLock(), platform::FileLock::State::Taken);
        for (const QByteArray& note : {QByteArray(), dir_->filePath("gone").toUtf8()}) {
            QVERIFY(held.setNote(note));
            SingleInstance later(path());
            QCOMPARE(later.claimFolder(dir_->path(), 300), SingleInstance::FolderClaim::Refused);
        }
        QCOMPARE(QFile(lockPath).permissions() &
                     ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                 QFile::Permissions());
    }

    // Without XDG_RUNTIME_DIR the socket and lock sit in a folder of this user's alone: one
    // another user made first in the shared temp folder is not used.
    void withoutARuntimeFolderTheSocketIsPrivate()
    {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR"),
                         home = qgetenv("HOME");
        const QString squatted = dir_->filePath("tmp/quillhaven-" + QString::number(getuid()));
        for (const bool takenFirst : {false, true}) {
            qunsetenv("XDG_RUNTIME_DIR");
            qputenv("TMPDIR", dir_->filePath("tmp").toUtf8());
            qputenv("HOME", dir_->filePath("home").toUtf8());
            QDir(dir_->path()).mkpath("tmp");
            if (takenFirst) {
                QVERIFY(QDir(squatted).removeRecursively() && QDir().mkpath(squatted));
                QVERIFY(::chmod(QFile::encodeName(squatted).constData(), 0777) == 0);
            }
            const QString folder = QFileInfo(SingleInstance::defaultServerPath()).path();
            qputenv("XDG_RUNTIME_DIR", runtime);
            qputenv("TMPDIR", tmp);
            qputenv("HOME", home);
            QCOMPARE(folder == squatted, !takenFirst);
            struct stat st {};
            QVERIFY(::lstat(QFile::encodeName(folder).constData(), &st) == 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0700));
        }
    }
};

static RegisterSuite<SingleInstanceTest> registered;

#include "SingleInstanceTest.moc"
