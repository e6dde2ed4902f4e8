#include "controller/AppController.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "windows/Panel.h"

#include <QTimer>
#include <cmath>
#include <limits>

namespace {

// The top edge opens the pad 110 either side of the centre, in its 4 topmost rows.
constexpr int edgeHalfWidth = 110;
constexpr int edgeDepth = 4;
// That strip in the pad window's own coordinates (340 wide, y down).
const QRegion hotStrip(170 - edgeHalfWidth, 0, 2 * edgeHalfWidth, edgeDepth);

} // namespace

// Runs 12.5 times a second while it has anything to follow: it reads the pointer and a few
// fields, and writes (and allocates) nothing unless the pad opens or closes.
void AppController::trackCursor()
{
    const QPointF p = trackedPointer();
    const double dx = std::abs(p.x() - midX());
    const double edge = top();

    const bool overOpenPad = revealed_ && p.y() > edge - notchH() - 245 && dx < 175;
    const bool atTopEdge = dx < edgeHalfWidth && p.y() >= edge - (edgeDepth - 1);
    const bool open = overOpenPad || atTopEdge || gesture_.pull.note != nullptr || padHot_;
    if (open == revealed_) {
        return;
    }

    if (open) {
        refreshClip();
    }
    motion::withAnimation(motion::Animation::spring(0.35, 0.85, 0),
                          [this, open] { setRevealed(open); });
    setPadTakesPointer(open);
    if (padWindow_ != nullptr && open) {
        // No window manager keeps the pad on top: windows raised since may cover it.
        padWindow_->orderFront();
    }
}

void AppController::pointerMoved()
{
    // A motion event proves the window system reports this pointer's motion: from now on a
    // still pointer needs no reading.
    pollOnly_ = false;
    if (gesture_.pull.carried) {
        padDragChanged();
    }
    if (trackingTimer_->isActive() && trackingTimer_->interval() == trackingMs) {
        movedSinceTick_ = true; // read at the next tick, no sooner
        return;
    }
    trackCursor();
    movedSinceTick_ = false;
    trackingTimer_->start(trackingMs);
}

QRectF AppController::hotEdge() const
{
    return {midX() - edgeHalfWidth, top() - edgeDepth, 2 * edgeHalfWidth, edgeDepth};
}

void AppController::pointerAtEdge()
{
    trackCursor();
    followPointer();
}

void AppController::followPointer()
{
    if (trackingTimer_ != nullptr &&
        (!trackingTimer_->isActive() || trackingTimer_->interval() != trackingMs)) {
        trackingTimer_->start(trackingMs);
    }
}

void AppController::trackingTick()
{
    const bool idleCheck = trackingTimer_->interval() == idleCheckMs;
    const QPointF before = lastReading_;
    trackCursor();
    if (idleCheck) {
        if (lastReading_ != before && !edgeTellsArrivals_) {
            // Moved without a motion event (a warp, input a remote desktop or a test driver
            // fakes), and no arrival at the edge is reported either: only reading sees those.
            pollOnly_ = true;
            trackingTimer_->start(trackingMs);
        }
        return;
    }
    const bool following =
        movedSinceTick_ || revealed_ || padHot_ || (pollOnly_ && !edgeTellsArrivals_);
    movedSinceTick_ = false;
    if (following) {
        return;
    }
    if (edgeTellsArrivals_ && !pollOnly_) {
        trackingTimer_->stop(); // motion and arrivals are both reported: nothing to read
    } else {
        trackingTimer_->start(idleCheckMs);
    }
}

QPointF AppController::trackedPointer()
{
    const QPointF p = platform::desktop().mouseLocation();
    lastReading_ = p;
    if (leftPadAt_ && *leftPadAt_ == p) {
        constexpr double far = std::numeric_limits<double>::max() / 4;
        return {far, -far};
    }
    leftPadAt_.reset();
    return p;
}

void AppController::pointerCrossedPad(bool inside)
{
    if (!platform::desktop().pointerOnlyOverOwnWindows()) {
        return; // the pointer is read anywhere: the next reading says where it went
    }
    if (inside) {
        leftPadAt_.reset();
    } else {
        leftPadAt_ = platform::desktop().mouseLocation();
    }
    // React now rather than on the next reading, and follow what comes next.
    trackCursor();
    followPointer();
}

void AppController::setPadTakesPointer(bool open)
{
    if (padWindow_ == nullptr) {
        return;
    }
    if (!platform::desktop().pointerOnlyOverOwnWindows()) {
        padWindow_->setIgnoresMouse(!open);
        return;
    }
    // The pointer is seen only over the program's windows, so the hidden pad keeps its top
    // edge taking input: the pointer arriving there is what opens it.
    padWindow_->setIgnoresMouse(false);
    padWindow_->setInputRegion(open ? QRegion(padWindow_->rect()) : hotStrip);
}
