#include "platform/PointerProbe.h"

#include "platform/Backend.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

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
    // Motion that arrived with the reply is answered by this very reading.
    dropQueuedEvents();
    return at;
}

bool PointerProbe::watchMotion(std::function<void()> moved)
{
    if (connection_ == nullptr) {
        return false;
    }
    const xcb_query_extension_reply_t* xinput = xcb_get_extension_data(connection_, &xcb_input_id);
    if (xinput == nullptr || xinput->present == 0) {
        return false;
    }
    auto* version = xcb_input_xi_query_version_reply(
        connection_, xcb_input_xi_query_version(connection_, 2, 2), nullptr);
    // From 2.1 raw motion arrives whoever holds a grab (another program's drag included).
    const bool xi2 = version != nullptr && version->major_version >= 2 &&
                     (version->major_version > 2 || version->minor_version >= 1);
    std::free(version);
    if (!xi2) {
        return false;
    }
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } select{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
             XCB_INPUT_XI_EVENT_MASK_RAW_MOTION | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE};
    xcb_input_xi_select_events(connection_, root_, 1, &select.head);
    xcb_flush(connection_);

    moved_ = std::move(moved);
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                  QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readEvents(); });
    return true;
}

void PointerProbe::watchPrimaryRelease(std::function<void()> released)
{
    released_ = std::move(released);
}

void PointerProbe::readEvents()
{
    bool motion = false;
    int releases = 0;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7f) == XCB_GE_GENERIC) {
            const auto* raw = reinterpret_cast<const xcb_input_raw_button_release_event_t*>(event);
            if (raw->event_type == XCB_INPUT_RAW_BUTTON_RELEASE) {
                releases += raw->detail == 1 ? 1 : 0;
            } else {
                motion = true;
            }
        }
        std::free(event);
    }
    if (motion && moved_) {
        moved_();
    }
    for (; releases > 0 && released_; --releases) {
        released_();
    }
}

void PointerProbe::dropQueuedEvents() const
{
    if (notifier_ == nullptr) {
        return;
    }
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection_)) {
        std::free(event);
    }
}

} // namespace platform
