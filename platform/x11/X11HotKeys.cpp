#include "platform/Backend.h"
#include "platform/HotKeys.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QSet>
#include <array>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

constexpr quint16 hotKeyModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1; // Ctrl+Alt
// NumLock (Mod2) and CapsLock (Lock) change the modifier state of a press, so each hot key
// is grabbed in all four lock combinations.
constexpr std::array<quint16, 4> lockVariants = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                 XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

class X11HotKeyGrabber : public HotKeyGrabber, public QAbstractNativeEventFilter {
public:
    X11HotKeyGrabber()
    {
        connection_ = platform::session().x11Connection();
        if (connection_ != nullptr) {
            root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        }
    }

    bool available() const override { return connection_ != nullptr; }
    bool reachesEveryWindow() const override
    {
        return available() && platform::session().kind().display == platform::Display::X11;
    }

    void listen(std::function<void(quint32)> pressed) override
    {
        pressed_ = std::move(pressed);
        qGuiApp->installNativeEventFilter(this);
    }

    int grab(quint32 keysym, quint32* keycode) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

private:
    xcb_keycode_t keycodeFor(quint32 keysym) const;

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    std::function<void(quint32)> pressed_;
    QSet<quint32> grabbed_;
    QSet<quint32> held_; // pressed and not yet released: key repeat must not fire again
};

xcb_keycode_t X11HotKeyGrabber::keycodeFor(quint32 keysym) const
{
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection_);
    if (symbols == nullptr) {
        return 0;
    }
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes != nullptr ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return code;
}

int X11HotKeyGrabber::grab(quint32 keysym, quint32* keycode)
{
    const xcb_keycode_t code = keycodeFor(keysym);
    *keycode = code;
    if (code == 0) {
        return XCB_VALUE; // no key on this keyboard produces the symbol
    }
    std::array<xcb_void_cookie_t, lockVariants.size()> cookies{};
    // owner_events off: the press and its release always come to the root window, even while
    // one of our own windows has the keyboard, so the key never stays marked as held.
    for (size_t i = 0; i < lockVariants.size(); ++i) {
        cookies[i] = xcb_grab_key_checked(connection_, 0, root_, hotKeyModifiers | lockVariants[i],
                                          code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    // Another client's grab is refused per exact modifier set, so any variant may fail alone.
    int status = 0;
    std::array<bool, lockVariants.size()> held{};
    for (size_t i = 0; i < lockVariants.size(); ++i) {
        xcb_generic_error_t* error = xcb_request_check(connection_, cookies[i]);
        held[i] = error == nullptr;
        if (error != nullptr) {
            status = status != 0 ? status : error->error_code;
            std::free(error);
        }
    }
    if (status != 0) {
        for (size_t i = 0; i < lockVariants.size(); ++i) {
            if (held[i]) {
                xcb_ungrab_key(connection_, code, root_, hotKeyModifiers | lockVariants[i]);
            }
        }
        xcb_flush(connection_);
        return status;
    }
    grabbed_.insert(code);
    return 0;
}

bool X11HotKeyGrabber::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return false;
    }
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != root_ || !grabbed_.contains(key->detail)) {
        return false;
    }
    if (type == XCB_KEY_RELEASE) {
        held_.remove(key->detail);
        return true;
    }
    if ((key->state & hotKeyModifiers) != hotKeyModifiers || held_.contains(key->detail)) {
        return true;
    }
    held_.insert(key->detail);
    if (pressed_) {
        pressed_(key->detail);
    }
    return true;
}

} // namespace

std::unique_ptr<HotKeyGrabber> makeX11HotKeyGrabber()
{
    return std::make_unique<X11HotKeyGrabber>();
}
