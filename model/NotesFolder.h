#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>

// Moving the notes to another folder so that a crash at any moment loses nothing and never
// leaves two folders that both count as the live one. Everything is first copied into a hidden
// folder inside the target and put on the disk; the move happens at one rename, that of the
// notes file into the target; only then are the pictures and the rest put in place and the old
// files removed. A journal in the old folder names the target until the end, and the staging
// folder names the old folder, so that whichever of the two the next start opens, it finishes a
// move that got as far as that rename and undoes one that did not.
//
// The steps, in order: begin(), stageBulk() (slow, any thread), commit(), place(), clearOld();
// abandon() undoes everything before commit(). Folders are absolute paths.
namespace NotesFolder {

// The journal in the old folder and the staging folder in the target.
QString journalPath(const QString& from);
QString stagingPath(const QString& to);

// Whether the folder already holds a notes file (then nothing is moved into it).
bool holdsNotes(const QString& folder);

// Writes the journal and makes the staging folder; false, with the reason, when the target
// cannot be written in (then nothing is left behind).
bool begin(const QString& from, const QString& to, QString* error);
// Copies the pictures and the kept-aside notes files not staged yet, each put on the disk.
// Stops early, returning false, once `cancel` is set.
bool stageBulk(const QString& from, const QString& to, QString* error,
               const std::atomic<bool>* cancel = nullptr);
// Stages what was added since, the tombstones and `notes` (the notes file as it is to be), then
// renames the notes file into the target, never over one that appeared there meanwhile. After
// this the target holds the notes.
bool commit(const QString& from, const QString& to, const QByteArray& notes, QString* error);
// Puts the staged pictures, tombstones and kept-aside copies in their places in the target.
bool place(const QString& to, QString* error);
// Removes from the old folder what the target now holds, then the journal and the staging
// folder. Does nothing unless the journal names `to`.
void clearOld(const QString& from, const QString& to);
// Undoes a move that did not reach commit(): the staging folder and the journal go.
void abandon(const QString& from, const QString& to);

// At start, for the folder the notes are expected in: finishes a move that was committed and
// undoes one that was not. Returns the folder that holds the notes now.
QString recover(const QString& folder);

} // namespace NotesFolder
