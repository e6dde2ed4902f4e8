#include "model/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFiles {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool fail(QString* error, const QString& reason)
{
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

// The folder itself, never a link standing in its place.
int openFolder(const QString& folder)
{
    return ::open(QFile::encodeName(folder).constData(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errno = n == 0 ? ENOSPC : errno;
            return false;
        }
        data += n;
        left -= size_t(n);
    }
    return true;
}

} // namespace

bool openRegular(const QString& path, QFile& file, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(error, systemError());
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(error, QStringLiteral("not a regular file"));
    }
    if (st.st_size > maxReadBytes) {
        ::close(fd);
        return fail(error, QStringLiteral("larger than %1 MB").arg(maxReadBytes >> 20));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file.errorString());
    }
    return true;
}

bool createPrivateFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) == 0) {
        return true;
    }
    if (errno == ENOENT) {
        // The parents are created as the user's umask says: only the last one is ours.
        return QDir().mkpath(QFileInfo(path).path()) && ::mkdir(name.constData(), 0700) == 0;
    }
    return errno == EEXIST && QFileInfo(path).isDir();
}

bool makePrivateFolder(const QString& path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0) {
        return true;
    }
    if (errno == ENOENT) {
        return createPrivateFolder(path);
    }
    const int fd = openFolder(path);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    const bool ok =
        ::fstat(fd, &st) == 0 && ((st.st_mode & 077) == 0 || ::fchmod(fd, st.st_mode & 0700) == 0);
    ::close(fd);
    return ok;
}

void makeFilesPrivate(const QString& folder, const std::function<bool(const QString&)>& ours)
{
    const int fd = openFolder(folder);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (dir == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!ours(QFile::decodeName(entry->d_name))) {
            continue;
        }
        // Through a descriptor of the file itself, so a link swapped in changes nothing else.
        const int file =
            ::openat(fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (file >= 0 && ::fstat(file, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077)) {
            ::fchmod(file, st.st_mode & 0700);
        }
        if (file >= 0) {
            ::close(file);
        }
    }
    ::closedir(dir);
}

bool writePrivate(const QString& folder, const QString& name, const QByteArray& bytes,
                  QString* error)
{
    // Never through a link: what lands in a linked folder could never be cleaned up again.
    const int dir = openFolder(folder);
    if (dir < 0) {
        return fail(error, systemError());
    }
    const QByteArray file = QFile::encodeName(name);
    const int fd =
        ::openat(dir, file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        const QString reason = systemError();
        ::close(dir);
        return fail(error, reason);
    }
    // The file and then its name reach the disk before any notes file can name it.
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const QString reason = written ? QString() : systemError();
    ::close(fd);
    if (!written) {
        ::unlinkat(dir, file.constData(), 0);
        ::close(dir);
        return fail(error, reason);
    }
    const bool synced = ::fsync(dir) == 0;
    const QString syncReason = synced ? QString() : systemError();
    ::close(dir);
    return synced || fail(error, syncReason);
}

int removeIn(const QString& folder, const QStringList& names)
{
    const int dir = openFolder(folder);
    if (dir < 0) {
        return 0;
    }
    int removed = 0;
    for (const QString& name : names) {
        if (!name.isEmpty() && !name.contains(u'/') &&
            ::unlinkat(dir, QFile::encodeName(name).constData(), 0) == 0) {
            ++removed;
        }
    }
    ::close(dir);
    return removed;
}

} // namespace SafeFiles
