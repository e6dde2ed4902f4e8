#include "controller/AppController.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "windows/Panel.h"

#include <cmath>

// Runs 12.5 times a second for the life of the process: it reads the pointer and a few
// fields, and writes (and allocates) nothing unless the pad opens or closes.
void AppController::trackCursor()
{
    const QPointF p = platform::desktop().mouseLocation();
    const double dx = std::abs(p.x() - midX());
    const double edge = top();

    const bool overOpenPad = revealed_ && p.y() > edge - notchH() - 245 && dx < 175;
    const bool atTopEdge = dx < 110 && p.y() >= edge - 3;
    const bool open = overOpenPad || atTopEdge || gesture_.pull.note != nullptr || padHot_;
    if (open == revealed_) {
        return;
    }

    if (open) {
        refreshClip();
    }
    motion::withAnimation(motion::Animation::spring(0.35, 0.85, 0),
                          [this, open] { setRevealed(open); });
    if (padWindow_ != nullptr) {
        padWindow_->setIgnoresMouse(!open);
        if (open) {
            // No window manager keeps the pad on top: windows raised since may cover it.
            padWindow_->orderFront();
        }
    }
}
