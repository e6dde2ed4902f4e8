#include "model/NotesWriter.h"

#include "model/EmergencyCopy.h"
#include "platform/Log.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <optional>
#include <pthread.h>
#include <thread>

namespace {

std::atomic<bool> nothingLost{true};

} // namespace

// What the GUI thread and the writer's thread share. It outlives the writer object when the
// thread is still stuck in a write at exit, so the thread never touches freed memory.
struct NotesWriter::Shared {
    std::mutex lock;
    std::condition_variable wake; // work arrived, a retry is asked for, or the writer is going
    std::condition_variable done; // a write finished
    // The newest snapshot not known to be on disk: kept after a failure for the next try.
    std::optional<Store::Snapshot> unsaved;
    bool fresh = false;    // `unsaved` was not tried yet
    bool retryNow = false; // try `unsaved` again without waiting out the back-off
    bool failing = false;  // the last write failed
    bool writing = false;  // the disk is busy with a write
    QString reason;        // of the last failure
    quint64 submitted = 0; // sequence of the newest snapshot handed over
    quint64 finished = 0;  // sequence of the newest snapshot written or failed
    quint64 attempts = 0;
    std::chrono::milliseconds first = firstRetry;
    std::chrono::milliseconds longest = longestRetry;
    std::chrono::milliseconds backOff = firstRetry;
    bool stopping = false;
    NotesWriter* owner = nullptr; // told of each result; cleared when it goes
    Disk disk;
    std::thread thread;
};

NotesWriter::NotesWriter(Disk disk, QObject* parent)
    : QObject(parent)
    , shared_(std::make_shared<Shared>())
    , emergencyFolders_(Store::emergencyFolders())
{
    shared_->owner = this;
    shared_->disk = disk ? std::move(disk) : [](const Store::Snapshot& snapshot, QString* error) {
        return Store::writeQuietly(snapshot, error);
    };
    shared_->thread = std::thread(&NotesWriter::run, shared_);
}

NotesWriter::~NotesWriter()
{
    if (!finished_) {
        finish(exitWait);
    }
    bool busy = false;
    {
        const std::lock_guard guard(shared_->lock);
        shared_->owner = nullptr;
        shared_->stopping = true;
        busy = shared_->writing;
    }
    shared_->wake.notify_one();
    // A disk that hangs must not keep the program from ending: the thread is left to finish
    // (or not) on its own.
    if (busy) {
        shared_->thread.detach();
    } else {
        shared_->thread.join();
    }
}

quint64 NotesWriter::submit(Store::Snapshot snapshot)
{
    quint64 sequence = 0;
    {
        const std::lock_guard guard(shared_->lock);
        shared_->unsaved = std::move(snapshot);
        shared_->fresh = true;
        sequence = ++shared_->submitted;
    }
    shared_->wake.notify_one();
    // A failure stays shown until a write succeeds.
    if (state_ == State::Saved) {
        publish(State::Pending, {});
    }
    return sequence;
}

bool NotesWriter::drain(std::chrono::milliseconds limit)
{
    std::unique_lock guard(shared_->lock);
    const quint64 target = shared_->submitted;
    return shared_->done.wait_for(guard, limit, [&] { return shared_->finished >= target; });
}

void NotesWriter::retryNow()
{
    const std::lock_guard guard(shared_->lock);
    if (shared_->failing) {
        shared_->retryNow = true;
        shared_->wake.notify_one();
    }
}

bool NotesWriter::retryOnce(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock guard(shared_->lock);
    if (!shared_->failing) {
        return true;
    }
    const quint64 before = shared_->attempts;
    shared_->retryNow = true;
    shared_->wake.notify_one();
    return shared_->done.wait_until(guard, deadline, [&] { return shared_->attempts > before; });
}

bool NotesWriter::finish(std::chrono::milliseconds limit)
{
    finished_ = true;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const bool answered = drain(limit) && retryOnce(deadline);
    std::optional<Store::Snapshot> left;
    QString reason;
    {
        const std::lock_guard guard(shared_->lock);
        if (!answered || shared_->failing) {
            left = shared_->unsaved;
            reason = answered ? shared_->reason
                              : QStringLiteral("the disk did not finish the last save before exit");
        }
    }
    if (!left) {
        return true;
    }
    nothingLost = false;
    keepEmergencyCopy(*left, reason);
    return false;
}

bool NotesWriter::everythingSaved()
{
    return nothingLost;
}

void NotesWriter::keepEmergencyCopy(const Store::Snapshot& snapshot, const QString& reason)
{
    const QString copy = Store::writeEmergencyCopy(snapshot, emergencyFolders_);
    platform::log(QStringLiteral("Quillhaven: save failed: ") + reason +
                  (copy.isEmpty() ? QStringLiteral("; no folder took an emergency copy either")
                                  : QStringLiteral("; the notes were written to ") + copy));
}

void NotesWriter::setRetryWaits(std::chrono::milliseconds first, std::chrono::milliseconds longest)
{
    const std::lock_guard guard(shared_->lock);
    shared_->first = first;
    shared_->longest = longest;
    shared_->backOff = first;
}

void NotesWriter::finished(quint64 sequence, bool ok, const QString& reason)
{
    if (!ok) {
        // One line when saving starts to fail, or fails anew for another reason; the retries
        // in between are quiet.
        if (state_ != State::Failed || reason != reason_) {
            platform::log(QStringLiteral("Quillhaven: save failed: ") + reason);
        }
        publish(State::Failed, reason);
        return;
    }
    quint64 newest = 0;
    {
        const std::lock_guard guard(shared_->lock);
        newest = shared_->submitted;
    }
    publish(sequence == newest ? State::Saved : State::Pending, {});
    Q_EMIT written(sequence);
}

void NotesWriter::publish(State state, const QString& reason)
{
    if (state == state_ && reason == reason_) {
        return;
    }
    state_ = state;
    reason_ = reason;
    Q_EMIT stateChanged(state, reason);
}

// Writes `unsaved` once, without holding the lock, and records the outcome.
void NotesWriter::writeOnce(Shared& s, std::unique_lock<std::mutex>& guard)
{
    Store::Snapshot snapshot = *s.unsaved;
    const quint64 sequence = s.submitted;
    s.fresh = false;
    s.retryNow = false;
    s.writing = true;
    guard.unlock();
    QString reason;
    const bool ok = s.disk(snapshot, &reason);
    snapshot = {};
    guard.lock();
    s.writing = false;
    s.finished = sequence;
    ++s.attempts;
    if (ok && sequence == s.submitted) {
        s.unsaved.reset();
    }
    s.backOff = ok ? s.first : (s.failing ? std::min(s.backOff * 2, s.longest) : s.first);
    s.failing = !ok;
    s.reason = reason;
    s.done.notify_all();
    if (NotesWriter* owner = s.owner) {
        // Posted to the owner's thread; dropped by Qt if the owner is gone by then.
        QMetaObject::invokeMethod(
            owner, [owner, sequence, ok, reason] { owner->finished(sequence, ok, reason); },
            Qt::QueuedConnection);
    }
}

// The writer's loop: take the newest snapshot, write it, report; after a failure, wait out
// the back-off (or a newer snapshot) and try again.
void NotesWriter::run(const std::shared_ptr<Shared>& s)
{
    pthread_setname_np(pthread_self(), "notes-writer");
    std::unique_lock guard(s->lock);
    const auto asked = [&] { return s->fresh || s->retryNow || s->stopping; };
    for (;;) {
        if (s->failing && s->unsaved) {
            s->wake.wait_for(guard, s->backOff, asked);
        } else {
            s->wake.wait(guard, asked);
        }
        if (s->stopping && !s->fresh) {
            return;
        }
        if (s->unsaved) {
            writeOnce(*s, guard);
        } else {
            s->retryNow = false;
        }
    }
}
