#include "app/Launch.h"

#include "platform/Desktop.h"

#include <QSettings>

namespace {

const QString loginSetupDoneKey = QStringLiteral("loginSetupDone");

void setUpLoginItemOnce(const LaunchSteps& steps)
{
    if (!isInstalledCopy(steps.executablePath)) {
        return;
    }
    QSettings settings;
    if (settings.value(loginSetupDoneKey, false).toBool()) {
        return;
    }
    steps.setOpenAtLogin(true);
    // Set even when the change failed, so a failing desktop is not asked at every launch.
    settings.setValue(loginSetupDoneKey, true);
}

} // namespace

bool isInstalledCopy(const QString& executablePath)
{
    return executablePath.startsWith(QStringLiteral("/usr/")) ||
           executablePath.startsWith(QStringLiteral("/opt/"));
}

bool launchedAsLoginItem(const QStringList& arguments)
{
    return arguments.mid(1).contains(QStringLiteral("--login-item"));
}

void finishLaunching(const LaunchSteps& steps)
{
    // Note, pad and viewer windows are tool windows and stay out of the taskbar by
    // themselves; there is no application-wide switch to make here.
    setUpLoginItemOnce(steps);
    steps.warmUpSound();
    steps.buildMainMenu();
    steps.start();
    // The names are what a desktop with a shortcut service lists in its settings.
    steps.registerHotKey(
        'n', 1, steps.toggleDashboard,
        {QStringLiteral("toggle-dashboard"), QStringLiteral("Show or hide the dashboard")});
    steps.registerHotKey(
        's', 2, steps.captureScreenshot,
        {QStringLiteral("capture"), QStringLiteral("Capture a screen region into a note")});
    if (launchedAsLoginItem(steps.arguments) || steps.requested) {
        return;
    }
    if (platform::desktop().uptime() > startUpSeconds) {
        steps.showDashboard();
    }
}
