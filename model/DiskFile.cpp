#include "model/DiskFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DiskFile {

namespace {

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

bool replace(const QString& path, const QByteArray& bytes, QString* error, Stamp* written)
{
    // A notes file that is a link into a synced or backed-up folder stays a link: the new
    // bytes replace the file it points to.
    const QFileInfo info(path);
    const QString real = info.isSymLink() ? info.canonicalFilePath() : QString();
    const QByteArray target = QFile::encodeName(real.isEmpty() ? path : real);
    const QByteArray temporary = target + ".saving";
    const int fd =
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        *error = systemError();
        return false;
    }
    const bool filled = fill(fd, bytes, modeFor(target), written);
    const int fillErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!filled || !closed || ::rename(temporary.constData(), target.constData()) != 0) {
        errno = filled ? errno : fillErrno;
        *error = systemError();
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

} // namespace DiskFile
