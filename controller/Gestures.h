#pragma once

#include "model/NoteModel.h"
#include "windows/PointerGesture.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <optional>

// Small pieces of arithmetic shared by the pull, drag and tuck gestures, and what the
// controller remembers while one of them is under way.
namespace gestures {

// A note coming off the pad under the pointer; under way while `note` is set.
struct Pull {
    QPointer<NoteModel> note;
    QPointF start; // where the pointer took the note, y-up
    double lastX = 0;
    // The window system let go of the press as the note appeared under the pointer, though
    // the button is still held: the note follows raw motion until the raw release.
    bool carried = false;
};

// A note's window following the pointer.
struct Drag {
    QPointer<NoteModel> note;
    QPointF grab; // the pointer's offset from the window's origin
    double lastX = 0;
    PointerVelocity velocity; // for a flick back up into the notch
};

// A note being sized from its handle: the pointer and the size it started from.
struct Resize {
    QPointF mouse;
    double w = 0;
    double total = 0;
};

// What the pointer is doing to the notes, at most one thing at a time in practice.
struct State {
    Pull pull;
    std::optional<Drag> drag;
    std::optional<Resize> resize;
};

inline bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Keeps the note's last good origin when the pointer or a frame yields nonsense, so that a
// bad sample can never be written to the notes file.
inline void setOrigin(NoteModel* note, QPointF origin)
{
    if (isFinite(origin)) {
        note->origin = origin;
    }
}

// The bottom-left corner of a frame in the y-up space.
inline QPointF frameOrigin(const QRectF& frame)
{
    return QPointF(frame.x(), frame.y());
}

// The sway of a note that follows the pointer: it leans into sideways motion and settles
// when the pointer stops, never beyond 5 degrees either way.
inline double swayTilt(double tilt, double step)
{
    const double next = tilt * 0.8 + step * 0.3;
    return std::isfinite(next) ? std::clamp(next, -5.0, 5.0) : 0.0;
}

} // namespace gestures
