#include "StoreFixture.h"

#include <QDirIterator>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A disk that refuses the first `failures` writes as a full disk would (-1: every one), then
// writes for real, each write held while the disk is closed and then for `delay`. It records
// when each write came and which snapshot it carried, by the text of its last note.
struct FakeDisk {
    int failures = 0;
    bool open = true;
    std::chrono::milliseconds delay{0};
    std::mutex lock{};
    std::condition_variable changed{};
    std::vector<std::chrono::steady_clock::time_point> times{};
    QStringList written{};

    NotesWriter::Disk disk()
    {
        return [this](const Store::Snapshot& snapshot, QString* error) {
            std::unique_lock guard(lock);
            times.push_back(std::chrono::steady_clock::now());
            written << snapshot.records.last().text;
            changed.wait(guard, [this] { return open; });
            if (failures != 0) {
                failures = std::max(-1, failures - 1);
                *error = QStringLiteral("No space left on device");
                return false;
            }
            guard.unlock();
            std::this_thread::sleep_for(delay);
            return Store::write(snapshot, error);
        };
    }
    void release()
    {
        const std::lock_guard guard(lock);
        open = true;
        changed.notify_all();
    }
    QStringList texts()
    {
        const std::lock_guard guard(lock);
        return written;
    }
};

} // namespace

// Saving off the GUI thread: snapshots coalesce behind a slow write and never overtake; a save
// that fails is kept, retried and, at the very end, put somewhere it survives.
class WriterTest : public QObject, private StoreFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void snapshotsQueuedBehindASlowWriteCoalesceAndTheNewestLands()
    {
        FakeDisk slow{.open = false};
        NotesWriter writer(slow.disk());
        QSignalSpy states(&writer, &NotesWriter::stateChanged);
        type(writer, "a");
        QTRY_VERIFY(!slow.texts().isEmpty());
        // The disk is stuck on "a"; every key returns at once and only the newest waits.
        for (const char* text : {"ab", "abc", "abcd"}) {
            type(writer, text);
        }
        QCOMPARE(writer.state(), NotesWriter::State::Pending);
        slow.release();
        QVERIFY(writer.drain(5s));
        QCOMPARE(slow.texts(), (QStringList{"a", "abcd"}));
        QCOMPARE(lastSaved(), "abcd");

        QTRY_COMPARE(writer.state(), NotesWriter::State::Saved);
        QCOMPARE(states.size(), 2); // pending once, then saved once
        QCOMPARE(states.first().first().value<NotesWriter::State>(), NotesWriter::State::Pending);
        QVERIFY(f->log.lines.isEmpty());
    }

    // Keys while writes come and go; the program ends with writes in hand and queued, and
    // waits for the last.
    void anOlderSnapshotNeverFollowsANewerOneAndQuitWaitsForTheLast()
    {
        FakeDisk slow{.delay = 2ms};
        QString text;
        {
            NotesWriter writer(slow.disk());
            for (int key = 0; key < 200; ++key) {
                text += QChar(u'a' + key % 26);
                type(writer, text);
                if (key % 7 == 0) {
                    std::this_thread::sleep_for(1ms); // let some writes start between keys
                }
            }
        }
        const QStringList written = slow.texts();
        QVERIFY(written.size() > 1 && written.size() < 200);
        for (qsizetype i = 1; i < written.size(); ++i) {
            QVERIFY2(written[i].size() > written[i - 1].size(), qPrintable(written[i]));
        }
        QCOMPARE(written.last(), text);
        QCOMPARE(lastSaved(), text);
    }

    void aFailedWriteLogsOneLineKeepsTheFileWholeAndIsShown()
    {
        NotesWriter writer;
        writer.setRetryWaits(60s, 60s); // no retry of its own within the test
        QSignalSpy states(&writer, &NotesWriter::stateChanged);
        type(writer, "kept");
        QVERIFY(writer.drain());
        const QByteArray before = readFile(path);
        {
            const FileSizeLimit full(before.size() + 100);
            type(writer, QString(500, u'x'));
            QVERIFY(writer.drain());
        }
        QCOMPARE(readFile(path), before);
        QCOMPARE(files(), QStringList{"notes.json"});
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        QCOMPARE(writer.reason(), "File too large");
        QCOMPARE(f->log.lines, QStringList{"Quillhaven: save failed: File too large"});

        // Still failed while the next key waits; saved once a write succeeds.
        type(writer, QString(500, u'y'));
        QCOMPARE(writer.state(), NotesWriter::State::Failed);
        QVERIFY(writer.drain());
        QTRY_COMPARE(writer.state(), NotesWriter::State::Saved);
        QCOMPARE(lastSaved(), QString(500, u'y'));
        QCOMPARE(writer.reason(), QString());
        QCOMPARE(f->log.lines.size(), 1);
        QVERIFY(states.size() >= 3);
    }

    void aFailedWriteIsRetriedWithGrowingWaitsUntilItLands()
    {
        FakeDisk flaky{.failures = 3};
        NotesWriter writer(flaky.disk());
        writer.setRetryWaits(40ms, 80ms);
        QSignalSpy states(&writer, &NotesWriter::stateChanged);
        type(writer, "typed while full");
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        QCOMPARE(writer.reason(), "No space left on device");

        // No further key: the retries alone bring it to disk.
        QTRY_COMPARE_WITH_TIMEOUT(writer.state(), NotesWriter::State::Saved, 5000);
        QCOMPARE(flaky.texts().size(), 4);
        QCOMPARE(lastSaved(), "typed while full");
        const std::lock_guard guard(flaky.lock);
        for (int attempt : {1, 2, 3}) { // the longest wait holds
            QVERIFY(flaky.times[attempt] - flaky.times[attempt - 1] >=
                    (attempt == 1 ? 40ms : 80ms));
        }
        // Pending, failed, saved: the retries that failed the same way said nothing new.
        QCOMPARE(states.size(), 3);
        QCOMPARE(f->log.lines, QStringList{"Quillhaven: save failed: No space left on device"});
    }

    // A new snapshot, or a change in the folder (room made), is tried at once; quit tries once
    // more, and what it still cannot save goes to the first folder that takes it.
    void aNewSnapshotIsTriedAtOnceAndQuitTriesOnceMore_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("room made by quit") << false;
        QTest::newRow("full to the end") << true;
    }
    void aNewSnapshotIsTriedAtOnceAndQuitTriesOnceMore()
    {
        QFETCH(bool, full);
        QTemporaryDir elsewhere;
        FakeDisk flaky{.failures = full ? -1 : 3};
        NotesWriter writer(flaky.disk());
        writer.setRetryWaits(60s, 60s);
        // A folder that cannot be made (a file stands in its way, even for root), then one
        // that can.
        writeFile(elsewhere.filePath("blocked"), "a file");
        const QString cache = elsewhere.filePath("cache/Quillhaven");
        writer.setEmergencyFolders({elsewhere.filePath("blocked/cache"), cache});
        type(writer, "a");
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        type(writer, "ab");
        QTRY_COMPARE(flaky.texts().size(), 2);
        QCOMPARE(writer.state(), NotesWriter::State::Failed);
        writer.retryNow();
        QTRY_COMPARE(flaky.texts().size(), 3);
        QCOMPARE(writer.finish(5s), !full);
        QCOMPARE(flaky.texts(), (QStringList{"a", "ab", "ab", "ab"}));
        QCOMPARE(NotesWriter::everythingSaved(), !full);
        QCOMPARE(QFileInfo::exists(cache), full);
        if (!full) {
            QCOMPARE(lastSaved(), "ab");
            return;
        }
        QDirIterator found(cache, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        const QString copy = found.next();
        QVERIFY(!found.hasNext());
        QVERIFY(QFileInfo(copy).fileName().startsWith("quillhaven-notes-unsaved-"));
        QCOMPARE(texts(readFile(copy)).value(0), "ab");
        QCOMPARE(QFileInfo(copy).permissions() & QFileDevice::ReadOther,
                 QFileDevice::Permissions());
        QCOMPARE(f->log.lines.size(), 2);
        QCOMPARE(f->log.lines.last(), "Quillhaven: save failed: No space left on device; the "
                                      "notes were written to " +
                                          copy);
        QVERIFY(!QFileInfo::exists(path));
    }
};

static RegisterSuite<WriterTest> registered;
#include "WriterTest.moc"
