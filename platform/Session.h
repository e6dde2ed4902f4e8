#pragma once

#include <QString>

class QProcessEnvironment;

namespace platform {

// Which window system the program talks to, and which desktop draws the screen. The program
// always speaks X11; on a Wayland session it does so through XWayland, where the compositor,
// not the X server, decides placement, input and what a screen grab shows.
enum class Display {
    None,     // no window system (offscreen tests, no display)
    X11,      // a real X server with its own window manager
    XWayland, // an X server inside a Wayland compositor
};

enum class Compositor {
    Unknown,
    Sway,   // wlroots: honours no X position, has an IPC socket
    Gnome,  // Mutter or GNOME Shell
    Kde,    // KWin
    Weston, // places every X window at a fixed spot
};

struct SessionKind {
    Display display = Display::None;
    Compositor compositor = Compositor::Unknown;

    bool wayland() const { return display == Display::XWayland; }
    // Whether the compositor moves X windows where they ask to be.
    bool honoursPositions() const
    {
        return display == Display::X11 ||
               (compositor == Compositor::Gnome || compositor == Compositor::Kde);
    }
};

// Read from the environment the program was started with and the toolkit's platform name
// ("xcb", "offscreen", ...). Pure, so every session can be tested without one.
SessionKind detectSession(const QProcessEnvironment& environment, const QString& platformName);

QString describe(const SessionKind& kind);

} // namespace platform
