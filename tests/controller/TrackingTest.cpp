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
class TrackingTest : public StartedSuite {
    Q_OBJECT

    // Starts again on a fake desktop that `prepare` has set up (one fixture's fakes at a time).
    void restart(const std::function<void(FakeDesktop&)>& prepare)
    {
        h.reset();
        h = std::make_unique<Fixture>();
        prepare(h->desktop);
        h->startUp();
    }
    void pointAt(double x, double y)
    {
        h->desktop.mouse = QPointF(x, y);
        app().tracking().trackCursor();
    }

    // The pointer put somewhere, what is told of it, a number of ticks; then whether the pad is
    // open and how often the pointer is read (0: not at all).
    enum Told { Nothing, Moved, Arrived, Hot };
    struct Step {
        const char* what;
        QPointF mouse;
        Told told;
        int ticks;
        bool revealed;
        int interval;
    };
    void play(std::initializer_list<Step> steps)
    {
        QTimer* timer = ControllerTestAccess::trackingTimer(app());
        for (const Step& step : steps) {
            h->desktop.mouse = step.mouse;
            if (step.told == Moved) {
                app().tracking().pointerMoved();
            } else if (step.told == Arrived) {
                h->desktop.arrived();
            } else if (step.told == Hot) {
                app().setPadHot(true);
            }
            for (int i = 0; i < step.ticks; ++i) {
                ControllerTestAccess::tick(app());
            }
            QVERIFY2(app().revealed() == step.revealed, step.what);
            QVERIFY2((timer->isActive() ? timer->interval() : 0) == step.interval, step.what);
        }
    }

private Q_SLOTS:
    // Opens only when pushed against the top near the notch; once open, stays open while the
    // pointer is over the pad (up to 174 off the middle and 244 below the notch).
    void opensAtTheTopNearTheNotchAndStaysOpenOverThePad()
    {
        // 109 off the notch's middle (720) and 3 below the top (900); the open pad reaches 174
        // off and 244 below the notch's lower edge (876), not 175 or 245. From afar (the pad
        // closed), or on from the last point.
        const struct {
            double x, y;
            bool fromAfar, open;
        } points[] = {{829, 898, 1, 1}, {830, 898, 1, 0}, {611, 898, 1, 1}, {610, 898, 1, 0},
                      {720, 897, 1, 1}, {720, 896, 1, 0}, {820, 800, 1, 0}, {720, 900, 1, 1},
                      {894, 632, 0, 1}, {546, 632, 0, 1}, {895, 800, 0, 0}, {720, 900, 0, 1},
                      {720, 631, 0, 0}, {720, 900, 0, 1}};
        for (const auto& p : points) {
            if (p.fromAfar) {
                pointAt(0, 0);
            }
            pointAt(p.x, p.y);
            const QByteArray at = QByteArray::number(p.x) + ", " + QByteArray::number(p.y);
            QVERIFY2(app().revealed() == p.open, at);
            QVERIFY2(app().padWindow()->ignoresMouse() == !p.open, at);
        }
        // Where the pointer is read anywhere, leaving the pad's window says nothing new; open,
        // the pad takes the pointer where it draws (all of a window that does not say).
        app().tracking().pointerCrossedPad(false);
        QVERIFY(app().revealed());
        QCOMPARE(app().padWindow()->inputRegion(), QRegion(app().padWindow()->rect()));

        // A note dragged over the notch, or a pull, keeps it open wherever the pointer is.
        app().setPadHot(true);
        pointAt(0, 0);
        QVERIFY(app().revealed());
        app().setPadHot(false);
        app().tracking().trackCursor();
        QVERIFY(!app().revealed());

        h->addNote(QStringLiteral("pulled"));
        app().gestures().padDragChanged(); // far below the pad: a pull is held all the same
        app().tracking().trackCursor();
        QVERIFY(app().revealed() && !app().padWindow()->ignoresMouse());
        app().gestures().padDragEnded();
        app().tracking().trackCursor();
        QVERIFY(!app().revealed());
    }

    void idleTicksAnnounceNothing()
    {
        QSignalSpy spy(&app(), &AppController::willChange);
        for (int i = 0; i < 50; ++i)
            pointAt(300, 300);
        QCOMPARE(spy.count(), 0);

        pointAt(720, 900);
        const int opening = spy.count();
        QVERIFY(opening > 0);
        for (int i = 0; i < 50; ++i)
            pointAt(720 + (i % 7), 890);
        QCOMPARE(spy.count(), opening);
    }

    // Under XWayland the pointer is seen only over the program's own windows: the hidden pad
    // keeps its top edge taking input, and leaving the pad counts as going elsewhere, since the
    // position read afterwards is the stale one from the moment it left.
    void whereThePointerIsSeenOnlyOverOwnWindows()
    {
        restart([](FakeDesktop& desktop) { desktop.pointerOnlyOverOwn = true; });
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
        play({
            {"no motion event seen yet: read as before", {0, 0}, Nothing, 0, false, 80},
            {"motion is read at the tick, as before", {720, 900}, Moved, 1, true, 80},
            {"it moved during the tick: followed one more", {0, 0}, Moved, 1, false, 80},
            {"closed and still: only the rare check", {0, 0}, Nothing, 1, false, 3000},
            {"still", {0, 0}, Nothing, 1, false, 3000},
            {"while resting, motion is read at once", {720, 900}, Moved, 0, true, 80},
            {"closed and still again", {0, 0}, Nothing, 2, false, 3000},
            {"moved without an event (a warp, faked input)", {720, 900}, Nothing, 1, true, 80},
            {"and read steadily again", {0, 0}, Nothing, 2, false, 80},
        });
    }

    // Where arriving at the top edge is reported too, a still pointer under the hidden pad is
    // read every few seconds until motion is seen to be reported, and then not at all; motion
    // that makes no event no longer brings back the steady reading.
    void arrivalsAtTheEdgeLetTheTimerStop()
    {
        restart([](FakeDesktop& desktop) { desktop.arrivals = true; });
        QCOMPARE(h->desktop.arrivalArea, QRectF(610, 896, 220, 4));
        play({
            {"no motion event seen yet: checked now and then", {0, 0}, Nothing, 0, false, 3000},
            {"moved without an event: still only checked", {300, 300}, Nothing, 1, false, 3000},
            {"an arrival is read at once", {720, 900}, Arrived, 0, true, 80},
            {"closed, and no motion event seen yet", {0, 0}, Nothing, 2, false, 3000},
            {"motion and arrivals both reported: nothing to read", {0, 0}, Moved, 2, false, 0},
            {"a dragged note over the notch reports no arrival", {0, 0}, Hot, 0, false, 80},
            {"so it is read", {0, 0}, Nothing, 1, true, 80},
        });
    }

    // Only the opening of the pad looks at the clipboard. (What was there at launch is never
    // offered: ImageOpsTest.)
    void aNewImageIsOfferedWhenThePadOpens()
    {
        const auto offeredAt = [this](double x) {
            pointAt(x, 900);
            Fixture::finishImages();
            return app().clipOffer().image();
        };
        const QImage picture = flatImage(QSize(12, 7), Qt::red);
        h->desktop.copyImage(picture);
        QCOMPARE(offeredAt(720), picture);
        h->desktop.copyText();
        QCOMPARE(offeredAt(721), picture); // still open
        pointAt(0, 0);
        QVERIFY(offeredAt(720).isNull());
    }
};

static RegisterSuite<TrackingTest> registered;
#include "TrackingTest.moc"
