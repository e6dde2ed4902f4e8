#include "controller/Tracking.h"

#include "controller/AppController.h"
#include "controller/ClipboardOffer.h"
#include "controller/Gestures.h"
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

Tracking::Tracking(AppController& app)
    : app_(app)
{
}

Tracking::~Tracking() = default;

void Tracking::start()
{
    timer_ = std::make_unique<QTimer>();
    timer_->setInterval(trackingMs);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { tick(); });
    QPointer<AppController> weak(&app_);
    const bool motionReported = platform::desktop().watchPointer([weak] {
        if (weak) {
            weak->tracking().pointerMoved();
        }
    });
    app_.gestures().setRawReleasesReported(
        platform::desktop().watchPrimaryRelease([weak](quint64 time) {
            if (weak) {
                weak->gestures().primaryReleased(time);
            }
        }));
    edgeTellsArrivals_ = platform::desktop().watchArrivals(hotEdge(), [weak] {
        if (weak) {
            weak->tracking().pointerAtEdge();
        }
    }) || platform::desktop().pointerOnlyOverOwnWindows();
    // Where both motion and arrivals at the edge are reported, one reading finds a pointer
    // already at the edge and then nothing is read until something moves. Otherwise, until the
    // first motion event shows that motion is reported, a still pointer is read now and then,
    // or steadily where nothing reports arrivals at the edge.
    pollOnly_ = !(motionReported && edgeTellsArrivals_);
    timer_->start(edgeTellsArrivals_ && pollOnly_ ? idleCheckMs : trackingMs);
}

// Runs 12.5 times a second while it has anything to follow: it reads the pointer and a few
// fields, and writes (and allocates) nothing unless the pad opens or closes.
void Tracking::trackCursor()
{
    const QPointF p = trackedPointer();
    const double dx = std::abs(p.x() - app_.midX());
    const double edge = app_.top();
    const bool revealed = app_.revealed();

    const bool overOpenPad = revealed && p.y() > edge - app_.notchH() - 245 && dx < 175;
    const bool atTopEdge = dx < edgeHalfWidth && p.y() >= edge - (edgeDepth - 1);
    const bool open =
        overOpenPad || atTopEdge || app_.gestures().pulling() != nullptr || app_.padHot();
    if (open == revealed) {
        return;
    }

    if (open) {
        app_.clipOffer().refresh();
    }
    motion::withAnimation(motion::Animation::spring(0.35, 0.85, 0),
                          [this, open] { app_.setRevealed(open); });
    setPadTakesPointer(open);
    if (app_.padWindow() != nullptr && open) {
        // No window manager keeps the pad on top: windows raised since may cover it.
        app_.padWindow()->orderFront();
    }
}

void Tracking::pointerMoved()
{
    // A motion event proves the window system reports this pointer's motion: from now on a
    // still pointer needs no reading.
    pollOnly_ = false;
    if (const auto* pull = std::get_if<gestures::Pull>(&app_.gestures().state());
        pull != nullptr && pull->carried) {
        app_.gestures().padDragChanged();
    }
    if (timer_->isActive() && timer_->interval() == trackingMs) {
        movedSinceTick_ = true; // read at the next tick, no sooner
        return;
    }
    trackCursor();
    movedSinceTick_ = false;
    timer_->start(trackingMs);
}

QRectF Tracking::hotEdge() const
{
    return {app_.midX() - edgeHalfWidth, app_.top() - edgeDepth, 2 * edgeHalfWidth, edgeDepth};
}

void Tracking::pointerAtEdge()
{
    trackCursor();
    followPointer();
}

void Tracking::followPointer()
{
    if (timer_ != nullptr && (!timer_->isActive() || timer_->interval() != trackingMs)) {
        timer_->start(trackingMs);
    }
}

void Tracking::tick()
{
    const bool idleCheck = timer_->interval() == idleCheckMs;
    const QPointF before = lastReading_;
    trackCursor();
    if (idleCheck) {
        if (lastReading_ != before && !edgeTellsArrivals_) {
            // Moved without a motion event (a warp, input a remote desktop or a test driver
            // fakes), and no arrival at the edge is reported either: only reading sees those.
            pollOnly_ = true;
            timer_->start(trackingMs);
        }
        return;
    }
    const bool following =
        movedSinceTick_ || app_.revealed() || app_.padHot() || (pollOnly_ && !edgeTellsArrivals_);
    movedSinceTick_ = false;
    if (following) {
        return;
    }
    if (edgeTellsArrivals_ && !pollOnly_) {
        timer_->stop(); // motion and arrivals are both reported: nothing to read
    } else {
        timer_->start(idleCheckMs);
    }
}

QPointF Tracking::trackedPointer()
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

void Tracking::pointerCrossedPad(bool inside)
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

void Tracking::setPadTakesPointer(bool open)
{
    Panel* pad = app_.padWindow();
    if (pad == nullptr) {
        return;
    }
    const auto drawn = [pad] {
        return pad->drawnRegion ? pad->drawnRegion() : QRegion(pad->rect());
    };
    if (!platform::desktop().pointerOnlyOverOwnWindows()) {
        if (open) {
            pad->setInputRegion(drawn());
        }
        pad->setIgnoresMouse(!open);
        return;
    }
    // The pointer is seen only over the program's windows, so the hidden pad keeps its top
    // edge taking input: the pointer arriving there is what opens it.
    pad->setIgnoresMouse(false);
    pad->setInputRegion(open ? drawn() : hotStrip);
}
