#include "app/WidgetViews.h"
#include "controller/ClipboardOffer.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "model/Images.h"
#include "model/NotesWriter.h"
#include "noteview/ImageStrip.h"
#include "noteview/NoteTextArea.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

// Adding, removing and choosing images, the clipboard offer and screen captures into notes.
class ImageOpsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    AppController& app() { return *f->app; }

    // A launcher that plays the capture child: writes `shot` (unless null) and ends at once.
    static platform::Services::CaptureLauncher fakeChild(QImage shot, QString* usedFile)
    {
        return [shot, usedFile](const QString& file, std::function<void()> finished, QString*) {
            *usedFile = file;
            if (!shot.isNull())
                shot.save(file, "PNG");
            finished();
            return true;
        };
    }

    // Whether every tile of the note finds the copy the worker made at exactly its pixels.
    bool tilesHaveTheirCopies(NoteModel* note)
    {
        const Panel* panel = app().window(note);
        const auto* strip = panel ? panel->findChild<noteview::ImageStrip*>() : nullptr;
        if (strip == nullptr || strip->tiles().size() != note->images().size())
            return false;
        const QList<noteview::StripTile*> tiles = strip->tiles();
        return std::all_of(tiles.cbegin(), tiles.cend(), [](const noteview::StripTile* tile) {
            const QSize pixels = (QSizeF(tile->size()) * tile->devicePixelRatioF()).toSize();
            return !Images::displayCopy(tile->name(), pixels).isNull();
        });
    }

    // Ctrl+V pressed on the note's window, and whatever it started finished.
    void pasteInto(NoteModel* note)
    {
        QTest::keyClick(app().window(note)->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        f->finishImages();
    }
    // What the clipboard offer holds once the clipboard has been looked at again.
    QImage offered()
    {
        app().clipOffer().refresh();
        f->finishImages();
        return app().clipOffer().image();
    }
    static QList<QSize> sizes(const NoteModel* note)
    {
        QList<QSize> sizes;
        for (const QString& name : note->images())
            sizes << Images::load(name).size();
        return sizes;
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<Fixture>();
        f->startUp();
    }
    void cleanup() { f.reset(); }

    // Grown by its strip with a pat; a name listed twice goes at once with its file; a note
    // gone while its picture is stored keeps no file.
    void addingAndRemovingAPictureGrowsTheWindowAndLeavesNoStrayFile()
    {
        NoteModel* note = f->shownNote(QStringLiteral("holiday"));
        note->setPaperW(220);
        const QString twice = f->storeImage(QSize(300, 150));
        const QString other = f->storeImage(QSize(300, 150));
        note->setImages({twice, other});
        app().sizes().resize(note);
        f->sounds.clear();
        app().images().addImage(note, flatImage(QSize(400, 200)));
        f->finishImages();
        f->advance(0.5);
        QCOMPARE(note->images().size(), 3);
        const QString added = note->images().last();
        QVERIFY(QFile::exists(Images::url(added)));
        QCOMPARE(f->sounds, QList<Sound::Effect>{Sound::Effect::Pat});
        QCOMPARE(note->modified(), f->today);
        QVERIFY(f->notesText().contains(added));
        // Grown down from its top: the file has the place it grew to.
        QVERIFY(app().writer().drain());
        QCOMPARE(f->savedNotes()[0].toObject()["y"].toDouble(), note->origin.y());
        QCOMPARE(note->origin.y(), app().window(note)->frame().y());

        note->setImages({twice, other, twice});
        f->sounds.clear();
        app().images().removeImage(note, twice);
        QCOMPARE(note->images(), QStringList{other});
        QVERIFY(!QFile::exists(Images::url(twice)) && QFile::exists(Images::url(other)));
        QVERIFY(f->sounds.isEmpty() && !f->notesText().contains(twice));

        NoteModel* deleted = f->shownNote(QStringLiteral("deleted"));
        const QStringList files = QDir(Images::dir()).entryList(QDir::Files);
        app().images().addImage(note, flatImage(QSize(1200, 900)));
        app().images().addImage(deleted, flatImage(QSize(1200, 900)));
        app().trash(note);
        app().deleteForever(deleted);
        f->advance(0.5); // the crumple ends: the note is in Recently Deleted
        f->finishImages();
        QCOMPARE(note->images(), QStringList{other});
        QCOMPARE(QDir(Images::dir()).entryList(QDir::Files), files);
        QVERIFY(!f->sounds.contains(Sound::Effect::Pat));
    }

    // Ctrl+V on a note pastes the clipboard's picture, even for a key that comes before the
    // clipboard's kind is known or an owner too slow for the first look; an owner that never
    // answers is asked once per change. (What the pad offers is tried with the pad's tracking.)
    void theClipboardImageIsOfferedAndPasted()
    {
        NoteModel* note = f->shownNote(QStringLiteral("paste here"));
        f->desktop.copyImage(flatImage(QSize(30, 20)));
        f->desktop.kindUnknown = true;
        app().window(note)->findChild<noteview::TextArea*>()->setFocus();
        QTest::keyClick(app().window(note)->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(note->images().size(), 1);
        f->finishImages();
        f->desktop.kindUnknown = false;

        note->setText(QStringLiteral("typed"));
        f->desktop.copyImage(flatImage(QSize(30, 20)));
        f->desktop.silentOwner = true;
        const int reads = f->desktop.clipboardReads;
        QVERIFY(offered().isNull());
        QVERIFY(offered().isNull()); // looked at again: the owner is not asked again
        QCOMPARE(f->desktop.clipboardReads, reads + 1);
        f->desktop.silentOwner = false;
        f->desktop.slowOwner = true;
        pasteInto(note);
        QCOMPARE(note->images().size(), 2);
        f->desktop.slowOwner = false;
        // The next change is read afresh.
        f->desktop.copyImage(flatImage(QSize(30, 20)));
        QCOMPARE(offered().size(), QSize(30, 20));

        // One that lists text and then stalls holds up no paste: the toolkit is not asked.
        f->desktop.copyText();
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        f->desktop.stallsOnText = true;
        app().window(note)->makeKey();
        app().window(note)->findChild<noteview::TextArea*>()->setFocus();
        pasteInto(note);
        QCOMPARE(note->text(), QStringLiteral("typed"));
        f->desktop.stallsOnText = false; // text that comes is pasted when it comes
        QTest::keyClick(app().window(note)->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY(note->text().contains(QStringLiteral("pasted")));
        QGuiApplication::clipboard()->clear();
    }

    // Chosen files that are no images are skipped; the rest reach the note in the order added
    // whatever finishes first, each shown as it becomes ready.
    void chosenPicturesArriveInOrderAndNonImagesAreSkipped()
    {
        NoteModel* note = f->shownNote(QStringLiteral("Trip\nmore"));
        // A noisy picture takes far longer to decode, shrink and encode than the small ones.
        QImage noise(3000, 2400, QImage::Format_RGB32);
        auto* bits = reinterpret_cast<quint32*>(noise.bits());
        for (quint32 i = 0, seed = 7; i < 3000 * 2400; ++i)
            bits[i] = seed = seed * 1664525u + 1013904223u;
        const QString slow = f->dir.filePath(QStringLiteral("slow.png"));
        const QString broken = f->dir.filePath(QStringLiteral("notes.txt"));
        QFile text(broken);
        QVERIFY(noise.save(slow, "PNG") && text.open(QIODevice::WriteOnly) && text.write("x") > 0);
        text.close();
        QString asked;
        const QStringList chosen{f->writeFile("a.png", QSize(20, 10)), slow, broken,
                                 f->writeFile("b.png", QSize(10, 20))};
        f->services().chooseImages = [&](const QString& message) {
            asked = message;
            return chosen;
        };
        QList<int> seen;
        connect(note, &NoteModel::changed, this, [&] { seen << int(note->images().size()); });
        Images::setWorkerThreads(3); // so the last one can finish first
        f->sounds.clear();
        app().images().chooseImages(note);
        app().images().addImage(note, flatImage(QSize(30, 30)));
        // Each has its place at once, by its header, and shows it is coming; the text file too.
        QCOMPARE(note->incoming(), (QList<QSize>{QSize(20, 10), QSize(3000, 2400), QSize(),
                                                 QSize(10, 20), QSize(30, 30)}));
        const auto* strip = app().window(note)->findChild<noteview::ImageStrip*>();
        QCOMPARE(strip->tiles().size(), 5);
        QVERIFY(strip->tiles().constLast()->isComing() && strip->isVisible());
        const double waitingH = app().sizes().stripH(note);
        f->finishImages();
        Images::setWorkerThreads(1);
        // The pictures take their places without a jump; the unreadable one's goes.
        QVERIFY(note->incoming().isEmpty() && strip->tiles().size() == 4);
        QCOMPARE(app().sizes().stripH(note),
                 waitingH - geometry::incomingHeight(QSize(), 0) - noteview::ImageStrip::gap);

        QCOMPARE(asked, QStringLiteral("Choose images to add to \u201CTrip\u201D"));
        QCOMPARE(sizes(note),
                 (QList<QSize>{QSize(20, 10), QSize(2000, 1600), QSize(10, 20), QSize(30, 30)}));
        seen.removeAll(0);
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        QCOMPARE(seen, (QList<int>{1, 2, 3, 4})); // shown one by one as each became ready
        QCOMPARE(f->sounds, QList<Sound::Effect>(4, Sound::Effect::Pat));
        QCOMPARE(f->desktop.haptics, 4);

        // Each tile finds the copy the worker made at its pixels: odd paper widths, a picture
        // clamped to the tallest tile and one to the flattest.
        note->setImages({});
        note->setPaperW(233);
        app().sizes().resize(note);
        for (const QSize size : {QSize(3001, 1999), QSize(20, 3000), QSize(3000, 7)})
            app().images().addImage(note, flatImage(size));
        f->finishImages();
        f->advance(0.5);
        QCOMPARE(note->images().size(), 3);
        QVERIFY(tilesHaveTheirCopies(note));
    }

    // A screenshot note is blue, stamped with the minute and on the screen. A captured region
    // becomes such a note, or joins the note it was asked for; either way the child's file
    // goes, also when its note is gone. Cancelled or failed, nothing is added.
    void aCaptureBecomesANoteOrJoinsOne()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        f->today = QDateTime(QDate(2026, 3, 1), QTime(15, 7), Qt::UTC);
        QString file;
        f->services().launchCapture = fakeChild(flatImage(QSize(641, 479)), &file);
        app().images().captureScreenshot(nullptr);
        f->finishImages();
        QLocale::setDefault(QLocale::c());
        QVERIFY(!QFile::exists(file));
        QCOMPARE(app().notes().size(), 1);
        NoteModel* note = app().notes().last();
        QCOMPARE(sizes(note), QList<QSize>{QSize(641, 479)});
        QCOMPARE(note->text(), QStringLiteral("Screenshot \u00B7 15:07\n"));
        QVERIFY(note->onScreen() && app().window(note) != nullptr);
        // It had no window yet when its picture's copy was asked for.
        QVERIFY(tilesHaveTheirCopies(note));
        // The C locale's time pattern carries seconds; the stamp never does.
        app().images().screenshotNote(flatImage(QSize(64, 48)));
        f->finishImages();
        QCOMPARE(app().notes().last()->text(), QStringLiteral("Screenshot \u00B7 15:07\n"));
        QCOMPARE(app().notes().size(), 2);

        app().images().captureScreenshot(note);
        f->finishImages();
        QCOMPARE(app().notes().size(), 2);
        QCOMPARE(note->images().size(), 2);
        QVERIFY(!QFile::exists(file));

        f->services().launchCapture = fakeChild(QImage(), &file);
        app().images().captureScreenshot(nullptr);
        f->finishImages();
        QVERIFY(f->log.lines.isEmpty());
        f->services().launchCapture = [](const QString&, std::function<void()>, QString* error) {
            *error = QStringLiteral("No such file or directory");
            return false;
        };
        app().images().captureScreenshot(nullptr);
        f->finishImages();
        QCOMPARE(app().notes().size(), 2);
        QCOMPARE(f->log.lines, QStringList{QStringLiteral(
                                   "Quillhaven: screencapture failed: No such file or directory")});

        std::function<void()> end;
        f->services().launchCapture = [&](const QString& path, std::function<void()> finished,
                                          QString*) {
            file = path;
            end = finished;
            return true;
        };
        app().images().captureScreenshot(note);
        f->finishImages();
        app().deleteForever(note);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flatImage(QSize(10, 10)).save(file, "PNG");
        const qsizetype left = app().notes().size();
        end();
        f->finishImages();
        QCOMPARE(app().notes().size(), left);
        QVERIFY(!QFile::exists(file));
    }
};

static RegisterSuite<ImageOpsTest> registered;

#include "ImageOpsTest.moc"
