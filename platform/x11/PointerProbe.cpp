#include "platform/x11/PointerProbe.h"

#include "platform/Backend.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
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

struct EventKind {
    bool motion = false;
    std::optional<quint64> primaryRelease; // its time
    bool activeWindow = false;
    bool entered = false;
};

EventKind sort(const xcb_generic_event_t* event, xcb_atom_t activeAtom, xcb_window_t area)
{
    EventKind kind;
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_ENTER_NOTIFY) {
        kind.entered = reinterpret_cast<const xcb_enter_notify_event_t*>(event)->event == area;
    } else if (type == XCB_PROPERTY_NOTIFY) {
        kind.activeWindow =
            reinterpret_cast<const xcb_property_notify_event_t*>(event)->atom == activeAtom;
    } else if (type == XCB_GE_GENERIC) {
        const auto* raw = reinterpret_cast<const xcb_input_raw_button_release_event_t*>(event);
        const bool release = raw->event_type == XCB_INPUT_RAW_BUTTON_RELEASE;
        if (release && raw->detail == 1) {
            kind.primaryRelease = raw->time;
        }
        kind.motion = !release;
    }
    return kind;
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
    startReading();
    return true;
}

void PointerProbe::watchPrimaryRelease(std::function<void(quint64 time)> released)
{
    released_ = std::move(released);
}

bool PointerProbe::watchActiveWindow(std::function<void()> changed)
{
    if (connection_ == nullptr) {
        return false;
    }
    static constexpr char name[] = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, sizeof name - 1, name), nullptr);
    if (atom == nullptr) {
        return false;
    }
    activeAtom_ = atom->atom;
    std::free(atom);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
    activeChanged_ = std::move(changed);
    startReading();
    return true;
}

bool PointerProbe::watchArea(const QRect& area, std::function<void()> entered)
{
    if (connection_ == nullptr || area.isEmpty()) {
        return false;
    }
    area_ = xcb_generate_id(connection_);
    // Override-redirect: no window manager frames, moves or focuses it.
    const std::array<uint32_t, 2> values{1, XCB_EVENT_MASK_ENTER_WINDOW};
    xcb_create_window(connection_, 0, area_, root_, static_cast<int16_t>(area.x()),
                      static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK,
                      values.data());
    acceptDrags();
    xcb_map_window(connection_, area_);
    xcb_flush(connection_);
    entered_ = std::move(entered);
    startReading();
    return true;
}

void PointerProbe::startReading()
{
    if (notifier_ != nullptr) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                  QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readEvents(); });
}

void PointerProbe::readEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        note(event);
        std::free(event);
    }
    report();
}

void PointerProbe::acceptDrags()
{
    const std::array<const char*, 6> names{"XdndEnter",  "XdndPosition", "XdndDrop",
                                           "XdndStatus", "XdndFinished", "XdndAware"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (size_t i = 0; i < names.size(); ++i) {
        cookies[i] = xcb_intern_atom(connection_, 0, uint16_t(std::strlen(names[i])), names[i]);
    }
    std::array<xcb_atom_t, names.size()> atoms{};
    for (size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookies[i], nullptr);
        atoms[i] = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    std::copy_n(atoms.begin(), dnd_.size(), dnd_.begin());
    const uint32_t version = 5;
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, area_, atoms[5], XCB_ATOM_ATOM, 32, 1,
                        &version);
}

bool PointerProbe::answerDrag(const void* event) const
{
    const auto* message = static_cast<const xcb_client_message_event_t*>(event);
    if ((message->response_type & 0x7f) != XCB_CLIENT_MESSAGE || message->window != area_ ||
        message->type == XCB_ATOM_NONE) {
        return false;
    }
    const auto kind = std::find(dnd_.begin(), dnd_.begin() + 3, message->type) - dnd_.begin();
    if (kind == 0 || kind > 2) {
        return kind == 0; // an enter; a leave needs no answer
    }
    // A position is answered "not here", a drop "not taken": the source must never wait.
    xcb_client_message_event_t answer{};
    answer.response_type = XCB_CLIENT_MESSAGE;
    answer.format = 32;
    answer.window = message->data.data32[0];
    answer.type = dnd_[kind == 1 ? 3 : 4];
    answer.data.data32[0] = area_;
    xcb_send_event(connection_, 0, answer.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&answer));
    xcb_flush(connection_);
    return kind == 1;
}

bool PointerProbe::note(const void* event) const
{
    if (answerDrag(event)) {
        enteredSeen_ = true;
        return true;
    }
    const EventKind kind = sort(static_cast<const xcb_generic_event_t*>(event), activeAtom_, area_);
    motion_ = motion_ || kind.motion;
    if (kind.primaryRelease) {
        releases_.push_back(*kind.primaryRelease);
    }
    activeChangedSeen_ = activeChangedSeen_ || kind.activeWindow;
    enteredSeen_ = enteredSeen_ || kind.entered;
    return kind.primaryRelease || kind.activeWindow || kind.entered;
}

void PointerProbe::report() const
{
    const bool motion = std::exchange(motion_, false);
    const std::vector<quint64> releases = std::exchange(releases_, {});
    const bool activeChanged = std::exchange(activeChangedSeen_, false);
    const bool entered = std::exchange(enteredSeen_, false);
    if (motion && moved_) {
        moved_();
    }
    for (const quint64 time : releases) {
        if (released_) {
            released_(time);
        }
    }
    if (activeChanged && activeChanged_) {
        activeChanged_();
    }
    if (entered && entered_) {
        entered_();
    }
}

void PointerProbe::dropQueuedEvents() const
{
    if (notifier_ == nullptr) {
        return;
    }
    bool kept = false;
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection_)) {
        kept = note(event) || kept;
        std::free(event);
    }
    // The reading answers the motion; a release or a new active window must still be told.
    motion_ = false;
    if (kept) {
        QMetaObject::invokeMethod(
            notifier_.get(), [this] { report(); }, Qt::QueuedConnection);
    }
}

} // namespace platform
