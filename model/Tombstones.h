#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QUuid>
#include <optional>

// Notes deleted for good, by id, with when: kept beside the notes file so that a computer
// sharing the folder that still holds such a note does not bring it back.
using Tombstones = QMap<QUuid, QDateTime>;

namespace TombstoneFile {

// How long a tombstone is kept: a computer away longer than this may bring its notes back.
constexpr qint64 keepMs = 90LL * 24 * 3600 * 1000;

// "notes.tombstones.json" beside the notes file `notesPath` ("<path>.tombstones" when the
// notes file's name does not end in ".json").
QString pathBeside(const QString& notesPath);

// A compact JSON object from upper-case id to date, in the notes file's form of dates; the
// keys in order, so that equal tombstones are equal bytes.
QByteArray encode(const Tombstones& tombstones);
// Entry by entry: one damaged entry is skipped, not the rest; `damaged` is then set. Nothing
// when the bytes are no JSON object at all.
std::optional<Tombstones> decode(const QByteArray& bytes, bool* damaged = nullptr);

// Those younger than keepMs at `now`.
Tombstones pruned(const Tombstones& tombstones, const QDateTime& now);
// Both, each id with its later time.
Tombstones united(const Tombstones& a, const Tombstones& b);

// The file's tombstones that read; none when it is missing. `damaged` is set when the file is
// there but not all of it could be read.
Tombstones read(const QString& path, bool* damaged = nullptr);
// Replaces the file whole, durably; on failure `error` holds why. A file in its place that did
// not read whole is first kept aside ("<path>.unreadable-<time>"), never written over.
bool write(const QString& path, const Tombstones& tombstones, QString* error);

// Adds `ids`, deleted at platform::now(), to the tombstones beside Store::url(), dropping
// expired ones. Logs "Quillhaven: tombstones save failed: <reason>" on failure.
bool record(const QList<QUuid>& ids);

} // namespace TombstoneFile
