#pragma once

#include "model/DiskFile.h"
#include "model/NoteData.h"
#include "model/Store.h"
#include "model/Tombstones.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Notes written by others beside ours, to be merged into the live notes: the notes file as a
// folder-sync engine left it, that engine's conflict copies, and outside versions a save found
// in its way and parked. Read on a worker thread; merged on the GUI thread.
namespace RemoteFiles {

// Whether `name` is a conflict copy of the file named `of`, as sync engines name them, for
// "notes.json": "notes.sync-conflict-20261207-101500-ABCDEFG.json",
// "notes (conflicted copy 2026-12-07 101500).json", "notes (Ann's conflicted copy
// 2026-12-07).json" or "notes_conflict-20261207-101500.json".
bool isConflictCopy(const QString& name, const QString& of);
// Whether `name` is an outside version of the notes file `of` parked by a save.
bool isParked(const QString& name, const QString& of);
// A free name beside the notes file for parking the version found in its place at `when`.
QString parkingName(const QString& notesPath, const QDateTime& when);

struct Copy {
    QString path;
    QList<NoteData> notes;
};

// What is waiting to be merged.
struct Reading {
    QString notesPath;
    int generation = 0;
    // The notes file, when it changed outside since this process last read, wrote or merged it.
    std::optional<Store::RemoteVersion> notesFile;
    // The notes file changed outside and does not read: the live notes are on no disk.
    bool notesFileUnreadable = false;
    // Conflict copies and parked versions that decode, by name. Those that do not are left
    // alone: never merged, never removed; they are named in `unreadable`.
    QList<Copy> copies;
    QStringList unreadable;
    // The tombstones file with its conflict copies, and those copies.
    Tombstones tombstones;
    QStringList tombstoneCopies;
    // Set by dropKnown(): the notes file said, note for note, what the live notes said.
    bool notesFileHoldsKnown = false;
    // Per note in the notes file and the copies: the most of this computer's changes any of
    // them holds, what the computers that wrote them had seen of them (see Merge::merge).
    QHash<QUuid, quint64> seenThere;

    bool anything() const { return notesFile || !copies.isEmpty() || !tombstoneCopies.isEmpty(); }
};

// Any thread but the GUI thread: it may wait for a save under way. `merged` is the version of
// the notes file whose notes the live ones hold already.
// Raises `seen` to what `records` hold of this computer's changes.
void noteSeen(QHash<QUuid, quint64>& seen, const QList<NoteData>& records);

Reading read(const QString& notesPath, int generation,
             const std::optional<DiskFile::Stamp>& merged);

// Leaves out of the reading every note whose content `known` (the live notes when the look
// began) holds already, wherever it lies: most of a large file, which the merge on the GUI
// thread then need not look at. A note left out is kept by the merge as this computer has it,
// which is what it would have chosen. Any thread.
void dropKnown(Reading& reading, const QList<NoteData>& known);

// Equal in what the note says, wherever each lies.
bool sameContent(const NoteData& a, const NoteData& b);

} // namespace RemoteFiles
