#pragma once

#include "model/NoteModel.h"
#include "windows/PointerGesture.h"

#include <QPointF>
#include <QPointer>
#include <variant>

// What the pointer is doing to the notes: one gesture at a time, as one value, and the pure
// step from one value to the next.
namespace gestures {

struct Idle {};

// A note coming off the pad under the pointer.
struct Pull {
    QPointer<NoteModel> note;
    QPointF start; // where the pointer took the note, y-up
    double lastX = 0;
    // The window system let go of the press as the note appeared under the pointer, though
    // the button is still held: the note follows raw motion until the raw release. That
    // letting go also comes as raw input, at `crossedAt`, in either order with the pad's.
    bool carried = false;
    quint64 crossedAt = 0;
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

using GestureState = std::variant<Idle, Pull, Drag, Resize>;

// What happens to the gesture. A gesture that begins takes over from any other.
struct PullTook { // a note comes off the pad at the pointer
    NoteModel* note = nullptr;
    QPointF at;
};
struct PullMoved {
    double x = 0;
};
// The press on the pad came up at `time`; `heldOn` when the button is still down (see
// Pull::carried).
struct PadReleased {
    bool heldOn = false;
    quint64 time = 0;
};
struct RawReleased { // the primary button came up at `time`, as raw input
    quint64 time = 0;
};
struct DragMoved { // `grab` is used when this move begins the drag
    NoteModel* note = nullptr;
    QPointF grab;
    QPointF at;
    double time = 0;
};
struct DragEnded {
    NoteModel* note = nullptr;
};
struct ResizePressed {
    Resize from;
};
struct ResizeReleased {};

using GestureEvent = std::variant<PullTook, PullMoved, PadReleased, RawReleased, DragMoved,
                                  DragEnded, ResizePressed, ResizeReleased>;

GestureState step(const GestureState& state, const GestureEvent& event);

} // namespace gestures
