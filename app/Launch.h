#pragma once

#include "platform/HotKeys.h"

#include <QString>
#include <QStringList>
#include <functional>

// Everything the launch sequence reads and does, so its decisions can be checked with fakes.
// The flag "loginSetupDone" is read from and written to QSettings; the uptime comes from
// platform::desktop().
struct LaunchSteps {
    QString executablePath;
    QStringList arguments;
    std::function<void(bool)> setOpenAtLogin;
    std::function<void()> warmUpSound;
    std::function<void()> buildMainMenu;
    std::function<void()> start;
    std::function<void(quint32 keysym, quint32 id, HotKeyAction action, const HotKeyName& name)>
        registerHotKey;
    HotKeyAction toggleDashboard;
    HotKeyAction captureScreenshot;
    std::function<void()> showDashboard;
    // The launch brings its own request (a command-line action), served after the launch
    // instead of the dashboard.
    bool requested = false;
};

// A copy in a system install prefix arranges open-at-login once; a build-tree copy never does.
bool isInstalledCopy(const QString& executablePath);
bool launchedAsLoginItem(const QStringList& arguments);

// Up for longer than this, a launch is the user's own and opens the dashboard; sooner, it is
// taken to be part of the machine's start-up.
constexpr double startUpSeconds = 180;

void finishLaunching(const LaunchSteps& steps);
