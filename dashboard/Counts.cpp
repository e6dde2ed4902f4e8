#include "dashboard/Counts.h"

#include "model/NoteModel.h"

namespace dash {

Counts::Counts(const QList<NoteModel*>& notes)
{
    for (const NoteModel* note : notes) {
        if (note->deletedAt()) {
            ++deleted_;
            continue;
        }
        ++all_;
        onScreen_ += note->onScreen() ? 1 : 0;
        pinned_ += note->pinned() ? 1 : 0;
        reminders_ += note->remindAt() ? 1 : 0;
        ++folders_[note->folder()];
        ++colors_[note->color()];
    }
}

int Counts::operator()(const NoteFilter& filter) const
{
    switch (filter.kind()) {
    case NoteFilter::Kind::Folder:
        return folders_.value(filter.payload());
    case NoteFilter::Kind::Color:
        return colors_.value(filter.payload());
    case NoteFilter::Kind::Tag:
        return 0;
    case NoteFilter::Kind::All:
        return all_;
    case NoteFilter::Kind::OnScreen:
        return onScreen_;
    case NoteFilter::Kind::Pinned:
        return pinned_;
    case NoteFilter::Kind::Reminders:
        return reminders_;
    case NoteFilter::Kind::Deleted:
        return deleted_;
    }
    return 0;
}

} // namespace dash
