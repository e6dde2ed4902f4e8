#include "StoreFixture.h"
#include "model/DiskFile.h"

#include <cstdio>
#include <sys/mount.h>
#include <sys/stat.h>
#include <utime.h>

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

class StoreFaultTest : public QObject, private StoreFixture {
    Q_OBJECT

    QStringList files() const { return QDir(f->dir.path()).entryList(QDir::Files); }
    // The failed save logged its line, and a later save, once the fault is gone, writes all.
    void expectFailureThenRecovery(const QByteArray& before, const QString& reason)
    {
        add("typed while the disk was failing");
        QVERIFY(!Store::save(notes));
        QCOMPARE(f->log.lines, QStringList{"Quillhaven: save failed: " + reason});
        QCOMPARE(readFile(path), before);
        QCOMPARE(notes.size(), 2);
    }

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void anOutsideEditIsKeptAsideBeforeTheNextSave()
    {
        add("mine");
        QVERIFY(Store::save(notes));
        writeFile(path, "edited in a text editor"); // in place: same file, new bytes
        add("mine too");
        QVERIFY(Store::save(notes));
        const QString aside = path + ".outside-20260506-070809";
        QCOMPARE(f->log.lines,
                 QStringList{"Quillhaven: notes file changed outside, kept as " + aside});
        QCOMPARE(readFile(aside), "edited in a text editor");
        QCOMPARE(texts(readFile(path)), (QStringList{"mine", "mine too"}));

        // A sync tool replaces the file with a new one that reads: parked for the merge, not
        // kept aside, and nothing failed.
        writeFile(path + ".sync", R"([])");
        QVERIFY(::rename(QFile::encodeName(path + ".sync"), QFile::encodeName(path)) == 0);
        QVERIFY(Store::save(notes));
        QCOMPARE(f->log.lines.size(), 1);
        QCOMPARE(readFile(path + ".merging-20260506-070809"), "[]");
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.merging-20260506-070809",
                                       "notes.json.outside-20260506-070809"}));
    }

    void onlyARealOutsideChangeIsKeptAside()
    {
        add("mine");
        QVERIFY(Store::save(notes));
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

        // No file at start, one appears later (a sync tool's first download).
        QVERIFY(QFile::remove(path));
        startAfresh();
        load();
        writeFile(path, "[]");
        QVERIFY(Store::save(notes));
        QVERIFY(f->log.lines.isEmpty());
        QCOMPARE(readFile(path + ".merging-20260506-070809"), "[]");
        QCOMPARE(texts(readFile(path)), QStringList{"mine"});
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
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0640u); // the user's choice survives the rewrite

        // The next start clears the program's own litter, and only that.
        DiskFile::removeLeftovers(path);
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.saving-Zz99zz"}));
        QVERIFY(QFileInfo(path + ".saving").isDir());
        QCOMPARE(readFile(f->dir.filePath("elsewhere/kept")), "not ours");
        QCOMPARE(texts(readFile(path)), QStringList{"safe"});

        QVERIFY(QFile::remove(path));
        QVERIFY(Store::save(notes));
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0600u); // a new notes file is the user's alone
    }

    void aLinkedNotesFileStaysALink()
    {
        QVERIFY(QDir(f->dir.path()).mkdir("synced"));
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

    void aFullDiskFailsTheSaveAndLosesNothing()
    {
        const TmpfsMount disk(f->dir.path(), "size=64k");
        if (!disk.mounted()) {
            QSKIP("mounting a small tmpfs needs CAP_SYS_ADMIN; the size-limit test covers this");
        }
        add("first");
        QVERIFY(Store::save(notes));
        const QByteArray before = readFile(path);
        writeFile(f->dir.filePath("filler"), QByteArray(64 * 1024, 'x')); // stops at the limit
        expectFailureThenRecovery(before, "No space left on device");
        QVERIFY(QFile::remove(f->dir.filePath("filler")));
        QVERIFY(Store::save(notes));
        QCOMPARE(texts(readFile(path)), (QStringList{"first", "typed while the disk was failing"}));
        QCOMPARE(files(), QStringList{"notes.json"});
    }

    void aReadOnlyFolderFailsTheSaveAndLosesNothing()
    {
        TmpfsMount disk(f->dir.path(), "size=1m");
        if (!disk.mounted()) {
            QSKIP("mounting a tmpfs needs CAP_SYS_ADMIN; root ignores folder permissions");
        }
        add("first");
        QVERIFY(Store::save(notes));
        const QByteArray before = readFile(path);
        QVERIFY(disk.setReadOnly(true));
        expectFailureThenRecovery(before, "Read-only file system");
        QVERIFY(disk.setReadOnly(false));
        QVERIFY(Store::save(notes));
        QCOMPARE(texts(readFile(path)), (QStringList{"first", "typed while the disk was failing"}));
    }
};

static RegisterSuite<StoreFaultTest> registered;
#include "StoreFaultTest.moc"
