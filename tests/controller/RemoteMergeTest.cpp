#include "controller/RemoteChanges.h"
#include "model/DiskFile.h"
#include "model/Images.h"
#include "model/LocalLayout.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "model/StoreFixture.h"
#include "model/Tombstones.h"
#include "noteview/ImageStrip.h"
#include "noteview/NoteTextArea.h"
#include "noteview/NoteView.h"
#include "platform/Notices.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QSignalSpy>
#include <atomic>
#include <cstdio>
#include <sys/stat.h>

// Notes changed outside while the program runs: another computer's notes file, a sync engine's
// conflict copies, pictures arriving late. Each is merged into the live notes and shown.
namespace {

// The record as another computer leaves it after `edits` changes of its own, having seen ours.
NoteData editedElsewhere(NoteData r, const QString& text, int edits = 1)
{
    r.text = text;
    r.versions.insert(QStringLiteral("there"), quint64(edits));
    r.changed = r.created.value_or(QDateTime::currentDateTimeUtc()).addSecs(60 * edits);
    r.modified = r.changed;
    r.x = 7; // where it lies there: never here
    return r;
}

NoteData newElsewhere(const QString& text)
{
    NoteData r = record(text);
    r.onScreen = true;
    r.created = r.changed = utc(2026, 2, 1, 9);
    r.versions.insert(QStringLiteral("there"), 1);
    return r;
}

} // namespace

class RemoteMergeTest : public StartedSuite {
    Q_OBJECT

    QString path;

    static QString merged(int n)
    {
        return u"Quillhaven: merged %1 change(s) from outside"_qs.arg(n);
    }
    void saved()
    {
        app().save();
        QVERIFY(app().writer().drain());
    }
    // Until all the folder showed is read and merged, and what the merge saved is seen too.
    void settled()
    {
        for (int pass = 0; pass < 2; ++pass) {
            QVERIFY(app().writer().drain());
            QCoreApplication::processEvents(); // the folder's news reach its watch
            QTRY_VERIFY(app().remote().idle());
        }
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Fixture>();
        h->startUp();
        path = h->notesPath();
    }
    void cleanup()
    {
        DiskFile::setBeforeSwapHook({});
        h.reset();
    }

    void aRemoteEditRepaintsTheNoteOnScreen()
    {
        NoteModel* note = h->shownNote(QStringLiteral("written here"));
        NoteModel* other = h->addNote(QStringLiteral("untouched"));
        saved();
        auto* view = qobject_cast<NoteView*>(app().window(note)->content());
        QVERIFY(view != nullptr);
        QTextCursor caret = view->editor()->textCursor();
        caret.setPosition(4); // the user was reading here: "writ|ten here"
        view->editor()->setTextCursor(caret);
        settled();

        // A burst of writes is merged once, from the last. The picture it names comes later.
        const NoteData base = note->data(), arrival = newElsewhere(QStringLiteral("new elsewhere"));
        const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + ".png";
        for (int i = 1; i <= 10; ++i) {
            NoteData edited = editedElsewhere(
                base, i < 10 ? QStringLiteral("outside %1").arg(i) : u"edited elsewhere"_qs, i);
            edited.images = QStringList{name};
            replaceFromOutside(path, Store::encode({edited, other->data(), arrival}));
        }
        QTRY_COMPARE(h->log.lines, QStringList{merged(2)});
        QCOMPARE(view->editor()->noteText(), QStringLiteral("edited elsewhere"));
        QCOMPARE(view->editor()->textCursor().position(), 4); // the caret did not jump
        QCOMPARE(Fixture::texts(app().notes()),
                 (QStringList{"edited elsewhere", "untouched", "new elsewhere"}));
        settled(); // the merge's own save is no outside change
        QCOMPARE(h->log.lines, QStringList{merged(2)});

        // A picture on its way is a placeholder until the engine brings it, written beside
        // and renamed.
        QCOMPARE(note->images(), QStringList{name});
        auto* strip = app().window(note)->findChild<noteview::ImageStrip*>();
        QVERIFY(strip != nullptr);
        QTRY_COMPARE(strip->tiles().size(), 1);
        QVERIFY(strip->tiles().first()->placeholder());
        const QString beside = QFileInfo(Images::url(name)).dir().filePath(".incoming.png");
        QVERIFY(flatImage(QSize(400, 300)).save(beside, "png"));
        QVERIFY(QFile::rename(beside, Images::url(name)));
        QTRY_VERIFY(strip->tiles().size() == 1 && !strip->tiles().first()->placeholder());
        QCOMPARE(Images::load(name).size(), QSize(400, 300));
    }

    void aReadableChangeDuringAWriteIsMergedNotOverwritten()
    {
        NoteModel* note = h->addNote(QStringLiteral("mine"));
        saved();
        settled();
        const QByteArray theirs =
            Store::encode({note->data(), newElsewhere(QStringLiteral("theirs"))});
        // Lands between our look at the file and our new one taking its place.
        auto once = std::make_shared<std::atomic<bool>>(true);
        DiskFile::setBeforeSwapHook([this, theirs, once] {
            if (once->exchange(false)) {
                replaceFromOutside(path, theirs);
            }
        });
        note->setText(QStringLiteral("mine, typed"));
        QVERIFY(app().writer().drain());
        QTRY_COMPARE(h->log.lines, QStringList{merged(1)});
        QTRY_COMPARE(h->savedTexts(), (QStringList{"mine, typed", "theirs"}));
        // The parked version goes once the merge is on disk.
        QTRY_VERIFY(QDir(h->dir.path()).entryList({"notes.json.*"}, QDir::Files).isEmpty());
    }

    // Written over by something that does not read, and nothing typed after: the notes go
    // back on disk at once, and what was there is kept aside, never merged.
    void anUnreadableRemoteFileIsKeptAsideNeverMerged_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("renamed over") << QStringLiteral("renamed");
        QTest::newRow("shorter, in place") << QStringLiteral("in place");
        QTest::newRow("a FIFO") << QStringLiteral("fifo");
    }
    void anUnreadableRemoteFileIsKeptAsideNeverMerged()
    {
        QFETCH(QString, how);
        h->addNote(QStringLiteral("mine"));
        saved();
        settled();
        if (how == "renamed") {
            replaceFromOutside(path, "edited by hand, and broken");
        } else if (how == "in place") {
            QFile file(path); // not truncated: the old file's tail stays behind
            QVERIFY(file.open(QIODevice::ReadWrite) && file.write("[]") == 2);
        } else {
            QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path), 0600) == 0);
        }
        QTRY_COMPARE(h->log.lines, QStringList{QStringLiteral("Quillhaven: notes file changed "
                                                              "outside, kept as ") +
                                               path + QStringLiteral(".outside-20260301-120000")});
        QVERIFY(app().writer().drain());
        QCOMPARE(h->savedTexts(), QStringList{"mine"});
    }

    // A conflict copy of the notes file is merged and removed as e2e test_merge shows. The
    // tombstones' own removes the note (deleted for good at the very time it was made) without
    // a trip to Recently Deleted.
    void conflictCopiesAreMergedThenRemoved()
    {
        h->addNote(QStringLiteral("here"));
        const QUuid doomed = h->addNote(QStringLiteral("deleted for good elsewhere"))->id();
        saved();
        settled();
        const QDir dir(h->dir.path());
        const QString dead =
            dir.filePath("notes.tombstones (conflicted copy 2026-03-01 120000).json");
        replaceFromOutside(dead, TombstoneFile::encode({{doomed, h->today}}));
        QTRY_COMPARE(h->log.lines, QStringList{merged(1)});
        QCOMPARE(h->savedTexts(), QStringList{"here"});
        QTRY_VERIFY(!QFile::exists(dead));
        QVERIFY(TombstoneFile::read(TombstoneFile::pathBeside(path)).contains(doomed));

        // A copy that does not read is never merged and stays for the user, who is told once.
        const QString broken = dir.filePath("notes (conflicted copy 2026-03-01 120001).json");
        QSignalSpy told(&platform::Notices::shared(), &platform::Notices::posted);
        replaceFromOutside(broken, "[{\"half");
        QTRY_COMPARE(h->log.lines.size(), 2);
        QCOMPARE(h->log.lines.last(),
                 "Quillhaven: a copy of the notes file does not read: " + broken);
        replaceFromOutside(dir.filePath("unrelated.txt"), "another look");
        settled();
        QVERIFY(QFile::exists(broken));
        QCOMPARE(h->log.lines.size(), 2);
        QCOMPARE(told.size(), 1);
    }

    // The other computer's clock runs a few seconds ahead: its delete, of a note it last saw
    // before the latest typing here, must not take that typing away. Alone, a tombstone says
    // nothing of what its computer had seen: it was made before it was seen here, at least.
    void aDeleteElsewhereOfANoteBeingTypedIntoKeepsIt_data()
    {
        QTest::addColumn<QString>("seenIn");
        QTest::newRow("the notes file") << QStringLiteral("notes.json");
        QTest::newRow("a conflict copy")
            << QStringLiteral("notes.sync-conflict-20260301-120000-ABCDEFG.json");
        QTest::newRow("no notes of theirs") << QString();
    }
    void aDeleteElsewhereOfANoteBeingTypedIntoKeepsIt()
    {
        QFETCH(QString, seenIn);
        NoteModel* note = h->addNote(QStringLiteral("draft"));
        saved();
        if (!seenIn.isEmpty()) {
            replaceFromOutside(QDir(h->dir.path()).filePath(seenIn),
                               Store::encode({editedElsewhere(note->data(), "draft 2")}));
            QTRY_COMPARE(h->log.lines, QStringList{merged(1)});
        }
        note->setText(QStringLiteral("draft 2, typed on"));
        saved();
        settled();
        QSignalSpy told(&platform::Notices::shared(), &platform::Notices::posted);
        replaceFromOutside(TombstoneFile::pathBeside(path),
                           TombstoneFile::encode({{note->id(), h->today.addSecs(10)}}));
        if (!seenIn.isEmpty()) {
            replaceFromOutside(path, Store::encode({newElsewhere("other")}));
        }
        QCoreApplication::processEvents(); // seen here
        h->today = h->today.addMSecs(80);
        note->setText(QStringLiteral("draft 2, typed on and on"));
        QTRY_COMPARE(told.size(), 1);
        QVERIFY(app().notes().contains(note));
        saved();
        QCOMPARE(h->savedTexts().first(), QStringLiteral("draft 2, typed on and on"));
        QVERIFY(!TombstoneFile::read(TombstoneFile::pathBeside(path)).contains(note->id()));
    }

    void aRestartKeepsThisComputersLayoutWhateverTheFileSays()
    {
        h->services().stateFolder = h->dir.filePath(QStringLiteral("state"));
        NoteModel* shown = h->shownNote(QStringLiteral("on this screen"));
        NoteModel* tucked = h->addNote(QStringLiteral("tucked here"));
        saved();
        settled();
        // The other computer only laid the windows out its own way: nothing to merge or write.
        NoteData there = shown->data();
        there.onScreen = false;
        there.folded = true;
        there.x = 7;
        NoteData other = tucked->data();
        other.onScreen = true;
        other.pw = 400;
        replaceFromOutside(path, Store::encode({there, other}));
        settled();
        QVERIFY(h->log.lines.isEmpty());
        // A layout write cut short left its temporary file.
        const QString leftover = LocalLayout::path() + QStringLiteral(".saving-AbC123");
        writeFile(leftover, "half");

        h->app.reset();
        QCOMPARE(Store::decode(h->savedBytes())->first().x, 7.0);
        h->startUp();
        NoteModel* again = app().notes().value(0);
        QCOMPARE(again->origin, QPointF(100, 300));
        QVERIFY(again->onScreen() && !again->folded() && app().window(again) != nullptr);
        QVERIFY(!app().notes().value(1)->onScreen());
        QCOMPARE(app().notes().value(1)->paperW(), NoteModel::defaultPaperW);
        QVERIFY(!QFile::exists(leftover));
    }
};

static RegisterSuite<RemoteMergeTest> registered;
#include "RemoteMergeTest.moc"
