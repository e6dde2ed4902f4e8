#pragma once

#include "model/Store.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

// Writes the notes file on a thread of its own, so that no keystroke waits for the disk. The
// GUI thread hands over a snapshot and returns at once; snapshots that queue up while a write
// is under way are coalesced, the newest winning, so the file only ever moves forward. The
// state (saved, pending, failed with a reason) is published on the GUI thread.
//
// A failed write is not the end of it: the newest snapshot is kept and tried again, soon at
// first and then less often, and at once whenever a newer one arrives. At the end the writer
// tries once more, and what still cannot reach the notes file goes to an emergency copy.
class NotesWriter : public QObject {
    Q_OBJECT
public:
    enum class State { Saved, Pending, Failed };
    Q_ENUM(State)

    // Writes one snapshot durably, or returns false with the reason; runs on the writer's
    // thread. Empty: Store::writeQuietly (the writer logs failures itself). Tests put a slow
    // or failing disk here.
    using Disk = std::function<bool(const Store::Snapshot&, QString* error)>;

    explicit NotesWriter(Disk disk = {}, QObject* parent = nullptr);
    // finish(), then lets the thread go.
    ~NotesWriter() override;
    NotesWriter(const NotesWriter&) = delete;
    NotesWriter& operator=(const NotesWriter&) = delete;

    static constexpr std::chrono::milliseconds exitWait{10'000};
    // The wait before the first retry, doubled after each failure up to the longest.
    static constexpr std::chrono::milliseconds firstRetry{500};
    static constexpr std::chrono::milliseconds longestRetry{30'000};

    // Queues the snapshot in place of any still waiting; returns without touching the disk.
    // Answers its sequence number, which written() tells once it (or a newer one) is on disk.
    quint64 submit(Store::Snapshot snapshot);
    // Blocks until everything submitted so far was written or failed; false when `limit`
    // passed first.
    bool drain(std::chrono::milliseconds limit = exitWait);
    // For the end of the program: waits for the last snapshot (at most `limit`), retries it
    // once more if it failed, and if it still is not in the notes file writes it to the first
    // emergency folder that takes it, logging where. False when the notes file does not hold
    // the newest snapshot.
    bool finish(std::chrono::milliseconds limit = exitWait);
    // False once any writer finished with notes that did not reach their file: the program
    // then ends with a failure status.
    static bool everythingSaved();

    // A failed snapshot is tried again at once, without waiting out the back-off: something
    // changed that may let it through (the folder changed: space freed, a file moved away).
    void retryNow();

    State state() const { return state_; }
    // Why the last write failed; empty unless the state is Failed.
    QString reason() const { return reason_; }

    // For tests: a quicker back-off, and where emergency copies go.
    void setRetryWaits(std::chrono::milliseconds first, std::chrono::milliseconds longest);
    void setEmergencyFolders(const QStringList& folders) { emergencyFolders_ = folders; }

Q_SIGNALS:
    // On the GUI thread, whenever the state or the reason changes.
    void stateChanged(NotesWriter::State state, const QString& reason);
    // On the GUI thread: every snapshot submitted up to `sequence` is durably in the notes
    // file (or was replaced by a newer one that is).
    void written(quint64 sequence);

private:
    struct Shared;

    static void run(const std::shared_ptr<Shared>& s);
    static void writeOnce(Shared& s, std::unique_lock<std::mutex>& guard);
    void finished(quint64 sequence, bool ok, const QString& reason);
    void publish(State state, const QString& reason);
    bool retryOnce(std::chrono::steady_clock::time_point deadline);
    void keepEmergencyCopy(const Store::Snapshot& snapshot, const QString& reason);

    std::shared_ptr<Shared> shared_;
    State state_ = State::Saved;
    QString reason_;
    QStringList emergencyFolders_;
    bool finished_ = false;
};
