#include "controller/Tracking.h"

#include "controller/ClipboardOffer.h"
#include "controller/Gestures.h"
#include "motion/Motion.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QSignalSpy>
#include <QTimer>

// Reaches the controller's tracking timer.
class ControllerTestAccess {
public:
    static QTimer* trackingTimer(AppController& app) { return app.tracking().timer_.get(); }
    static void tick(AppController& app) { app.tracking().tick(); }
};

// The pad at the notch opens and closes with the pointer. The fake screen is 1440 x 900 with a
// 24-point bar: the notch's centre is x 720, the top edge y 900, the notch's lower edge y 876.
class TrackingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> h;

    AppController& app() { return *h->app; }
    void pointAt(double x, double y)
    {
        h->desktop.mouse = QPointF(x, y);
        app().tracking().trackCursor();
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Fixture>();
        h->startUp();
    }
    void cleanup() { h.reset(); }

    void opensOnlyWhenPushedAgainstTheTopNearTheNotch_data()
    {
        QTest::addColumn<double>("fromCentre");
        QTest::addColumn<double>("belowTop");
        QTest::addColumn<bool>("opens");
        QTest::newRow("109 right, 2 below") << 109.0 << 2.0 << true;
        QTest::newRow("110 right, 2 below") << 110.0 << 2.0 << false;
        QTest::newRow("109 left, 2 below") << -109.0 << 2.0 << true;
        QTest::newRow("110 left, 2 below") << -110.0 << 2.0 << false;
        QTest::newRow("centre, 3 below") << 0.0 << 3.0 << true;
        QTest::newRow("centre, 4 below") << 0.0 << 4.0 << false;
        QTest::newRow("over the closed pad") << 100.0 << 100.0 << false;
    }
    void opensOnlyWhenPushedAgainstTheTopNearTheNotch()
    {
        QFETCH(double, fromCentre);
        QFETCH(double, belowTop);
        QFETCH(bool, opens);
        pointAt(720 + fromCentre, 900 - belowTop);
        QCOMPARE(app().revealed(), opens);
        QCOMPARE(app().padWindow()->ignoresMouse(), !opens);
    }

    void anOpenPadStaysOpenWhileThePointerIsOverIt()
    {
        pointAt(720, 900);
        QVERIFY(app().revealed());
        pointAt(720 + 174, 876 - 244);
        QVERIFY(app().revealed());
        pointAt(720 - 174, 876 - 244);
        // Where the pointer is read anywhere, leaving the pad's window says nothing new.
        app().tracking().pointerCrossedPad(false);
        QVERIFY(app().revealed());
        QVERIFY(!app().padWindow()->inputRegion());

        pointAt(720 + 175, 800);
        QVERIFY(!app().revealed());
        QVERIFY(app().padWindow()->ignoresMouse());

        pointAt(720, 900);
        pointAt(720, 876 - 245);
        QVERIFY(!app().revealed());
    }

    void aPullOrANoteOverTheNotchKeepsThePadOpen()
    {
        h->desktop.mouse = QPointF(100, 100);
        app().setPadHot(true);
        app().tracking().trackCursor();
        QVERIFY(app().revealed());
        app().setPadHot(false);
        app().tracking().trackCursor();
        QVERIFY(!app().revealed());

        h->addNote(QStringLiteral("pulled"));
        app().gestures().padDragChanged(); // far below the pad: a pull is held all the same
        app().tracking().trackCursor();
        QVERIFY(app().revealed());
        QVERIFY(!app().padWindow()->ignoresMouse());
        app().gestures().padDragEnded();
        app().tracking().trackCursor();
        QVERIFY(!app().revealed());
    }

    void idleTicksAnnounceNothing()
    {
        QSignalSpy spy(&app(), &AppController::willChange);
        for (int i = 0; i < 50; ++i) {
            pointAt(300, 300);
        }
        QCOMPARE(spy.count(), 0);

        pointAt(720, 900);
        const int opening = spy.count();
        QVERIFY(opening > 0);
        for (int i = 0; i < 50; ++i) {
            pointAt(720 + (i % 7), 890);
        }
        QCOMPARE(spy.count(), opening);
    }

    // Under XWayland the pointer is seen only over the program's own windows: the hidden pad
    // keeps its top edge taking input, and leaving the pad counts as going elsewhere, since the
    // position read afterwards is the stale one from the moment it left.
    void whereThePointerIsSeenOnlyOverOwnWindows()
    {
        h.reset(); // one fixture's fakes at a time
        h = std::make_unique<Fixture>();
        h->desktop.pointerOnlyOverOwn = true;
        h->startUp();
        Panel* pad = app().padWindow();
        const QRegion strip(60, 0, 220, 4);
        QVERIFY(!pad->ignoresMouse());
        QCOMPARE(pad->inputRegion(), std::optional<QRegion>(strip));

        h->desktop.mouse = QPointF(720, 900); // arrives on the strip
        app().tracking().pointerCrossedPad(true);
        QVERIFY(app().revealed());
        QCOMPARE(pad->inputRegion(), std::optional<QRegion>(QRegion(pad->rect())));

        pointAt(720, 800); // over the open pad
        app().tracking().pointerCrossedPad(false);
        QVERIFY(!app().revealed());
        QCOMPARE(pad->inputRegion(), std::optional<QRegion>(strip));
        pointAt(720, 800); // the same stale reading keeps it closed
        QVERIFY(!app().revealed());

        pointAt(720, 900); // a fresh reading: seen over an own window again
        QVERIFY(app().revealed());
        pointAt(720, 800);
        QVERIFY(app().revealed());
    }

    // Once motion events are seen to arrive, a still pointer under the hidden pad is read only
    // every few seconds, and only to catch motion that makes no event (a warp, faked input):
    // that brings back the steady reading. Driven tick by tick, as a manual clock would.
    void motionEventsLetAStillPointerRest()
    {
        QTimer* timer = ControllerTestAccess::trackingTimer(app());
        QCOMPARE(timer->interval(), 80); // no motion event seen yet: read as before
        h->desktop.mouse = QPointF(720, 900);
        app().tracking().pointerMoved(); // motion is reported; read at the tick, as before
        ControllerTestAccess::tick(app());
        QVERIFY(app().revealed());
        h->desktop.mouse = QPointF(0, 0);
        app().tracking().pointerMoved();
        ControllerTestAccess::tick(app());
        QVERIFY(!app().revealed());
        QCOMPARE(timer->interval(), 80); // it moved during the tick: follow one more
        ControllerTestAccess::tick(app());
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000); // closed and still: only the rare check
        ControllerTestAccess::tick(app());
        QCOMPARE(timer->interval(), 3000);

        h->desktop.mouse = QPointF(720, 900);
        app().tracking().pointerMoved(); // while resting, motion is read at once
        QVERIFY(app().revealed());
        QCOMPARE(timer->interval(), 80);
        h->desktop.mouse = QPointF(0, 0);
        ControllerTestAccess::tick(app());
        ControllerTestAccess::tick(app());
        QCOMPARE(timer->interval(), 3000);

        h->desktop.mouse = QPointF(720, 900); // moved without an event (a warp, faked input)
        ControllerTestAccess::tick(app());
        QVERIFY(app().revealed());
        QCOMPARE(timer->interval(), 80);
        h->desktop.mouse = QPointF(0, 0);
        ControllerTestAccess::tick(app());
        ControllerTestAccess::tick(app());
        QCOMPARE(timer->interval(), 80); // and reads steadily again
    }

    // Where arriving at the top edge is reported too, a still pointer under the hidden pad is
    // read every few seconds until motion is seen to be reported, and then not at all; motion
    // that makes no event no longer brings back the steady reading.
    void arrivalsAtTheEdgeLetTheTimerStop()
    {
        h.reset();
        h = std::make_unique<Fixture>();
        h->desktop.arrivals = true;
        h->startUp();
        QCOMPARE(h->desktop.arrivalArea, QRectF(610, 896, 220, 4));
        QTimer* timer = ControllerTestAccess::trackingTimer(app());
        QCOMPARE(timer->interval(), 3000);

        h->desktop.mouse = QPointF(300, 300); // moved without an event: still only checked
        ControllerTestAccess::tick(app());
        QCOMPARE(timer->interval(), 3000);

        h->desktop.mouse = QPointF(720, 900);
        h->desktop.arrived();
        QVERIFY(app().revealed());
        QCOMPARE(timer->interval(), 80);
        h->desktop.mouse = QPointF(0, 0);
        ControllerTestAccess::tick(app());
        QVERIFY(!app().revealed());
        ControllerTestAccess::tick(app());
        QCOMPARE(timer->interval(), 3000); // no motion event seen yet

        app().tracking().pointerMoved();
        ControllerTestAccess::tick(app());
        ControllerTestAccess::tick(app());
        QVERIFY(!timer->isActive()); // motion and arrivals both reported: nothing to read

        app().setPadHot(true); // a dragged note over the notch reports no arrival
        QCOMPARE(timer->interval(), 80);
        QVERIFY(timer->isActive());
        ControllerTestAccess::tick(app());
        QVERIFY(app().revealed());
    }

    void theClipboardAtLaunchIsNeverOffered()
    {
        h.reset(); // one fake desktop at a time
        h = std::make_unique<Fixture>();
        h->desktop.copyImage(QImage(8, 8, QImage::Format_RGB32));
        h->startUp();
        pointAt(720, 900);
        Fixture::finishImages();
        QVERIFY(app().revealed());
        QVERIFY(app().clipOffer().image().isNull());
    }

    void aNewImageIsOfferedWhenThePadOpens()
    {
        QImage picture(12, 7, QImage::Format_RGB32);
        picture.fill(Qt::red);
        h->desktop.copyImage(picture);
        pointAt(720, 900);
        Fixture::finishImages();
        QCOMPARE(app().clipOffer().image(), picture);

        // Only the opening looks at the clipboard.
        h->desktop.copyText();
        pointAt(721, 900);
        Fixture::finishImages();
        QCOMPARE(app().clipOffer().image(), picture);

        pointAt(0, 0);
        pointAt(720, 900);
        Fixture::finishImages();
        QVERIFY(app().clipOffer().image().isNull());
    }
};

static RegisterSuite<TrackingTest> registered;
#include "TrackingTest.moc"
