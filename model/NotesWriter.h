#pragma once

#include "model/Store.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

// Writes the notes file on a thread of its own, so that no keystroke waits for the disk. The
// GUI thread hands over a snapshot and returns at once; snapshots that queue up while a write
// is under way are coalesced, the newest winning, so the file only ever moves forward. The
// state (saved, pending, failed with a reason) is published on the GUI thread.
class NotesWriter : public QObject {
    Q_OBJECT
public:
    enum class State { Saved, Pending, Failed };
    Q_ENUM(State)

    // Writes one snapshot durably, or returns false with the reason; runs on the writer's
    // thread. Empty: Store::write. Tests put a slow or failing disk here.
    using Disk = std::function<bool(const Store::Snapshot&, QString* error)>;

    explicit NotesWriter(Disk disk = {}, QObject* parent = nullptr);
    // Waits for the last snapshot (at most `exitWait`), then lets the thread go.
    ~NotesWriter() override;
    NotesWriter(const NotesWriter&) = delete;
    NotesWriter& operator=(const NotesWriter&) = delete;

    static constexpr std::chrono::milliseconds exitWait{10'000};

    // Queues the snapshot in place of any still waiting; returns without touching the disk.
    void submit(Store::Snapshot snapshot);
    // Blocks until everything submitted so far was written or failed; false when `limit`
    // passed first.
    bool drain(std::chrono::milliseconds limit = exitWait);

    State state() const { return state_; }
    // Why the last write failed; empty unless the state is Failed.
    QString reason() const { return reason_; }

Q_SIGNALS:
    // On the GUI thread, whenever the state or the reason changes.
    void stateChanged(NotesWriter::State state, const QString& reason);

private:
    struct Shared;

    static void run(const std::shared_ptr<Shared>& s);
    void finished(quint64 sequence, bool ok, const QString& reason);
    void publish(State state, const QString& reason);

    std::shared_ptr<Shared> shared_;
    State state_ = State::Saved;
    QString reason_;
};
