#pragma once

#include <QAbstractNativeEventFilter>
#include <QtGlobal>
#include <functional>
#include <vector>

struct xcb_connection_t;

namespace platform {

// Whether a compositing manager holds the screen's _NET_WM_CM_S<n> selection, followed as
// managers start and stop: Xfce's switch turns compositing off at run time, and KWin
// suspends it for full-screen games. Reads the toolkit's own connection, which already
// receives the selection's XFixes events; an idle desktop sends none.
class CompositorWatch : public QAbstractNativeEventFilter {
public:
    // Null `connection`: not on X11, and a compositor is taken to be there.
    explicit CompositorWatch(xcb_connection_t* connection);
    ~CompositorWatch() override;
    CompositorWatch(const CompositorWatch&) = delete;
    CompositorWatch& operator=(const CompositorWatch&) = delete;

    bool active() const { return active_; }
    // Calls `changed` (on the main thread) after each change of active(). False without X or
    // XFixes: the answer then stays the one read at start.
    bool watch(std::function<void()> changed);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

private:
    bool ownerPresent() const;

    xcb_connection_t* connection_;
    quint32 selection_ = 0;
    quint8 notifyType_ = 0; // the XFixes selection event's response type; 0 until watching
    bool active_ = true;
    std::vector<std::function<void()>> listeners_;
};

} // namespace platform
