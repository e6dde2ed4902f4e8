#include "motion/Motion.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QTest>
#include <QWidget>
#include <algorithm>
#include <memory>

using motion::AnimatedValue;
using motion::Animation;
using motion::FrameClock;

namespace {

FrameClock& frames()
{
    return FrameClock::instance();
}

// Steps the manual clock frame by frame until the value settles.
struct Run {
    double highest = -1e9, settledAfter = -1;
    bool monotonic = true;
};

Run runUntilSettled(AnimatedValue& value)
{
    Run run;
    for (double t = 0, last = value.value(); t < 5; last = value.value()) {
        frames().advance(1.0 / 60);
        t += 1.0 / 60;
        run.highest = std::max(run.highest, value.value());
        run.monotonic = run.monotonic && value.value() >= last;
        if (!value.isAnimating()) {
            run.settledAfter = t;
            break;
        }
    }
    return run;
}

} // namespace

class MotionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { frames().setManual(true); }
    void cleanup() { QCOMPARE(frames().activeTickers(), 0); }

    // A critically damped spring arrives without overshoot, a bouncy one overshoots a little.
    void springsSettleOnTheirTarget()
    {
        const struct {
            const char* name;
            Animation spring;
            double peakAbove, peakAtMost;
        } cases[] = {{"critical", Animation::standard(), 0, 100},
                     {"bouncy", Animation::spring(0.3, 0.85), 100.2, 102}};
        for (const auto& c : cases) {
            AnimatedValue value(0);
            int changes = 0;
            value.onChange = [&] { ++changes; };
            value.setTarget(100, c.spring);
            const Run run = runUntilSettled(value);
            QVERIFY2(run.highest > c.peakAbove && run.highest <= c.peakAtMost,
                     qPrintable(QStringLiteral("%1: %2").arg(c.name).arg(run.highest)));
            QVERIFY2(run.settledAfter > 0.4 && run.settledAfter < 1.5, c.name);
            QVERIFY2(run.monotonic == (c.peakAtMost == 100), c.name);
            QVERIFY2(value.value() == 100 && value.velocity() == 0 && changes > 20, c.name);
        }
    }

    void springResponseIsItsPeriod()
    {
        // A lightly damped spring swings with (almost) the undamped period.
        AnimatedValue value(0);
        value.setTarget(1, Animation::spring(0.4, 0.05));
        std::vector<double> peaks;
        double before = 0, previous = 0;
        for (int frame = 1; frame <= 2000 && peaks.size() < 3; ++frame) {
            frames().advance(0.001, 0.001);
            if (previous > before && previous >= value.value())
                peaks.push_back((frame - 1) * 0.001);
            before = previous;
            previous = value.value();
        }
        QCOMPARE(peaks.size(), std::size_t(3));
        QVERIFY(std::abs((peaks[2] - peaks[0]) / 2 - 0.4) < 0.01);
        value.jump(0);
    }

    // A retargeted spring keeps its momentum; with a blend duration the new target is eased in.
    void retargetedSpringsCarryOn()
    {
        AnimatedValue value(0);
        value.setTarget(100, Animation::spring(0.5, 1.0));
        frames().advance(0.1);
        const double speed = value.velocity(), position = value.value();
        QVERIFY(speed > 100);
        value.setTarget(0, Animation::spring(0.5, 1.0));
        QCOMPARE(value.velocity(), speed);
        frames().advance(1.0 / 60);
        QVERIFY(value.value() > position); // still travelling forwards for a moment
        QVERIFY(runUntilSettled(value).settledAfter > 0);
        QCOMPARE(value.value(), 0.0);

        AnimatedValue hard(0), blended(0);
        hard.setTarget(100, Animation::spring(0.3, 1.0));
        blended.setTarget(100, Animation::spring(0.3, 1.0));
        frames().advance(0.1);
        hard.setTarget(-100, Animation::spring(0.3, 1.0));
        blended.setTarget(-100, Animation::spring(0.3, 1.0, 0.3));
        frames().advance(0.05);
        QVERIFY(blended.value() > hard.value() + 1);
        runUntilSettled(blended);
        QCOMPARE(blended.value(), -100.0);
        hard.jump(0);
    }

    void easeRetargetStartsFromCurrentValue()
    {
        AnimatedValue value(0);
        value.setTarget(100, Animation::easeInOut(0.4));
        frames().advance(0.2);
        QVERIFY(std::abs(value.value() - 50) < 1e-6);
        value.setTarget(0, Animation::easeOut(0.2));
        frames().advance(1.0 / 120, 1.0 / 120);
        QVERIFY(value.value() < 50 && value.value() > 40);
        frames().advance(0.2);
        QCOMPARE(value.value(), 0.0);
        QVERIFY(!value.isAnimating());

        // None jumps and reports once; a target already reached starts nothing.
        int changes = 0;
        value.setTarget(10, Animation::spring(0.5, 1.0));
        value.onChange = [&] { ++changes; };
        value.setTarget(7, Animation::none());
        QCOMPARE(changes, 1);
        QCOMPARE(value.value(), 7.0);
        QVERIFY(!value.isAnimating());
        value.setTarget(7, Animation::standard());
        QVERIFY(!value.isAnimating());

        // Views retarget on every announced change, equal values included: the move goes on.
        value.setTarget(100, Animation::easeOut(0.4));
        frames().advance(0.2);
        value.setTarget(100, Animation::easeOut(0.4));
        frames().advance(0.2);
        QCOMPARE(value.value(), 100.0);
        QVERIFY(!value.isAnimating());

        // Retargeted from onChange on arrival: one frame arrives, and the value keeps running.
        value.onChange = [&] {
            if (value.value() == 100)
                value.setTarget(200, Animation::easeOut(0.1));
        };
        value.setTarget(0, Animation::none());
        value.setTarget(100, Animation::easeOut(0.1));
        frames().advance(0.2, 0.2);
        QVERIFY(value.isAnimating());
        frames().advance(0.5);
        QCOMPARE(value.value(), 200.0);
    }

    void valuesMayDieOrStartDuringAFrame()
    {
        auto victim = std::make_unique<AnimatedValue>(0),
             killer = std::make_unique<AnimatedValue>(0);
        AnimatedValue late(0);
        killer->onChange = [&] {
            victim.reset();
            late.setTarget(5, Animation::easeOut(0.1));
        };
        killer->setTarget(1, Animation::easeOut(0.1));
        victim->setTarget(1, Animation::easeOut(0.1));
        int selfDestructs = 0;
        auto* self = new AnimatedValue(0);
        self->onChange = [&] {
            ++selfDestructs;
            delete self;
        };
        self->setTarget(1, Animation::easeOut(0.1));
        frames().advance(0.3);
        QVERIFY(!victim);
        QCOMPARE(selfDestructs, 1);
        QCOMPARE(late.value(), 5.0);
        killer.reset();
    }

    // Every curve runs from 0 to 1 without going back; the well-known "ease" and "ease-in-out"
    // timing functions match their reference values.
    void easeCurvesRunFromZeroToOneWithoutGoingBack()
    {
        const std::pair<const char*, Animation> curves[] = {
            {"easeOut", Animation::easeOut(1)},
            {"easeInOut", Animation::easeInOut(1)},
            {"default timing", motion::defaultTiming(1)},
            {"glide", motion::glideCurve(1)}};
        for (const auto& [name, curve] : curves) {
            QVERIFY2(curve.ease(0) == 0 && curve.ease(1) == 1 && curve.ease(0.99) < 1, name);
            double last = 0;
            for (int i = 1; i <= 1000; last = curve.ease(i++ / 1000.0))
                QVERIFY2(curve.ease(i / 1000.0) >= last - 1e-12, name);
        }
        QVERIFY(std::abs(motion::defaultTiming(1).ease(0.5) - 0.80240) < 1e-4);
        QVERIFY(std::abs(Animation::easeInOut(1).ease(0.25) - 0.12916) < 1e-4);
        QVERIFY(Animation::easeOut(1).ease(0.25) > 0.35);
        QVERIFY(motion::glideCurve(1).ease(0.2) > 0.65); // the glide is nearly there early
    }

    void transactionsNest()
    {
        QVERIFY(motion::currentAnimation().isNone());
        motion::withAnimation(Animation::spring(0.3, 0.7), [] {
            const Animation& outer = motion::currentAnimation();
            for (int i = 0; i < 50; ++i)
                motion::withAnimation(Animation::easeOut(i), [] {
                    QCOMPARE(motion::currentAnimation().kind, Animation::Kind::EaseOut);
                });
            motion::withAnimation(Animation::none(),
                                  [] { QVERIFY(motion::currentAnimation().isNone()); });
            QCOMPARE(outer.response, 0.3); // still valid after inner transactions came and went
            QCOMPARE(motion::currentAnimation().kind, Animation::Kind::Spring);
        });
        QVERIFY(motion::currentAnimation().isNone());
    }

    void delayedStepsRunInDueOrderAtTheirOwnTime()
    {
        QStringList order;
        QList<double> times;
        const double start = frames().now();
        auto note = [&](const QString& name) {
            order << name;
            times << frames().now() - start;
        };
        motion::after(0.5, [&] { note("c"); });
        motion::after(0.1, [&] {
            note("a");
            motion::after(0.3, [&] { note("b"); }); // due at 0.4, inside the same advance
        });
        QObject survivor; // a step goes with the object it was made for, and only with it
        motion::after(
            0.5, [&] { note("d"); }, &survivor);
        auto context = std::make_unique<QObject>();
        motion::after(
            0.2, [&] { note("dropped"); }, context.get());
        context.reset();
        frames().advance(0.45, 1.0);
        QCOMPARE(order, QStringList({"a", "b"}));
        QVERIFY(std::abs(times[1] - 0.4) < 1e-9);
        frames().advance(0.05);
        QCOMPARE(order, QStringList({"a", "b", "c", "d"}));

        bool ran = false;
        motion::after(0, [&] { ran = true; });
        QVERIFY(!ran);
        frames().advance(0);
        QVERIFY(ran);
        QCOMPARE(frames().pendingSteps(), 0);
    }

    // A frame glides to its target and completes once, with the last frame set. An animation of
    // no duration completes on the next frame, even one of no length. A new animation of a
    // window's frame takes over from where the old one got to, and a completion may start the
    // next one. A window that goes takes its animation and completion along.
    void windowFramesGlideAndHandOver()
    {
        FakeDesktop desktop;
        auto owned = std::make_unique<QWidget>();
        QWidget* window = owned.get();
        const auto frame = [&] { return desktop.windowFrame(window); };
        desktop.setWindowFrame(window, QRectF(100, 100, 200, 150));
        int done = 0;
        const QRectF target(400, 300, 260, 150);
        motion::animateWindowFrame(window, target, motion::glideCurve(0.4), [&] {
            ++done;
            QCOMPARE(frame(), target);
        });
        frames().advance(0.2);
        QVERIFY(frame().x() > 250 && frame().x() < 400 && motion::isAnimatingWindowFrame(window));
        frames().advance(0.19); // a frame short of the end: not done yet
        QCOMPARE(done, 0);
        frames().advance(0.11);
        QCOMPARE(done, 1);
        QVERIFY(!motion::isAnimatingWindowFrame(window));
        frames().advance(0.5);
        QCOMPARE(done, 1);

        motion::animateWindowFrame(window, QRectF(50, 50, 100, 100), Animation::easeOut(0),
                                   [&] { ++done; });
        QCOMPARE(done, 1);
        frames().advance(0);
        QCOMPARE(done, 2);
        QCOMPARE(frame(), QRectF(50, 50, 100, 100));

        int second = 0;
        motion::animateWindowFrame(window, QRectF(600, 0, 100, 100), motion::defaultTiming(0.5),
                                   [&] { ++done; });
        frames().advance(0.25);
        const double reached = frame().x();
        motion::animateWindowFrame(
            window, QRectF(0, 400, 100, 100), motion::defaultTiming(0.3), [&] {
                ++second;
                motion::animateWindowFrame(window, QRectF(5, 5, 100, 100), Animation::easeOut(0));
            });
        frames().advance(1.0 / 60);
        QVERIFY(std::abs(frame().x() - reached) < 30); // no jump back
        frames().advance(1.0);
        QCOMPARE(std::pair(done, second), std::pair(2, 1));
        QCOMPARE(frame(), QRectF(5, 5, 100, 100));

        motion::animateWindowFrame(window, QRectF(0, 0, 10, 10), Animation::easeOut(0.3),
                                   [&] { ++done; });
        frames().advance(0.1);
        owned.reset();
        frames().advance(0.5);
        QCOMPARE(done, 2);
    }

    void realClockRunsNoTimerWhileIdle()
    {
        frames().setManual(false);
        const double before = frames().now();
        {
            AnimatedValue value(0);
            QVERIFY(!frames().isFrameTimerActive());
            value.setTarget(1, Animation::spring(0.05, 1.0));
            QVERIFY(frames().isFrameTimerActive());
            QTRY_VERIFY(!value.isAnimating());
            QCOMPARE(value.value(), 1.0);
            QVERIFY(!frames().isFrameTimerActive());

            value.setTarget(2, Animation::easeOut(10));
            QVERIFY(frames().isFrameTimerActive());
            value.jump(0);
            QVERIFY(!frames().isFrameTimerActive());
        }
        bool ran = false;
        motion::after(0.01, [&] { ran = true; });
        QTRY_VERIFY(ran);
        QCOMPARE(frames().activeTickers(), 0);
        QVERIFY(!frames().isFrameTimerActive() && frames().now() >= before);
        frames().setManual(true);
    }
};

static RegisterSuite<MotionTest> registered;
#include "MotionTest.moc"
