#pragma once

#include "model/NoteData.h"
#include "model/Tombstones.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// Copies of the notes file and its tombstones in this computer's state folder, outside the
// synced folder, so that a mistake made here or spread by a sync can be undone. Pictures are
// not copied: the notes name them, and they are kept as long as a note does. One folder per
// copy, named by when it was made (UTC): notes.json, notes.tombstones.json, about.json.
namespace Backups {

// "backups" in LocalLayout::folder(); empty where there is none (a test's notes).
QString folder();

struct Backup {
    QString path;
    QDateTime made;
    int notes = 0;
};

QString nameOf(const QDateTime& made);
// Invalid for a name that is no backup's.
QDateTime madeOf(const QString& name);

// Which of the copies made at `made` stay, on `today` (local dates): every copy of today, the
// newest of each of the 7 latest days with a copy, then the newest of each of the 4 latest
// weeks before those. Counted by the days that have copies, not by the calendar, so a month
// away leaves the copies from before it.
QList<QDateTime> kept(const QList<QDateTime>& made, const QDate& today);

// The copies in `folder`, newest first.
QList<Backup> list(const QString& folder);
// Whether `folder` holds no copy made on the local date of `now`.
bool dueOn(const QString& folder, const QDateTime& now);

// Copies the notes file `notesPath` (holding `notes` notes) and its tombstones into a new
// backup in `folder`, whole or not at all, then removes the copies kept() lets go. False, with
// the reason in `error`, when there is no notes file or the copy cannot be written.
bool make(const QString& folder, const QString& notesPath, int notes, const QDateTime& now,
          QString* error);

// What a restore merges into the live notes `local`: the backup's notes, those gone since
// coming back into Recently Deleted at `now` as a change of this computer's (so no tombstone,
// here or on another computer, outweighs it); and the tombstones without theirs.
struct Restore {
    QList<NoteData> notes;
    Tombstones tombstones;
};
Restore restoring(const QList<NoteData>& backup, const QList<NoteData>& local,
                  const Tombstones& tombstones, const QDateTime& now);
// The notes of a backup; none when it does not read.
QList<NoteData> read(const QString& backupPath);

} // namespace Backups
