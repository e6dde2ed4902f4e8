#pragma once

#include <QPoint>
#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

struct xcb_connection_t;

namespace platform {

// Reads the pointer over a private X connection. Asking through the toolkit's own connection
// also wakes its event-reader thread for every reply, which doubles the program's wake-ups
// while it sits idle and polls the pointer. Empty when not on X11 or when the toolkit scales
// coordinates, so callers fall back to the toolkit.
class PointerProbe {
public:
    PointerProbe();
    ~PointerProbe();
    PointerProbe(const PointerProbe&) = delete;
    PointerProbe& operator=(const PointerProbe&) = delete;

    std::optional<QPoint> position() const;

    // Calls `moved` (on the main thread) for each batch of pointer motion anywhere on the
    // screen: XInput 2 raw motion, selected on the root window. False without X or XInput 2.
    bool watchMotion(std::function<void()> moved);
    // Also calls `released` for each raw release of the primary button, anywhere.
    void watchPrimaryRelease(std::function<void()> released);
    bool watching() const { return notifier_ != nullptr; }

private:
    void readEvents();
    void dropQueuedEvents() const;

    xcb_connection_t* connection_ = nullptr;
    unsigned int root_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> moved_;
    std::function<void()> released_;
};

} // namespace platform
