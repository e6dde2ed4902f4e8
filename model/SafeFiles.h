#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QFile;

// The file system calls that keep the notes folder safe from what else may be in it: a FIFO
// or device where a file should be, a folder swapped for a link to somewhere else, a reader
// who is not the user. Any thread.
namespace SafeFiles {

// Opens `path` for reading only when it is a regular file, without ever blocking on a FIFO
// or device; `file` then reads it. False, with the reason in `error`, for anything else.
bool openRegular(const QString& path, QFile& file, QString* error = nullptr);

// Creates the folder (and its parents) private to the user, or makes an existing one private.
// A link in its place is left as it is.
bool makePrivateFolder(const QString& path);

// Takes the group's and others' access away from each regular file directly in `folder`
// (not followed if a link).
void makeFilesPrivate(const QString& folder);

// Writes a new file `name` in `folder`, private to the user, created exclusively, then puts it
// and the folder's entry on the disk before returning. On failure nothing is left behind.
bool writePrivate(const QString& folder, const QString& name, const QByteArray& bytes,
                  QString* error);

// Unlinks each name relative to `folder` opened without following a link: a folder that is a
// link (to anywhere) loses nothing. Returns how many files went.
int removeIn(const QString& folder, const QStringList& names);

// Names of regular files directly in `folder` (not followed if a link) last changed before
// `before`.
QStringList olderThan(const QString& folder, const QDateTime& before);

} // namespace SafeFiles
