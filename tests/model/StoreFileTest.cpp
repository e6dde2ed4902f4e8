#include "Suites.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "platform/Clock.h"
#include "support/FakeDesktop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <limits>
#include <memory>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

NoteData record(const QString& text)
{
    NoteData r;
    r.id = QUuid::createUuid();
    r.text = text;
    r.created = utc(2026, 1, 1);
    return r;
}

// Owns the live notes a test saves.
struct Notes {
    std::vector<std::unique_ptr<NoteModel>> owned;
    QList<NoteModel*> list;
    NoteModel* add(const QString& text)
    {
        owned.push_back(std::make_unique<NoteModel>(record(text), nullptr));
        list << owned.back().get();
        return list.back();
    }
};

// Caps the size of any file this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

} // namespace

class StoreFileTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<LogCapture> log;
    QString path;

private Q_SLOTS:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        path = tmp->filePath(QStringLiteral("notes.json"));
        Store::setUrlForTesting(path);
        log = std::make_unique<LogCapture>();
        platform::setNow([] { return utc(2026, 5, 6, 7, 8, 9); });
    }

    void cleanup()
    {
        platform::setNow({});
        log.reset();
        Store::setUrlForTesting({});
        tmp.reset();
    }

    void firstStartHasNoNotesAndFirstSaveCreatesTheFile()
    {
        QVERIFY(Store::load(nullptr).isEmpty());
        QVERIFY(!QFile::exists(path));
        Notes notes;
        notes.add(QStringLiteral("one"));
        notes.add(QStringLiteral("two"));
        QVERIFY(Store::save(notes.list));
        const QList<NoteModel*> loaded = Store::load(nullptr);
        QCOMPARE(loaded.size(), 2);
        QCOMPARE(loaded[0]->data(), notes.list[0]->data());
        QCOMPARE(loaded[1]->text(), QStringLiteral("two"));
        qDeleteAll(loaded);
        QVERIFY(log->lines.isEmpty());
        // Nothing but the file itself is left in the folder.
        QCOMPARE(QDir(tmp->path()).entryList(QDir::Files), QStringList{"notes.json"});
    }

    void legacyFolderMovesIntoPlaceOnce()
    {
        writeFile(tmp->filePath("Scribbloft/notes.json"), Store::encode({record("old")}));
        writeFile(tmp->filePath("Scribbloft/images/A.png"), "png");
        const QString located = Store::locateIn(tmp->path());
        QCOMPARE(located, tmp->filePath("Quillhaven/notes.json"));
        QVERIFY(!QFile::exists(tmp->filePath("Scribbloft")));
        QVERIFY(QFile::exists(tmp->filePath("Quillhaven/images/A.png")));
        Store::setUrlForTesting(located);
        const QList<NoteModel*> loaded = Store::load(nullptr);
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded[0]->text(), QStringLiteral("old"));
        qDeleteAll(loaded);
    }

    void legacyFolderIsLeftAloneWhenTheNewOneExists()
    {
        const QByteArray legacy = Store::encode({record("old")});
        writeFile(tmp->filePath("Scribbloft/notes.json"), legacy);
        writeFile(tmp->filePath("Quillhaven/notes.json"), Store::encode({record("new")}));
        Store::setUrlForTesting(Store::locateIn(tmp->path()));
        const QList<NoteModel*> loaded = Store::load(nullptr);
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded[0]->text(), QStringLiteral("new"));
        qDeleteAll(loaded);
        QCOMPARE(readAll(tmp->filePath("Scribbloft/notes.json")), legacy);
    }

    void emptyNewFolderDoesNotSwallowTheLegacyOne()
    {
        writeFile(tmp->filePath("Scribbloft/notes.json"), "[]");
        QDir().mkpath(tmp->filePath("Quillhaven"));
        Store::locateIn(tmp->path());
        QVERIFY(QFile::exists(tmp->filePath("Scribbloft/notes.json")));
    }

    void unreadableFileIsKeptAsideBeforeAnythingOverwritesIt()
    {
        const QByteArray broken = R"([{"id":"nope","text":"my only copy"}])";
        writeFile(path, broken);
        QVERIFY(Store::load(nullptr).isEmpty());
        const QString aside = path + ".unreadable-20260506-070809";
        QCOMPARE(log->lines, QStringList{"Quillhaven: notes file unreadable, kept as " + aside});
        QCOMPARE(readAll(aside), broken);

        Notes notes;
        notes.add(QStringLiteral("fresh"));
        QVERIFY(Store::save(notes.list));
        QCOMPARE(readAll(aside), broken);
        QCOMPARE(Store::decode(readAll(path))->size(), 1);
    }

    void twoUnreadableStartsKeepTwoFiles()
    {
        writeFile(path, "first");
        QVERIFY(Store::load(nullptr).isEmpty());
        writeFile(path, "second");
        QVERIFY(Store::load(nullptr).isEmpty());
        const QString aside = path + ".unreadable-20260506-070809";
        QCOMPARE(readAll(aside), QByteArray("first"));
        QCOMPARE(readAll(aside + "-2"), QByteArray("second"));
        QCOMPARE(log->lines.size(), 2);
        QCOMPARE(log->lines[1], "Quillhaven: notes file unreadable, kept as " + aside + "-2");
    }

    void saveIntoMissingFolderFails()
    {
        Store::setUrlForTesting(tmp->filePath("gone/notes.json"));
        Notes notes;
        notes.add(QStringLiteral("x"));
        QVERIFY(!Store::save(notes.list));
        QCOMPARE(log->lines.size(), 1);
        QVERIFY(log->lines[0].startsWith("Quillhaven: save failed: "));
        QVERIFY(log->lines[0].size() > QString("Quillhaven: save failed: ").size());
    }

    void failedWriteKeepsThePreviousFileAndTheNextSaveWritesEverything()
    {
        Notes notes;
        notes.add(QStringLiteral("kept"));
        QVERIFY(Store::save(notes.list));
        const QByteArray before = readAll(path);
        for (int i = 0; i < 50; ++i) {
            notes.add(QString(200, u'w'));
        }
        {
            const FileSizeLimit full(before.size() + 100);
            QVERIFY(!Store::save(notes.list));
        }
        QCOMPARE(log->lines.size(), 1);
        QVERIFY(log->lines[0].startsWith("Quillhaven: save failed: "));
        QCOMPARE(readAll(path), before);
        QCOMPARE(notes.list.size(), 51);

        QVERIFY(Store::save(notes.list));
        QCOMPARE(Store::decode(readAll(path))->size(), 51);
        QCOMPARE(QDir(tmp->path()).entryList(QDir::Files), QStringList{"notes.json"});
    }

    void nonFiniteNumberFailsTheSave()
    {
        Notes notes;
        notes.add(QStringLiteral("kept"));
        QVERIFY(Store::save(notes.list));
        const QByteArray before = readAll(path);
        notes.add(QStringLiteral("bad"))->origin.setY(std::numeric_limits<double>::quiet_NaN());
        QVERIFY(!Store::save(notes.list));
        QCOMPARE(log->lines.size(), 1);
        QVERIFY(log->lines[0].startsWith("Quillhaven: save failed: "));
        QCOMPARE(readAll(path), before);
    }
};

static RegisterSuite<StoreFileTest> registered;
#include "StoreFileTest.moc"
