#include "controller/AppController.h"
#include "controller/Transfers.h"
#include "model/Merge.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "support/Fixture.h"
#include "support/Suites.h"

// "Restore from Backup…" merges a backup like another computer's notes: what was lost comes
// back into Recently Deleted, and nothing changed since is undone.
class BackupRestoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aRestoreBringsBackWhatWasDeletedForeverAndKeepsLaterEdits()
    {
        Fixture h;
        h.startUp();
        // After the start, whose daily copy would race with the one made here.
        h.services().stateFolder = h.dir.filePath(QStringLiteral("state"));
        NoteModel* edited = h.addNote(QStringLiteral("draft"));
        NoteModel* lost = h.addNote(QStringLiteral("deleted forever"));
        const QUuid lostId = lost->id();
        h.app->save();
        QVERIFY(h.app->transfers().backUpNow());
        edited->setText(QStringLiteral("draft, finished"));
        h.app->trash(lost);
        h.app->deleteForever(lost);
        const QDateTime deleted = h.today;

        h.today = h.today.addSecs(60);
        const QList<Backups::Backup> backups = h.app->transfers().backups();
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().notes, 2);
        QCOMPARE(h.app->transfers().restoreFrom(backups.first().path), 1);
        QCOMPARE(Fixture::texts(h.app->notes()),
                 QStringList({"draft, finished", "deleted forever"}));
        QCOMPARE(h.app->notes().at(1)->deletedAt(), h.today);
        h.app->writer().drain();
        QCOMPARE(h.savedTexts(), QStringList({"draft, finished", "deleted forever"}));
        QVERIFY(!TombstoneFile::read(TombstoneFile::pathBeside(Store::url())).contains(lostId));
        // Another computer that still holds the tombstone keeps the note too.
        const Merge::Result there =
            Merge::merge(Store::load(), {{lostId, deleted}}, {}, {}, h.today);
        QCOMPARE(there.notes.size(), 2);
    }
};

static RegisterSuite<BackupRestoreTest> registered;
#include "BackupRestoreTest.moc"
