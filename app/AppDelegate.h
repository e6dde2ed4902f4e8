#pragma once

#include "app/SingleInstance.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

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
    // A request from the command line of this or a later launch. One that arrives before the
    // launch has finished is served at its end, in order; a launch that brings a request
    // other than the dashboard does not also open the dashboard by itself.
    // `argument`: what the request is about (the folder of an export, what to import).
    void perform(SingleInstance::Request request, const QString& argument = {});

private:
    void serve(SingleInstance::Request request, const QString& argument);

    std::unique_ptr<AppController> app_;
    bool launched_ = false;
    std::vector<std::pair<SingleInstance::Request, QString>> pending_;
};
