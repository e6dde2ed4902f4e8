#pragma once

#include "model/NoteData.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

// Notes kept elsewhere, read into records: plain text and Markdown files (one note each, or a
// folder of them), this program's own export (its front matter read back, its pictures
// attached again), and Xpad's pads. Each note's id is made from where it came from, so that
// importing the same thing again finds the notes already there instead of doubling them.
namespace NotesImport {

struct Note {
    NoteData record;
    // Picture files to attach, in order.
    QStringList pictures;
    // Where its window stood, top left in the desktop's (y-down) coordinates, for a note that
    // was showing; none for a hidden one.
    std::optional<QPoint> shownAt;
};

// The nearest of the four papers to a colour: by hue, and yellow for the greys and whites.
QString paperFor(const QColor& color);

// The id of what came from `source` ("xpad:<pad>", a file's path): the same every time.
QUuid idFor(const QString& source);

// One note from a Markdown or text file's bytes, found at `path` and last changed at `time`.
// Front matter as this program writes it is read back (id, colour, folder, pinned, dates,
// pictures beside the file), and the text comes back exactly as it was exported.
Note fromMarkdown(const QByteArray& bytes, const QString& path, const QDateTime& time);

// The pad of one Xpad `info-*` file (its `key value` lines), its text read from the content
// file it names in `folder`; none when that is missing.
std::optional<Note> fromXpadInfo(const QByteArray& info, const QString& name,
                                 const QString& folder);

// Xpad's folder of pads: xpad in XDG_CONFIG_HOME (~/.config).
QString xpadFolder();

// One KNotes note: a MIME message of its maildir (subject, text, date), named `source` there
// and last changed at `time`; none for what is no plain text.
std::optional<Note> fromKNotesMessage(const QByteArray& message, const QString& source,
                                      const QDateTime& time);
// The journal entries of KNotes' older iCalendar file.
QList<Note> fromKNotesCalendar(const QByteArray& calendar);
// KNotes' notes from their usual places: the maildir in XDG_DATA_HOME/notes and the older
// calendar files.
QList<Note> readKNotes();

// Everything at `path`: a text or Markdown file, a folder of them (an export's index.md
// aside), or a folder of Xpad pads; "xpad" for xpadFolder(), "knotes" for readKNotes().
QList<Note> read(const QString& path);

} // namespace NotesImport
