#include "model/NotesFolder.h"

#include "StoreFixture.h"

#include <QSettings>

namespace {

QString imageName(int n)
{
    return QStringLiteral("00000000-0000-4000-8000-%1.png").arg(n, 12, 10, QLatin1Char('0'));
}

} // namespace

// Where the notes are looked for: QUILLHAVEN_DATA_DIR, then the folder the user chose, then
// the application folder. Moving the notes folder on disk, step by step, and what the next
// start makes of a move cut short after any step: every note, picture, tombstone and kept copy
// is found in exactly one folder, and nothing of the move is left behind.
class NotesFolderTest : public QObject, private StoreFixture {
    Q_OBJECT

    QString from;
    QString to;
    QByteArray oldNotes;
    QByteArray newNotes;
    const QUuid buried{QStringLiteral("{0b0b0b0b-0000-4000-8000-000000000001}")};

    void fillOldFolder()
    {
        oldNotes = Store::encode({record("one"), record("two")});
        newNotes = Store::encode({record("one"), record("two"), record("three")});
        writeFile(QDir(from).filePath("notes.json"), oldNotes);
        for (int n = 1; n <= 3; ++n) {
            writeFile(QDir(from).filePath("images/" + imageName(n)), "png" + QByteArray::number(n));
        }
        writeFile(QDir(from).filePath("images/mine.txt"), "not ours");
        writeFile(QDir(from).filePath("notes.json.outside-20260101-120000"), "[]");
        QString error;
        QVERIFY(TombstoneFile::write(TombstoneFile::pathBeside(QDir(from).filePath("notes.json")),
                                     {{buried, utc(2026, 1, 1)}}, &error));
    }

    // Runs the move up to and including `steps` of: begin, stage, commit, place, clear.
    void moveUpTo(int steps)
    {
        QString error;
        const std::function<bool()> step[] = {
            [&] { return NotesFolder::begin(from, to, &error); },
            [&] { return NotesFolder::stageBulk(from, to, &error); },
            [&] { return NotesFolder::commit(from, to, newNotes, &error); },
            [&] { return NotesFolder::place(to, &error); },
            [&] {
                NotesFolder::clearOld(from, to);
                return true;
            }};
        for (int i = 0; i < steps; ++i) {
            QVERIFY2(step[i](), qPrintable(error));
        }
    }

    // Everything is in `live` and nothing of it, nor of the move, in `other`.
    void expectAllIn(const QString& live, const QString& other, const QByteArray& notes)
    {
        QCOMPARE(readFile(QDir(live).filePath("notes.json")), notes);
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(readFile(QDir(live).filePath("images/" + imageName(n))),
                     "png" + QByteArray::number(n));
            QVERIFY(!QFile::exists(QDir(other).filePath("images/" + imageName(n))));
        }
        QVERIFY(QFile::exists(QDir(live).filePath("notes.json.outside-20260101-120000")));
        QVERIFY(TombstoneFile::read(QDir(live).filePath("notes.tombstones.json")).contains(buried));
        QVERIFY(!QFile::exists(QDir(other).filePath("notes.json")));
        for (const QString& folder : {from, to}) {
            QVERIFY(!QFile::exists(NotesFolder::journalPath(folder)));
            QVERIFY(!QFile::exists(NotesFolder::stagingPath(folder)));
        }
    }

private Q_SLOTS:
    void init()
    {
        qunsetenv("QUILLHAVEN_DATA_DIR");
        setUp(this);
        from = f->dir.filePath("old");
        to = f->dir.filePath("new");
        QVERIFY(QDir().mkpath(from) && QDir().mkpath(to));
        fillOldFolder();
    }
    void cleanup()
    {
        qunsetenv("QUILLHAVEN_DATA_DIR");
        tearDown();
    }

    void theEnvironmentOverridesTheChosenFolderWhichOverridesTheDefault()
    {
        const QString data = f->dir.filePath("data");
        const QString chosen = f->dir.filePath("Sync/Notes");
        const QString forced = f->dir.filePath("forced");
        QCOMPARE(Store::configuredFolder(data), data + "/Quillhaven");
        // A chosen folder that is gone is not made again, and the choice stays for when the
        // folder is back.
        Store::rememberFolder(chosen);
        QCOMPARE(Store::configuredFolder(data), data + "/Quillhaven");
        QVERIFY(!QFileInfo::exists(chosen));
        QCOMPARE(f->log.lines.size(), 1);
        QVERIFY(f->log.lines[0].startsWith("Quillhaven: notes folder missing"));
        QCOMPARE(QSettings().value("notesFolder").toString(), chosen);
        QVERIFY(QDir().mkpath(chosen));
        QCOMPARE(Store::configuredFolder(data), chosen);
        qputenv("QUILLHAVEN_DATA_DIR", forced.toUtf8());
        QCOMPARE(Store::configuredFolder(data), forced);
        QVERIFY(QFileInfo(forced).isDir());
        QCOMPARE(f->log.lines.size(), 1);

        // A folder used while running is where the notes file is.
        Store::useFolder(chosen + "/");
        QCOMPARE(Store::url(), chosen + "/notes.json");
        QCOMPARE(Store::folder(), chosen);
        QCOMPARE(TombstoneFile::pathBeside(Store::url()), chosen + "/notes.tombstones.json");
        // Other services (another test, another set of fakes) start from their own file.
        platform::Services other;
        other.notesFile = f->dir.filePath("other/notes.json");
        const platform::ServicesGuard guard(other);
        QCOMPARE(Store::url(), other.notesFile);
    }

    void aStartAfterAnInterruptedMoveFindsEveryNote_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("switched"); // the setting names the new folder already
        QTest::addColumn<bool>("leftover"); // an empty staging folder, as a kill at the end leaves
        QTest::newRow("nothing done") << 0 << false << false;
        QTest::newRow("journal written") << 1 << false << false;
        QTest::newRow("files staged") << 2 << false << false;
        QTest::newRow("committed") << 3 << false << false;
        QTest::newRow("placed") << 4 << false << false;
        QTest::newRow("placed, setting switched") << 4 << true << false;
        QTest::newRow("old folder cleared") << 5 << true << false;
        QTest::newRow("an empty staging folder left") << 5 << true << true;
    }
    void aStartAfterAnInterruptedMoveFindsEveryNote()
    {
        QFETCH(int, steps);
        QFETCH(bool, switched);
        QFETCH(bool, leftover);
        moveUpTo(steps);
        if (leftover) {
            QVERIFY(QDir().mkpath(NotesFolder::stagingPath(to)));
        }
        const QString opened = switched ? to : from;
        const QString live = NotesFolder::recover(opened);
        if (leftover) {
            QVERIFY(f->log.lines.isEmpty()); // nothing was moving
        }
        const bool committed = steps >= 3;
        QCOMPARE(live, committed ? to : from);
        expectAllIn(live, committed ? from : to, committed ? newNotes : oldNotes);
        // A second start has nothing more to do; files that are not the program's stay.
        QCOMPARE(NotesFolder::recover(live), live);
        QVERIFY(QFile::exists(QDir(from).filePath("images/mine.txt")));
    }

    void aNotesFileThatAppearsInTheTargetIsNeverReplaced()
    {
        moveUpTo(2);
        writeFile(QDir(to).filePath("notes.json"), "theirs");
        QString error;
        QVERIFY(!NotesFolder::commit(from, to, newNotes, &error));
        QVERIFY(!error.isEmpty());
        NotesFolder::abandon(from, to);
        QCOMPARE(readFile(QDir(to).filePath("notes.json")), "theirs");
        QCOMPARE(readFile(QDir(from).filePath("notes.json")), oldNotes);
        QVERIFY(!QFile::exists(NotesFolder::journalPath(from)));
    }

    void whatTheTargetHeldAlreadyIsKept()
    {
        // A picture of the same name is the same picture; another one and older tombstones
        // stay beside ours.
        const QUuid elsewhere{QStringLiteral("{0b0b0b0b-0000-4000-8000-000000000002}")};
        writeFile(QDir(to).filePath("images/" + imageName(1)), "png1");
        writeFile(QDir(to).filePath("images/" + imageName(9)), "png9");
        QString error;
        QVERIFY(TombstoneFile::write(QDir(to).filePath("notes.tombstones.json"),
                                     {{elsewhere, utc(2026, 2, 1)}}, &error));
        moveUpTo(5);
        expectAllIn(to, from, newNotes);
        QCOMPARE(readFile(QDir(to).filePath("images/" + imageName(9))), "png9");
        QVERIFY(
            TombstoneFile::read(QDir(to).filePath("notes.tombstones.json")).contains(elsewhere));
    }
};

static RegisterSuite<NotesFolderTest> registered;

#include "NotesFolderTest.moc"
