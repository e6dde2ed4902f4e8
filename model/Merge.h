#pragma once

#include "model/NoteData.h"
#include "model/Tombstones.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// Merging the notes of this computer with a notes file written elsewhere (another computer's
// copy arriving through a folder-sync engine, or that engine's conflict copy), note by note.
//
// The rules, applied to every id:
// - On one side only: kept. A note new from outside arrives tucked (not on screen).
// - Tombstoned on either side (and not yet expired): removed, unless the note was changed
//   after it was deleted (`changed`, else `modified`): then the note stays and the tombstone
//   goes, so that an edit made here while another computer deleted the note is never lost.
// - On both sides, the layout (x, y, onScreen, folded, pw, ph) and the list order are always
//   this computer's; only the content (text, images, colour, folder, pinned, created,
//   modified, deleted state, reminder, with `changed` and `versions`) is merged:
//   - when one side's versions count every change the other's do (it has seen them all), that
//     side's content is taken, whatever the clocks say;
//   - otherwise the two were changed apart: the content changed last wins (`changed`, else
//     `modified`; a tie goes to the greater encoded content), and the versions become the
//     greater count of each computer's, so both sides end up with the same record;
//   - if the texts of two such versions differ, the losing version is not dropped: it comes
//     back as a new, tucked note in its own folder, its first line ending in
//     " (from another computer)", with an id made from the note's id and the losing content.
//     On the computer where the user is typing, the local text is the newer one and stays.
// Every rule is symmetric, so two computers that have seen the same versions compute the same
// content for every note, and merging a result again with either input changes nothing: once
// they agree, neither has anything new to write.
namespace Merge {

// This computer's name in `versions`: a short hash of the machine and the notes file's path
// (two copies of the program on one machine, for their own folders, count as two computers).
QString thisComputer();
// For tests: answers `name` from now on; empty goes back to the real one.
void setThisComputer(const QString& name);

struct Result {
    // This computer's notes in their order, then the new ones ordered by creation and id.
    QList<NoteData> notes;
    // Both sides' tombstones that have not expired.
    Tombstones tombstones;
    // Notes of this computer whose content changed, notes added, notes removed.
    QList<QUuid> adopted;
    QList<QUuid> added;
    QList<QUuid> removed;
    // Notes of this computer changed after another computer deleted them: kept.
    QList<QUuid> revived;

    // For "Quillhaven: merged N change(s) from outside"; none means nothing to write.
    int changes() const { return int(adopted.size() + added.size() + removed.size()); }
};

// `now`: when the outside notes and tombstones were first seen here; none was made later.
// `seenThere`: per note, how many of this computer's changes the other computer's notes file
// last held. A note changed here beyond that outlives a tombstone whatever the two clocks say:
// the other computer deleted it without having seen those changes, and a few seconds' drift
// between clocks must not throw away what is being typed.
Result merge(const QList<NoteData>& local, const Tombstones& localTombstones,
             const QList<NoteData>& outside, const Tombstones& outsideTombstones,
             const QDateTime& now, const QHash<QUuid, quint64>& seenThere = {});

// `layout`'s note (where it sits: x, y, onScreen, folded, pw, ph) with the content of
// `content`.
NoteData withContent(const NoteData& layout, const NoteData& content);

// What a note's content is, without its layout, defaults filled in: equal for equal
// content, byte for byte.
QByteArray contentOf(const NoteData& record);

} // namespace Merge
