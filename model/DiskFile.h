#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
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
// holds either the old file or the new one whole. The bytes go to a temporary file of a name
// no one else holds ("<path>.saving-XXXXXX", created exclusively, so no leftover can stand in
// the way), are flushed to the disk, then swapped atomically with `path`, and the folder is
// flushed too. The replaced file's permissions are kept; a new file is private to the user.
// On failure `error` holds the system's description and `path` is untouched.
//
// The swap hands back the file it displaced: whatever was at `path` at that instant, even if
// someone replaced it a moment before. With `displaced` given, that file is left under the name
// it returns (empty when there was none) for the caller to judge; without, it is removed.
bool replace(const QString& path, const QByteArray& bytes, QString* error, Stamp* written = nullptr,
             QString* displaced = nullptr);

// Removes what killed saves left beside `path`: regular files of the temporary names above,
// never following a link and never touching anything else.
void removeLeftovers(const QString& path);

// For tests only: runs between the temporary file being ready and the swap, where another
// program may replace the file. Empty to remove.
void setBeforeSwapHook(std::function<void()> hook);

} // namespace DiskFile
