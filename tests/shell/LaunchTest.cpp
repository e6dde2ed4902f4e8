#include "app/Launch.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class LaunchTest : public QObject {
    Q_OBJECT
    QTemporaryDir settingsDir_;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }

    // Only an installed copy arranges to open at login, and only the first time: the user may
    // have turned it off since, and that choice stands. The dashboard opens for the user's own
    // launch after start-up, not for a login item or a launch that brings its own action.
    void launchDecidesOpenAtLoginAndDashboard()
    {
        const QString usr = "/usr/bin/quillhaven", build = "/home/someone/src/build/quillhaven";
        // Columns: uptime, then what the launch does (arrange login, show the dashboard), then
        // what it finds (flag set before, an argument, a request of its own).
        struct Case {
            const char* name;
            QString path;
            double uptime;
            bool login, dashboard, doneBefore = false;
            QString argument = {};
            bool requested = false;
        };
        const Case cases[] = {
            {"/usr", usr, 5000, true, true},
            {"/usr, done before", usr, 5000, false, true, true},
            {"/opt", "/opt/quillhaven/bin/quillhaven", 5000, true, true},
            {"build tree", build, 5000, false, true},
            {"usr further down", "/home/u/usr/bin/quillhaven", 5000, false, true},
            {"just booted", build, 12, false, false},
            {"180 s", build, 180, false, false},
            {"180.5 s", build, 180.5, false, true},
            {"login item", build, 1e5, false, false, false, "--login-item"},
            {"action", build, 1e5, false, false, false, {}, true},
        };
        for (const Case& c : cases) {
            QSettings().clear();
            FakeDesktop desktop;
            desktop.bootSeconds = c.uptime;
            if (c.doneBefore) {
                QSettings().setValue("loginSetupDone", true);
            }
            QStringList events;
            LaunchSteps steps{
                .executablePath = c.path,
                .arguments = {c.path, c.argument},
                .setOpenAtLogin = [&](bool on) { events << (on ? "login" : "logout"); },
                .warmUpSound = [] {},
                .buildMainMenu = [] {},
                .start = [] {},
                // Each key's action is run as it is registered, to show which it carries.
                .registerHotKey =
                    [&](quint32 key, quint32, HotKeyAction action, const HotKeyName&) {
                        events << QString(QChar(key));
                        action();
                    },
                .toggleDashboard = [&] { events << "toggle"; },
                .captureScreenshot = [&] { events << "capture"; },
                .showDashboard = [&] { events << "dashboard"; },
                .requested = c.requested};
            finishLaunching(steps);
            const QString all = events.join(' ');
            QVERIFY2(all.contains("n toggle") && all.contains("s capture"), c.name);
            QVERIFY2(events.contains("login") == c.login, c.name);
            QVERIFY2(events.contains("dashboard") == c.dashboard, c.name);
            // A copy that does not arrange it leaves the flag as it was.
            QVERIFY2(QSettings().contains("loginSetupDone") == (c.login || c.doneBefore), c.name);
        }
    }
};

static RegisterSuite<LaunchTest> registered;

#include "LaunchTest.moc"
