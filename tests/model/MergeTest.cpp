#include "model/Merge.h"

#include "StoreFixture.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <tuple>

// Notes shared by computers through a synced folder: the merge rules, each both ways round, and
// that the computers agree and then stop.
namespace {

const QDateTime t0 = utc(2026, 6, 1, 12);
const QDateTime now = utc(2026, 6, 2, 12);
const QUuid n1 = QUuid::fromString(QStringLiteral("11111111-0000-4000-8000-000000000001"));
const QUuid n2 = QUuid::fromString(QStringLiteral("22222222-0000-4000-8000-000000000002"));
const QUuid n3 = QUuid::fromString(QStringLiteral("33333333-0000-4000-8000-000000000003"));

NoteData note(const QUuid& id, const QString& text, const QDateTime& changed,
              const Versions& versions, const std::optional<QString>& color = {})
{
    NoteData r;
    std::tie(r.id, r.text, r.onScreen, r.color, r.created) =
        std::tuple(id, text, true, color, t0.addDays(-1));
    std::tie(r.modified, r.changed, r.versions) = std::tuple(changed, changed, versions);
    return r;
}

// An older program's record: no stamp, no versions.
NoteData old(const QUuid& id, const QString& text, const QDateTime& modified)
{
    NoteData r = note(id, text, modified, {});
    r.changed.reset();
    return r;
}

// Content by id, layout and order left out.
std::map<QUuid, QByteArray> contents(const QList<NoteData>& notes)
{
    std::map<QUuid, QByteArray> result;
    for (const NoteData& n : notes) {
        result[n.id] = Merge::contentOf(n);
    }
    return result;
}

QStringList sortedTexts(const QList<NoteData>& notes)
{
    QStringList all;
    std::ranges::transform(notes, std::back_inserter(all), &NoteData::text);
    all.sort();
    return all;
}

struct Case {
    const char* name;
    QList<NoteData> local;
    QList<NoteData> outside;
    QStringList expected; // texts of the merged notes, sorted
    Tombstones localDead = {};
    Tombstones outsideDead = {};
    QList<QDateTime> reminders = {}; // of the merged notes, sorted
};

NoteData reminded(NoteData r, const QDateTime& at)
{
    r.remindAt = at;
    return r;
}

QList<QDateTime> sortedReminders(const QList<NoteData>& notes)
{
    QList<QDateTime> all;
    for (const NoteData& n : notes) {
        if (n.remindAt) {
            all << *n.remindAt;
        }
    }
    std::ranges::sort(all);
    return all;
}

const QString copied = QStringLiteral(" (from another computer)");

std::vector<Case> cases()
{
    const Versions a1{{"A", 1}};
    const Versions a2{{"A", 2}};
    const Versions a1b1{{"A", 1}, {"B", 1}};
    const QDateTime hourLater = t0.addSecs(3600);
    const QDateTime hourEarlier = t0.addSecs(-3600);
    return {
        {"one side only is kept", {note(n1, "mine", t0, a1)}, {}, {"mine"}},
        {"a note from elsewhere arrives", {}, {note(n1, "theirs", t0, a1)}, {"theirs"}},
        {"a version that saw the other's changes wins though its clock is an hour behind",
         {note(n1, "seen", hourEarlier, a1b1)},
         {note(n1, "older", t0, a1)},
         {"seen"}},
        {"an unseen version loses though its clock is an hour ahead",
         {note(n1, "base", hourLater, a1)},
         {note(n1, "newer", t0, a1b1)},
         {"newer"}},
        {"texts changed apart: the later stays, the other comes back as a copy",
         {note(n1, "Mine\nlocal", t0.addSecs(60), a2)},
         {note(n1, "Theirs\nouter", t0, a1b1)},
         {"Mine\nlocal", "Theirs" + copied + "\nouter"}},
        {"changed apart under an hour of skew: the clock decides, nothing is lost",
         {note(n1, "Mine", t0, a2)},
         {note(n1, "Theirs", hourLater, a1b1)},
         {"Mine" + copied, "Theirs"}},
        {"other content changed apart: the later wins, no copy",
         {note(n1, "same", t0, a2, "pink")},
         {note(n1, "same", t0.addSecs(1), a1b1, "blue")},
         {"same"}},
        {"a local tombstone keeps an outside note away",
         {},
         {note(n1, "deleted here", t0, a1)},
         {},
         {{n1, t0.addSecs(1)}}},
        {"an outside tombstone removes a local note not changed since, to the millisecond",
         {note(n1, "deleted there", t0, a2), note(n2, "kept", t0, a1)},
         {note(n2, "kept", t0, a1)},
         {"kept"},
         {},
         {{n1, t0}}},
        {"a note changed after it was deleted elsewhere stays",
         {note(n1, "typed here", t0, a2)},
         {},
         {"typed here"},
         {},
         {{n1, t0.addDays(-1)}}},
        {"a tombstone older than 90 days is forgotten",
         {note(n1, "back", t0, a1)},
         {},
         {"back"},
         {},
         {{n1, now.addDays(-91)}}},
        {"old records without stamps count at their modified time",
         {old(n1, "Older", t0)},
         {old(n1, "Newer", t0.addSecs(5))},
         {"Newer", "Older" + copied}},
        {"a versioned record has seen an old one's history",
         {old(n1, "old", t0.addDays(1))},
         {note(n1, "edited", t0, Versions{{"B", 1}})},
         {"edited"}},
        {"a blank text's copy is still titled",
         {note(n1, " \n", t0, a2)},
         {note(n1, "Later", t0.addSecs(1), a1b1)},
         {"(from another computer)\n \n", "Later"}},
        {"a reminder set elsewhere arrives with the content",
         {note(n1, "same", t0, a1)},
         {reminded(note(n1, "same", t0.addSecs(5), a1b1), now)},
         {"same"},
         {},
         {},
         {now}},
        {"a reminder that went off elsewhere is gone here too",
         {reminded(note(n1, "same", t0, a1), now)},
         {note(n1, "same", t0.addSecs(5), a1b1)},
         {"same"}},
    };
}

} // namespace

class MergeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { Merge::setThisComputer(QStringLiteral("A")); }
    void cleanup() { Merge::setThisComputer({}); }

    // Every rule both ways round: the same notes either way, and merging again with either
    // side, or into itself, changes nothing.
    void rulesHoldEitherWayAndSettle()
    {
        for (const Case& c : cases()) {
            const Merge::Result here =
                Merge::merge(c.local, c.localDead, c.outside, c.outsideDead, now);
            const Merge::Result there =
                Merge::merge(c.outside, c.outsideDead, c.local, c.localDead, now);
            QVERIFY2(sortedTexts(here.notes) == c.expected, c.name);
            QVERIFY2(sortedReminders(here.notes) == c.reminders, c.name);
            QVERIFY2(contents(here.notes) == contents(there.notes), c.name);
            QVERIFY2(here.tombstones == there.tombstones, c.name);
            for (const Merge::Result& done : {here, there}) {
                for (const QList<NoteData>& input : {c.local, c.outside, done.notes}) {
                    const Merge::Result again =
                        Merge::merge(done.notes, done.tombstones, input, {}, now);
                    QVERIFY2(again.changes() == 0, c.name);
                    QVERIFY2(again.notes == done.notes, c.name);
                }
            }
        }
    }

    // A clock a few seconds ahead elsewhere: the tombstone is later than the typing here, yet
    // the computer that deleted the note had not seen that typing, as its file showed.
    void aTombstoneSparesChangesItsComputerHadNotSeen()
    {
        const QList<NoteData> typed{note(n1, "typed on", t0, Versions{{"A", 2}})};
        const Tombstones ahead{{n1, t0.addSecs(5)}};
        const std::pair<int, bool> rows[] = {{1, true}, {2, false}, {-1, false}}; // -1: unknown
        for (const auto& [seen, kept] : rows) {
            QHash<QUuid, quint64> seenThere;
            if (seen >= 0) {
                seenThere.insert(n1, quint64(seen));
            }
            const Merge::Result r = Merge::merge(typed, {}, {}, ahead, now, seenThere);
            QCOMPARE(r.notes.size(), kept ? 1 : 0);
            QCOMPARE(r.revived.size(), kept ? 1 : 0);
            QCOMPARE(r.tombstones.contains(n1), !kept);
        }
    }

    // Arrivals come tucked, in an order that does not depend on the outside file's.
    void layoutStaysLocalAndArrivalsComeTucked()
    {
        NoteData mine = note(n1, "mine", t0, {{"A", 1}});
        std::tie(mine.x, mine.y, mine.folded, mine.pw) = std::tuple(10.0, 20.0, true, 300.0);
        NoteData theirs = note(n1, "theirs", t0.addSecs(-60), {{"A", 1}, {"B", 1}});
        std::tie(theirs.x, theirs.folded, theirs.pw) = std::tuple(99.0, false, 180.0);
        const NoteData arriving = note(n2, "new", t0, {{"B", 1}});
        NoteData later = note(n3, "later", t0, {{"B", 2}});
        later.created = t0;

        const Merge::Result r = Merge::merge({mine}, {}, {theirs, later, arriving}, {}, now);
        const Merge::Result other = Merge::merge({mine}, {}, {arriving, later, theirs}, {}, now);
        QCOMPARE(Store::encode(r.notes), Store::encode(other.notes));
        QCOMPARE(r.notes.size(), 3);
        const NoteData& kept = r.notes[0];
        QVERIFY(std::tuple(kept.text, kept.x, kept.y, kept.folded, kept.onScreen, kept.pw) ==
                std::tuple(u"theirs"_qs, 10.0, 20.0, true, true, std::optional(300.0)));
        QVERIFY(r.notes[1].id == n2 && !r.notes[1].onScreen && r.notes[2].id == n3);
        QCOMPARE(r.adopted, QList<QUuid>{n1});
        QCOMPARE(r.added.size(), 2);
        QCOMPARE(r.changes(), 3);
    }

    // The engine's conflict copy is an older or a parallel whole file: merged like any other.
    void aConflictCopyMergesLikeAnOutsideFile()
    {
        const QList<NoteData> live{note(n1, "both", t0, {{"A", 1}, {"B", 1}}),
                                   note(n2, "edited", t0, {{"A", 2}})};
        const QList<NoteData> conflictCopy{
            note(n1, "before", t0.addSecs(-60), {{"A", 1}}),
            note(n2, "parallel", t0.addSecs(-5), {{"A", 1}, {"B", 1}}, "blue"),
            note(n3, "only there", t0, {{"B", 1}})};
        const QByteArray bytes = Store::encode(conflictCopy);
        const Merge::Result r = Merge::merge(live, {}, *Store::decode(bytes), {}, now);

        QCOMPARE(sortedTexts(r.notes),
                 (QStringList{"both", "edited", "only there", "parallel" + copied}));
        // The kept version has seen both, so the loser met again anywhere no longer conflicts;
        // the copy keeps the loser's colour and folder, tucked.
        QCOMPARE(r.notes[1].versions, (Versions{{"A", 2}, {"B", 1}}));
        const NoteData& copy = *std::find_if(r.notes.begin(), r.notes.end(), [](const NoteData& n) {
            return n.text.endsWith(copied);
        });
        QCOMPARE(copy.color.value_or(QString()), QStringLiteral("blue"));
        QVERIFY(!copy.onScreen);
    }

    // Content adopted from elsewhere comes with its stamp and versions, keeps the layout and
    // tells the views.
    void contentChangesStampTheNoteAndLayoutDoesNot()
    {
        const platform::NowOverride clock([] { return t0; });
        NoteModel model(old(n1, "text", t0.addDays(-2)));
        QVERIFY(!model.data().changed);

        model.setFolded(true);
        model.setOnScreen(false);
        model.setPaperW(300);
        model.origin = {5, 5};
        model.setText(QStringLiteral("text")); // the same text: nothing to tell elsewhere
        QVERIFY(!model.data().changed);
        QVERIFY(model.versions().isEmpty());

        model.setColor(QStringLiteral("pink"));
        model.setText(QStringLiteral("new"));
        model.setDeletedAt(t0);
        model.setRemindAt(now);
        QCOMPARE(model.data().changed, std::optional(t0));
        QCOMPARE(model.versions(), (Versions{{"A", 4}}));

        const QSignalSpy saves(&model, &NoteModel::saveRequested);
        QList<NoteModel::Field> fields;
        connect(&model, &NoteModel::changed, this, [&](NoteModel::Field f) { fields << f; });
        NoteData theirs = note(n1, "theirs", t0.addSecs(9), {{"B", 4}}, "blue");
        theirs.created = t0.addDays(-30);
        theirs.remindAt = t0;
        model.adoptContent(theirs);
        QCOMPARE(model.remindAt(), theirs.remindAt);
        QVERIFY(std::tuple(model.text(), model.color(), model.origin, model.created()) ==
                std::tuple(u"theirs"_qs, u"blue"_qs, QPointF(5, 5), *theirs.created));
        QCOMPARE(model.data().changed, theirs.changed);
        QCOMPARE(model.versions(), theirs.versions);
        QVERIFY(fields.contains(NoteModel::Field::Text));
        QCOMPARE(saves.size(), 1);
    }

    void tombstonesRoundTripExpireAndAreLeftByDeletions()
    {
        const Tombstones dead{
            {n1, t0.addMSecs(500)}, {n2, now.addDays(-90)}, {n3, now.addDays(-90).addMSecs(-1)}};
        QCOMPARE(TombstoneFile::decode(TombstoneFile::encode(dead)), std::optional(dead));
        QCOMPARE(TombstoneFile::pruned(dead, now).keys(), (QList<QUuid>{n1, n2}));
        QCOMPARE(TombstoneFile::united({{n1, t0}}, {{n1, now}}).value(n1), now);
        // One bad entry loses only itself.
        bool damaged = false;
        const QByteArray oneBad =
            "{\"not an id\":1,\"" + n1.toString(QUuid::WithoutBraces).toLatin1() + "\":5}";
        QCOMPARE(TombstoneFile::decode(oneBad, &damaged)->keys(), QList<QUuid>{n1});
        QVERIFY(damaged);
        QVERIFY(!TombstoneFile::decode("[]"));

        // Deleting for good and the purge leave tombstones; a tombstones file that does not read
        // whole is kept aside, never written over.
        Fixture f(now);
        const QString beside = TombstoneFile::pathBeside(f.notesPath());
        const QByteArray recent = QByteArray::number(now.toSecsSinceEpoch() - 978307200);
        const QByteArray broken =
            "{\"" + n3.toString(QUuid::WithoutBraces).toLatin1() + "\":" + recent + ",\"x\":1}";
        writeFile(beside, broken);
        QJsonObject purged = Fixture::record(QStringLiteral("old"));
        purged["deletedAt"] = 700000000;
        f.writeNotes({purged});
        f.startUp();
        const QUuid gone = f.app->newNote(std::nullopt, QStringLiteral("yellow"))->id();
        f.app->deleteForever(f.app->notes().last());

        const Tombstones left = TombstoneFile::read(beside);
        QCOMPARE(left.keys().size(), 3);
        QVERIFY(left.contains(n3));
        const QStringList aside = QDir(f.dir.path()).entryList({"*.tombstones.json.unreadable-*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(f.dir.filePath(aside[0])), broken);
        QCOMPARE(left.value(QUuid::fromString(purged["id"].toString())), now);
        QVERIFY(left.contains(gone));
    }
};

static RegisterSuite<MergeTest> registered;
#include "MergeTest.moc"
