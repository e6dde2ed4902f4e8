#include "dashboard/ListContents.h"

#include "model/NoteModel.h"

#include <QCoreApplication>
#include <QSet>
#include <algorithm>
#include <vector>

namespace dash {

namespace {

bool isHorizontalSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

} // namespace

QString trimmedSearch(const QString& search)
{
    qsizetype begin = 0;
    qsizetype end = search.size();
    while (begin < end && isHorizontalSpace(search[begin])) {
        ++begin;
    }
    while (end > begin && isHorizontalSpace(search[end - 1])) {
        --end;
    }
    return search.mid(begin, end - begin);
}

bool passes(const NoteModel& note, const NoteFilter& filter, TextIndex& index)
{
    if (filter.kind() != NoteFilter::Kind::Tag) {
        return matches(note, filter);
    }
    return !note.deletedAt() && index.tags(&note).contains(filter.payload());
}

QList<NoteModel*> visibleNotes(const QList<NoteModel*>& notes, const NoteFilter& filter,
                               const QString& search, TextIndex& index)
{
    const QString needle = trimmedSearch(search).toCaseFolded();
    // Newest first; reminders soonest first.
    struct Keyed {
        qint64 key;
        NoteModel* note;
    };
    const bool reminders = filter.kind() == NoteFilter::Kind::Reminders;
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<size_t>(notes.size()));
    for (NoteModel* note : notes) {
        if (!passes(*note, filter, index)) {
            continue;
        }
        if (!needle.isEmpty() && !index.folded(note).contains(needle)) {
            continue;
        }
        keyed.push_back({reminders ? -note->remindAt()->toMSecsSinceEpoch()
                                   : note->modified().toMSecsSinceEpoch(),
                         note});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key > b.key; });
    QList<NoteModel*> result;
    result.reserve(static_cast<qsizetype>(keyed.size()));
    for (const Keyed& k : keyed) {
        result << k.note;
    }
    return result;
}

QList<Group> groupNotes(const QList<NoteModel*>& visible, const NoteFilter& filter,
                        const QDateTime& now)
{
    if (filter.kind() == NoteFilter::Kind::Reminders) {
        return visible.isEmpty()
                   ? QList<Group>()
                   : QList<Group>{{QCoreApplication::translate("Dashboard", "Coming Up"), visible}};
    }
    const bool inDeleted = filter.kind() == NoteFilter::Kind::Deleted;
    const QDate today = now.toLocalTime().date();
    const qint64 dayStart = today.startOfDay().toMSecsSinceEpoch();
    const qint64 dayEnd = today.addDays(1).startOfDay().toMSecsSinceEpoch();
    const qint64 weekBoundary = now.toMSecsSinceEpoch() - qint64(604800) * 1000;

    QList<Group> groups{{QCoreApplication::translate("Dashboard", "Pinned"), {}},
                        {QCoreApplication::translate("Dashboard", "Today"), {}},
                        {QCoreApplication::translate("Dashboard", "Previous 7 Days"), {}},
                        {QCoreApplication::translate("Dashboard", "Earlier"), {}}};
    for (NoteModel* note : visible) {
        const qint64 modified = note->modified().toMSecsSinceEpoch();
        int group = 3;
        if (note->pinned() && !inDeleted) {
            group = 0;
        } else if (modified >= dayStart && modified < dayEnd) {
            group = 1;
        } else if (modified > weekBoundary) {
            group = 2;
        }
        groups[group].notes << note;
    }
    groups.removeIf([](const Group& g) { return g.notes.isEmpty(); });
    return groups;
}

QStringList allTags(const QList<NoteModel*>& notes, TextIndex& index)
{
    QSet<QString> seen;
    for (const NoteModel* note : notes) {
        if (!note->deletedAt()) {
            for (const QString& tag : index.tags(note)) {
                seen.insert(tag);
            }
        }
    }
    QStringList tags(seen.cbegin(), seen.cend());
    std::sort(tags.begin(), tags.end());
    return tags;
}

} // namespace dash
