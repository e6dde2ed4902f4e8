#pragma once

#include "model/NoteData.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Where each note sits on this computer's screen (x, y, on screen, folded, paper size), kept
// in this computer's state folder, outside the notes folder. The notes file is shared with
// other computers through a sync engine and holds the layout of whichever wrote it last; laid
// over it at load, this file keeps another computer's layout from ever moving a note on this
// screen. Nothing of it goes into the synced folder, so a drag syncs nothing.
namespace LocalLayout {

// The folder the layout files go in: the services' stateFolder, else Quillhaven in
// $XDG_STATE_HOME (~/.local/state); empty while the services name a notes file but no state
// folder.
QString folder();

// "layout-<computer>.json" in folder(), for the notes file in use (Merge::thisComputer() names
// the machine and the notes file together, so each notes folder has its own); empty: none is
// kept. GUI thread only.
QString path();

// Lays the layout file at path(), when there is one, over the records (see apply()).
void layOver(QList<NoteData>& records);

// Writes the records' layout to `path` (atomically, through DiskFile::replace), making its
// folder, private to the user, when missing. False with the reason, naming the file, in `error`.
// Any thread.
bool write(const QString& path, const QList<NoteData>& records, QString* error);

// A compact JSON object from upper-case id to [x, y, onScreen, folded, pw, ph].
QByteArray encode(const QList<NoteData>& records);

// A hash of the records' ids and layout in their order, without encoding them: a save tells
// from it whether the file needs writing again.
size_t digest(const QList<NoteData>& records);

// Gives the records whose id `bytes` names that layout; others keep their own. Bytes that do
// not decode change nothing.
void apply(const QByteArray& bytes, QList<NoteData>& records);

} // namespace LocalLayout
