#pragma once

class QRegion;
class QWidget;

namespace platform {

// Marks a top-level window as a floating accessory: on every virtual desktop, kept above
// ordinary windows, and left out of the taskbar and the pager. Call it while the window is
// hidden (before each show): window managers drop these hints when a window is withdrawn.
// Does nothing off X11.
void applyAccessoryHints(QWidget* window);

// Whether a compositing manager runs, so that translucent pixels really show what lies below.
// Without one, X11 paints them black and windows must be cut to their painted shape. Asked of
// the X server once; off X11 the answer is true (nothing to cut).
bool hasCompositor();

// Limits where a top-level window takes pointer input to `region` (window-local, y down); a
// press elsewhere reaches what lies below. Unlike a shape mask it leaves the painting alone,
// shadows included. Kept across hide and show; does nothing off X11 or before the window has
// a native handle.
void setInputShape(QWidget* window, const QRegion& region);

} // namespace platform
