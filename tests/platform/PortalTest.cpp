#include "platform/HotKeys.h"
#include "platform/KdeShortcuts.h"
#include "platform/portal/PortalScreenshot.h"
#include "platform/portal/PortalShortcuts.h"
#include "support/FakeDesktop.h"
#include "support/FakePortal.h"
#include "support/Suites.h"

#include <QDBusObjectPath>
#include <QTest>
#include <optional>

namespace {

using namespace std::chrono_literals;
using Outcome = portal::Response::Outcome;

// XWayland: X grabs exist but see only the program's own windows.
struct XWaylandGrabber : HotKeyGrabber {
    bool available() const override { return true; }
    bool reachesEveryWindow() const override { return false; }
    void listen(std::function<void(quint32)>) override {}
    int grab(quint32 keysym, quint32* keycode) override
    {
        *keycode = keysym;
        return 0;
    }
};

std::optional<portal::Shot> takeShot(const QDBusConnection& bus, bool interactive,
                                     std::chrono::milliseconds timeout = 5s)
{
    std::optional<portal::Shot> shot;
    QObject context;
    portal::screenshot(bus, interactive, timeout, &context,
                       [&](const portal::Shot& answer) { shot = answer; });
    // A test that ends without an answer says so through the empty result.
    (void)QTest::qWaitFor([&] { return shot.has_value(); }, 10000);
    return shot;
}

// KDE's shortcut service as KWin runs it: it gives each action the keys asked for unless
// `taken`, and says which was pressed from the component's path.
class FakeKGlobalAccel : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KGlobalAccel")
public:
    explicit FakeKGlobalAccel(QDBusConnection bus)
        : bus_(bus)
    {
        bus_.registerObject("/kglobalaccel", this, QDBusConnection::ExportAllSlots);
        bus_.registerService("org.kde.kglobalaccel");
    }
    bool taken = false;
    void press(const QString& action)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/component/quillhaven", "org.kde.kglobalaccel.Component", "globalShortcutPressed");
        signal << QString("quillhaven") << action << qlonglong(0);
        bus_.send(signal);
    }

public Q_SLOTS:
    void doRegister(const QStringList&) {}
    QList<int> setShortcut(const QStringList&, const QList<int>& keys, uint)
    {
        return taken ? QList<int>{0} : keys;
    }
    QDBusObjectPath getComponent(const QString&)
    {
        return QDBusObjectPath("/component/quillhaven");
    }

private:
    QDBusConnection bus_;
};

} // namespace

// The portal client against a portal of the test's own on a private session bus.
class PortalTest : public QObject {
    Q_OBJECT
    std::unique_ptr<PrivateBus> bus_;

private Q_SLOTS:
    void init()
    {
        bus_ = std::make_unique<PrivateBus>();
        if (!bus_->ok())
            QSKIP(qPrintable(bus_->error));
    }

    void cleanup() { bus_.reset(); }

    void shortcutsAreBoundInOneSessionAndTheirActivationRunsTheAction()
    {
        FakePortal fake(bus_->connect());
        HotKeyRegistry registry(std::make_unique<XWaylandGrabber>(),
                                std::make_unique<PortalShortcuts>(bus_->connect()));
        QStringList fired;
        registry.registerHotKey('n', 1, [&] { fired << "toggle"; }, {"toggle-dashboard", "Toggle"});
        registry.registerHotKey('s', 2, [&] { fired << "capture"; },
                                {"capture", "Capture a region"});
        QTRY_COMPARE(registry.reach(), HotKeyRegistry::Reach::EveryWindow);

        const FakePortal::Call* create = fake.lastCall("CreateSession");
        QVERIFY(create && !create->options.value("handle_token").toString().isEmpty());
        const FakePortal::Call* bind = fake.lastCall("BindShortcuts");
        QVERIFY(bind && !fake.session().isEmpty());
        QCOMPARE(bind->arguments.value(0).value<QDBusObjectPath>().path(), fake.session());
        const auto shortcuts = fake.boundShortcuts();
        QCOMPARE(shortcuts.size(), size_t(2));
        QCOMPARE(shortcuts.at("capture").value("description").toString(), "Capture a region");
        QCOMPARE(shortcuts.at("toggle-dashboard").value("preferred_trigger").toString(),
                 "CTRL+ALT+n");

        fake.activate("capture");
        QTRY_COMPARE(fired, QStringList{"capture"});
        // Another program's session has shortcuts of its own.
        fake.activate("toggle-dashboard", fake.session() + "x");
        fake.activate("toggle-dashboard");
        QTRY_COMPARE(fired, (QStringList{"capture", "toggle"}));
    }

    void aDesktopWithoutTheShortcutsPortalLeavesTheKeysToOwnWindows()
    {
        LogCapture log;
        FakePortal fake(bus_->connect());
        fake.versions.erase("org.freedesktop.portal.GlobalShortcuts");
        HotKeyRegistry registry(std::make_unique<XWaylandGrabber>(),
                                std::make_unique<PortalShortcuts>(bus_->connect()));
        registry.registerHotKey('n', 1, [] {}, {"toggle-dashboard", {}});
        QTRY_COMPARE(registry.reach(), HotKeyRegistry::Reach::OwnWindowsOnly);
        QCOMPARE(fake.lastCall("CreateSession"), nullptr);
        QCOMPARE(log.lines.size(), 1);
        QVERIFY2(log.lines[0].startsWith("Quillhaven: global hot keys work only while a Quillhaven "
                                         "window has the keyboard: the desktop has no global "
                                         "shortcuts portal"),
                 qPrintable(log.lines[0]));

        // KWin without Plasma's portal backend: its own shortcut service takes them, unless
        // another program holds the keys.
        for (const bool taken : {false, true}) {
            FakeKGlobalAccel kde(bus_->connect());
            kde.taken = taken;
            QStringList fired;
            HotKeyRegistry onKde(std::make_unique<XWaylandGrabber>(),
                                 std::make_unique<FallbackShortcuts>(
                                     std::make_unique<PortalShortcuts>(bus_->connect()),
                                     std::make_unique<KdeShortcuts>(bus_->connect())));
            onKde.registerHotKey('n', 1, [&] { fired << "toggle"; }, {"toggle-dashboard", {}});
            QTRY_VERIFY(onKde.reach() != HotKeyRegistry::Reach::Unknown);
            QCOMPARE(onKde.reachesEveryWindow(), !taken);
            kde.press("toggle-dashboard");
            QTRY_COMPARE(fired, taken ? QStringList{} : QStringList{"toggle"});
        }
    }

    // Interactive or not, and a cancel, are PortalCaptureTest's.
    void aScreenshotAnswersWithItsFileOrAFailureOrIsGivenUp()
    {
        FakePortal fake(bus_->connect());
        const QDBusConnection client = bus_->connect();
        fake.screenshotFile = "/tmp/shot with space.png";
        auto shot = takeShot(client, true);
        QVERIFY(shot);
        QCOMPARE(std::pair(shot->outcome, shot->file),
                 std::pair(Outcome::Success, fake.screenshotFile));
        QVERIFY(fake.lastCall("Screenshot")->options.value("modal").toBool());
        fake.screenshotResponse = 2;
        QCOMPARE(takeShot(client, false)->outcome, Outcome::Failed);

        // A portal that never answers is given up, and its request closed.
        fake.silent = true;
        shot = takeShot(client, false, 200ms);
        QVERIFY(shot);
        QCOMPARE(shot->outcome, Outcome::Failed);
        QCOMPARE(shot->reason, "no answer from the portal within 0.2 s");
        QTRY_VERIFY(fake.lastCall("Close") != nullptr);
    }
};

static RegisterSuite<PortalTest> registered;

#include "PortalTest.moc"
