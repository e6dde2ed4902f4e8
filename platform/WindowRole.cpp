#include "platform/WindowRole.h"

#include "platform/Backend.h"

namespace platform {

WindowRoleHints windowRoleHints(WindowRole role, const SessionKind& session)
{
    WindowRoleHints hints;
    switch (role) {
    case WindowRole::Note:
        if (session.wayland() && !session.honoursPositions()) {
            // No type either: a utility type would keep wlroots from giving it the keyboard.
            hints.overrideRedirect = true;
            break;
        }
        // A utility window floats even under a tiling window manager; the normal type is the
        // fallback for those that know no other. Skipping the switcher takes KDE's own state.
        hints.types = {"_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_NORMAL"};
        hints.states = {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
                        "_NET_WM_STATE_SKIP_PAGER", "_KDE_NET_WM_STATE_SKIP_SWITCHER"};
        hints.allDesktops = true;
        break;
    case WindowRole::Pad:
    case WindowRole::Viewer:
    case WindowRole::Overlay:
        // A dock would do for the pad on most window managers, but i3 stretches docks across
        // the screen into its bar area and others keep them level with panels: unmanaged,
        // the window is exactly where it is put, and raising it puts it over everything.
        hints.overrideRedirect = true;
        break;
    }
    return hints;
}

Qt::WindowFlags windowRoleFlags(WindowRole role)
{
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::NoDropShadowWindowHint;
    if (windowRoleHints(role, session().kind()).overrideRedirect) {
        flags |= Qt::BypassWindowManagerHint;
    }
    return flags;
}

} // namespace platform
