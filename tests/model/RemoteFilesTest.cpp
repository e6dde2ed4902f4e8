#include "model/RemoteFiles.h"

#include "StoreFixture.h"
#include "model/FolderWatch.h"
#include "platform/Notices.h"

#include <QSignalSpy>
#include <utime.h>

// Versions of the notes file written by others: kept aside when they do not read, parked for
// the merge when they do, also in the moment between the look at the file and ours taking its
// place; and how the folder is watched for them.
class RemoteFilesTest : public QObject, private StoreFixture {
    Q_OBJECT

    QByteArray encoded(const QString& text) const { return Store::encode({record(text)}); }

private Q_SLOTS:
    // Most tests start from a notes file of our own.
    void init()
    {
        setUp(this);
        add("mine");
        QVERIFY(Store::save(notes));
    }
    void cleanup() { tearDown(); }

    void onlyARealOutsideChangeIsKeptAsideOrReadAsOutside()
    {
        // Touched, or rewritten with the very same bytes: nothing of anyone's is lost.
        const QByteArray same = readFile(path);
        QVERIFY(::utime(QFile::encodeName(path).constData(), nullptr) == 0);
        writeFile(path, same);
        QVERIFY(Store::save(notes));
        // Deleted outside: there is nothing to keep.
        QVERIFY(QFile::remove(path));
        QVERIFY(Store::save(notes));
        QVERIFY(f->log.lines.isEmpty());
        QCOMPARE(files(), QStringList{"notes.json"});

        // Loaded as it is, then saved: ours all along.
        startAfresh();
        load();
        QVERIFY(Store::save(notes));
        QVERIFY(f->log.lines.isEmpty());

        // No file at start, one appears later (a sync tool's first download), before the save
        // looks and then as it swaps: both read, so both wait for the merge.
        QVERIFY(QFile::remove(path));
        startAfresh();
        load();
        writeFile(path, "[]");
        QVERIFY(Store::save(notes));
        QVERIFY(QFile::remove(path));
        startAfresh();
        QVERIFY(load().isEmpty());
        DiskFile::setBeforeSwapHook([this] { writeFile(path, "[]"); });
        QVERIFY(Store::save(notes));
        QVERIFY(f->log.lines.isEmpty());
        QCOMPARE(readFile(path + ".merging-20260506-070809"), "[]");
        QCOMPARE(readFile(path + ".merging-20260506-070809-2"), "[]");
        QCOMPARE(savedTexts(), QStringList{"mine"});
        DiskFile::setBeforeSwapHook({});

        const int generation = platform::servicesGeneration();
        QVERIFY(!Store::readRemote(path, generation, std::nullopt)); // our own write
        replaceFromOutside(path, readFile(path));
        QVERIFY(!Store::readRemote(path, generation, std::nullopt)); // the same bytes again
        replaceFromOutside(path, encoded("theirs"));
        const std::optional<Store::RemoteVersion> outside =
            Store::readRemote(path, generation, std::nullopt);
        QVERIFY(outside);
        QCOMPARE(outside->records.first().text, QStringLiteral("theirs"));
        QVERIFY(!Store::readRemote(path, generation, outside->stamp)); // merged already
        // A save holding that merge writes over it: it is no outside change any more.
        Store::Snapshot snapshot = Store::snapshot(notes);
        snapshot.merged = outside->stamp;
        QVERIFY(Store::write(snapshot));
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.merging-20260506-070809",
                                       "notes.json.merging-20260506-070809-2"}));
        writeFile(path, "half a fi"); // in place, and unreadable: never merged
        QVERIFY(!Store::readRemote(path, generation, std::nullopt));
    }

    // The first put in place as the save swaps (written in place before it looks is
    // RemoteMergeTest's), then two a second, for four seconds: the names sort by time and then
    // by number. The first is cut short but holds a note the live ones lack: it is never pruned.
    void unreadableOutsideVersionsAreKeptAsideTheNewestOnly()
    {
        const QByteArray cutShort = encoded("typed elsewhere").chopped(1) + ",{\"id";
        add("mine too");
        DiskFile::setBeforeSwapHook([&] { replaceFromOutside(path, cutShort); });
        const QSignalSpy told(&platform::Notices::shared(), &platform::Notices::posted);
        QVERIFY(Store::save(notes));
        DiskFile::setBeforeSwapHook({});
        const QString aside = path + ".outside-20260506-070809";
        QCOMPARE(told.size(), 1);
        QVERIFY(told.first().first().toString().contains("notes.json.outside-20260506-070809"));
        QCOMPARE(f->log.lines,
                 QStringList{"Quillhaven: notes file changed outside, kept as " + aside});
        QCOMPARE(readFile(aside), cutShort);
        QCOMPARE(savedTexts(), (QStringList{"mine", "mine too"}));
        for (int i = 1; i < 8; ++i) {
            replaceFromOutside(path, QByteArray::number(i));
            Store::Snapshot snapshot = Store::snapshot(notes);
            snapshot.taken = snapshot.taken.addSecs(i / 2);
            QVERIFY(Store::write(snapshot));
        }
        QCOMPARE(f->log.lines.size(), 8);
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.outside-20260506-070809",
                                       "notes.json.outside-20260506-070810-2",
                                       "notes.json.outside-20260506-070811",
                                       "notes.json.outside-20260506-070811-2",
                                       "notes.json.outside-20260506-070812",
                                       "notes.json.outside-20260506-070812-2"}));
        QCOMPARE(readFile(path + ".outside-20260506-070812-2"), "7");
        QCOMPARE(readFile(path + ".outside-20260506-070810-2"), "3");
        // A user's own file of a similar name is not the program's to remove.
        writeFile(path + ".outside-mine", "keep");
        replaceFromOutside(path, "8");
        QVERIFY(Store::save(notes));
        QCOMPARE(readFile(path + ".outside-mine"), "keep");
    }

    void theEnginesConflictCopiesAreKnownByName()
    {
        const QStringList ofNotes{"notes.sync-conflict-20261207-101500-ABCDEFG.json",
                                  "notes (conflicted copy 2026-12-07 101500).json",
                                  "notes (conflicted copy ann 2026-12-07 101500).json",
                                  "notes (Ann's conflicted copy 2026-12-07).json",
                                  "notes (Ann's conflicted copy 2026-12-07 (1)).json",
                                  "notes_conflict-20261207-101500.json",
                                  "notes_conflict-ann-20261207-101500.json"};
        const QStringList ofTombstones{
            "notes.tombstones.sync-conflict-20261207-101500-ABCDEFG.json",
            "notes.tombstones (conflicted copy 2026-12-07 101500).json"};
        const QStringList neither{"notes.json",
                                  "notes.tombstones.json",
                                  "notes (conflicts, a chapter).json",
                                  "notes.sync-conflict-20261207-101500-ABCDEFG.txt",
                                  "todo.sync-conflict-20261207-101500-ABCDEFG.json",
                                  "notes.json.outside-20261207-101500"};
        for (const QString& name : ofNotes + ofTombstones + neither) {
            QVERIFY2(RemoteFiles::isConflictCopy(name, "notes.json") == ofNotes.contains(name),
                     qPrintable(name));
            QVERIFY2(RemoteFiles::isConflictCopy(name, "notes.tombstones.json") ==
                         ofTombstones.contains(name),
                     qPrintable(name));
        }
        QVERIFY(RemoteFiles::isParked("notes.json.merging-20261207-101500-2", "notes.json"));
        QVERIFY(!RemoteFiles::isParked("notes.json.outside-20261207-101500", "notes.json"));
        // One that does not read is named, to be told, and left alone.
        const QString broken = QFileInfo(path).dir().filePath(ofNotes.first());
        writeFile(broken, "[{");
        const RemoteFiles::Reading reading =
            RemoteFiles::read(path, platform::servicesGeneration(), std::nullopt);
        QCOMPARE(reading.unreadable, QStringList{broken});
        QVERIFY(reading.copies.isEmpty() && QFile::exists(broken));
    }

    void aReadableVersionInTheWayOfASaveIsParkedForTheMerge()
    {
        replaceFromOutside(path, encoded("theirs"));
        add("mine too");
        QVERIFY(Store::save(notes));
        // The same in the last instant before ours takes the place is RemoteMergeTest's.
        // And one another program is still writing in place, caught half-written.
        const QByteArray inTwoGoes = encoded("in two goes");
        writeFile(path, inTwoGoes.left(inTwoGoes.size() / 2));
        f->settling = [&] { writeFile(path, inTwoGoes); };
        QVERIFY(Store::save(notes));
        // And one half-written in place at the instant of the swap: the rest goes on into the
        // file the swap took off the place.
        const QByteArray atTheSwap = encoded("half at the swap");
        QFile writer(path);
        DiskFile::setBeforeSwapHook([&] {
            QVERIFY(writer.open(QIODevice::WriteOnly | QIODevice::Truncate));
            writer.write(atTheSwap.left(atTheSwap.size() / 2));
            writer.flush();
        });
        f->settling = [&] {
            writer.write(atTheSwap.mid(atTheSwap.size() / 2));
            writer.flush();
        };
        QVERIFY(Store::save(notes));
        DiskFile::setBeforeSwapHook({});
        QVERIFY(f->log.lines.isEmpty()); // nothing failed
        QCOMPARE(savedTexts(), (QStringList{"mine", "mine too"}));
        const QString parked = path + ".merging-20260506-070809";
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.merging-20260506-070809",
                                       "notes.json.merging-20260506-070809-2",
                                       "notes.json.merging-20260506-070809-3"}));

        const RemoteFiles::Reading reading =
            RemoteFiles::read(path, platform::servicesGeneration(), std::nullopt);
        QVERIFY(!reading.notesFile); // ours now
        QStringList copied;
        for (const RemoteFiles::Copy& copy : reading.copies) {
            copied << copy.notes.first().text;
        }
        QCOMPARE(copied, (QStringList{"theirs", "in two goes", "half at the swap"}));
        QCOMPARE(reading.copies.at(0).path, parked);
    }

    void whatTheLiveNotesHoldAlreadyIsLeftOutOfTheMerge()
    {
        const NoteData a = record("a");
        const NoteData b = record("b");
        NoteData movedThere = a; // only its layout differs: nothing to merge
        movedThere.x = 300;
        movedThere.onScreen = true;
        NoteData editedThere = b;
        editedThere.text = "b, edited there";
        const NoteData newThere = record("new there");

        RemoteFiles::Reading reading;
        reading.notesFile = Store::RemoteVersion{{movedThere, editedThere, newThere}, {}};
        reading.copies << RemoteFiles::Copy{"copy", {movedThere}};
        RemoteFiles::dropKnown(reading, {a, b});
        QCOMPARE(reading.notesFile->records, (QList<NoteData>{editedThere, newThere}));
        QVERIFY(reading.copies.first().notes.isEmpty());
        QVERIFY(!reading.notesFileHoldsKnown);

        reading.notesFile = Store::RemoteVersion{{movedThere, b}, {}};
        RemoteFiles::dropKnown(reading, {a, b});
        QVERIFY(reading.notesFileHoldsKnown); // the file needs nothing of ours
        reading.notesFile = Store::RemoteVersion{{movedThere}, {}};
        RemoteFiles::dropKnown(reading, {a, b});
        QVERIFY(!reading.notesFileHoldsKnown); // it lacks b
    }

    void aBurstIsToldOnceAndAReplacedFileStaysWatched()
    {
        writeFile(path, "[]");
        QVERIFY(QDir(f->dir.filePath("images")).removeRecursively());
        FolderWatch watch;
        const QSignalSpy changed(&watch, &FolderWatch::notesChanged);
        const QSignalSpy pictures(&watch, &FolderWatch::imagesChanged);
        watch.watch(path);
        for (int i = 0; i < 10; ++i) {
            replaceFromOutside(path, QByteArray::number(i));
        }
        QTRY_COMPARE(changed.size(), 1);

        // Written in place: only the file itself tells, and it is the tenth one by now. Told
        // once more, and only once: the burst above has nothing left to tell.
        QFile inPlace(path);
        QVERIFY(inPlace.open(QIODevice::ReadWrite));
        inPlace.seek(inPlace.size());
        inPlace.write(" ");
        inPlace.close();
        QTRY_COMPARE(changed.size(), 2);

        // The images folder, made after the watch began, is watched once it is there.
        QVERIFY(QDir(f->dir.path()).mkdir("images"));
        QTRY_COMPARE(changed.size(), 3);
        writeFile(f->dir.filePath("images/A.png"), "png");
        QTRY_COMPARE(pictures.size(), 1);
        QCOMPARE(changed.size(), 3);
    }
};

static RegisterSuite<RemoteFilesTest> registered;
#include "RemoteFilesTest.moc"
