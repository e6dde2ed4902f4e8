#include "StoreFixture.h"
#include "model/NotesWriter.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <chrono>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// A disk that refuses the first `failures` writes as a full disk would, then writes for real;
// records when each attempt came and which text it carried.
class FlakyDisk {
public:
    explicit FlakyDisk(int failures)
        : failures_(failures)
    {
    }

    NotesWriter::Disk disk()
    {
        return [this](const Store::Snapshot& snapshot, QString* error) {
            {
                const std::lock_guard guard(lock_);
                times_.push_back(std::chrono::steady_clock::now());
                texts_ << snapshot.records.last().text;
                if (failures_ != 0) {
                    failures_ = std::max(-1, failures_ - 1);
                    *error = QStringLiteral("No space left on device");
                    return false;
                }
            }
            return Store::write(snapshot, error);
        };
    }

    // Every write from now on fails (or, with 0, succeeds).
    void setFailures(int failures)
    {
        const std::lock_guard guard(lock_);
        failures_ = failures;
    }

    int attempts()
    {
        const std::lock_guard guard(lock_);
        return static_cast<int>(times_.size());
    }

    QStringList texts()
    {
        const std::lock_guard guard(lock_);
        return texts_;
    }

    std::chrono::milliseconds gap(int attempt)
    {
        const std::lock_guard guard(lock_);
        return std::chrono::duration_cast<std::chrono::milliseconds>(times_.at(attempt) -
                                                                     times_.at(attempt - 1));
    }

private:
    std::mutex lock_;
    int failures_; // -1: for ever
    std::vector<std::chrono::steady_clock::time_point> times_;
    QStringList texts_;
};

QString lastText(const QByteArray& file)
{
    const auto records = Store::decode(file);
    return records && !records->isEmpty() ? records->last().text : QString();
}

QStringList filesUnder(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << it.next();
    }
    return found;
}

} // namespace

// A save that fails is kept, retried and, at the very end, put somewhere it survives.
class SaveRetryTest : public QObject, private StoreFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void aFailedWriteIsRetriedWithGrowingWaitsUntilItLands()
    {
        FlakyDisk flaky(3);
        NotesWriter writer(flaky.disk());
        writer.setRetryWaits(40ms, 80ms);
        QSignalSpy states(&writer, &NotesWriter::stateChanged);
        type(writer, "typed while full");
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        QCOMPARE(writer.reason(), "No space left on device");

        // No further key: the retries alone bring it to disk.
        QTRY_COMPARE_WITH_TIMEOUT(writer.state(), NotesWriter::State::Saved, 5000);
        QCOMPARE(flaky.attempts(), 4);
        QCOMPARE(lastText(readFile(path)), "typed while full");
        QVERIFY(flaky.gap(1) >= 40ms);
        QVERIFY(flaky.gap(2) >= 80ms);
        QVERIFY(flaky.gap(3) >= 80ms); // the longest wait holds
        // Pending, failed, saved: the retries that failed the same way said nothing new.
        QCOMPARE(states.size(), 3);
        QCOMPARE(f->log.lines, QStringList{"Quillhaven: save failed: No space left on device"});
    }

    void aNewSnapshotIsTriedAtOnceAndTheNewestLands()
    {
        FlakyDisk flaky(2);
        NotesWriter writer(flaky.disk());
        writer.setRetryWaits(60s, 60s); // no retry of its own within the test
        type(writer, "a");
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        type(writer, "ab");
        QTRY_COMPARE(flaky.attempts(), 2);
        QCOMPARE(writer.state(), NotesWriter::State::Failed);
        type(writer, "abc");
        QTRY_COMPARE(writer.state(), NotesWriter::State::Saved);
        QCOMPARE(flaky.texts(), (QStringList{"a", "ab", "abc"}));
        QCOMPARE(lastText(readFile(path)), "abc");
        QCOMPARE(writer.reason(), QString());
    }

    void quitRetriesOnceMoreAndSucceeds()
    {
        FlakyDisk flaky(1);
        NotesWriter writer(flaky.disk());
        writer.setRetryWaits(60s, 60s);
        type(writer, "saved at the last moment");
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        QVERIFY(writer.finish(5s));
        QCOMPARE(flaky.attempts(), 2);
        QCOMPARE(lastText(readFile(path)), "saved at the last moment");
        QVERIFY(NotesWriter::everythingSaved());
    }

    void whatQuitCannotSaveGoesToTheFirstFolderThatTakesIt()
    {
        QTemporaryDir elsewhere;
        FlakyDisk flaky(-1);
        NotesWriter writer(flaky.disk());
        writer.setRetryWaits(60s, 60s);
        // A folder that cannot be made (a file stands in its way, even for root), then one
        // that can.
        writeFile(elsewhere.filePath("blocked"), "a file");
        const QString cache = elsewhere.filePath("cache/Quillhaven");
        writer.setEmergencyFolders({elsewhere.filePath("blocked/cache"), cache});
        type(writer, "kept");
        QTRY_COMPARE(writer.state(), NotesWriter::State::Failed);
        type(writer, "kept somewhere");
        QTRY_COMPARE(flaky.attempts(), 2);

        QVERIFY(!writer.finish(5s));
        QCOMPARE(flaky.attempts(), 3); // once more at the end
        QVERIFY(!NotesWriter::everythingSaved());
        const QStringList copies = filesUnder(cache);
        QCOMPARE(copies.size(), 1);
        QVERIFY(QFileInfo(copies.first()).fileName().startsWith("quillhaven-notes-unsaved-"));
        QCOMPARE(lastText(readFile(copies.first())), "kept somewhere");
        QCOMPARE(QFileInfo(copies.first()).permissions() & QFileDevice::ReadOther,
                 QFileDevice::Permissions());
        QCOMPARE(f->log.lines.size(), 2);
        QCOMPARE(f->log.lines.last(), "Quillhaven: save failed: No space left on device; the "
                                      "notes were written to " +
                                          copies.first());
        QVERIFY(!QFileInfo::exists(path));
    }
};

static RegisterSuite<SaveRetryTest> registered;
#include "SaveRetryTest.moc"
