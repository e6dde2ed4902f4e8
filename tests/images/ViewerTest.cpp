#include "model/Images.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "viewer/ImageViewer.h"
#include "viewer/ViewerPanel.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QUuid>

// The full-screen image viewer: stepping, keys, the bar's actions and its size rule.
class ViewerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    NoteModel* note = nullptr;

    AppController& app() { return *f->app; }
    ViewerPanel* panel() { return static_cast<ViewerPanel*>(app().viewerWindow()); }
    ImageViewer* viewer() { return static_cast<ImageViewer*>(panel()->content()); }

    // Opens the viewer on a note with `count` images of distinct sizes.
    void open(int count, int at)
    {
        note = f->shownNote(QStringLiteral("Album"));
        QStringList names;
        for (int i = 0; i < count; ++i) {
            names << f->storeImage(QSize(100 + i, 80));
        }
        note->setImages(names);
        app().viewImages(note, at);
        QVERIFY(panel() != nullptr && panel()->isVisible());
    }

    // A key press as the user makes it: to whatever widget has the keyboard.
    static void press(QWidget* target, Qt::Key key) { QTest::keyClick(target, key); }

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

    void theViewerCoversTheScreenAboveEverything()
    {
        open(1, 0);
        QCOMPARE(panel()->frame(), f->desktop.frame);
        QCOMPARE(panel()->level(), Panel::Level::Viewer);
        QVERIFY(panel()->isMonitoring());
    }

    void arrowsStepAndWrapAtBothEnds()
    {
        open(3, 2);
        QCOMPARE(viewer()->caption(), QStringLiteral("Album \u00B7 3 of 3"));
        QLineEdit elsewhere;
        elsewhere.show();
        press(&elsewhere, Qt::Key_Right);
        QCOMPARE(viewer()->caption(), QStringLiteral("Album \u00B7 1 of 3"));
        press(&elsewhere, Qt::Key_Left);
        press(&elsewhere, Qt::Key_Left);
        QCOMPARE(viewer()->shownPosition(), 1);
        viewer()->button(QStringLiteral("Next"))->click();
        viewer()->button(QStringLiteral("Next"))->click();
        QCOMPARE(viewer()->shownPosition(), 0);
        viewer()->button(QStringLiteral("Previous"))->click();
        QCOMPARE(viewer()->shownPosition(), 2);
    }

    void oneImageHasNoStepButtonsButTheArrowsStillWrap()
    {
        open(1, 0);
        QVERIFY(viewer()->button(QStringLiteral("Previous")) == nullptr);
        QVERIFY(viewer()->button(QStringLiteral("Next")) == nullptr);
        for (const char* name : {"Copy", "Save As\u2026", "Remove", "Close"}) {
            QVERIFY2(viewer()->button(QString::fromUtf8(name)) != nullptr, name);
        }
        press(panel(), Qt::Key_Right);
        press(panel(), Qt::Key_Left);
        QCOMPARE(viewer()->caption(), QStringLiteral("Album \u00B7 1 of 1"));
    }

    void otherKeysReachTheApplicationWhileOpen()
    {
        open(2, 0);
        QLineEdit field;
        field.show();
        QTest::keyClicks(&field, QStringLiteral("ok"));
        QCOMPARE(field.text(), QStringLiteral("ok"));

        press(&field, Qt::Key_Escape);
        QVERIFY(!panel()->isVisible());
        QVERIFY(!panel()->isMonitoring());
        // Closed: the arrows move the cursor in the field again.
        press(&field, Qt::Key_Left);
        QCOMPARE(field.cursorPosition(), 1);
    }

    void theImageFitsIntoMostOfTheScreenWithoutGrowing_data()
    {
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<QSizeF>("shown");
        QTest::newRow("large") << QSizeF(4000, 3000) << QSizeF(864, 648);
        QTest::newRow("tall") << QSizeF(1000, 4000) << QSizeF(162, 648);
        QTest::newRow("small") << QSizeF(100, 100) << QSizeF(100, 100);
        QTest::newRow("degenerate") << QSizeF(0, 0) << QSizeF(0, 0);
    }
    void theImageFitsIntoMostOfTheScreenWithoutGrowing()
    {
        QFETCH(QSizeF, image);
        QFETCH(QSizeF, shown);
        const QSizeF got = ImageViewer::displaySize(image, QSizeF(1440, 900));
        QVERIFY2(qAbs(got.width() - shown.width()) < 1e-9 &&
                     qAbs(got.height() - shown.height()) < 1e-9,
                 qPrintable(QStringLiteral("%1 x %2").arg(got.width()).arg(got.height())));
    }

    void theCardIsAtLeast520WideWithTheBarBelow()
    {
        open(1, 0);
        QCOMPARE(viewer()->cardRect().size(), QSizeF(520, 80 + 48));
        note->setImages({f->storeImage(QSize(4000, 3000))});
        QCOMPARE(viewer()->cardRect().size(), QSizeF(864, 648 + 48));
    }

    // A picture not in memory is read on the worker: the card takes its size at once, from the
    // file's header, and the picture fills it when the worker is done.
    void aPictureNotInMemoryIsReadOnTheWorker()
    {
        const QString name =
            QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
        QImage red(400, 300, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(QDir().mkpath(QFileInfo(Images::url(name)).absolutePath()));
        QVERIFY(red.save(Images::url(name)));
        note = f->shownNote(QStringLiteral("Elsewhere"));
        note->setImages({name});
        app().viewImages(note, 0);
        const QRectF card = viewer()->cardRect();
        QCOMPARE(card.size(), QSizeF(520, 300 + 48));
        const QPoint middle(int(card.center().x()), int(card.top()) + 150);
        QVERIFY(near(painted().pixel(middle), Qt::black));
        Fixture::finishImages();
        QTRY_VERIFY(near(painted().pixel(middle), Qt::red));
    }

    void removingTheLastOfSeveralShowsTheNewLast()
    {
        open(3, 2);
        const QString last = note->images().last();
        viewer()->button(QStringLiteral("Remove"))->click();
        QCOMPARE(note->images().size(), 2);
        QVERIFY(!note->images().contains(last));
        QVERIFY(!QFile::exists(Images::url(last)));
        QCOMPARE(viewer()->caption(), QStringLiteral("Album \u00B7 2 of 2"));
        QVERIFY(panel()->isVisible());
    }

    void removingTheOnlyImageClosesTheViewer()
    {
        open(1, 0);
        viewer()->button(QStringLiteral("Remove"))->click();
        QVERIFY(note->images().isEmpty());
        QVERIFY(!panel()->isVisible());
    }

    void aBackdropClickClosesButACardClickDoesNot()
    {
        open(1, 0);
        const QPoint inCard = viewer()->cardRect().center().toPoint();
        QTest::mouseClick(viewer(), Qt::LeftButton, {}, inCard);
        QVERIFY(panel()->isVisible());
        QTest::mouseClick(viewer(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!panel()->isVisible());
    }

    void theBackdropDimsTheScreenTranslucentOnlyWithACompositor()
    {
        open(1, 0);
        QVERIFY(near(painted().pixel(5, 5), QColor(0, 0, 0, 128)));

        // Without one, translucent pixels would show black: the dimmed shot is opaque.
        f->desktop.compositor = false;
        QImage screen(1440, 900, QImage::Format_RGB32);
        screen.fill(QColor(200, 100, 40));
        QPainter(&screen).fillRect(720, 0, 720, 900, QColor(40, 160, 240));
        f->desktop.screen = screen;
        app().viewImages(note, 0);
        const QImage shown = painted();
        QVERIFY(near(shown.pixel(5, 5), QColor(100, 50, 20)));
        QVERIFY(near(shown.pixel(1435, 895), QColor(20, 80, 120)));
    }

    void theViewerClosesWhenItsNoteIsDeletedForGood()
    {
        open(2, 0);
        app().deleteForever(note);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!panel()->isVisible());
        QVERIFY(!panel()->isMonitoring());
    }

    void aCopiedImageIsNotOfferedBack()
    {
        open(1, 0);
        viewer()->button(QStringLiteral("Copy"))->click();
        QCOMPARE(f->desktop.clipboard.size(), QSize(100, 80));
        app().refreshClip();
        Fixture::finishImages();
        QVERIFY(app().clipImage().isNull());
    }

    void openingAgainReplacesTheViewer()
    {
        open(2, 0);
        QPointer<QWidget> first = panel();
        app().viewImages(note, 1);
        QVERIFY(first != panel());
        QVERIFY(!first || !first->isVisible());
        QCOMPARE(viewer()->shownPosition(), 1);
    }

    void saveAsCopiesTheStoredFileAndCloses()
    {
        open(1, 0);
        QString proposed;
        const QString destination = f->dir.filePath(QStringLiteral("out.png"));
        f->services().chooseSaveFile = [&](const QString& name) {
            proposed = name;
            return destination;
        };
        int errors = 0;
        f->services().showError = [&](const QString&, const QString&) { ++errors; };
        viewer()->button(QStringLiteral("Save As\u2026"))->click();
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("Album.png"));
        QVERIFY(!panel()->isVisible());
        QFile saved(destination), stored(Images::url(note->images()[0]));
        QVERIFY(saved.open(QIODevice::ReadOnly) && stored.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), stored.readAll());
        QCOMPARE(errors, 0);
    }

    void aFailedSaveAsTellsTheUserWhy()
    {
        open(1, 0);
        f->services().chooseSaveFile = [&](const QString&) {
            return f->dir.filePath(QStringLiteral("no such folder/out.png"));
        };
        QStringList told;
        f->services().showError = [&](const QString& text, const QString& reason) {
            told << text << reason;
        };
        viewer()->button(QStringLiteral("Save As\u2026"))->click();

        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].contains(QStringLiteral("\u201Cout.png\u201D")), qPrintable(told[0]));
        QVERIFY(!told[1].isEmpty());
        QCOMPARE(f->log.lines.last(), QStringLiteral("Quillhaven: save as failed: ") + told[1]);
    }

    void aFailedSaveKeepsTheFileAlreadyThere()
    {
        const QString destination = f->dir.filePath(QStringLiteral("keep.png"));
        QFile existing(destination);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("precious");
        existing.close();

        QVERIFY(
            !ImageViewer::copyImageFile(f->dir.filePath(QStringLiteral("gone.png")), destination));

        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("precious"));
        QCOMPARE(f->log.lines.size(), 1);
        QVERIFY(f->log.lines[0].startsWith(QStringLiteral("Quillhaven: save as failed: ")));
        QVERIFY(f->log.lines[0].size() > QStringLiteral("Quillhaven: save as failed: ").size());
    }
};

static RegisterSuite<ViewerTest> registered;

#include "ViewerTest.moc"
