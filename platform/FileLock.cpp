#include "platform/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Opens without following a link and without blocking on a FIFO; only a regular file is kept.
int openRegular(const QByteArray& path, int flags, QString* error)
{
    const int fd = ::open(path.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = QStringLiteral("not a regular file");
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whatever sits at the lock's path and is not a regular file (a dangling link, a folder, a FIFO
// left by someone else) would make the lock fail for every copy alike, letting each run on
// alone: it is cleared out of the way, a folder with contents renamed aside, not deleted.
void clearNonRegular(const QByteArray& path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || S_ISREG(st.st_mode)) {
        return;
    }
    if (!S_ISDIR(st.st_mode)) {
        ::unlink(path.constData());
    } else if (::rmdir(path.constData()) != 0) {
        const QByteArray aside = path + ".in-the-way-" + QByteArray::number(::getpid());
        ::rename(path.constData(), aside.constData());
    }
}

} // namespace

FileLock::FileLock(QString path)
    : path_(std::move(path))
{
}

FileLock::~FileLock()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

FileLock::State FileLock::tryLock()
{
    if (fd_ >= 0) {
        return State::Taken;
    }
    // A file renamed over the path while it was being taken would leave the lock on a file
    // nobody else will open: taken again on whatever the path names now.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (const State state = lockPath(); state != State::Taken || namesHeldFile()) {
            return state;
        }
        ::close(fd_);
        fd_ = -1;
    }
    error_ = QStringLiteral("the lock file keeps being replaced");
    return State::Failed;
}

FileLock::State FileLock::lockPath()
{
    const QByteArray name = path_.toLocal8Bit();
    clearNonRegular(name);
    // Made if missing, then held open for reading only: a file open for writing would keep
    // the folder's file system from being remounted read-only, and flock() needs no more.
    if (const int made = openRegular(name, O_WRONLY | O_CREAT, &error_); made >= 0) {
        ::close(made);
    }
    const int fd = openRegular(name, O_RDONLY, &error_);
    if (fd < 0) {
        return State::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        ::close(fd);
        if (why == EWOULDBLOCK) {
            return State::Held;
        }
        error_ = QString::fromLocal8Bit(std::strerror(why));
        return State::Failed;
    }
    fd_ = fd;
    return State::Taken;
}

bool FileLock::namesHeldFile() const
{
    struct stat held {};
    struct stat named {};
    return fd_ >= 0 && ::fstat(fd_, &held) == 0 &&
           ::lstat(path_.toLocal8Bit().constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

bool FileLock::setNote(const QByteArray& note)
{
    if (fd_ < 0) {
        return false;
    }
    // Written through a descriptor of its own, closed at once; the lock stays with fd_.
    QString ignored;
    const int fd = openRegular(path_.toLocal8Bit(), O_WRONLY, &ignored);
    if (fd < 0) {
        return false;
    }
    const bool written = ::ftruncate(fd, 0) == 0 &&
                         ::pwrite(fd, note.constData(), size_t(note.size()), 0) == note.size();
    ::close(fd);
    return written;
}

QByteArray FileLock::noteOf(const QString& path)
{
    QString ignored;
    const int fd = openRegular(path.toLocal8Bit(), O_RDONLY, &ignored);
    if (fd < 0) {
        return {};
    }
    // A note is a path: anything longer is not one.
    QByteArray note(4096, Qt::Uninitialized);
    const ssize_t got = ::read(fd, note.data(), size_t(note.size()));
    ::close(fd);
    return got > 0 ? note.left(got) : QByteArray();
}

} // namespace platform
