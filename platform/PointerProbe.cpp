#include "platform/PointerProbe.h"

#include "platform/Backend.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <xcb/xcb.h>

namespace platform {

namespace {

// X root coordinates are the toolkit's global coordinates only while nothing is scaled.
bool unscaled()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr && screen->devicePixelRatio() == 1.0;
}

} // namespace

PointerProbe::PointerProbe()
{
    if (session().x11Connection() == nullptr) {
        return;
    }
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    if (it.rem == 0) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    root_ = it.data->root;
}

PointerProbe::~PointerProbe()
{
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

std::optional<QPoint> PointerProbe::position() const
{
    if (connection_ == nullptr || !unscaled()) {
        return std::nullopt;
    }
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(connection_, xcb_query_pointer(connection_, root_), nullptr);
    if (reply == nullptr) {
        return std::nullopt;
    }
    const QPoint at(reply->root_x, reply->root_y);
    std::free(reply);
    return at;
}

} // namespace platform
