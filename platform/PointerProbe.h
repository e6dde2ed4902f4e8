#pragma once

#include <QPoint>
#include <optional>

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

private:
    xcb_connection_t* connection_ = nullptr;
    unsigned int root_ = 0;
};

} // namespace platform
