#include "model/NoteFilter.h"

#include "model/NoteModel.h"

bool matches(const NoteModel& note, const NoteFilter& filter)
{
    const bool deleted = note.deletedAt().has_value();
    if (deleted != (filter.kind() == NoteFilter::Kind::Deleted)) {
        return false;
    }
    switch (filter.kind()) {
    case NoteFilter::Kind::Folder:
        return note.folder() == filter.payload();
    case NoteFilter::Kind::Color:
        return note.color() == filter.payload();
    case NoteFilter::Kind::Tag:
        return note.tags().contains(filter.payload());
    case NoteFilter::Kind::OnScreen:
        return note.onScreen();
    case NoteFilter::Kind::Pinned:
        return note.pinned();
    case NoteFilter::Kind::Reminders:
        return note.remindAt().has_value();
    case NoteFilter::Kind::All:
    case NoteFilter::Kind::Deleted:
        return true;
    }
    return false;
}
