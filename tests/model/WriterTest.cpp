#include "StoreFixture.h"
#include "model/NotesWriter.h"

#include <QSignalSpy>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A disk that writes for real, but holds each write until the test opens it (or for a fixed
// time), and records which snapshot it wrote, by the text of its last note.
class SlowDisk {
public:
    explicit SlowDisk(bool gated, std::chrono::milliseconds delay = 0ms)
        : open_(!gated)
        , delay_(delay)
    {
    }

    NotesWriter::Disk disk()
    {
        return [this](const Store::Snapshot& snapshot, QString* error) {
            std::unique_lock guard(lock_);
            ++started_;
            changed_.notify_all();
            changed_.wait(guard, [this] { return open_; });
            written_ << snapshot.records.last().text;
            guard.unlock();
            std::this_thread::sleep_for(delay_);
            return Store::write(snapshot, error);
        };
    }

    bool waitUntilStarted(int writes)
    {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, 5s, [&] { return started_ >= writes; });
    }

    void open()
    {
        const std::lock_guard guard(lock_);
        open_ = true;
        changed_.notify_all();
    }

    QStringList written()
    {
        const std::lock_guard guard(lock_);
        return written_;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool open_;
    std::chrono::milliseconds delay_;
    int started_ = 0;
    QStringList written_;
};

QString lastText(const QByteArray& file)
{
    const auto records = Store::decode(file);
    return records && !records->isEmpty() ? records->last().text : QString();
}

} // namespace

class WriterTest : public QObject, private StoreFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void snapshotsQueuedBehindASlowWriteCoalesceAndTheNewestLands()
    {
        SlowDisk slow(true);
        NotesWriter writer(slow.disk());
        QSignalSpy states(&writer, &NotesWriter::stateChanged);
        type(writer, "a");
        QVERIFY(slow.waitUntilStarted(1));
        // The disk is stuck on "a"; every key returns at once and only the newest waits.
        for (const char* text : {"ab", "abc", "abcd"}) {
            type(writer, text);
        }
        QCOMPARE(writer.state(), NotesWriter::State::Pending);
        slow.open();
        QVERIFY(writer.drain(5s));
        QCOMPARE(slow.written(), (QStringList{"a", "abcd"}));
        QCOMPARE(lastText(readFile(path)), "abcd");

        QTRY_COMPARE(writer.state(), NotesWriter::State::Saved);
        QCOMPARE(states.size(), 2); // pending once, then saved once
        QCOMPARE(states.first().first().value<NotesWriter::State>(), NotesWriter::State::Pending);
        QVERIFY(f->log.lines.isEmpty());
    }

    void anOlderSnapshotNeverFollowsANewerOne()
    {
        SlowDisk slow(false, 2ms);
        NotesWriter writer(slow.disk());
        QString text;
        for (int key = 0; key < 200; ++key) {
            text += QChar(u'a' + key % 26);
            type(writer, text);
            if (key % 7 == 0) {
                std::this_thread::sleep_for(1ms); // let some writes start between keys
            }
        }
        QVERIFY(writer.drain(10s));
        const QStringList written = slow.written();
        QVERIFY(written.size() > 1 && written.size() < 200);
        for (qsizetype i = 1; i < written.size(); ++i) {
            QVERIFY2(written[i].size() > written[i - 1].size(), qPrintable(written[i]));
        }
        QCOMPARE(written.last(), text);
        QCOMPARE(lastText(readFile(path)), text);
    }

    void quitWaitsForTheLastSnapshot()
    {
        SlowDisk slow(false, 150ms);
        {
            NotesWriter writer(slow.disk());
            type(writer, "first");
            QVERIFY(slow.waitUntilStarted(1));
            type(writer, "first and last");
        } // the program ends here
        QCOMPARE(slow.written(), (QStringList{"first", "first and last"}));
        QCOMPARE(lastText(readFile(path)), "first and last");
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
        QCOMPARE(QDir(f->dir.path()).entryList(QDir::Files), QStringList{"notes.json"});
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        QCOMPARE(writer.reason(), "File too large");
        QCOMPARE(f->log.lines, QStringList{"Quillhaven: save failed: File too large"});

        // Still failed while the next key waits; saved once a write succeeds.
        type(writer, QString(500, u'y'));
        QCOMPARE(writer.state(), NotesWriter::State::Failed);
        QVERIFY(writer.drain());
        QTRY_COMPARE(writer.state(), NotesWriter::State::Saved);
        QCOMPARE(lastText(readFile(path)), QString(500, u'y'));
        QCOMPARE(writer.reason(), QString());
        QCOMPARE(f->log.lines.size(), 1);
        QVERIFY(states.size() >= 3);
    }
};

static RegisterSuite<WriterTest> registered;
#include "WriterTest.moc"
