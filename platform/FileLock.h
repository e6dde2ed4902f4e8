#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// An exclusive flock() on a small file. The kernel drops it when the holder's file is closed,
// however the holder ends (a kill, a crash, a sandbox torn down), so a held lock always means
// a live holder; nothing stored in the file decides anything.
class FileLock {
public:
    enum class State { Taken, Held, Failed };

    explicit FileLock(QString path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Taken: this object holds the lock until it goes. Held: a live process (or another
    // FileLock here) holds it. Failed: no regular file can be made and locked there.
    State tryLock();
    bool isLocked() const { return fd_ >= 0; }
    // Whether the lock's path still names the file this object holds locked: a tool that
    // renames another file over it, or deletes it, leaves the next copy a free lock there.
    bool namesHeldFile() const;
    QString path() const { return path_; }
    QString errorString() const { return error_; }

    // While locked: replaces the file's contents with `note`, a hint for whoever finds the
    // lock held (such as where the holder listens).
    bool setNote(const QByteArray& note);
    // The note in the lock file at `path`, read without waiting; empty when there is none.
    static QByteArray noteOf(const QString& path);

private:
    State lockPath();

    QString path_;
    QString error_;
    int fd_ = -1;
};

} // namespace platform
