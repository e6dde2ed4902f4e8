#pragma once

#include <QByteArrayList>
#include <Qt>

class QRegion;
class QWidget;

namespace platform {

// What a top-level window is to the window manager. Chosen per window from what every EWMH
// window manager honours, rather than left to the side effects of Qt's window types.
enum class WindowRole {
    // A floating note: managed (it takes the keyboard), above ordinary windows, on every
    // desktop, out of the taskbar, the pager and the window switcher, transient for nothing.
    Note,
    // The pad at the top edge: unmanaged, so no window manager frames, clamps or tiles it
    // and it sits exactly at the edge; the program raises it itself when it opens.
    Pad,
    // The image viewer and the capture overlay: unmanaged and raised over everything,
    // panels included; they take the keyboard themselves.
    Viewer,
    Overlay,
};

// The hints a role gives its window, in the window system's own names.
struct WindowRoleHints {
    bool overrideRedirect = false;
    QByteArrayList types;  // _NET_WM_WINDOW_TYPE, preferred first
    QByteArrayList states; // _NET_WM_STATE as the window is mapped
    bool allDesktops = false;
};
WindowRoleHints windowRoleHints(WindowRole role);

// The Qt flags to create a window of the role with. Never Qt::Tool or Qt::Dialog: Qt makes
// those transient for its invisible client leader, which lets KWin hide them whenever another
// application is active.
Qt::WindowFlags windowRoleFlags(WindowRole role);

// Writes the role's hints on the native window. Call it while the window is hidden (before
// each show): window managers drop these hints when a window is withdrawn. Does nothing off
// X11.
void applyWindowRole(QWidget* window, WindowRole role);

// Whether a compositing manager runs, so that translucent pixels really show what lies below.
// Without one, X11 paints them black and windows must be cut to their painted shape. Asked of
// the X server once; off X11 the answer is true (nothing to cut).
bool hasCompositor();

// Limits where a top-level window takes pointer input to `region` (window-local, y down); a
// press elsewhere reaches what lies below. Unlike a shape mask it leaves the painting alone,
// shadows included. Kept across hide and show; does nothing off X11 or before the window has
// a native handle. Mutter reads a managed window's input shape again only when the window is
// configured, so a mapped managed window is configured after the change.
void setInputShape(QWidget* window, const QRegion& region);

} // namespace platform
