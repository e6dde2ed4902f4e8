#include "app/Launch.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs the launch sequence against recording fakes and returns what happened, in order.
struct LaunchRecorder {
    QStringList events;

    QStringList run(const QString& executable, const QStringList& arguments = {},
                    bool requested = false)
    {
        auto record = [this](const QString& event) { return [this, event] { events << event; }; };
        LaunchSteps steps;
        steps.executablePath = executable;
        steps.arguments = QStringList{executable} + arguments;
        steps.setOpenAtLogin = [this](bool on) { events << QStringLiteral("login %1").arg(on); };
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

    // Only an installed copy arranges to open at login, and only the first time: the user may
    // have turned it off since, and that choice stands.
    void onlyAFirstInstalledLaunchArrangesOpenAtLogin_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("doneBefore");
        QTest::addColumn<bool>("arranges");
        QTest::newRow("/usr") << installed << false << true;
        QTest::newRow("/usr, done before") << installed << true << false;
        QTest::newRow("/opt") << "/opt/quillhaven/bin/quillhaven" << false << true;
        QTest::newRow("build tree") << buildTree << false << false;
        QTest::newRow("usr further down") << "/home/u/usr/bin/quillhaven" << false << false;
    }
    void onlyAFirstInstalledLaunchArrangesOpenAtLogin()
    {
        QFETCH(QString, path);
        QFETCH(bool, doneBefore);
        QFETCH(bool, arranges);
        if (doneBefore) {
            QSettings().setValue(QStringLiteral("loginSetupDone"), true);
        }
        QCOMPARE(LaunchRecorder().run(path).contains(QStringLiteral("login 1")), arranges);
        // A copy that does not arrange it leaves the flag as it was.
        QCOMPARE(QSettings().contains(QStringLiteral("loginSetupDone")), arranges || doneBefore);
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
        // Both keys on every launch, a login item's too; each key's action is run as it is
        // registered, to show which one it carries.
        QCOMPARE(events.mid(events.indexOf("hotkey 1 n"), 4),
                 (QStringList{"hotkey 1 n", "toggle", "hotkey 2 s", "capture"}));
        QCOMPARE(events.contains(QStringLiteral("dashboard")), shown);
    }
};

static RegisterSuite<LaunchTest> registered;

#include "LaunchTest.moc"
