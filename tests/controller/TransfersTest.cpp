#include "controller/Transfers.h"

#include "controller/AppController.h"
#include "model/Merge.h"
#include "model/NoteGeometry.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "model/StoreFixture.h"
#include "platform/Desktop.h"
#include "support/Fixture.h"
#include "support/Suites.h"

#include <QSignalSpy>
#include <QThreadPool>

// Notes coming in: "Restore from Backup…" merges a backup like another computer's notes, so what
// was lost comes back into Recently Deleted and nothing changed since is undone; an import comes
// once, after a backup, its shown notes on the screen where they were.
class TransfersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anImportComesOnceAndARestoreBringsBackWhatWasDeletedSince()
    {
        Fixture h;
        h.startUp();
        // After the start, whose daily copy would race with the ones made here.
        h.services().stateFolder = h.dir.filePath(QStringLiteral("state"));
        NoteModel* edited = h.addNote(QStringLiteral("draft"));
        NoteModel* lost = h.addNote(QStringLiteral("deleted forever"));
        const QUuid lostId = lost->id();
        h.app->save();
        const QString pads = h.dir.filePath(QStringLiteral("xpad"));
        writeFile(pads + "/info-1", "x 100\ny 50000\nhidden 0\ncontent content-1\n");
        writeFile(pads + "/content-1", "shown");
        writeFile(pads + "/info-2", "hidden 1\ncontent content-2\n");
        writeFile(pads + "/content-2", "tucked");
        // Found in its usual place and offered once: taken, it is not offered again.
        QThreadPool::globalInstance()->waitForDone(); // the look made at the start
        qputenv("XDG_CONFIG_HOME", h.dir.path().toUtf8());
        QSignalSpy found(&h.app->transfers(), &Transfers::offerFound);
        for (int look = 0; look < 2; ++look) {
            h.app->transfers().lookForOtherNotes();
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            const auto offer = h.app->transfers().takeOffer();
            QCOMPARE(offer.has_value(), look == 0);
            QVERIFY(!offer || (offer->source == "xpad" && offer->notes == 2));
        }
        QCOMPARE(found.size(), 1);
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(h.app->transfers().importFrom(pads), 2);
        QCOMPARE(h.app->transfers().importFrom(pads), 0);
        const NoteModel* shown = h.app->notes().at(2);
        QVERIFY(shown->onScreen() && h.app->window(shown) != nullptr);
        // Far below every screen: kept on the screen, at its bottom.
        QCOMPARE(shown->origin, QPointF(100, platform::desktop().visibleFrame().top()) -
                                    QPointF(geometry::inset, geometry::inset));
        QVERIFY(!h.app->notes().at(3)->onScreen());

        edited->setText(QStringLiteral("draft, finished"));
        h.app->trash(lost);
        h.app->deleteForever(lost);
        const QDateTime deleted = h.today;
        h.today = h.today.addSecs(60);
        const QList<Backups::Backup> backups = h.app->transfers().backups();
        QCOMPARE(backups.size(), 1); // made before the import
        QCOMPARE(backups.first().notes, 2);
        QCOMPARE(h.app->transfers().restoreFrom(backups.first().path), 1);
        QCOMPARE(Fixture::texts(h.app->notes()),
                 QStringList({"draft, finished", "shown", "tucked", "deleted forever"}));
        QCOMPARE(h.app->notes().at(3)->deletedAt(), h.today);
        h.app->writer().drain();
        QVERIFY(!TombstoneFile::read(TombstoneFile::pathBeside(Store::url())).contains(lostId));
        // Another computer that still holds the tombstone keeps the note too.
        QCOMPARE(Merge::merge(Store::load(), {{lostId, deleted}}, {}, {}, h.today).notes.size(), 4);
    }
};

static RegisterSuite<TransfersTest> registered;
#include "TransfersTest.moc"
