#include "platform/Backend.h"
#include "platform/x11/DefaultScreen.h"

#include <QByteArray>
#include <QRegion>
#include <QWidget>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace platform {

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

class X11Backend final : public Backend {
public:
    X11Backend(xcb_connection_t* connection, SessionKind kind)
        : Backend(kind)
        , c_(connection)
    {
    }

    xcb_connection_t* x11Connection() const override { return c_; }

    bool hasCompositor() const override
    {
        static const bool answer = [this] {
            const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(defaultScreenNumber());
            const xcb_atom_t selection = atom(c_, name.constData());
            const auto cookie = xcb_get_selection_owner(c_, selection);
            xcb_get_selection_owner_reply_t* reply =
                xcb_get_selection_owner_reply(c_, cookie, nullptr);
            const bool owned = reply != nullptr && reply->owner != XCB_WINDOW_NONE;
            std::free(reply);
            return owned;
        }();
        return answer;
    }

    void applyWindowRole(QWidget* window, WindowRole role) const override
    {
        const WindowRoleHints hints = windowRoleHints(role, kind());
        if (window == nullptr || hints.overrideRedirect) {
            return;
        }
        const auto id = static_cast<xcb_window_t>(window->winId());
        const auto atoms = [this](const QByteArrayList& names) {
            std::vector<xcb_atom_t> result;
            for (const QByteArray& name : names) {
                result.push_back(atom(c_, name.constData()));
            }
            return result;
        };
        static const xcb_atom_t typeAtom = atom(c_, "_NET_WM_WINDOW_TYPE");
        static const xcb_atom_t stateAtom = atom(c_, "_NET_WM_STATE");
        static const xcb_atom_t desktopAtom = atom(c_, "_NET_WM_DESKTOP");
        // Qt writes its own type when it creates the window; this one replaces it. Qt merges
        // its states into whatever the property holds when it maps the window.
        const std::vector<xcb_atom_t> types = atoms(hints.types);
        const std::vector<xcb_atom_t> states = atoms(hints.states);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id, typeAtom, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(types.size()), types.data());
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id, stateAtom, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(states.size()), states.data());
        if (hints.allDesktops) {
            const uint32_t allDesktops = 0xFFFFFFFF;
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id, desktopAtom, XCB_ATOM_CARDINAL, 32,
                                1, &allDesktops);
        }
        // Transient for Qt's invisible client leader, a utility window is hidden by KWin
        // whenever another application is active.
        xcb_delete_property(c_, id, XCB_ATOM_WM_TRANSIENT_FOR);
        xcb_flush(c_);
    }

    void setInputShape(QWidget* window, const QRegion& region) const override
    {
        if (window == nullptr || !window->testAttribute(Qt::WA_WState_Created)) {
            return;
        }
        const qreal dpr = window->devicePixelRatioF();
        std::vector<xcb_rectangle_t> rects;
        for (const QRect& r : region) {
            const QRect px(r.topLeft() * dpr, r.size() * dpr);
            rects.push_back({static_cast<int16_t>(px.x()), static_cast<int16_t>(px.y()),
                             static_cast<uint16_t>(px.width()),
                             static_cast<uint16_t>(px.height())});
        }
        xcb_shape_rectangles(c_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                             static_cast<xcb_window_t>(window->winId()), 0, 0,
                             static_cast<uint32_t>(rects.size()), rects.data());
        if (window->isVisible() && !window->windowFlags().testFlag(Qt::BypassWindowManagerHint)) {
            // Mutter takes a managed window's new input shape only when the window is
            // configured: a move by one pixel and back, which leaves the window where it was.
            const QPoint at = window->geometry().topLeft() * dpr;
            const auto mask = static_cast<uint16_t>(XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y);
            const std::array<int32_t, 2> nudged{at.x() + 1, at.y()};
            const std::array<int32_t, 2> back{at.x(), at.y()};
            const auto id = static_cast<xcb_window_t>(window->winId());
            xcb_configure_window(c_, id, mask, nudged.data());
            xcb_configure_window(c_, id, mask, back.data());
        }
        xcb_flush(c_);
    }

private:
    xcb_connection_t* c_;
};

} // namespace

std::unique_ptr<Backend> makeX11Backend(xcb_connection_t* connection, SessionKind kind)
{
    return std::make_unique<X11Backend>(connection, kind);
}

} // namespace platform
