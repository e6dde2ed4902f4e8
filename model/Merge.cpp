#include "model/Merge.h"

#include "model/Store.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>
#include <QSysInfo>
#include <algorithm>

namespace Merge {

namespace {

QString& chosenName()
{
    static QString name;
    return name;
}

QByteArray machine()
{
    static const QByteArray id = [] {
        const QByteArray unique = QSysInfo::machineUniqueId();
        return unique.isEmpty() ? QSysInfo::machineHostName().toUtf8() : unique;
    }();
    return id;
}

enum class Order { Same, Before, After, Apart };

// Whether `a` has seen every change `b` has, or the other way round, or neither.
Order compare(const Versions& a, const Versions& b)
{
    bool aAhead = false;
    bool bAhead = false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        aAhead = aAhead || it.value() > b.value(it.key());
    }
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        bAhead = bAhead || it.value() > a.value(it.key());
    }
    if (aAhead == bAhead) {
        return aAhead ? Order::Apart : Order::Same;
    }
    return aAhead ? Order::After : Order::Before;
}

Versions joined(const Versions& a, const Versions& b)
{
    Versions all = a;
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        all[it.key()] = std::max(all.value(it.key()), it.value());
    }
    return all;
}

QDateTime stampOf(const NoteData& r)
{
    if (r.changed) {
        return *r.changed;
    }
    if (r.modified) {
        return *r.modified;
    }
    return r.created.value_or(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC));
}

// Whether `a` is the version changed last; a tie goes to the greater content, which both
// computers see alike.
bool later(const NoteData& a, const NoteData& b)
{
    const QDateTime sa = stampOf(a);
    const QDateTime sb = stampOf(b);
    return sa != sb ? sa > sb : contentOf(a) > contentOf(b);
}

} // namespace

NoteData withContent(const NoteData& layout, const NoteData& content)
{
    NoteData r = content;
    r.folded = layout.folded;
    r.onScreen = layout.onScreen;
    r.x = layout.x;
    r.y = layout.y;
    r.pw = layout.pw;
    r.ph = layout.ph;
    return r;
}

namespace {

// Always the same words: computers in different languages must make the same copy.
QString copyText(const QString& text)
{
    const QString mark = QStringLiteral(" (from another computer)");
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end;
        const QStringView line = QStringView(text).mid(start, end - start);
        if (!line.trimmed().isEmpty()) {
            const qsizetype at = line.endsWith(u'\r') ? end - 1 : end;
            return QString(text).insert(at, mark);
        }
        start = end + 1;
    }
    return mark.trimmed() + (text.isEmpty() ? QString() : QStringLiteral("\n") + text);
}

NoteData conflictCopy(const NoteData& loser)
{
    NoteData copy = loser;
    copy.id = QUuid::createUuidV5(loser.id, contentOf(loser));
    copy.text = copyText(loser.text);
    copy.folded = false;
    copy.onScreen = false;
    copy.x = 0;
    copy.y = 0;
    return copy;
}

struct Resolved {
    NoteData note;
    std::optional<NoteData> copy;
};

Resolved resolve(const NoteData& mine, const NoteData& theirs)
{
    // Most notes are the same on both sides: told without encoding them.
    if (withContent(mine, theirs) == mine || contentOf(mine) == contentOf(theirs)) {
        return {mine, std::nullopt};
    }
    switch (compare(mine.versions, theirs.versions)) {
    case Order::After:
        return {mine, std::nullopt};
    case Order::Before:
        return {withContent(mine, theirs), std::nullopt};
    case Order::Same:
    case Order::Apart:
        break;
    }
    const bool theirsWin = later(theirs, mine);
    Resolved r{withContent(mine, theirsWin ? theirs : mine), std::nullopt};
    r.note.versions = joined(mine.versions, theirs.versions);
    if (mine.text != theirs.text) {
        r.copy = conflictCopy(theirsWin ? mine : theirs);
    }
    return r;
}

bool arrivesBefore(const NoteData& a, const NoteData& b)
{
    const QDateTime none = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    const QDateTime ca = a.created.value_or(none);
    const QDateTime cb = b.created.value_or(none);
    return ca != cb ? ca < cb : a.id < b.id;
}

} // namespace

QString thisComputer()
{
    if (!chosenName().isEmpty()) {
        return chosenName();
    }
    // Asked at every content change, from the GUI thread only.
    static QString path;
    static QString name;
    if (const QString notes = Store::url(); notes != path || name.isEmpty()) {
        const QByteArray seed = machine() + '\n' + notes.toUtf8();
        path = notes;
        name = QString::fromLatin1(
            QCryptographicHash::hash(seed, QCryptographicHash::Sha256).toHex().left(12));
    }
    return name;
}

void setThisComputer(const QString& name)
{
    chosenName() = name;
}

QByteArray contentOf(const NoteData& r)
{
    NoteData c;
    c.id = r.id;
    c.text = r.text;
    c.color = r.color.value_or(QStringLiteral("yellow"));
    c.folder = r.folder.value_or(QStringLiteral("Personal"));
    c.pinned = r.pinned.value_or(false);
    c.created = r.created;
    c.modified = r.modified ? r.modified : r.created;
    c.deletedAt = r.deletedAt;
    c.remindAt = r.remindAt;
    if (r.images && !r.images->isEmpty()) {
        c.images = r.images;
    }
    c.changed = r.changed;
    c.versions = r.versions;
    return Store::encode({c});
}

Result merge(const QList<NoteData>& local, const Tombstones& localTombstones,
             const QList<NoteData>& outside, const Tombstones& outsideTombstones,
             const QDateTime& now, const QHash<QUuid, quint64>& seenThere)
{
    Result r;
    r.tombstones =
        TombstoneFile::pruned(TombstoneFile::united(localTombstones, outsideTombstones), now);
    QHash<QUuid, const NoteData*> theirs;
    for (const NoteData& note : outside) {
        theirs.insert(note.id, theirs.value(note.id, &note)); // the first of an id counts
    }
    // A note changed after it was deleted elsewhere outlives its tombstone, on either side: the
    // later change wins, as everywhere.
    const QString here = thisComputer();
    const auto unseenThere = [&](const NoteData& note) {
        const auto seen = seenThere.constFind(note.id);
        return seen != seenThere.cend() && note.versions.value(here) > *seen;
    };
    const auto buried = [&](const NoteData& note) {
        const auto dead = r.tombstones.constFind(note.id);
        // A delete dated ahead of this computer's clock was made by `now` all the same.
        return dead != r.tombstones.cend() && stampOf(note) <= std::min(*dead, now) &&
               !unseenThere(note);
    };
    QSet<QUuid> present;
    QList<NoteData> arrivals;
    for (const NoteData& mine : local) {
        if (buried(mine)) {
            r.removed << mine.id;
            continue;
        }
        if (r.tombstones.remove(mine.id) > 0) {
            r.revived << mine.id;
        }
        present.insert(mine.id);
        const NoteData* other = theirs.value(mine.id);
        if (other == nullptr) {
            r.notes << mine;
            continue;
        }
        Resolved resolved = resolve(mine, *other);
        if (resolved.note != mine) {
            r.adopted << mine.id;
        }
        r.notes << resolved.note;
        if (resolved.copy) {
            arrivals << *resolved.copy;
        }
    }
    for (const NoteData& note : outside) {
        if (!present.contains(note.id)) {
            arrivals << note;
            arrivals.last().onScreen = false;
        }
    }
    // However the outside file happens to list them.
    std::stable_sort(arrivals.begin(), arrivals.end(), arrivesBefore);
    for (const NoteData& note : arrivals) {
        if (!buried(note) && !present.contains(note.id)) {
            r.tombstones.remove(note.id);
            present.insert(note.id);
            r.notes << note;
            r.added << note.id;
        }
    }
    return r;
}

} // namespace Merge
