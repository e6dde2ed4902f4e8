#pragma once

#include "controller/FolderLocks.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QFileSystemWatcher;

namespace platform {
class FileLock;
class LocalServer;
} // namespace platform

// One running copy per user and one per notes folder. The first launch holds a lock and listens
// on a local socket; a later launch finds it, hands it its request (by default: show the
// dashboard) and steps aside, so two processes never write the same notes file. Both locks are
// flock()s, which the kernel drops when their holder dies: a lock found held means a live copy. The
// requests are also how a desktop without global key grabs (a Wayland session) reaches the running
// copy: the user binds `quillhaven --toggle-dashboard` to a key in the desktop's own settings.
class SingleInstance : public QObject, public FolderLocks {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary };
    enum class FolderClaim { Taken, HandedOver, Refused };
    enum class Request { ShowDashboard, ToggleDashboard, Capture, NewNote, Export, Import };
    Q_ENUM(Request)

    // `serverPath` names the socket; the lock file sits beside it.
    explicit SingleInstance(const QString& serverPath = defaultServerPath(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Decides this process's role. Primary: the caller goes on and this object listens.
    // Secondary: another copy runs and has been handed `request` (`delivered` tells whether
    // it answered); the caller should exit without touching any state.
    // A copy that holds the lock but does not listen (still starting, or quitting) is waited
    // for: once it is gone this copy becomes the primary one.
    Role claim(int answerTimeoutMs = 3000, Request request = Request::ShowDashboard,
               bool* delivered = nullptr);
    // What the request is about (the folder of an export, what to import), sent along with it.
    void setArgument(const QString& argument) { argument_ = argument; }
    // Called as this copy begins to quit: later launches no longer hand it their requests but
    // wait for it to be gone and take over.
    void stopListening();

    // After claim() made this copy the primary one: takes the lock inside the notes folder, so
    // that copies started with other runtime folders never share it. When another copy holds
    // it, `request` goes to that copy's socket (HandedOver) or, when it cannot be reached,
    // Refused: the caller tells the user and exits without reading or writing notes.
    FolderClaim claimFolder(const QString& folder, int answerTimeoutMs,
                            Request request = Request::ShowDashboard);
    // While the notes move: the target's lock beside the one held, then one of them let go
    // (see FolderLocks). The old folder's lock file goes with its lock.
    platform::FileLock::State claim(const QString& folder) override;
    void settle(bool moved) override;
    // The lock file of a notes folder (see ::folderLockPath).
    static QString folderLockPath(const QString& folder);

    // The per-user socket in the runtime directory.
    static QString defaultServerPath();

    // The line a request travels as, and back: its word, then its argument if any.
    static QByteArray message(Request request, const QString& argument = {});
    static std::optional<Request> request(const QByteArray& message);
    static QString argumentOf(const QByteArray& message);

Q_SIGNALS:
    // A later launch asked for something.
    void requested(SingleInstance::Request request, const QString& argument);

private:
    bool listen();
    void holdFolderLock(std::unique_ptr<platform::FileLock> lock);
    void keepFolderLock();
    static void pause(const QDeadlineTimer& deadline);
    void read(const QByteArray& line);

    QString serverPath_;
    QString argument_;
    std::unique_ptr<platform::FileLock> lock_;
    std::unique_ptr<platform::FileLock> folderLock_;
    std::unique_ptr<platform::FileLock> nextFolderLock_;
    std::unique_ptr<platform::LocalServer> server_;
    std::unique_ptr<QFileSystemWatcher> lockWatch_;
};
