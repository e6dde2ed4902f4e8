#include "model/Snapshots.h"

#include "Suites.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "support/Fixture.h"

#include <memory>

// A snapshot that re-reads only the notes changed since the last one holds exactly what
// reading every note would, whatever changed and however; one handed out never changes.
class SnapshotsTest : public QObject {
    Q_OBJECT

    static QList<NoteModel*> live(std::vector<std::unique_ptr<NoteModel>>& owned)
    {
        QList<NoteModel*> notes;
        for (const auto& note : owned) {
            notes << note.get();
        }
        return notes;
    }

    static std::unique_ptr<NoteModel> noteWith(const QString& text)
    {
        NoteData data;
        data.id = QUuid::createUuid();
        data.text = text;
        return std::make_unique<NoteModel>(data);
    }

private Q_SLOTS:
    void matchesAFullReadAfterEveryKindOfChange()
    {
        Fixture f(utc(2026, 1, 1, 9));
        std::vector<std::unique_ptr<NoteModel>> owned;
        for (int i = 0; i < 5; ++i) {
            owned.push_back(noteWith(QStringLiteral("note %1").arg(i)));
        }
        Snapshots snapshots;
        const auto same = [&] {
            const QList<NoteModel*> notes = live(owned);
            return snapshots.take(notes).records == Store::snapshot(notes).records;
        };
        QVERIFY(same());
        const Store::Snapshot held = snapshots.take(live(owned));

        owned[1]->setText(QStringLiteral("typed")); // a key
        QVERIFY(same());
        owned[2]->setFolded(true); // no save of its own: goes with the next
        owned[3]->setPaperW(300);
        QVERIFY(same());
        owned[4]->origin = QPointF(40, -12); // moved without an assignment
        QVERIFY(same());
        owned[0]->origin = QPointF(qQNaN(), 0); // never equal to itself
        QVERIFY(qIsNaN(snapshots.take(live(owned)).records.at(0).x));
        owned[0]->origin = QPointF(3, 4);
        QVERIFY(same());

        owned.erase(owned.begin() + 2); // deleted
        QVERIFY(same());
        owned.push_back(noteWith(QStringLiteral("new"))); // added, maybe at a freed address
        QVERIFY(same());
        std::swap(owned[0], owned[1]); // reordered
        QVERIFY(same());

        // What the writer may still be writing is untouched by all of the above.
        QCOMPARE(held.records.size(), 5);
        QCOMPARE(held.records.at(1).text, QStringLiteral("note 1"));
        QCOMPARE(held.records.at(4).x, 0.0);
    }

    void aNoteReplacedAtTheSameAddressIsReadAfresh()
    {
        Fixture f(utc(2026, 1, 1, 9));
        auto note = noteWith(QStringLiteral("first"));
        Snapshots snapshots;
        QCOMPARE(snapshots.take({note.get()}).records.at(0).text, QStringLiteral("first"));
        NoteData data;
        data.text = QStringLiteral("second");
        note->~NoteModel();
        new (note.get()) NoteModel(data);
        QCOMPARE(snapshots.take({note.get()}).records.at(0).text, QStringLiteral("second"));
    }
};

static RegisterSuite<SnapshotsTest> registered;
#include "SnapshotsTest.moc"
