#include "app/SingleInstance.h"

#include "platform/FileLock.h"
#include "platform/LocalSocket.h"
#include "platform/Log.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>
#include <algorithm>
#include <array>
#include <sys/stat.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString& serverPath, QObject* parent)
    : QObject(parent)
    , serverPath_(serverPath)
    , lock_(std::make_unique<platform::FileLock>(serverPath + QStringLiteral(".lock")))
{
}

SingleInstance::~SingleInstance() = default;

namespace {

bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// Without XDG_RUNTIME_DIR: a folder of this user's alone, made if missing. In the shared temp
// folder another local user could otherwise make the lock and socket first and receive this
// user's requests; a folder there that is not ours and private sends us to one in home.
QString privateRuntimeFolder()
{
    const QString uid = QString::number(::getuid());
    const QString shared = QDir::tempPath() + QStringLiteral("/quillhaven-") + uid;
    ::mkdir(QFile::encodeName(shared).constData(), 0700);
    if (isPrivateFolder(shared)) {
        return shared;
    }
    const QString own = QDir::homePath() + QStringLiteral("/.cache/quillhaven-runtime-") + uid;
    QDir().mkpath(QFileInfo(own).path());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return own;
}

} // namespace

QString SingleInstance::defaultServerPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString dir =
        !runtime.isEmpty() && QDir(runtime).exists() ? runtime : privateRuntimeFolder();
    return dir + QStringLiteral("/quillhaven-") + QString::number(::getuid());
}

namespace {

// The lines of the socket protocol, indexed by SingleInstance::Request.
constexpr std::array<const char*, 6> messages{"show-dashboard", "toggle-dashboard", "capture",
                                              "new-note",       "export",           "import"};

} // namespace

QByteArray SingleInstance::message(Request request, const QString& argument)
{
    const QByteArray word = messages.at(static_cast<size_t>(request));
    return argument.isEmpty() ? word : word + ' ' + argument.toUtf8();
}

std::optional<SingleInstance::Request> SingleInstance::request(const QByteArray& line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArray message = space < 0 ? line : line.left(space);
    for (size_t i = 0; i < messages.size(); ++i) {
        if (message == messages.at(i)) {
            return static_cast<Request>(i);
        }
    }
    return std::nullopt;
}

QString SingleInstance::argumentOf(const QByteArray& message)
{
    const qsizetype space = message.indexOf(' ');
    return space < 0 ? QString() : QString::fromUtf8(message.mid(space + 1));
}

void SingleInstance::pause(const QDeadlineTimer& deadline)
{
    constexpr qint64 retryMs = 50;
    QThread::msleep(ulong(std::clamp<qint64>(deadline.remainingTime(), 0, retryMs)));
}

SingleInstance::Role SingleInstance::claim(int answerTimeoutMs, Request request, bool* delivered)
{
    // The lock, not the socket, decides: it is taken atomically and freed by the system when
    // its holder dies, whereas a socket file can outlive a crashed copy. A holder that does
    // not listen is starting or quitting: asked again until it answers or is gone.
    const QDeadlineTimer deadline(answerTimeoutMs);
    while (lock_->tryLock() == platform::FileLock::State::Held) {
        const bool sent =
            platform::sendLineOnce(serverPath_, message(request, argument_), deadline);
        if (sent || deadline.hasExpired()) {
            if (delivered != nullptr) {
                *delivered = sent;
            }
            return Role::Secondary;
        }
        pause(deadline);
    }
    // Taken, or the directory is not writable: no copy can hold the lock, so go on alone.
    listen();
    return Role::Primary;
}

void SingleInstance::stopListening()
{
    server_.reset();
}

QString SingleInstance::folderLockPath(const QString& folder)
{
    return ::folderLockPath(folder);
}

SingleInstance::FolderClaim SingleInstance::claimFolder(const QString& folder, int answerTimeoutMs,
                                                        Request request)
{
    const QString path = folderLockPath(folder);
    auto first = std::make_unique<platform::FileLock>(path);
    switch (first->tryLock()) {
    case platform::FileLock::State::Taken:
        holdFolderLock(std::move(first));
        return FolderClaim::Taken;
    case platform::FileLock::State::Failed:
        // No lock can be made in this user's own state folder: no copy can hold one.
        return FolderClaim::Taken;
    case platform::FileLock::State::Held:
        break;
    }
    const QDeadlineTimer deadline(answerTimeoutMs);
    while (true) {
        const QString holder = QFile::decodeName(platform::FileLock::noteOf(path));
        if (!holder.isEmpty() &&
            platform::sendLineOnce(holder, message(request, argument_), deadline)) {
            return FolderClaim::HandedOver;
        }
        if (deadline.hasExpired()) {
            return FolderClaim::Refused;
        }
        pause(deadline);
        // The holder may have quit meanwhile.
        auto lock = std::make_unique<platform::FileLock>(path);
        if (lock->tryLock() != platform::FileLock::State::Held) {
            holdFolderLock(std::move(lock));
            return FolderClaim::Taken;
        }
    }
}

void SingleInstance::holdFolderLock(std::unique_ptr<platform::FileLock> lock)
{
    // Where this copy listens, for a copy started with another runtime folder.
    lock->setNote(QFile::encodeName(serverPath_));
    folderLock_ = std::move(lock);
    if (!lockWatch_) {
        lockWatch_ = std::make_unique<QFileSystemWatcher>();
        connect(lockWatch_.get(), &QFileSystemWatcher::directoryChanged, this,
                &SingleInstance::keepFolderLock);
    }
    lockWatch_->addPath(QFileInfo(folderLock_->path()).absolutePath());
}

// A sync or clean-up tool that renames another file over the held lock file, or deletes it,
// leaves a free lock at its path for the next copy: the path is locked again at once.
void SingleInstance::keepFolderLock()
{
    if (!folderLock_ || folderLock_->namesHeldFile()) {
        return;
    }
    auto lock = std::make_unique<platform::FileLock>(folderLock_->path());
    if (lock->tryLock() == platform::FileLock::State::Taken) {
        holdFolderLock(std::move(lock));
        return;
    }
    platform::log(QStringLiteral("Quillhaven: the lock of the notes folder was replaced: ") +
                  lock->path() + QStringLiteral(": ") +
                  (lock->errorString().isEmpty() ? QStringLiteral("another copy holds it now")
                                                 : lock->errorString()));
}

platform::FileLock::State SingleInstance::claim(const QString& folder)
{
    auto lock = std::make_unique<platform::FileLock>(folderLockPath(folder));
    const platform::FileLock::State state = lock->tryLock();
    if (state == platform::FileLock::State::Taken) {
        lock->setNote(QFile::encodeName(serverPath_));
        nextFolderLock_ = std::move(lock);
    }
    return state;
}

void SingleInstance::settle(bool moved)
{
    if (moved && nextFolderLock_) {
        // Removed while still held, so that no copy finds the old folder's lock free and
        // takes it in the meantime.
        if (folderLock_) {
            QFile::remove(folderLock_->path());
        }
        folderLock_ = std::move(nextFolderLock_);
    }
    nextFolderLock_.reset();
}

bool SingleInstance::listen()
{
    server_ = std::make_unique<platform::LocalServer>();
    connect(server_.get(), &platform::LocalServer::lineReceived, this, &SingleInstance::read);
    if (server_->listen(serverPath_)) {
        return true;
    }
    platform::log(QStringLiteral("Quillhaven: cannot listen for later launches at ") + serverPath_ +
                  QStringLiteral(": ") + server_->errorString());
    return false;
}

void SingleInstance::read(const QByteArray& line)
{
    // Only the line's end is trimmed: a folder's name may end in a space.
    QByteArray message = line;
    while (message.endsWith('\n') || message.endsWith('\r')) {
        message.chop(1);
    }
    if (const auto asked = request(message)) {
        Q_EMIT requested(*asked, argumentOf(message));
    }
}
