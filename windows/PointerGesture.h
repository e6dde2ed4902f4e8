#pragma once

#include <QPointF>

// What one press, drag and release of the left button on a note's window means: a click for
// the widgets under the pointer, a window drag, or a resize from the corner handle. It knows
// nothing of widgets; the window feeds it each mouse event, described in plain terms, and
// carries out the step it answers with.
class PointerGesture {
public:
    enum class State {
        Idle,
        Pressed,  // the press is held back until it is clear what it starts
        Dragging, // the press moved far enough to move the window
        Resizing, // the window's owner took the press on the resize handle
    };

    enum class Kind { Press, DoubleClick, Move, Release };

    struct Input {
        Kind kind = Kind::Move;
        bool leftButton = false; // the button this event is about is the left one
        bool leftHeld = false;   // the left button is down once the event has happened
        QPointF position;        // window-local
        bool outsideInputRegion = false;
        bool inResizeHandle = false;
        // Below the top strip of the paper while a text editor in the window has the keyboard.
        bool inTextWhileEditing = false;
        bool resizable = false; // someone sizes the window from its handle
        bool draggable = false; // someone moves the window
    };

    enum class Action {
        PassThrough, // deliver the event as usual
        Consume,     // swallow the event
        HoldPress,   // swallow the press and keep it for a later replay
        OfferResize, // ask the owner whether it resizes; give its answer to answerResize()
        ResizeDrag,  // a resize step; swallow the event
        ResizeUp,    // the resize is over; swallow the event
        DragStart,   // the window starts to follow the pointer; swallow the event
        DragMove,    // and keeps following it
        DragEnd,     // the window is let go; swallow the event
        ReplayPress, // deliver the held press first, then this event as usual
        ReplayClick, // deliver the held press and this release as one click; swallow the event
    };

    struct Step {
        Action action = Action::PassThrough;
        int clickCount = 0; // with OfferResize: 2 for the second press of a double click
        friend bool operator==(const Step&, const Step&) = default;
    };

    // Points the pointer must travel from the press before the window follows it.
    static constexpr double dragThreshold = 3;

    Step feed(const Input& input);
    // Carries on with the event that made the offer.
    Step answerResize(bool accepted);

    State state() const { return state_; }
    bool holdsPress() const { return state_ == State::Pressed || state_ == State::Dragging; }

private:
    Step feedDrag(const Input& input);

    State state_ = State::Idle;
    QPointF pressedAt_;
    Input offered_;
};

// The vertical speed of the pointer in points per second. Each sample is averaged
// half-and-half with the running estimate, so it follows the recent motion without keeping a
// history.
class PointerVelocity {
public:
    void start(double y, double time);
    void sample(double y, double time);

    double vy() const { return vy_; }
    double lastSampleTime() const { return lastT_; }

private:
    double lastY_ = 0;
    double lastT_ = 0;
    double vy_ = 0;
};
