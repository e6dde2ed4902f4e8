#include "controller/ClipboardOffer.h"
#include "model/Images.h"
#include "platform/DialogFolder.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "viewer/ImageViewer.h"
#include "viewer/ViewerPanel.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPainter>

// The full-screen image viewer: stepping, keys, the bar's actions and its size rule.
class ViewerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    NoteModel* note = nullptr;

    AppController& app() { return *f->app; }
    ViewerPanel* panel() { return static_cast<ViewerPanel*>(app().viewerWindow()); }
    ImageViewer* viewer() { return static_cast<ImageViewer*>(panel()->content()); }
    void click(const char* button) { viewer()->button(QString::fromUtf8(button))->click(); }

    // Opens the viewer on a note with `count` images of distinct sizes.
    void open(int count, int at)
    {
        note = f->shownNote("Album");
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << f->storeImage(QSize(100 + i, 80));
        note->setImages(names);
        app().viewImages(note, at);
        QVERIFY(panel() != nullptr && panel()->isVisible());
    }

    // What the viewer itself paints, over nothing.
    QImage painted()
    {
        QImage out(viewer()->size(), QImage::Format_ARGB32);
        out.fill(Qt::transparent);
        viewer()->render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
        return out;
    }

    static bool near(QRgb got, QColor wanted)
    {
        return qAbs(qRed(got) - wanted.red()) <= 2 && qAbs(qGreen(got) - wanted.green()) <= 2 &&
               qAbs(qBlue(got) - wanted.blue()) <= 2 && qAbs(qAlpha(got) - wanted.alpha()) <= 2;
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<Fixture>();
        f->startUp();
    }
    void cleanup() { f.reset(); }

    // Above everything on the whole screen over a dimmed backdrop; a card at least 520 wide
    // with the bar below, and a click beside it closes. A copied image is not offered back.
    void oneImageOnTheWholeScreen()
    {
        open(1, 0);
        QVERIFY(panel()->isMonitoring());
        QCOMPARE(viewer()->cardRect().size(), QSizeF(520, 80 + 48));
        QVERIFY(near(painted().pixel(5, 5), QColor(0, 0, 0, 128)));
        // One image has no step buttons, but the arrows still wrap.
        QVERIFY(viewer()->button("Previous") == nullptr && viewer()->button("Next") == nullptr);
        QTest::keyClick(panel(), Qt::Key_Right);
        QTest::keyClick(panel(), Qt::Key_Left);
        QCOMPARE(viewer()->caption(), "Album \u00B7 1 of 1");
        click("Copy");
        QCOMPARE(f->desktop.clipboard.size(), QSize(100, 80));
        app().clipOffer().refresh();
        Fixture::finishImages();
        QVERIFY(app().clipOffer().image().isNull());

        note->setImages({f->storeImage(QSize(4000, 3000))});
        QCOMPARE(viewer()->cardRect().size(), QSizeF(864, 648 + 48));
        QTest::mouseClick(viewer(), Qt::LeftButton, {}, viewer()->cardRect().center().toPoint());
        QVERIFY(panel()->isVisible());
        QTest::mouseClick(viewer(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!panel()->isVisible());

        // Without a compositor translucent pixels would show black: the dimmed shot is opaque.
        f->desktop.compositor = false;
        QImage screen(1440, 900, QImage::Format_RGB32);
        screen.fill(QColor(200, 100, 40));
        QPainter(&screen).fillRect(720, 0, 720, 900, QColor(40, 160, 240));
        f->desktop.screen = screen;
        app().viewImages(note, 0);
        const QImage shown = painted();
        QVERIFY(near(shown.pixel(5, 5), QColor(100, 50, 20)));
        QVERIFY(near(shown.pixel(1435, 895), QColor(20, 80, 120)));

        // Compositing switched on and off while it runs: the shot and a note's cut follow.
        f->desktop.compositor = true;
        f->desktop.compositorChanged();
        QVERIFY(qAlpha(painted().pixel(5, 5)) < 255 && app().window(note)->mask().isEmpty());
        f->desktop.compositor = false;
        f->desktop.compositorChanged();
        QVERIFY(!app().window(note)->mask().isEmpty());
        QVERIFY(near(painted().pixel(5, 5), QColor(100, 50, 20)));
    }

    // The arrows step and wrap at both ends wherever the keyboard is, other keys still reach
    // the application, and Escape closes. Opening again replaces the viewer; removing the last
    // of several shows the new last, removing the only one or deleting the note closes.
    void keysStepWrapAndCloseWhileOthersReachTheApplication()
    {
        open(3, 2);
        QCOMPARE(viewer()->caption(), "Album \u00B7 3 of 3");
        QLineEdit elsewhere;
        elsewhere.show();
        QTest::keyClicks(&elsewhere, "ok");
        QCOMPARE(elsewhere.text(), "ok");
        QTest::keyClick(&elsewhere, Qt::Key_Right);
        QCOMPARE(viewer()->caption(), "Album \u00B7 1 of 3");
        // Where there is little room the title gives way, never the position.
        const QFontMetrics metrics(viewer()->font());
        const QString narrow =
            viewer()->caption(metrics, metrics.horizontalAdvance("Al… · 1 of 3"));
        QVERIFY2(narrow.endsWith(" \u00B7 1 of 3") && narrow.contains(QChar(0x2026)),
                 qPrintable(narrow));
        QTest::keyClick(&elsewhere, Qt::Key_Left);
        QTest::keyClick(&elsewhere, Qt::Key_Left);
        QCOMPARE(viewer()->shownPosition(), 1);
        click("Next");
        click("Next");
        QCOMPARE(viewer()->shownPosition(), 0);
        click("Previous");
        QCOMPARE(viewer()->shownPosition(), 2);

        QPointer<QWidget> first = panel();
        app().viewImages(note, 1);
        QVERIFY(first != panel() && (!first || !first->isVisible()));
        QCOMPARE(viewer()->shownPosition(), 1);
        QTest::keyClick(&elsewhere, Qt::Key_Right);
        const QString last = note->images().last();
        click("Remove");
        QCOMPARE(note->images().size(), 2);
        QVERIFY(!note->images().contains(last));
        QCOMPARE(viewer()->caption(), "Album \u00B7 2 of 2");
        QVERIFY(panel()->isVisible());

        QTest::keyClick(&elsewhere, Qt::Key_Escape);
        QVERIFY(!panel()->isVisible() && !panel()->isMonitoring());
        // Closed: the arrows move the cursor in the field again.
        QTest::keyClick(&elsewhere, Qt::Key_Left);
        QCOMPARE(elsewhere.cursorPosition(), 1);

        app().viewImages(note, 0);
        app().deleteForever(note);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!panel()->isVisible() && !panel()->isMonitoring());
        open(1, 0);
        click("Remove");
        QVERIFY(note->images().isEmpty() && !panel()->isVisible());
    }

    void theImageFitsIntoMostOfTheScreenWithoutGrowing()
    {
        const std::pair<QSizeF, QSizeF> cases[] = {{{4000, 3000}, {864, 648}}, // large
                                                   {{1000, 4000}, {162, 648}}, // tall
                                                   {{100, 100}, {100, 100}},   // small
                                                   {{0, 0}, {0, 0}}};          // degenerate
        for (const auto& [image, shown] : cases)
            QCOMPARE(ImageViewer::displaySize(image, QSizeF(1440, 900)), shown);
    }

    // A picture not in memory is read on the worker: the card takes its size at once, from the
    // file's header, and the picture fills it when the worker is done.
    void aPictureNotInMemoryIsReadOnTheWorker()
    {
        note = f->shownNote("Elsewhere");
        note->setImages({f->storeImage(QSize(400, 300), Qt::red)});
        app().viewImages(note, 0);
        const QRectF card = viewer()->cardRect();
        QCOMPARE(card.size(), QSizeF(520, 300 + 48));
        const QPoint middle(int(card.center().x()), int(card.top()) + 150);
        QVERIFY(near(painted().pixel(middle), Qt::black));
        Fixture::finishImages();
        QTRY_VERIFY(near(painted().pixel(middle), Qt::red));
    }

    // Save As copies the stored file and closes; a failure says why and keeps the file that
    // was there. The name proposed is the note's title, in the folder of the last save.
    void saveAsCopiesTheStoredFile()
    {
        open(1, 0);
        QString destination = f->dir.filePath("out.png");
        QString proposed;
        f->services().chooseSaveFile = [&](const QString& path) {
            proposed = path;
            return destination;
        };
        QStringList told;
        f->services().showError = [&](const QString& text, const QString& reason) {
            told << text << reason;
        };
        click("Save As\u2026");
        QVERIFY(!panel()->isVisible());
        QFile saved(destination), stored(Images::url(note->images()[0]));
        QVERIFY(saved.open(QIODevice::ReadOnly) && stored.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), stored.readAll());
        QVERIFY(told.isEmpty());

        open(1, 0);
        note->setText("Trip 3/4");
        destination = f->dir.filePath("no such folder/out.png");
        click("Save As\u2026");
        QCOMPARE(proposed, f->dir.filePath("Trip 3-4.png"));
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].contains("\u201Cout.png\u201D"), qPrintable(told[0]));
        QVERIFY(!told[1].isEmpty());
        QCOMPARE(f->log.lines.last(), "Quillhaven: save as failed: " + told[1]);
        QCOMPARE(platform::dialogFolder(), f->dir.path()); // where the last save succeeded

        QVERIFY(!ImageViewer::copyImageFile(f->dir.filePath("gone.png"), saved.fileName()));
        saved.close();
        QVERIFY(saved.open(QIODevice::ReadOnly) && stored.seek(0));
        QCOMPARE(saved.readAll(), stored.readAll());
        QCOMPARE(f->log.lines.size(), 2);
        QVERIFY(f->log.lines[1].startsWith("Quillhaven: save as failed: "));
        QVERIFY(f->log.lines[1].size() > QString("Quillhaven: save as failed: ").size());
    }
};

static RegisterSuite<ViewerTest> registered;

#include "ViewerTest.moc"
