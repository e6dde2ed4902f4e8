#include "dashboard/DashboardLogic.h"

#include "model/NoteModel.h"

#include <QSet>
#include <algorithm>
#include <array>

namespace dash {

namespace {

bool isHorizontalSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

// Text made only of Latin-1 characters (plain ASCII and the Western European letters) is
// folded through a table: each of these characters folds on its own, and the toolkit's
// general folding, which looks every character up in the full Unicode tables, costs several
// times more. Any other text takes the general way; both give the same result.
QString caseFolded(const QString& text)
{
    static const std::array<char16_t, 256> latin1 = [] {
        std::array<char16_t, 256> table{};
        for (char32_t c = 0; c < table.size(); ++c) {
            table[c] = static_cast<char16_t>(QChar::toCaseFolded(c));
        }
        return table;
    }();
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    const QChar* in = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i].unicode();
        if (c >= latin1.size()) {
            return text.toCaseFolded();
        }
        out[i] = QChar(latin1[c]);
    }
    return folded;
}

} // namespace

TextIndex::Entry& TextIndex::entry(const NoteModel* note)
{
    Entry& e = entries_[note];
    const QString& text = note->text();
    // A cached copy pins the old text's storage, so a new text never reuses its address.
    if (e.text.constData() != text.constData() || e.text.size() != text.size()) {
        e = Entry{text, {}, {}, false, false};
    }
    return e;
}

const QString& TextIndex::folded(const NoteModel* note)
{
    Entry& e = entry(note);
    if (!e.hasFolded) {
        e.folded = caseFolded(e.text);
        e.hasFolded = true;
    }
    return e.folded;
}

const QStringList& TextIndex::tags(const NoteModel* note)
{
    Entry& e = entry(note);
    if (!e.hasTags) {
        e.tags = note->tags();
        e.hasTags = true;
    }
    return e.tags;
}

void TextIndex::prune(const QList<NoteModel*>& notes)
{
    if (entries_.size() <= notes.size()) {
        return;
    }
    const QSet<const NoteModel*> alive(notes.cbegin(), notes.cend());
    entries_.removeIf([&alive](const auto& it) { return !alive.contains(it.key()); });
}

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
    struct Keyed {
        qint64 modified;
        NoteModel* note;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<size_t>(notes.size()));
    for (NoteModel* note : notes) {
        if (!passes(*note, filter, index)) {
            continue;
        }
        if (!needle.isEmpty() && !index.folded(note).contains(needle)) {
            continue;
        }
        keyed.push_back({note->modified().toMSecsSinceEpoch(), note});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.modified > b.modified; });
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
    const bool inDeleted = filter.kind() == NoteFilter::Kind::Deleted;
    const QDate today = now.toLocalTime().date();
    const qint64 dayStart = today.startOfDay().toMSecsSinceEpoch();
    const qint64 dayEnd = today.addDays(1).startOfDay().toMSecsSinceEpoch();
    const qint64 weekBoundary = now.toMSecsSinceEpoch() - qint64(604800) * 1000;

    QList<Group> groups{{QStringLiteral("Pinned"), {}},
                        {QStringLiteral("Today"), {}},
                        {QStringLiteral("Previous 7 Days"), {}},
                        {QStringLiteral("Earlier"), {}}};
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
    case NoteFilter::Kind::Deleted:
        return deleted_;
    }
    return 0;
}

} // namespace dash
