// Starts a program and reports how long it took until it mapped a top-level window of a
// given size, watching the X server from outside the program.
//
//   quillhaven_mapwait [--size WxH] [--keep] [--timeout S] -- PROGRAM ARGS...
//
// Prints "<milliseconds> <pid>". Without --keep the program is then terminated; with it the
// program keeps running and the caller ends it by its pid.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

double seconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

bool hasSize(xcb_connection_t* c, xcb_window_t window, int width, int height)
{
    if (width <= 0) {
        return true;
    }
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const bool match = g != nullptr && g->width == width && g->height == height;
    std::free(g);
    return match;
}

struct Options {
    int width = 0;
    int height = 0;
    bool keep = false;
    double timeout = 30;
    char** command = nullptr;
};

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2) {
                return false;
            }
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            o.keep = true;
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            o.timeout = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--") == 0 && i + 1 < argc) {
            o.command = argv + i + 1;
            return true;
        } else {
            return false;
        }
    }
    return false;
}

// Waits for the first MapNotify of a window of the wanted size; -1 on timeout or exit.
double waitForMap(xcb_connection_t* c, const Options& o, pid_t child, double start)
{
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (seconds() - start < o.timeout) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
            const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
            std::free(e);
            if (mapped) {
                const double at = seconds();
                if (hasSize(c, window, o.width, o.height)) {
                    return at - start;
                }
            }
        }
        if (xcb_connection_has_error(c) || waitpid(child, nullptr, WNOHANG) == child) {
            return -1;
        }
        poll(&fd, 1, 100);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: %s [--size WxH] [--keep] [--timeout S] -- PROGRAM ARGS...\n",
                     argv[0]);
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot connect to the X server\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    // A round trip, so the server applies the mask before the program can map anything.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    const double start = seconds();
    const pid_t child = fork();
    if (child == 0) {
        // The caller reads our output to its end; the program must not hold it open.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(o.command[0], o.command);
        _exit(127);
    }
    const double elapsed = waitForMap(c, o, child, start);
    xcb_disconnect(c);
    if (elapsed < 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        std::fprintf(stderr, "no window mapped\n");
        return 1;
    }
    std::printf("%.1f %d\n", elapsed * 1000, static_cast<int>(child));
    std::fflush(stdout);
    if (!o.keep) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    return 0;
}
