#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

class NoteModel;

// Names a set of notes in the dashboard: a folder, a colour, a tag, all live notes, the ones
// on screen, the pinned ones, those with a reminder, or Recently Deleted.
class NoteFilter {
public:
    enum class Kind { Folder, Color, Tag, All, OnScreen, Pinned, Reminders, Deleted };

    NoteFilter() = default; // all notes
    static NoteFilter folder(const QString& name) { return {Kind::Folder, name}; }
    static NoteFilter color(const QString& key) { return {Kind::Color, key}; }
    static NoteFilter tag(const QString& tag) { return {Kind::Tag, tag}; }
    static NoteFilter all() { return {Kind::All, {}}; }
    static NoteFilter onScreen() { return {Kind::OnScreen, {}}; }
    static NoteFilter pinned() { return {Kind::Pinned, {}}; }
    static NoteFilter reminders() { return {Kind::Reminders, {}}; }
    static NoteFilter deleted() { return {Kind::Deleted, {}}; }

    Kind kind() const { return kind_; }
    // The folder name, colour key or tag; empty for the other kinds.
    const QString& payload() const { return payload_; }

    bool operator==(const NoteFilter&) const = default;

private:
    NoteFilter(Kind kind, const QString& payload)
        : kind_(kind)
        , payload_(payload)
    {
    }

    Kind kind_ = Kind::All;
    QString payload_;
};

inline size_t qHash(const NoteFilter& filter, size_t seed = 0)
{
    return qHashMulti(seed, int(filter.kind()), filter.payload());
}

Q_DECLARE_METATYPE(NoteFilter)

// Whether the dashboard shows `note` under `filter`. Recently Deleted is exclusive: deleted
// notes match only the deleted filter, and it matches nothing else.
bool matches(const NoteModel& note, const NoteFilter& filter);
