#include "StoreFixture.h"

#include <limits>

// The notes file on disk: found, and never lost to a save that fails or was killed.
class StoreFileTest : public QObject, private StoreFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

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

    // What kills in mid-write leave, and what stands on those names by mischance, stop no save;
    // a new file is private, and a save to a folder gone fails and says so.
    void noFailedOrKilledSaveHarmsTheNext()
    {
        add("kept");
        QVERIFY(Store::save(notes));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        writeFile(path + ".saving-Ab12Cd", "half a fil");
        writeFile(path + ".saving-Qq34Rr", "half a file");
        QVERIFY(QDir(f->dir.path()).mkdir("notes.json.saving"));
        writeFile(f->dir.filePath("elsewhere/kept"), "not ours");
        QVERIFY(QFile::link(f->dir.filePath("elsewhere/kept"), path + ".saving-Zz99zz"));
        QVERIFY(Store::save(notes));
        QCOMPARE(modeOf(path), mode_t(0640)); // the user's choice survives the rewrite

        // The next start clears the program's own litter, and only that.
        DiskFile::removeLeftovers(path);
        const QStringList left{"notes.json", "notes.json.saving-Zz99zz"};
        QCOMPARE(files(), left);
        QVERIFY(QFileInfo(path + ".saving").isDir());
        QCOMPARE(readFile(f->dir.filePath("elsewhere/kept")), "not ours");

        // A failed write keeps the file is WriterTest's, a number no file holds StoreFormatTest's.
        add("new");
        QVERIFY(QFile::remove(path));
        QVERIFY(Store::save(notes));
        QCOMPARE(savedTexts(), (QStringList{"kept", "new"}));
        QCOMPARE(files(), left);
        QCOMPARE(modeOf(path), mode_t(0600)); // a new notes file is the user's alone

        f->services().notesFile = f->dir.filePath("missing/notes.json");
        QVERIFY(!Store::save(notes));
        QCOMPARE(f->log.lines.size(), 1);
    }

    void aLinkedNotesFileStaysALink()
    {
        const QString real = f->dir.filePath("synced/notes.json");
        writeFile(real, "[]");
        QVERIFY(QFile::link(real, path));
        load();
        add("through the link");
        QVERIFY(Store::save(notes));
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(texts(readFile(real)), QStringList{"through the link"});
        QVERIFY(Store::save(notes)); // our own write is no outside change
        QVERIFY(f->log.lines.isEmpty());
    }
};

static RegisterSuite<StoreFileTest> registered;
#include "StoreFileTest.moc"
