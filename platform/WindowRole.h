#pragma once

#include "platform/Session.h"

#include <QByteArrayList>
#include <Qt>

namespace platform {

// What a top-level window is to the window manager. Chosen per window from what every EWMH
// window manager honours, rather than left to the side effects of Qt's window types.
enum class WindowRole {
    // A floating note: managed (it takes the keyboard), above ordinary windows, on every
    // desktop, out of the taskbar, the pager and the window switcher, transient for nothing.
    // Unmanaged where the compositor would not leave a managed X window where it is put
    // (wlroots compositors centre it, Weston piles every one at one spot): there the
    // compositor still gives an unmanaged window of this type the keyboard when clicked.
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
WindowRoleHints windowRoleHints(WindowRole role, const SessionKind& session);

// The Qt flags to create a window of the role with. Never Qt::Tool or Qt::Dialog: Qt makes
// those transient for its invisible client leader, which lets KWin hide them whenever another
// application is active.
Qt::WindowFlags windowRoleFlags(WindowRole role);

} // namespace platform
