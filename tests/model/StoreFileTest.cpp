#include "StoreFixture.h"

#include <QDir>
#include <limits>

class StoreFileTest : public QObject, private StoreFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void firstStartIsEmptyAndFirstSaveCreatesTheFile()
    {
        QVERIFY(load().isEmpty());
        QVERIFY(!QFile::exists(path));
        add("one");
        add("two");
        QVERIFY(Store::save(notes));
        const QList<NoteModel*> loaded = load();
        QCOMPARE(loaded.size(), 2);
        QCOMPARE(loaded[0]->data(), notes[0]->data());
        QCOMPARE(loaded[1]->text(), "two");
        QVERIFY(f->log.lines.isEmpty());
        QCOMPARE(QDir(f->dir.path()).entryList(QDir::Files), QStringList{"notes.json"});
    }

    void legacyFolderMovesIntoPlaceOnlyWhileTheNewOneIsMissing()
    {
        writeFile(f->dir.filePath("Scribbloft/notes.json"), Store::encode({record("old")}));
        writeFile(f->dir.filePath("Scribbloft/images/A.png"), "png");
        f->services().notesFile = Store::locateIn(f->dir.path());
        QCOMPARE(Store::url(), f->dir.filePath("Quillhaven/notes.json"));
        QVERIFY(!QFile::exists(f->dir.filePath("Scribbloft")));
        QVERIFY(QFile::exists(f->dir.filePath("Quillhaven/images/A.png")));
        QCOMPARE(load().value(0)->text(), "old");

        // Both present: the legacy folder is neither read nor touched, even by an empty new one.
        const QByteArray legacy = Store::encode({record("older")});
        writeFile(f->dir.filePath("Scribbloft/notes.json"), legacy);
        QVERIFY(QDir(f->dir.filePath("Quillhaven")).removeRecursively());
        QVERIFY(QDir().mkpath(f->dir.filePath("Quillhaven")));
        QCOMPARE(Store::locateIn(f->dir.path()), Store::url());
        QVERIFY(load().isEmpty());
        QCOMPARE(readFile(f->dir.filePath("Scribbloft/notes.json")), legacy);
    }

    void unreadableFilesAreKeptAsideBeforeAnythingOverwritesThem()
    {
        const QByteArray broken = R"([{"id":"nope","text":"my only copy"}])";
        writeFile(path, broken);
        QVERIFY(load().isEmpty());
        const QString aside = path + ".unreadable-20260506-070809";
        QCOMPARE(f->log.lines, QStringList{"Quillhaven: notes file unreadable, kept as " + aside});
        add("fresh");
        QVERIFY(Store::save(notes));
        QCOMPARE(Store::decode(readFile(path))->size(), 1);

        writeFile(path, "second");
        QVERIFY(load().isEmpty());
        QCOMPARE(f->log.lines.value(1),
                 "Quillhaven: notes file unreadable, kept as " + aside + "-2");
        QCOMPARE(readFile(aside), broken);
        QCOMPARE(readFile(aside + "-2"), "second");
    }

    void failedSaveKeepsThePreviousFileAndTheNextSaveWritesEverything()
    {
        add("kept");
        QVERIFY(Store::save(notes));
        const QByteArray before = readFile(path);
        for (int i = 0; i < 50; ++i) {
            add(QString(200, u'w'));
        }
        {
            const FileSizeLimit full(before.size() + 100);
            QVERIFY(!Store::save(notes));
        }
        add("bad")->origin.setY(std::numeric_limits<double>::quiet_NaN());
        QVERIFY(!Store::save(notes));
        QCOMPARE(f->log.lines.size(), 2);
        for (const QString& line : f->log.lines) {
            QVERIFY(line.startsWith("Quillhaven: save failed: ") && line.size() > 30);
        }
        QCOMPARE(readFile(path), before);

        notes.back()->origin.setY(0);
        QVERIFY(Store::save(notes));
        QCOMPARE(Store::decode(readFile(path))->size(), 52);
        QCOMPARE(QDir(f->dir.path()).entryList(QDir::Files), QStringList{"notes.json"});

        f->services().notesFile = f->dir.filePath("missing/notes.json");
        QVERIFY(!Store::save(notes));
        QCOMPARE(f->log.lines.size(), 3);
    }
};

static RegisterSuite<StoreFileTest> registered;
#include "StoreFileTest.moc"
