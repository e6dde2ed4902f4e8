#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

// Small POSIX file helpers for the notes file, where the exact sequence of system calls is what
// keeps the user's notes safe.
namespace DiskFile {

// Which file a path named, and how it looked: enough to notice that someone else replaced or
// rewrote it since we last read or wrote it.
struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;

    bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> stampOf(const QString& path);
std::optional<Stamp> stampOf(int fd);

// Replaces `path` with `bytes` so that any reader, and the disk after a crash or power loss,
// holds either the old file or the new one whole. The bytes go to "<path>.saving" first (one
// fixed name: only one copy of the program writes here, and a killed save leaves no litter
// beyond that one file), are flushed to the disk, then renamed over `path`. The replaced file's
// permissions are kept; a new file is private to the user. On failure `error` holds the
// system's description and `path` is untouched.
bool replace(const QString& path, const QByteArray& bytes, QString* error,
             Stamp* written = nullptr);

} // namespace DiskFile
