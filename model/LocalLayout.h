#pragma once

#include "model/NoteData.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Where each note sits on this computer's screen (x, y, on screen, folded, paper size), kept
// beside the notes file under this computer's name. The notes file is shared with other
// computers through a sync engine and holds the layout of whichever wrote it last; laid over it
// at load, this file keeps another computer's layout from ever moving a note on this screen.
namespace LocalLayout {

// "notes.layout-<computer>.json" beside the notes file `notesPath`, for the computer named
// `computer` (Merge::thisComputer()).
QString pathBeside(const QString& notesPath, const QString& computer);

// A compact JSON object from upper-case id to [x, y, onScreen, folded, pw, ph].
QByteArray encode(const QList<NoteData>& records);

// Gives the records whose id `bytes` names that layout; others keep their own. Bytes that do
// not decode change nothing.
void apply(const QByteArray& bytes, QList<NoteData>& records);

} // namespace LocalLayout
