#include "platform/WindowHints.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QRegion>
#include <QWidget>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace platform {

namespace {

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

int defaultScreenNumber()
{
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
        screen = 0;
    }
    std::free(host);
    return screen;
}

} // namespace

WindowRoleHints windowRoleHints(WindowRole role)
{
    WindowRoleHints hints;
    switch (role) {
    case WindowRole::Note:
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
    if (windowRoleHints(role).overrideRedirect) {
        flags |= Qt::BypassWindowManagerHint;
    }
    return flags;
}

void applyWindowRole(QWidget* window, WindowRole role)
{
    xcb_connection_t* c = x11Connection();
    const WindowRoleHints hints = windowRoleHints(role);
    if (c == nullptr || window == nullptr || hints.overrideRedirect) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const auto atoms = [c](const QByteArrayList& names) {
        std::vector<xcb_atom_t> result;
        for (const QByteArray& name : names) {
            result.push_back(atom(c, name.constData()));
        }
        return result;
    };
    static const xcb_atom_t typeAtom = atom(c, "_NET_WM_WINDOW_TYPE");
    static const xcb_atom_t stateAtom = atom(c, "_NET_WM_STATE");
    static const xcb_atom_t desktopAtom = atom(c, "_NET_WM_DESKTOP");
    // Qt writes its own type when it creates the window; this one replaces it. Qt merges its
    // states into whatever the property holds when it maps the window.
    const std::vector<xcb_atom_t> types = atoms(hints.types);
    const std::vector<xcb_atom_t> states = atoms(hints.states);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, typeAtom, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(types.size()), types.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, stateAtom, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
    if (hints.allDesktops) {
        const uint32_t allDesktops = 0xFFFFFFFF;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktopAtom, XCB_ATOM_CARDINAL, 32, 1,
                            &allDesktops);
    }
    // Transient for Qt's invisible client leader, a utility window is hidden by KWin whenever
    // another application is active.
    xcb_delete_property(c, id, XCB_ATOM_WM_TRANSIENT_FOR);
    xcb_flush(c);
}

bool hasCompositor()
{
    static const bool answer = [] {
        xcb_connection_t* c = x11Connection();
        if (c == nullptr) {
            return true;
        }
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(defaultScreenNumber());
        const xcb_atom_t selection = atom(c, name.constData());
        const auto cookie = xcb_get_selection_owner(c, selection);
        xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(c, cookie, nullptr);
        const bool owned = reply != nullptr && reply->owner != XCB_WINDOW_NONE;
        std::free(reply);
        return owned;
    }();
    return answer;
}

void setInputShape(QWidget* window, const QRegion& region)
{
    xcb_connection_t* c = x11Connection();
    if (c == nullptr || window == nullptr || !window->testAttribute(Qt::WA_WState_Created)) {
        return;
    }
    const qreal dpr = window->devicePixelRatioF();
    std::vector<xcb_rectangle_t> rects;
    for (const QRect& r : region) {
        const QRect px(r.topLeft() * dpr, r.size() * dpr);
        rects.push_back({static_cast<int16_t>(px.x()), static_cast<int16_t>(px.y()),
                         static_cast<uint16_t>(px.width()), static_cast<uint16_t>(px.height())});
    }
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                         static_cast<xcb_window_t>(window->winId()), 0, 0,
                         static_cast<uint32_t>(rects.size()), rects.data());
    if (window->isVisible() && !window->windowFlags().testFlag(Qt::BypassWindowManagerHint)) {
        // Mutter takes a managed window's new input shape only when the window is configured:
        // a move by one pixel and back, which leaves the window where it was.
        const QPoint at = window->geometry().topLeft() * dpr;
        const auto mask = static_cast<uint16_t>(XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y);
        const std::array<int32_t, 2> nudged{at.x() + 1, at.y()};
        const std::array<int32_t, 2> back{at.x(), at.y()};
        const auto id = static_cast<xcb_window_t>(window->winId());
        xcb_configure_window(c, id, mask, nudged.data());
        xcb_configure_window(c, id, mask, back.data());
    }
    xcb_flush(c);
}

} // namespace platform
