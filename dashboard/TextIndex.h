#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class NoteModel;

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

} // namespace dash
