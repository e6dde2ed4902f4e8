#include "model/NotesWriter.h"

#include "platform/Log.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <thread>

// What the GUI thread and the writer's thread share. It outlives the writer object when the
// thread is still stuck in a write at exit, so the thread never touches freed memory.
struct NotesWriter::Shared {
    std::mutex lock;
    std::condition_variable wake; // work arrived, or the writer is going
    std::condition_variable done; // a write finished
    std::optional<Store::Snapshot> pending;
    quint64 submitted = 0; // sequence of the newest snapshot handed over
    quint64 finished = 0;  // sequence of the newest snapshot written or failed
    bool stopping = false;
    NotesWriter* owner = nullptr; // told of each result; cleared when it goes
    Disk disk;
    std::thread thread;
};

NotesWriter::NotesWriter(Disk disk, QObject* parent)
    : QObject(parent)
    , shared_(std::make_shared<Shared>())
{
    shared_->owner = this;
    shared_->disk = disk ? std::move(disk) : [](const Store::Snapshot& snapshot, QString* error) {
        return Store::write(snapshot, error);
    };
    shared_->thread = std::thread(&NotesWriter::run, shared_);
}

NotesWriter::~NotesWriter()
{
    // A disk that hangs must not keep the program from ending: after the wait the thread is
    // left to finish (or not) on its own.
    const bool drained = drain(exitWait);
    if (!drained) {
        platform::log(QStringLiteral("Quillhaven: save failed: the disk did not finish the last "
                                     "save before exit"));
    }
    {
        const std::lock_guard guard(shared_->lock);
        shared_->owner = nullptr;
        shared_->stopping = true;
    }
    shared_->wake.notify_one();
    if (drained) {
        shared_->thread.join();
    } else {
        shared_->thread.detach();
    }
}

void NotesWriter::submit(Store::Snapshot snapshot)
{
    {
        const std::lock_guard guard(shared_->lock);
        shared_->pending = std::move(snapshot);
        ++shared_->submitted;
    }
    shared_->wake.notify_one();
    // A failure stays shown until a write succeeds.
    if (state_ == State::Saved) {
        publish(State::Pending, {});
    }
}

bool NotesWriter::drain(std::chrono::milliseconds limit)
{
    std::unique_lock guard(shared_->lock);
    const quint64 target = shared_->submitted;
    return shared_->done.wait_for(guard, limit, [&] { return shared_->finished >= target; });
}

void NotesWriter::finished(quint64 sequence, bool ok, const QString& reason)
{
    if (!ok) {
        publish(State::Failed, reason);
        return;
    }
    quint64 newest = 0;
    {
        const std::lock_guard guard(shared_->lock);
        newest = shared_->submitted;
    }
    publish(sequence == newest ? State::Saved : State::Pending, {});
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

// The writer's loop: take the newest snapshot, write it without holding the lock, report.
void NotesWriter::run(const std::shared_ptr<Shared>& s)
{
    pthread_setname_np(pthread_self(), "notes-writer");
    std::unique_lock guard(s->lock);
    for (;;) {
        s->wake.wait(guard, [&] { return s->pending.has_value() || s->stopping; });
        if (!s->pending) {
            return;
        }
        std::optional<Store::Snapshot> snapshot;
        snapshot.swap(s->pending);
        const quint64 sequence = s->submitted;
        guard.unlock();
        QString reason;
        const bool ok = s->disk(*snapshot, &reason);
        snapshot.reset();
        guard.lock();
        s->finished = sequence;
        s->done.notify_all();
        if (NotesWriter* owner = s->owner) {
            // Posted to the owner's thread; dropped by Qt if the owner is gone by then.
            QMetaObject::invokeMethod(
                owner, [owner, sequence, ok, reason] { owner->finished(sequence, ok, reason); },
                Qt::QueuedConnection);
        }
    }
}
