#include "motion/Motion.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QSignalSpy>
#include <QTimer>

// Reaches the controller's private gesture state.
class ControllerTestAccess {
public:
    static void setPulling(AppController& app, NoteModel* note) { app.gesture_.pull.note = note; }
    static QTimer* trackingTimer(AppController& app) { return app.trackingTimer_; }
    static void tick(AppController& app) { app.trackingTick(); }
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
        app().trackCursor();
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
        QVERIFY(app().revealed());

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
        app().trackCursor();
        QVERIFY(app().revealed());
        app().setPadHot(false);
        app().trackCursor();
        QVERIFY(!app().revealed());

        NoteModel* note = h->addNote(QStringLiteral("pulled"));
        ControllerTestAccess::setPulling(app(), note);
        app().trackCursor();
        QVERIFY(app().revealed());
        QVERIFY(!app().padWindow()->ignoresMouse());
        ControllerTestAccess::setPulling(app(), nullptr);
        app().trackCursor();
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

    void thePadOpensAndClosesWithASpring()
    {
        QList<motion::Animation> seen;
        connect(&app(), qOverload<AppController::Field>(&AppController::changed), this,
                [&](AppController::Field field) {
                    if (field == AppController::Field::Revealed) {
                        seen << motion::currentAnimation();
                    }
                });
        pointAt(720, 900);
        pointAt(0, 0);
        QCOMPARE(seen.size(), 2);
        for (const motion::Animation& a : seen) {
            QCOMPARE(a.kind, motion::Animation::Kind::Spring);
            QCOMPARE(a.response, 0.35);
            QCOMPARE(a.dampingFraction, 0.85);
            QCOMPARE(a.blendDuration, 0.0);
        }
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
        app().pointerCrossedPad(true);
        QVERIFY(app().revealed());
        QCOMPARE(pad->inputRegion(), std::optional<QRegion>(QRegion(pad->rect())));

        pointAt(720, 800); // over the open pad
        app().pointerCrossedPad(false);
        QVERIFY(!app().revealed());
        QCOMPARE(pad->inputRegion(), std::optional<QRegion>(strip));
        pointAt(720, 800); // the same stale reading keeps it closed
        QVERIFY(!app().revealed());

        pointAt(720, 900); // a fresh reading: seen over an own window again
        QVERIFY(app().revealed());
        pointAt(720, 800);
        QVERIFY(app().revealed());
    }

    void elsewhereLeavingThePadChangesNothing()
    {
        pointAt(720, 900);
        pointAt(720, 800);
        app().pointerCrossedPad(false);
        QVERIFY(app().revealed());
        QVERIFY(!app().padWindow()->inputRegion());
    }

    // Once motion events are seen to arrive, a still pointer under the hidden pad is read only
    // every few seconds, and only to catch motion that makes no event (a warp, faked input):
    // that brings back the steady reading. Driven tick by tick, as a manual clock would.
    void motionEventsLetAStillPointerRest()
    {
        QTimer* timer = ControllerTestAccess::trackingTimer(app());
        QCOMPARE(timer->interval(), 80); // no motion event seen yet: read as before
        h->desktop.mouse = QPointF(720, 900);
        app().pointerMoved(); // motion is reported; read at the tick, as before
        ControllerTestAccess::tick(app());
        QVERIFY(app().revealed());
        h->desktop.mouse = QPointF(0, 0);
        app().pointerMoved();
        ControllerTestAccess::tick(app());
        QVERIFY(!app().revealed());
        QCOMPARE(timer->interval(), 80); // it moved during the tick: follow one more
        ControllerTestAccess::tick(app());
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000); // closed and still: only the rare check
        ControllerTestAccess::tick(app());
        QCOMPARE(timer->interval(), 3000);

        h->desktop.mouse = QPointF(720, 900);
        app().pointerMoved(); // while resting, motion is read at once
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

        app().pointerMoved();
        ControllerTestAccess::tick(app());
        ControllerTestAccess::tick(app());
        QVERIFY(!timer->isActive()); // motion and arrivals both reported: nothing to read

        app().setPadHot(true); // a dragged note over the notch reports no arrival
        QCOMPARE(timer->interval(), 80);
        QVERIFY(timer->isActive());
        ControllerTestAccess::tick(app());
        QVERIFY(app().revealed());
    }

    // Both reported from the start: one reading, for a pointer already at the edge, and then
    // no timer at all while the pointer rests.
    void aStillPointerCostsNothingWhereBothAreReported()
    {
        h.reset();
        h = std::make_unique<Fixture>();
        h->desktop.arrivals = true;
        h->desktop.motionEvents = true;
        h->desktop.mouse = QPointF(720, 900);
        h->startUp();
        QTimer* timer = ControllerTestAccess::trackingTimer(app());
        ControllerTestAccess::tick(app());
        QVERIFY(app().revealed());
        h->desktop.moveMouse(QPointF(0, 0));
        QTRY_VERIFY(!app().revealed());
        ControllerTestAccess::tick(app());
        ControllerTestAccess::tick(app());
        QVERIFY(!timer->isActive());
    }

    void theDesktopsMotionEventsReachTheController()
    {
        h.reset();
        h = std::make_unique<Fixture>();
        h->desktop.motionEvents = true;
        h->startUp();
        h->desktop.moveMouse(QPointF(720, 900));
        QTRY_VERIFY(app().revealed());
        h->desktop.moveMouse(QPointF(0, 0));
        QTRY_VERIFY(!app().revealed());
        QTRY_COMPARE(ControllerTestAccess::trackingTimer(app())->interval(), 3000);
    }

    void theTimerTracksThePointerOnItsOwn()
    {
        h->desktop.mouse = QPointF(720, 900);
        QTRY_VERIFY(app().revealed());
        h->desktop.mouse = QPointF(0, 0);
        QTRY_VERIFY(!app().revealed());
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
        QVERIFY(app().clipImage().isNull());
    }

    void aNewImageIsOfferedWhenThePadOpens()
    {
        QImage picture(12, 7, QImage::Format_RGB32);
        picture.fill(Qt::red);
        h->desktop.copyImage(picture);
        pointAt(720, 900);
        Fixture::finishImages();
        QCOMPARE(app().clipImage(), picture);

        // Only the opening looks at the clipboard.
        h->desktop.copyText();
        pointAt(721, 900);
        Fixture::finishImages();
        QCOMPARE(app().clipImage(), picture);

        pointAt(0, 0);
        pointAt(720, 900);
        Fixture::finishImages();
        QVERIFY(app().clipImage().isNull());
    }
};

static RegisterSuite<TrackingTest> registered;
#include "TrackingTest.moc"
