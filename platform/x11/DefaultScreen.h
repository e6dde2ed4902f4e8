#pragma once

#include <cstdlib>
#include <xcb/xcb.h>

namespace platform {

// The screen number of $DISPLAY (":0.1" names screen 1), 0 when it names none.
inline int defaultScreenNumber()
{
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
        screen = 0;
    }
    std::free(host);
    return screen;
}

} // namespace platform
