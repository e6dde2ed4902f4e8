#pragma once

#include <QPoint>
#include <QRect>
#include <QtGlobal>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

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
    void watchPrimaryRelease(std::function<void(quint64 time)> released);
    // Calls `changed` (on the main thread) whenever the window manager names another active
    // window (the root's _NET_ACTIVE_WINDOW), whoever's it is. False without X.
    bool watchActiveWindow(std::function<void()> changed);
    // Calls `entered` (on the main thread) when the pointer arrives in `area` (X root pixels),
    // through an input-only window there: the crossing is reported however the pointer got
    // there, faked input and warps included, which raw motion is not. False without X.
    bool watchArea(const QRect& area, std::function<void()> entered);
    bool watching() const { return notifier_ != nullptr; }

private:
    void startReading();
    void readEvents();
    // Counts one event; true when it has something to tell besides motion.
    bool note(const void* event) const;
    void report() const;
    void dropQueuedEvents() const;
    // Another program's drag over the area: it is told the area takes nothing, and it counts as
    // the pointer arriving there, which no enter event says while the drag holds the pointer.
    void acceptDrags();
    bool answerDrag(const void* event) const;

    xcb_connection_t* connection_ = nullptr;
    unsigned int root_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> moved_;
    std::function<void(quint64)> released_;
    std::function<void()> activeChanged_;
    std::function<void()> entered_;
    unsigned int activeAtom_ = 0;
    unsigned int area_ = 0;
    // XdndEnter, XdndPosition, XdndDrop, XdndStatus, XdndFinished.
    std::array<unsigned int, 5> dnd_{};
    // What arrived but is not reported yet; mutable because a reading drops the motion queued
    // with its reply but must keep the rest.
    mutable std::vector<quint64> releases_; // their times
    mutable bool motion_ = false;
    mutable bool activeChangedSeen_ = false;
    mutable bool enteredSeen_ = false;
};

} // namespace platform
