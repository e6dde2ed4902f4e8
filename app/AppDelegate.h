#pragma once

#include <memory>

class AppController;

// Brings the program up around its one controller, which it owns for the life of the
// process.
class AppDelegate {
public:
    AppDelegate();
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    AppController& app() const { return *app_; }

    // Runs once, from inside the event loop.
    void applicationDidFinishLaunching();
    // The user launched the program again while it runs: show the dashboard, whatever is
    // visible. Returns false: there is nothing more to do. A request that arrives before the
    // launch has finished is served at its end, once the controller has started.
    bool applicationShouldHandleReopen();

private:
    std::unique_ptr<AppController> app_;
    bool launched_ = false;
    bool reopenPending_ = false;
};
