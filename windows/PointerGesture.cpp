#include "windows/PointerGesture.h"

#include <cmath>

PointerGesture::Step PointerGesture::feed(const Input& input)
{
    const bool press = input.kind == Kind::Press || input.kind == Kind::DoubleClick;
    // Where the window manager or server does not honour the input shape, a press on the
    // transparent margin still does nothing rather than drag the note.
    if (press && state_ == State::Idle && input.outsideInputRegion) {
        return {Action::Consume};
    }

    if (input.resizable) {
        if (input.kind == Kind::Move && input.leftHeld && state_ == State::Resizing) {
            return {Action::ResizeDrag};
        }
        if (input.kind == Kind::Release && input.leftButton && state_ == State::Resizing) {
            state_ = State::Idle;
            return {Action::ResizeUp};
        }
        if (press && input.leftButton) {
            if (state_ == State::Resizing) {
                state_ = State::Idle;
            }
            if (input.inResizeHandle) {
                offered_ = input;
                // Qt reports the second press of a double click as a press and then a double
                // click: the latter is the press with a click count of 2.
                return {Action::OfferResize, input.kind == Kind::DoubleClick ? 2 : 1};
            }
        }
    }
    return feedDrag(input);
}

PointerGesture::Step PointerGesture::answerResize(bool accepted)
{
    if (accepted) {
        // A press held back before is dropped: the resize owns the gesture now.
        state_ = State::Resizing;
        return {Action::Consume};
    }
    return feedDrag(offered_);
}

PointerGesture::Step PointerGesture::feedDrag(const Input& input)
{
    if (!input.draggable) {
        if (holdsPress()) {
            state_ = State::Idle;
        }
        return {Action::PassThrough};
    }

    switch (input.kind) {
    case Kind::Press:
        if (!input.leftButton || input.inTextWhileEditing) {
            return {Action::PassThrough};
        }
        state_ = State::Pressed;
        pressedAt_ = input.position;
        return {Action::HoldPress};
    case Kind::DoubleClick:
        if (!input.leftButton || !holdsPress()) {
            return {Action::PassThrough};
        }
        // The press of this double click is still held: it goes first, then the double click.
        state_ = State::Idle;
        return {Action::ReplayPress};
    case Kind::Move: {
        if (!holdsPress() || !input.leftHeld) {
            return {Action::PassThrough};
        }
        if (state_ == State::Dragging) {
            return {Action::DragMove};
        }
        const QPointF moved = input.position - pressedAt_;
        if (std::hypot(moved.x(), moved.y()) < dragThreshold) {
            return {Action::Consume};
        }
        state_ = State::Dragging;
        return {Action::DragStart};
    }
    case Kind::Release:
        if (!input.leftButton || !holdsPress()) {
            return {Action::PassThrough};
        }
        if (state_ == State::Dragging) {
            state_ = State::Idle;
            return {Action::DragEnd};
        }
        state_ = State::Idle;
        return {Action::ReplayClick};
    }
    return {Action::PassThrough};
}

void PointerVelocity::start(double y, double time)
{
    lastY_ = y;
    lastT_ = time;
    vy_ = 0;
}

void PointerVelocity::sample(double y, double time)
{
    const double dt = time - lastT_;
    if (dt > 0) {
        vy_ = vy_ * 0.5 + ((y - lastY_) / dt) * 0.5;
    }
    lastY_ = y;
    lastT_ = time;
}
