#pragma once

#include "dashboard/TextIndex.h"
#include "model/NoteFilter.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class NoteModel;

// What the dashboard list shows: filtering, searching, sorting and grouping of the notes.
// Pure functions over the note list, so they can be timed and tested without windows.
namespace dash {

// The search text as the list applies it: spaces and tabs trimmed from both ends.
QString trimmedSearch(const QString& search);

// `matches` with tags read through the index.
bool passes(const NoteModel& note, const NoteFilter& filter, TextIndex& index);

// The notes passing the filter and the (untrimmed) search text, newest first (reminders:
// soonest first); notes modified at the same instant keep the order of `notes`.
QList<NoteModel*> visibleNotes(const QList<NoteModel*>& notes, const NoteFilter& filter,
                               const QString& search, TextIndex& index);

struct Group {
    QString title;
    QList<NoteModel*> notes;
};

// Splits `visible` (already sorted) into "Pinned" (not in Recently Deleted), "Today",
// "Previous 7 Days" and "Earlier", leaving out empty groups; reminders in one, "Coming Up".
QList<Group> groupNotes(const QList<NoteModel*>& visible, const NoteFilter& filter,
                        const QDateTime& now);

// Every distinct tag of the live notes, in ascending order.
QStringList allTags(const QList<NoteModel*>& notes, TextIndex& index);

} // namespace dash
