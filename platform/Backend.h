#pragma once

#include "platform/Session.h"
#include "platform/WindowRole.h"

#include <memory>

class QRegion;
class QWidget;
struct xcb_connection_t;

namespace platform {

// What the window system of the running session is and can do. Picked once, when first asked:
// the X11 backend on Qt's xcb platform, a backend that does nothing anywhere else (offscreen),
// so no other code needs to know which platform it runs on. The session's kind is read from the
// environment in the same one place; everything else asks the backend for it.
class Backend {
public:
    explicit Backend(SessionKind kind)
        : kind_(kind)
    {
    }
    virtual ~Backend() = default;

    // X11 or XWayland, and which compositor.
    const SessionKind& kind() const { return kind_; }

    // The toolkit's own X connection; null off X11.
    virtual xcb_connection_t* x11Connection() const = 0;

    // Whether a compositing manager runs, so that translucent pixels really show what lies
    // below. Without one, X11 paints them black and windows must be cut to their painted
    // shape. Asked of the server once; without X the answer is true (nothing to cut). The rest
    // of the program asks the desktop (Desktop::hasCompositor), which tests can fake.
    virtual bool hasCompositor() const = 0;

    // Writes the role's hints (windowRoleHints) on the native window. Call it while the
    // window is hidden (before each show): window managers drop these hints when a window is
    // withdrawn.
    virtual void applyWindowRole(QWidget* window, WindowRole role) const = 0;

    // Limits where a top-level window takes pointer input to `region` (window-local, y down);
    // a press elsewhere reaches what lies below. Unlike a shape mask it leaves the painting
    // alone, shadows included. Kept across hide and show; does nothing before the window has a
    // native handle. Mutter reads a managed window's input shape again only when the window is
    // configured, so a mapped managed window is configured after the change.
    virtual void setInputShape(QWidget* window, const QRegion& region) const = 0;

private:
    SessionKind kind_;
};

// The X11 backend on the toolkit's own connection (platform/x11/X11Backend.cpp).
std::unique_ptr<Backend> makeX11Backend(xcb_connection_t* connection, SessionKind kind);

// The backend of the running session. Asked before the application object exists, it answers
// for no window system and leaves the choice to a later call.
const Backend& session();

} // namespace platform
