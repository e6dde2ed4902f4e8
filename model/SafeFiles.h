#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class QFile;

// The file system calls that keep the notes folder safe from what else may be in it: a FIFO
// or device where a file should be, a folder swapped for a link to somewhere else, a reader
// who is not the user. Any thread.
namespace SafeFiles {

// No notes file, tombstones, layout or picture of ours comes near this; anything larger put in
// their place (a huge sparse file) is refused rather than read into memory.
constexpr qint64 maxReadBytes = 256LL << 20;

// Opens `path` for reading only when it is a regular file of at most maxReadBytes, without ever
// blocking on a FIFO or device; `file` then reads it. False, with the reason in `error`, for
// anything else.
bool openRegular(const QString& path, QFile& file, QString* error = nullptr);

// Creates the folder (and its parents) private to the user, or makes an existing one private.
// A link in its place is left as it is. Only for a folder the program itself made.
bool makePrivateFolder(const QString& path);

// Creates the folder (and its parents), the last one private to the user; an existing folder
// keeps its mode, since it may be someone's shared or sticky folder the notes were put in.
bool createPrivateFolder(const QString& path);

// Takes the group's and others' access away from each regular file directly in `folder`
// (not followed if a link) whose name `ours` accepts: a file the program did not make keeps
// its mode.
void makeFilesPrivate(const QString& folder, const std::function<bool(const QString&)>& ours);

// Writes a new file `name` in `folder`, private to the user, created exclusively, then puts it
// and the folder's entry on the disk before returning. On failure nothing is left behind.
bool writePrivate(const QString& folder, const QString& name, const QByteArray& bytes,
                  QString* error);

// Unlinks each name relative to `folder` opened without following a link: a folder that is a
// link (to anywhere) loses nothing. Returns how many files went.
int removeIn(const QString& folder, const QStringList& names);

} // namespace SafeFiles
