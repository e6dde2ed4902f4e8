#include "app/Launch.h"

#include "platform/LoginItem.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs the launch sequence against recording fakes and returns what happened, in order.
struct LaunchRecorder {
    QStringList events;
    std::function<void(bool)> loginItem; // runs after the recording when set

    QStringList run(const QString& executable, const QStringList& arguments = {},
                    bool requested = false)
    {
        auto record = [this](const QString& event) { return [this, event] { events << event; }; };
        LaunchSteps steps;
        steps.executablePath = executable;
        steps.arguments = QStringList{executable} + arguments;
        steps.setOpenAtLogin = [this](bool on) {
            events << QStringLiteral("login %1").arg(on);
            if (loginItem) {
                loginItem(on);
            }
        };
        steps.warmUpSound = record("sound");
        steps.buildMainMenu = record("menu");
        steps.start = record("start");
        steps.registerHotKey = [this](quint32 key, quint32 id, HotKeyAction action,
                                      const HotKeyName&) {
            events << QStringLiteral("hotkey %1 %2").arg(id).arg(QChar(char16_t(key)));
            action();
        };
        steps.toggleDashboard = record("toggle");
        steps.captureScreenshot = record("capture");
        steps.showDashboard = record("dashboard");
        steps.requested = requested;
        finishLaunching(steps);
        return events;
    }
};

const QString installed = QStringLiteral("/usr/bin/quillhaven");
const QString buildTree = QStringLiteral("/home/someone/src/build/quillhaven");

bool loginSetupDone()
{
    return QSettings().value(QStringLiteral("loginSetupDone"), false).toBool();
}

} // namespace

class LaunchTest : public QObject {
    Q_OBJECT
    QTemporaryDir settingsDir_;
    std::unique_ptr<FakeDesktop> desktop_;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }
    void init()
    {
        QSettings().clear();
        desktop_ = std::make_unique<FakeDesktop>();
        desktop_->bootSeconds = 5000;
    }
    void cleanup() { desktop_.reset(); }

    void firstInstalledLaunchRunsEveryStepInOrder()
    {
        // Each hot key's action is run as it is registered, to show which one it carries.
        const QStringList expected = {
            "login 1", "sound",      "menu",    "start",     "hotkey 1 n",
            "toggle",  "hotkey 2 s", "capture", "dashboard",
        };
        QCOMPARE(LaunchRecorder().run(installed), expected);
        QVERIFY(loginSetupDone());
    }

    void onlyAnInstalledCopyArrangesOpenAtLogin_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("arranges");
        QTest::newRow("/usr") << installed << true;
        QTest::newRow("/opt") << "/opt/quillhaven/bin/quillhaven" << true;
        QTest::newRow("build tree") << buildTree << false;
        QTest::newRow("usr further down") << "/home/u/usr/bin/quillhaven" << false;
    }
    void onlyAnInstalledCopyArrangesOpenAtLogin()
    {
        QFETCH(QString, path);
        QFETCH(bool, arranges);
        QCOMPARE(LaunchRecorder().run(path).contains(QStringLiteral("login 1")), arranges);
        // A copy that does not arrange it leaves the flag unwritten too.
        QCOMPARE(QSettings().contains(QStringLiteral("loginSetupDone")), arranges);
    }

    void laterInstalledLaunchesLeaveOpenAtLoginAlone()
    {
        // The user may have turned it off since; that choice stands.
        QSettings().setValue(QStringLiteral("loginSetupDone"), true);
        QVERIFY(!LaunchRecorder().run(installed).contains(QStringLiteral("login 1")));
    }

    void flagIsSetEvenWhenLoginItemChangeFails()
    {
        // A config "directory" that is a file: the autostart entry cannot be written.
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("config"));
        QFile(blocker).open(QIODevice::WriteOnly);
        qputenv("XDG_CONFIG_HOME", blocker.toUtf8());
        LogCapture log;
        LaunchRecorder launch;
        launch.loginItem = [](bool on) { setOpenAtLogin(on); };
        launch.run(installed);
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(log.lines.size(), 1);
        QVERIFY(log.lines[0].startsWith(QStringLiteral("Quillhaven: login item change failed: ")));
        QVERIFY(loginSetupDone());
    }

    void dashboardOnlyForAUserLaunchAfterStartUp_data()
    {
        QTest::addColumn<double>("uptime");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("requested");
        QTest::addColumn<bool>("shown");
        const QStringList none;
        const QStringList login{QStringLiteral("--login-item")};
        QTest::newRow("just booted") << 12.0 << none << false << false;
        QTest::newRow("180 s") << 180.0 << none << false << false;
        QTest::newRow("180.5 s") << 180.5 << none << false << true;
        QTest::newRow("181 s") << 181.0 << none << false << true;
        QTest::newRow("login item, long up") << 100000.0 << login << false << false;
        // A launch for a command-line action (--capture) does that instead.
        QTest::newRow("action, long up") << 100000.0 << none << true << false;
    }
    void dashboardOnlyForAUserLaunchAfterStartUp()
    {
        QFETCH(double, uptime);
        QFETCH(QStringList, arguments);
        QFETCH(bool, requested);
        QFETCH(bool, shown);
        desktop_->bootSeconds = uptime;
        const QStringList events = LaunchRecorder().run(buildTree, arguments, requested);
        QVERIFY(events.contains(QStringLiteral("hotkey 2 s"))); // a login-item launch too
        QCOMPARE(events.contains(QStringLiteral("dashboard")), shown);
    }
};

static RegisterSuite<LaunchTest> registered;

#include "LaunchTest.moc"
