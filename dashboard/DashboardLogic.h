#pragma once

#include "model/NoteFilter.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class NoteModel;

// What the dashboard list shows: filtering, searching, sorting and grouping of the notes,
// and the sidebar's counts. Pure functions over the note list, so they can be timed and
// tested without windows.
namespace dash {

// Per-note values derived from the text, recomputed only when a note's text changes:
// the case-folded text for searching and the tags. Keeps the dashboard fast with thousands of
// notes (the live model derives tags afresh on every read).
class TextIndex {
public:
    const QString& folded(const NoteModel* note);
    const QStringList& tags(const NoteModel* note);
    // Forgets notes that are no longer in `notes`.
    void prune(const QList<NoteModel*>& notes);
    qsizetype size() const { return entries_.size(); }

private:
    struct Entry {
        QString text; // shares the note's text: unchanged text keeps the same data pointer
        QString folded;
        QStringList tags;
        bool hasFolded = false;
        bool hasTags = false;
    };
    Entry& entry(const NoteModel* note);
    QHash<const NoteModel*, Entry> entries_;
};

// The search text as the list applies it: spaces and tabs trimmed from both ends.
QString trimmedSearch(const QString& search);

// `matches` with tags read through the index.
bool passes(const NoteModel& note, const NoteFilter& filter, TextIndex& index);

// The notes passing the filter and the (untrimmed) search text, newest first; notes modified
// at the same instant keep the order of `notes`.
QList<NoteModel*> visibleNotes(const QList<NoteModel*>& notes, const NoteFilter& filter,
                               const QString& search, TextIndex& index);

struct Group {
    QString title;
    QList<NoteModel*> notes;
};

// Splits `visible` (already sorted) into "Pinned" (not in Recently Deleted), "Today",
// "Previous 7 Days" and "Earlier", leaving out empty groups.
QList<Group> groupNotes(const QList<NoteModel*>& visible, const NoteFilter& filter,
                        const QDateTime& now);

// Every distinct tag of the live notes, in ascending order.
QStringList allTags(const QList<NoteModel*>& notes, TextIndex& index);

// Badge counts of the sidebar rows; the search text never enters them.
class Counts {
public:
    Counts() = default;
    explicit Counts(const QList<NoteModel*>& notes);
    // How many notes `matches` admits for `filter` (tags are not counted: their rows carry no
    // badge).
    int operator()(const NoteFilter& filter) const;

private:
    int all_ = 0;
    int onScreen_ = 0;
    int pinned_ = 0;
    int deleted_ = 0;
    QHash<QString, int> folders_;
    QHash<QString, int> colors_;
};

} // namespace dash
