#include "controller/NotesFolderMove.h"

#include "controller/FolderLocks.h"
#include "model/Images.h"
#include "model/NotesFolder.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "model/StoreFixture.h"
#include "platform/FileLock.h"
#include "platform/FolderChooser.h"
#include "platform/Notices.h"
#include "support/Fixture.h"
#include "support/Suites.h"

#include <QApplication>
#include <QFileDialog>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>

// "Notes Folder…": the notes, their pictures and tombstones move to the folder the user
// chooses, the program goes on saving there, and whatever stands in the way is said on the
// dashboard with nothing changed.
class NotesFolderMoveTest : public StartedSuite {
    Q_OBJECT

    QString target;
    QString picture;

    QStringList texts() const { return Fixture::texts(h->app->notes()); }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Fixture>();
        picture = h->storeImage(QSize(30, 20));
        QJsonObject note = Fixture::record(QStringLiteral("kept"));
        note[QStringLiteral("images")] = QJsonArray{picture};
        h->writeNotes({note});
        target = h->dir.filePath(QStringLiteral("Sync/Notes"));
        QVERIFY(QDir().mkpath(target));
        h->startUp();
    }

    // What e2e test_notesfolder cannot see: the start folder the chooser is given, the signal,
    // and the pictures served and stored from the new folder.
    void theNotesMoveAndAreSavedInTheNewFolderOnly()
    {
        QString asked;
        h->services().chooseFolder = [&](const QString&, const QString& start, auto chosen) {
            asked = start;
            chosen(target);
        };
        QSignalSpy moved(&app(), &AppController::notesFolderChanged);
        app().folderMove().choose();
        QCOMPARE(asked, h->dir.path());
        QTRY_COMPARE(moved.count(), 1);
        QCOMPARE(moved[0][0].toString(), target);
        QVERIFY(!app().folderMove().moving());

        QCOMPARE(Store::url(), target + "/notes.json");
        QVERIFY(!Images::load(picture).isNull());
        app().notes()[0]->setText(QStringLiteral("edited after the move"));
        const QString added = h->saveImage(QSize(10, 10));
        app().writer().drain();
        QVERIFY(readFile(target + "/notes.json").contains("edited after the move"));
        QVERIFY(QFile::exists(target + "/images/" + added));
        QStringList left = QDir(h->dir.path()).entryList(QDir::Files);
        left.removeAll(QStringLiteral("Quillhaven.conf")); // the program's settings stay
        QCOMPARE(left, QStringList());
    }

    void aFolderThatHoldsNotesIsShownAsItIsAfterTellingTheUser()
    {
        const QByteArray theirs =
            QJsonDocument(QJsonArray{Fixture::record(u"from the other computer"_qs)}).toJson();
        writeFile(target + "/notes.json", theirs);
        const QByteArray mine = h->savedBytes();
        QSignalSpy told(&platform::Notices::shared(), &platform::Notices::posted);
        QSignalSpy moved(&app(), &AppController::notesFolderChanged);

        app().folderMove().moveTo(target);
        QCOMPARE(texts(), QStringList{"from the other computer"});
        QCOMPARE(moved.count(), 1);
        QCOMPARE(told.count(), 1);
        QVERIFY(told[0][0].toString().contains(target));
        QVERIFY(told[0][0].toString().contains(h->dir.path()));
        // Neither file is overwritten: the notes left behind are all still there.
        app().writer().drain();
        QCOMPARE(readFile(target + "/notes.json"), theirs);
        QCOMPARE(readFile(h->notesPath()), mine);
        QVERIFY(QFile::exists(h->dir.filePath("images/" + picture)));
    }

    void whatStandsInTheWayIsSaidAndNothingChanges_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("another copy uses it") << "in use";
        QTest::newRow("it cannot be written to") << "unwritable";
        QTest::newRow("the disk fills up") << "full";
        QTest::newRow("not a folder") << "file";
        QTest::newRow("a link to the pictures") << "link";
    }
    void whatStandsInTheWayIsSaidAndNothingChanges()
    {
        QFETCH(QString, why);
        QString folder = target;
        std::unique_ptr<platform::FileLock> otherCopy;
        std::unique_ptr<FileSizeLimit> full;
        if (why == "in use") {
            otherCopy = std::make_unique<platform::FileLock>(folderLockPath(target));
            QCOMPARE(otherCopy->tryLock(), platform::FileLock::State::Taken);
        } else if (why == "unwritable") {
            folder = QStringLiteral("/proc/self"); // refuses new files even to root
        } else if (why == "full") {
            // Noise: a picture that does not compress below the limit.
            QImage big(300, 300, QImage::Format_RGB32);
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(big.bits()),
                                                  big.sizeInBytes() / 4);
            QVERIFY(big.save(
                QDir(Images::dir())
                    .filePath(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() +
                              ".png")));
            full = std::make_unique<FileSizeLimit>(16 * 1024);
        } else if (why == "link") {
            folder = target + "/pictures";
            QVERIFY(QFile::link(h->dir.filePath("images"), folder));
        } else {
            folder = h->writeFile(QStringLiteral("plain.png"), QSize(4, 4));
        }
        const QByteArray before = h->savedBytes();
        QSignalSpy told(&platform::Notices::shared(), &platform::Notices::posted);
        QSignalSpy moved(&app(), &AppController::notesFolderChanged);
        app().folderMove().moveTo(folder);
        QTRY_COMPARE(told.count(), 1);
        QVERIFY(!app().folderMove().moving());
        full.reset();
        QCOMPARE(moved.count(), 0);
        QCOMPARE(h->savedBytes(), before);
        QVERIFY(QFile::exists(h->dir.filePath("images/" + picture)));
        QVERIFY(!QFile::exists(NotesFolder::journalPath(h->dir.path())));
        QVERIFY(!QFile::exists(NotesFolder::stagingPath(target)));
        QVERIFY(!QFile::exists(target + "/notes.json"));
        QCOMPARE(h->log.lines.size(), 1);
        QVERIFY2(told[0][0].toString().contains(why == "in use" ? "Another copy" : "could not"),
                 qPrintable(told[0][0].toString()));
        if (why != "in use") {
            // The lock taken for the move is let go again.
            platform::FileLock later(folderLockPath(target));
            QCOMPARE(later.tryLock(), platform::FileLock::State::Taken);
        }
        // The notes are still saved where they were.
        app().notes()[0]->setText(QStringLiteral("still here"));
        QVERIFY(h->savedBytes().contains("still here"));
    }

    void aStartFinishesAMoveThatWasCommitted()
    {
        QString error;
        const QString from = h->dir.path();
        const QByteArray notes = h->savedBytes();
        h->app.reset();
        QVERIFY(NotesFolder::begin(from, target, &error));
        QVERIFY(NotesFolder::stageBulk(from, target, &error));
        QVERIFY(NotesFolder::commit(from, target, notes, &error));
        // The program stops here; the next start finds the notes in the new folder.
        h->startUp();
        QCOMPARE(texts(), QStringList{"kept"});
        QCOMPARE(Store::url(), target + "/notes.json");
        QCOMPARE(QSettings().value("notesFolder").toString(), target);
        QCOMPARE(h->log.lines.size(), 1);
        QVERIFY(h->log.lines[0].startsWith("Quillhaven: finished moving the notes"));
    }

    void theFolderChooserOpensWithoutWaitingAtTheCurrentFolder()
    {
        QString chosen;
        platform::chooseFolder(QStringLiteral("Choose"), target, this,
                               [&](const QString& folder) { chosen = folder; });
        const auto dialogs = [] {
            QList<QFileDialog*> open;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<QFileDialog*>(window); found && found->isVisible())
                    open << found;
            return open;
        };
        QCOMPARE(dialogs().size(), 1);
        QFileDialog* dialog = dialogs()[0];
        QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
        QCOMPARE(dialog->directory().absolutePath(), target);
        QVERIFY(chosen.isEmpty());
        // Asked again, the same dialog comes forward.
        platform::chooseFolder(QStringLiteral("Choose"), target, this, [](const QString&) {});
        QCOMPARE(dialogs(), QList<QFileDialog*>{dialog});
        static_cast<QDialog*>(dialog)->accept();
        QCOMPARE(chosen, target);
        QTRY_VERIFY(QApplication::topLevelWidgets().indexOf(dialog) < 0);
    }
};

static RegisterSuite<NotesFolderMoveTest> registered;

#include "NotesFolderMoveTest.moc"
