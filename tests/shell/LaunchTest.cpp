#include "Launch.h"

#include "LoginItem.h"
#include "ShellTests.h"
#include "support/FakeDesktop.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs the launch sequence against recording fakes and returns what happened, in order.
struct LaunchRecorder {
    QStringList events;
    std::map<quint32, HotKeyAction> hotKeys;
    std::function<void(bool)> loginItem; // replaces the recording fake when set

    QStringList run(const QString& executable, const QStringList& arguments)
    {
        LaunchSteps steps;
        steps.executablePath = executable;
        steps.arguments = QStringList{executable} + arguments;
        steps.setOpenAtLogin = [this](bool on) {
            events << QStringLiteral("login %1").arg(on);
            if (loginItem) {
                loginItem(on);
            }
        };
        steps.warmUpSound = [this] { events << QStringLiteral("sound"); };
        steps.buildMainMenu = [this] { events << QStringLiteral("menu"); };
        steps.start = [this] { events << QStringLiteral("start"); };
        steps.registerHotKey = [this](quint32 key, quint32 id, HotKeyAction action) {
            events << QStringLiteral("hotkey %1 %2").arg(id).arg(QChar(char16_t(key)));
            hotKeys[id] = std::move(action);
        };
        steps.toggleDashboard = [this] { events << QStringLiteral("toggle"); };
        steps.captureScreenshot = [this] { events << QStringLiteral("capture"); };
        steps.showDashboard = [this] { events << QStringLiteral("dashboard"); };
        finishLaunching(steps);
        return events;
    }
};

const QString installed = QStringLiteral("/usr/bin/quillhaven");
const QString buildTree = QStringLiteral("/home/someone/src/build/quillhaven");

} // namespace

class LaunchTest : public QObject {
    Q_OBJECT
    QTemporaryDir settingsDir_;
    FakeDesktop* desktop_ = nullptr;

    bool loginSetupDone() const
    {
        return QSettings().value(QStringLiteral("loginSetupDone"), false).toBool();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }
    void init()
    {
        QSettings().clear();
        desktop_ = new FakeDesktop;
        desktop_->bootSeconds = 5000;
    }
    void cleanup() { delete desktop_; }

    void firstInstalledLaunchTurnsOnOpenAtLoginThenRunsInOrder()
    {
        LaunchRecorder launch;
        const QStringList expected = {
            "login 1", "sound", "menu", "start", "hotkey 1 n", "hotkey 2 s", "dashboard",
        };
        QCOMPARE(launch.run(installed, {}), expected);
        QVERIFY(loginSetupDone());
    }

    void optPrefixCountsAsInstalled()
    {
        LaunchRecorder launch;
        QVERIFY(launch.run(QStringLiteral("/opt/quillhaven/bin/quillhaven"), {})
                    .contains(QStringLiteral("login 1")));
    }

    void laterInstalledLaunchesLeaveOpenAtLoginAlone()
    {
        // The user may have turned it off since; that choice stands.
        QSettings().setValue(QStringLiteral("loginSetupDone"), true);
        LaunchRecorder launch;
        QVERIFY(!launch.run(installed, {}).contains(QStringLiteral("login 1")));
    }

    void buildTreeCopyNeverTouchesLoginItemOrFlag()
    {
        LaunchRecorder launch;
        QVERIFY(!launch.run(buildTree, {}).contains(QStringLiteral("login 1")));
        QVERIFY(!QSettings().contains(QStringLiteral("loginSetupDone")));
        // A path that merely contains "/usr/" elsewhere is not installed.
        QVERIFY(!isInstalledCopy(QStringLiteral("/home/u/usr/bin/quillhaven")));
        QVERIFY(!isInstalledCopy(QStringLiteral("/usr")));
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
        launch.run(installed, {});
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(log.lines.size(), 1);
        QVERIFY(log.lines[0].startsWith(QStringLiteral("Quillhaven: login item change failed: ")));
        QVERIFY(loginSetupDone());
    }

    void loginItemLaunchShowsNoDashboardWhateverTheUptime()
    {
        desktop_->bootSeconds = 100000;
        LaunchRecorder launch;
        const QStringList events = launch.run(installed, {QStringLiteral("--login-item")});
        QVERIFY(events.contains(QStringLiteral("hotkey 2 s")));
        QVERIFY(!events.contains(QStringLiteral("dashboard")));
    }

    void dashboardOnlyAfterStartUpWindow_data()
    {
        QTest::addColumn<double>("uptime");
        QTest::addColumn<bool>("shown");
        QTest::newRow("just booted") << 12.0 << false;
        QTest::newRow("180 s") << 180.0 << false;
        QTest::newRow("180.5 s") << 180.5 << true;
        QTest::newRow("181 s") << 181.0 << true;
    }
    void dashboardOnlyAfterStartUpWindow()
    {
        QFETCH(double, uptime);
        QFETCH(bool, shown);
        desktop_->bootSeconds = uptime;
        LaunchRecorder launch;
        QCOMPARE(launch.run(buildTree, {}).contains(QStringLiteral("dashboard")), shown);
    }

    void hotKeysReachTheirActions()
    {
        LaunchRecorder launch;
        launch.run(buildTree, {});
        launch.events.clear();
        launch.hotKeys.at(1)();
        launch.hotKeys.at(2)();
        QCOMPARE(launch.events, QStringList({"toggle", "capture"}));
    }
};

static ShellTestRegistration<LaunchTest> registration;

#include "LaunchTest.moc"
