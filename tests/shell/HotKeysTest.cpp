#include "platform/HotKeys.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Stands in for the X server and for the desktop's shortcut service: hands out key codes,
// refuses chosen keys, records what the service is asked to bind, and lets the test press a
// grabbed key or answer for the service.
struct Keys {
    bool available = true;
    bool everyWindow = true; // false: XWayland
    int listens = 0;
    std::map<quint32, int> refusals; // keysym -> error code
    std::function<void(quint32)> pressed;
    std::vector<std::vector<ShortcutService::Shortcut>> binds;
    std::function<void(const QString&)> answer;
    std::function<void(const QString&)> activate;

    void press(char key) const { pressed(quint32(key) + 1000); }
} keys;

struct FakeGrabber : HotKeyGrabber {
    bool available() const override { return keys.available; }
    bool reachesEveryWindow() const override { return keys.available && keys.everyWindow; }
    void listen(std::function<void(quint32)> pressed) override
    {
        ++keys.listens;
        keys.pressed = std::move(pressed);
    }
    int grab(quint32 keysym, quint32* keycode) override
    {
        *keycode = keysym + 1000;
        return keys.refusals.contains(keysym) ? keys.refusals.at(keysym) : 0;
    }
};

struct FakeService : ShortcutService {
    void bind(const std::vector<Shortcut>& shortcuts,
              std::function<void(const QString&)> done) override
    {
        keys.binds.push_back(shortcuts);
        keys.answer = std::move(done);
    }
    void listen(std::function<void(const QString&)> activated) override
    {
        keys.activate = std::move(activated);
    }
};

const HotKeyName toggleName{QStringLiteral("toggle-dashboard"), QStringLiteral("Toggle")};
const HotKeyName captureName{QStringLiteral("capture"), QStringLiteral("Capture")};

} // namespace

class HotKeysTest : public QObject {
    Q_OBJECT
    std::unique_ptr<HotKeyRegistry> registry_;

    // A registry on XWayland that also has the shortcut service.
    static std::unique_ptr<HotKeyRegistry> withService()
    {
        keys.everyWindow = false;
        return std::make_unique<HotKeyRegistry>(std::make_unique<FakeGrabber>(),
                                                std::make_unique<FakeService>());
    }

private Q_SLOTS:
    void init()
    {
        keys = Keys();
        registry_ = std::make_unique<HotKeyRegistry>(std::make_unique<FakeGrabber>());
    }

    // A press runs the key's latest action later on the event loop, not inside the key event;
    // one listener serves every key.
    void aPressRunsTheLatestActionLaterOnTheEventLoop()
    {
        QStringList fired;
        registry_->registerHotKey('n', 1, [&] { fired << "first"; });
        registry_->registerHotKey('s', 2, [&] { fired << "capture"; });
        registry_->registerHotKey('n', 1, [&] { fired << "second"; });
        QCOMPARE(keys.listens, 1);
        keys.press('n');
        QVERIFY(fired.isEmpty());
        QTRY_COMPARE(fired, QStringList{"second"});
        keys.press('x'); // not a hot key
        QCoreApplication::processEvents();
        QCOMPARE(fired.size(), 1);

        // A press still queued when the registry goes away is dropped, not run.
        keys.press('s');
        registry_.reset();
        QCoreApplication::processEvents();
        QCOMPARE(fired.size(), 1);
    }

    // A key another program holds is logged and the other still fires. Without an X server
    // the program starts anyway, says so once, and its keys reach its own windows only; on a
    // real X server the grabs reach everything: nothing to ask, nothing to say.
    void takenOrUnreachableKeysAreLoggedAndTheRestStillWork()
    {
        LogCapture log;
        keys.refusals['n'] = 10;
        QStringList fired;
        registry_->registerHotKey('n', 1, [&] { fired << "toggle"; });
        QCOMPARE(registry_->reach(), HotKeyRegistry::Reach::EveryWindow);
        registry_->registerHotKey('s', 2, [&] { fired << "capture"; });
        QCOMPARE(log.lines, QStringList{"Quillhaven: hotkey 1 is taken by another app (10)"});
        keys.press('n');
        keys.press('s');
        QTRY_COMPARE(fired, QStringList{"capture"});

        keys.available = false;
        HotKeyRegistry noX(std::make_unique<FakeGrabber>());
        noX.registerHotKey('n', 1, [] {});
        noX.registerHotKey('s', 2, [] {});
        QCOMPARE(log.lines.mid(1),
                 QStringList{"Quillhaven: global hot keys are unavailable without an X server"});
        QCOMPARE(keys.listens, 1); // the first registry's
        QCOMPARE(noX.reach(), HotKeyRegistry::Reach::OwnWindowsOnly);
    }

    // Until the service answers, the X grabs serve the program's own windows; once it has bound
    // the keys they are its own, so no press acts twice. (What is bound, and a refusal, go
    // through the portal in PortalTest.)
    void aBoundServiceOwnsTheKeysSoNoPressActsTwice()
    {
        const auto registry = withService();
        QSignalSpy settled(registry.get(), &HotKeyRegistry::reachSettled);
        QStringList fired;
        registry->registerHotKey(
            'n', 1, [&] { fired << "toggle"; }, toggleName);
        registry->registerHotKey(
            's', 2, [&] { fired << "capture"; }, captureName);
        QTRY_COMPARE(keys.binds.size(), size_t(1));
        QCOMPARE(keys.binds[0].size(), size_t(2));
        QCOMPARE(registry->reach(), HotKeyRegistry::Reach::Unknown);
        keys.press('n');
        QTRY_COMPARE(fired, QStringList{"toggle"});

        keys.answer(QString());
        QCOMPARE(registry->reach(), HotKeyRegistry::Reach::EveryWindow);
        QCOMPARE(settled.size(), 1);
        keys.activate(QStringLiteral("capture"));
        keys.activate(QStringLiteral("unknown"));
        keys.press('n');
        QTRY_COMPARE(fired, (QStringList{"toggle", "capture"}));
        QCoreApplication::processEvents();
        QCOMPARE(fired.size(), 2);
    }
};

static RegisterSuite<HotKeysTest> registered;

#include "HotKeysTest.moc"
