#include "model/DiskFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DiskFile {

namespace {

const char savingInfix[] = ".saving";

std::function<void()>& beforeSwap()
{
    static std::function<void()> hook;
    return hook;
}

Stamp fromStat(const struct stat& st)
{
    return Stamp{st.st_dev, st.st_ino, st.st_size,
                 static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec};
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

mode_t modeFor(const QByteArray& path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 ? (st.st_mode & 07777) : 0600;
}

// Writes and flushes the temporary file; leaves errno set on failure.
bool fill(int fd, const QByteArray& bytes, mode_t mode, Stamp* written)
{
    struct stat st {};
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fdatasync(fd) != 0 ||
        ::fstat(fd, &st) != 0) {
        return false;
    }
    if (written) {
        *written = fromStat(st);
    }
    return true;
}

// The folder's entry for the new name is only durable once the folder itself is flushed.
// Some file systems refuse to flush a folder; the rename is done either way.
void syncFolderOf(const QByteArray& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).path());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

enum class Swap { Failed, Exchanged, Renamed };

// Puts `temporary` at `target`. Where the file system can, the two are exchanged, so the file
// that was at `target` at that instant is now at `temporary`; else it is simply replaced.
Swap swapInto(const QByteArray& temporary, const QByteArray& target)
{
    const char* from = temporary.constData();
    const char* to = target.constData();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) == 0) {
            return Swap::Exchanged;
        }
        if (errno == EINVAL || errno == ENOSYS) {
            return ::rename(from, to) == 0 ? Swap::Renamed : Swap::Failed;
        }
        if (errno != ENOENT) {
            return Swap::Failed;
        }
        // No file yet: never replace one that appears in the meantime unseen.
        if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
            return Swap::Renamed;
        }
        if (errno != EEXIST) {
            return Swap::Failed;
        }
    }
    return Swap::Failed;
}

// Creates the temporary file beside `target` under a fresh name; -1 with errno on failure.
int createTemporary(const QByteArray& target, QByteArray* name)
{
    QByteArray pattern = target + savingInfix + "-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd >= 0) {
        *name = pattern;
    }
    return fd;
}

} // namespace

std::optional<Stamp> stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return std::nullopt;
    }
    return fromStat(st);
}

std::optional<Stamp> stampOf(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return std::nullopt;
    }
    return fromStat(st);
}

bool replace(const QString& path, const QByteArray& bytes, QString* error, Stamp* written,
             QString* displaced)
{
    // A notes file that is a link into a synced or backed-up folder stays a link: the new
    // bytes replace the file it points to.
    const QFileInfo info(path);
    const QString real = info.isSymLink() ? info.canonicalFilePath() : QString();
    const QByteArray target = QFile::encodeName(real.isEmpty() ? path : real);
    QByteArray temporary;
    const int fd = createTemporary(target, &temporary);
    if (fd < 0) {
        *error = systemError();
        return false;
    }
    const bool filled = fill(fd, bytes, modeFor(target), written);
    const int fillErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (filled && closed && beforeSwap()) {
        beforeSwap()();
    }
    const Swap swap = filled && closed ? swapInto(temporary, target) : Swap::Failed;
    if (swap == Swap::Failed) {
        errno = filled ? errno : fillErrno;
        *error = systemError();
        ::unlink(temporary.constData());
        return false;
    }
    syncFolderOf(target);
    if (displaced) {
        *displaced = swap == Swap::Exchanged ? QFile::decodeName(temporary) : QString();
    } else if (swap == Swap::Exchanged) {
        ::unlink(temporary.constData());
    }
    return true;
}

void removeLeftovers(const QString& path)
{
    const QFileInfo info(path);
    const QString prefix = info.fileName() + QLatin1String(savingInfix);
    const QDir folder = info.dir();
    // Matched by hand: a name filter is a regular expression, compiled at every start.
    const QStringList names = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!name.startsWith(prefix)) {
            continue;
        }
        const QString rest = name.mid(prefix.size());
        // "<name>.saving" of older versions, or "<name>.saving-XXXXXX".
        if (!rest.isEmpty() && !(rest.size() == 7 && rest.startsWith(QLatin1Char('-')))) {
            continue;
        }
        const QByteArray entry = QFile::encodeName(folder.filePath(name));
        struct stat st {};
        if (::lstat(entry.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
            ::unlink(entry.constData());
        }
    }
}

void setBeforeSwapHook(std::function<void()> hook)
{
    beforeSwap() = std::move(hook);
}

} // namespace DiskFile
