#include "windows/PointerGesture.h"

#include "support/Suites.h"

#include <QTest>

using Gesture = PointerGesture;
using Input = Gesture::Input;
using Kind = Gesture::Kind;
using State = Gesture::State;
using Script = QList<Input>;

Q_DECLARE_METATYPE(Input)
Q_DECLARE_METATYPE(State)

namespace {

// A left-button event on an ordinary spot of a window that is both moved and sized.
Input at(Kind kind, double x, double y)
{
    return Input{.kind = kind,
                 .leftButton = kind != Kind::Move,
                 .leftHeld = kind != Kind::Release,
                 .position = QPointF(x, y),
                 .resizable = true,
                 .draggable = true};
}

const auto press = [](double x, double y) { return at(Kind::Press, x, y); };
const auto doubleClick = [](double x, double y) { return at(Kind::DoubleClick, x, y); };
const auto move = [](double x, double y) { return at(Kind::Move, x, y); };
const auto release = [](double x, double y) { return at(Kind::Release, x, y); };

// The input with one of its flags set (or cleared).
Input with(Input input, bool Input::*flag, bool value = true)
{
    input.*flag = value;
    return input;
}
const auto inHandle = [](Input i) { return with(i, &Input::inResizeHandle); };
const auto outside = [](Input i) { return with(i, &Input::outsideInputRegion); };
const auto buttonUp = [](Input i) { return with(i, &Input::leftHeld, false); };
const auto unmovable = [](Input i) { return with(i, &Input::draggable, false); };
const auto rightButton = [](Input i) { return buttonUp(with(i, &Input::leftButton, false)); };

QString name(Gesture::Step step)
{
    // In the order of Gesture::Action.
    static const char* const names[] = {"pass",        "consume",      "hold",        "offer",
                                        "resize-drag", "resize-up",    "drag-start",  "drag-move",
                                        "drag-end",    "replay-press", "replay-click"};
    const QString named = QString::fromLatin1(names[int(step.action)]);
    return step.action == Gesture::Action::OfferResize
               ? named + QStringLiteral(" %1").arg(step.clickCount)
               : named;
}

} // namespace

class PointerGestureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each event's step, an offer followed by the step that the owner's yes leads to.
    void stepsOfAGesture_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<State>("after");

        QTest::newRow("drag once past the threshold")
            << Script{press(10, 10), move(13, 10), move(40, 10), move(10, 10), release(10, 10)}
            << QStringList{"hold", "drag-start", "drag-move", "drag-move", "drag-end"}
            << State::Idle;
        QTest::newRow("move with the button up mid-press")
            << Script{press(10, 10), buttonUp(move(40, 10))} << QStringList{"hold", "pass"}
            << State::Pressed;

        QTest::newRow("double click on the resize grip")
            << Script{inHandle(press(290, 290)), release(290, 290), inHandle(press(290, 290)),
                      inHandle(doubleClick(290, 290)), release(290, 290)}
            << QStringList{"offer 1", "consume", "resize-up", "offer 1",
                           "consume", "offer 2", "consume",   "resize-up"}
            << State::Idle;
        QTest::newRow("release without a press passes through")
            << Script{move(10, 10), release(10, 10)} << QStringList{"pass", "pass"} << State::Idle;
        QTest::newRow("press outside the input region is swallowed")
            << Script{outside(press(1, 1)), outside(rightButton(press(1, 1))), release(1, 1)}
            << QStringList{"consume", "consume", "pass"} << State::Idle;
        QTest::newRow("other buttons pass")
            << Script{rightButton(press(10, 10)), buttonUp(move(40, 10)),
                      rightButton(release(40, 10))}
            << QStringList{"pass", "pass", "pass"} << State::Idle;
        QTest::newRow("a window no one moves forgets the held press")
            << Script{press(10, 10), unmovable(move(40, 10)), release(40, 10)}
            << QStringList{"hold", "pass", "pass"} << State::Idle;
    }

    void stepsOfAGesture()
    {
        QFETCH(Script, script);
        QFETCH(QStringList, steps);
        QFETCH(State, after);
        Gesture gesture;
        QStringList taken;
        for (const Input& input : script) {
            const Gesture::Step step = gesture.feed(input);
            taken << name(step);
            if (step.action == Gesture::Action::OfferResize)
                taken << name(gesture.answerResize(true));
        }
        QCOMPARE(taken, steps);
        QCOMPARE(gesture.state(), after);
    }

    // The estimate the flick back into the notch is judged by: half the newest speed, half
    // the estimate before it.
    void velocityFollowsRecentMotion()
    {
        PointerVelocity velocity;
        velocity.start(0, 1.0);
        velocity.sample(30, 1.02); // 1500 points per second
        QCOMPARE(velocity.vy(), 750.0);
        velocity.sample(60, 1.04);
        QCOMPARE(velocity.vy(), 1125.0);
        velocity.sample(90, 1.04); // no time passed: ignored as a speed, kept as a position
        QCOMPARE(velocity.vy(), 1125.0);
        velocity.sample(90, 1.06);
        QCOMPARE(velocity.vy(), 562.5);
        QCOMPARE(velocity.lastSampleTime(), 1.06);
        velocity.start(90, 2.0);
        QCOMPARE(velocity.vy(), 0.0);
    }
};

static RegisterSuite<PointerGestureTest> registered;
#include "PointerGestureTest.moc"
