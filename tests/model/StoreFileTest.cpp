#include "StoreFixture.h"

#include <limits>
#include <sys/mount.h>

namespace {

// A small filesystem of its own, so a full or read-only disk is real, even for root.
class TmpfsMount {
public:
    explicit TmpfsMount(const QString& dir, const QByteArray& options)
        : dir_(dir.toLocal8Bit())
    {
        mounted_ = ::mount("tmpfs", dir_.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~TmpfsMount()
    {
        if (mounted_) {
            ::umount2(dir_.constData(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }
    bool setReadOnly(bool readOnly)
    {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", dir_.constData(), "tmpfs", flags, nullptr) == 0;
    }

private:
    QByteArray dir_;
    bool mounted_ = false;
};

} // namespace

// The notes file on disk: made, found, kept aside when unreadable, and never lost to a save that
// fails or was killed.
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
        QCOMPARE(files(), QStringList{"notes.json"});
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
        QCOMPARE(savedTexts(), QStringList{"fresh"});

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
        QCOMPARE(savedTexts().size(), 52);
        QCOMPARE(files(), QStringList{"notes.json"});

        f->services().notesFile = f->dir.filePath("missing/notes.json");
        QVERIFY(!Store::save(notes));
        QCOMPARE(f->log.lines.size(), 3);
    }

    void aKilledSaveLeavesNothingThatHarmsTheNext()
    {
        add("safe");
        QVERIFY(Store::save(notes));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        // What kills in mid-write leave, and what stands on those names by mischance: none
        // of it stops a save.
        writeFile(path + ".saving-Ab12Cd", "half a fil");
        writeFile(path + ".saving-Qq34Rr", "half a file");
        QVERIFY(QDir(f->dir.path()).mkdir("notes.json.saving"));
        writeFile(f->dir.filePath("elsewhere/kept"), "not ours");
        QVERIFY(QFile::link(f->dir.filePath("elsewhere/kept"), path + ".saving-Zz99zz"));
        QVERIFY(Store::save(notes));
        QCOMPARE(modeOf(path), mode_t(0640)); // the user's choice survives the rewrite

        // The next start clears the program's own litter, and only that.
        DiskFile::removeLeftovers(path);
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.saving-Zz99zz"}));
        QVERIFY(QFileInfo(path + ".saving").isDir());
        QCOMPARE(readFile(f->dir.filePath("elsewhere/kept")), "not ours");
        QCOMPARE(savedTexts(), QStringList{"safe"});

        QVERIFY(QFile::remove(path));
        QVERIFY(Store::save(notes));
        QCOMPARE(modeOf(path), mode_t(0600)); // a new notes file is the user's alone
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

    void aFullOrReadOnlyDiskFailsTheSaveAndLosesNothing_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("full") << true;
        QTest::newRow("read-only") << false;
    }
    void aFullOrReadOnlyDiskFailsTheSaveAndLosesNothing()
    {
        QFETCH(bool, full);
        TmpfsMount disk(f->dir.path(), full ? "size=64k" : "size=1m");
        if (!disk.mounted()) {
            QSKIP("mounting a tmpfs needs CAP_SYS_ADMIN; the size-limit tests cover a full disk");
        }
        add("first");
        QVERIFY(Store::save(notes));
        const QByteArray before = readFile(path);
        const QString filler = f->dir.filePath("filler");
        if (full) {
            writeFile(filler, QByteArray(64 * 1024, 'x')); // stops at the limit
        } else {
            QVERIFY(disk.setReadOnly(true));
        }
        add("typed while the disk was failing");
        QVERIFY(!Store::save(notes));
        const QString reason = full ? "No space left on device" : "Read-only file system";
        QCOMPARE(f->log.lines, QStringList{"Quillhaven: save failed: " + reason});
        QCOMPARE(readFile(path), before);

        QVERIFY(full ? QFile::remove(filler) : disk.setReadOnly(false));
        QVERIFY(Store::save(notes));
        QCOMPARE(savedTexts(), (QStringList{"first", "typed while the disk was failing"}));
        QCOMPARE(files(), QStringList{"notes.json"});
    }
};

static RegisterSuite<StoreFileTest> registered;
#include "StoreFileTest.moc"
