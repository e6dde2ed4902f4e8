#pragma once

#include "model/NoteModel.h"

#include <QPointF>
#include <QRectF>
#include <algorithm>
#include <cmath>

// Small pieces of arithmetic shared by the pull, drag and tuck gestures.
namespace gestures {

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
