#pragma once

#include "controller/GestureState.h"
#include "windows/ResizePhase.h"

#include <QPointF>
#include <QRectF>
#include <algorithm>
#include <cmath>

class AppController;
class NoteModel;
class Panel;

// Pulling a note off the pad, dragging a note's window, sizing a note from its handle
// (Pulling.cpp, Dragging.cpp, Sizing.cpp): the controller's one gesture and what it does.
class Gestures {
public:
    explicit Gestures(AppController& app)
        : app_(app)
    {
    }

    // The pointer moved while pressed on the pad (or carrying a pulled note).
    void padDragChanged();
    // The press on the pad came up at `time` (the window system's clock).
    void padDragEnded(quint64 time = 0);
    // The primary button came up at `time`, as raw input (see Desktop::watchPrimaryRelease),
    // which the start reports whether the desktop tells at all.
    void primaryReleased(quint64 time);
    void setRawReleasesReported(bool reported) { rawReleases_ = reported; }
    void glideDown(NoteModel* note);
    void land(NoteModel* note);
    bool nearNotch(QPointF p) const;
    // The note coming off the pad, or nullptr; a pull is under way while it is a Pull, even
    // one whose note is gone.
    NoteModel* pulling() const;
    bool pullUnderWay() const { return std::holds_alternative<gestures::Pull>(state_); }
    // Draws uniformly from the closed range [lo, hi] for the glide, from the services' random
    // source.
    static double uniform(double lo, double hi);

    void noteDragChanged(NoteModel* note);
    void noteDragEnded(NoteModel* note);
    // The window system placed the note's window itself (a clamp, a frame): the file follows.
    void followWindow(NoteModel* note);
    // The note whose window follows the pointer, or nullptr.
    NoteModel* dragging() const;

    bool resizeHook(NoteModel* note, ResizePhase phase, int clickCount);

    const gestures::GestureState& state() const { return state_; }

private:
    bool pullOutlivesRelease() const;
    void endPull(const gestures::GestureEvent& release);
    QPointF pulledOrigin(const NoteModel* note, QPointF pointer) const;
    void hangFromPointer(Panel* panel, const NoteModel* note, QPointF pointer) const;

    AppController& app_;
    gestures::GestureState state_;
    bool rawReleases_ = false; // the window system's releases as the pulled note appears
};

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
