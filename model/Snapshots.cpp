#include "model/Snapshots.h"

#include "model/NoteModel.h"

#include <algorithm>

namespace {

// The origin is a plain member, moved without an assignment.
bool sameOrigin(const NoteData& record, const NoteModel* note)
{
    return record.x == note->origin.x() && record.y == note->origin.y();
}

// QList's own == hands memcmp a null pointer when both lists are empty.
bool sameNotes(const QList<NoteModel*>& a, const QList<NoteModel*>& b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend());
}

} // namespace

Store::Snapshot Snapshots::take(const QList<NoteModel*>& notes)
{
    if (!sameNotes(notes, notes_)) {
        readAll(notes);
    } else {
        readChanged();
    }
    return Store::snapshotOf(records_);
}

void Snapshots::readAll(const QList<NoteModel*>& notes)
{
    notes_ = notes;
    records_.clear();
    records_.reserve(notes.size());
    revisions_.clear();
    revisions_.reserve(notes.size());
    for (const NoteModel* note : notes) {
        records_ << note->data();
        revisions_.push_back(note->revision());
    }
}

void Snapshots::readChanged()
{
    for (qsizetype i = 0; i < notes_.size(); ++i) {
        const NoteModel* note = notes_.at(i);
        const auto index = static_cast<size_t>(i);
        if (note->revision() != revisions_[index] || !sameOrigin(records_.at(i), note)) {
            records_[i] = note->data();
            revisions_[index] = note->revision();
        }
    }
}
