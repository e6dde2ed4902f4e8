#include "platform/x11/CompositorWatch.h"

#include "platform/x11/DefaultScreen.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace platform {

namespace {

xcb_window_t rootOf(xcb_connection_t* c, int number)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < number && it.rem > 1; ++i) {
        xcb_screen_next(&it);
    }
    return it.data != nullptr ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

} // namespace

CompositorWatch::CompositorWatch(xcb_connection_t* connection)
    : connection_(connection)
{
    if (connection_ == nullptr) {
        return;
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(defaultScreenNumber());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(name.size()), name.constData()),
        nullptr);
    selection_ = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    active_ = ownerPresent();
}

CompositorWatch::~CompositorWatch()
{
    if (notifyType_ != 0 && qGuiApp != nullptr) {
        qGuiApp->removeNativeEventFilter(this);
    }
}

bool CompositorWatch::ownerPresent() const
{
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, selection_), nullptr);
    const bool owned = reply != nullptr && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned;
}

bool CompositorWatch::watch(std::function<void()> changed)
{
    if (connection_ == nullptr || selection_ == XCB_ATOM_NONE || qGuiApp == nullptr) {
        return false;
    }
    if (notifyType_ == 0) {
        const xcb_query_extension_reply_t* xfixes =
            xcb_get_extension_data(connection_, &xcb_xfixes_id);
        if (xfixes == nullptr || xfixes->present == 0) {
            return false;
        }
        // The toolkit has already agreed a version with the server on this connection.
        notifyType_ = static_cast<quint8>(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
        const uint32_t mask = XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE;
        xcb_xfixes_select_selection_input(connection_, rootOf(connection_, defaultScreenNumber()),
                                          selection_, mask);
        xcb_flush(connection_);
        qGuiApp->installNativeEventFilter(this);
        active_ = ownerPresent(); // a manager that came or went before the events were asked for
    }
    listeners_.push_back(std::move(changed));
    return true;
}

bool CompositorWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != notifyType_) {
        return false;
    }
    const auto* notify = static_cast<const xcb_xfixes_selection_notify_event_t*>(message);
    if (notify->selection != selection_) {
        return false;
    }
    const bool now = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
                     notify->owner != XCB_WINDOW_NONE;
    if (now != active_) {
        active_ = now;
        for (const auto& changed : listeners_) {
            changed();
        }
    }
    return false; // the toolkit follows the same selection for its own windows
}

} // namespace platform
