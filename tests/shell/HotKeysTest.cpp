#include "platform/HotKeys.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Stands in for the X server: hands out key codes, refuses chosen keys, and lets the test
// press a grabbed key.
struct FakeGrabber : HotKeyGrabber {
    struct Shared {
        bool available = true;
        bool everyWindow = true; // false: XWayland
        int listens = 0;
        std::map<quint32, int> refusals; // keysym -> error code
        std::function<void(quint32)> pressed;
    };
    explicit FakeGrabber(std::shared_ptr<Shared> shared)
        : shared(std::move(shared))
    {
    }
    bool available() const override { return shared->available; }
    bool reachesEveryWindow() const override { return shared->available && shared->everyWindow; }
    void listen(std::function<void(quint32)> pressed) override
    {
        ++shared->listens;
        shared->pressed = std::move(pressed);
    }
    int grab(quint32 keysym, quint32* keycode) override
    {
        *keycode = keysym + 1000;
        const auto refused = shared->refusals.find(keysym);
        return refused == shared->refusals.end() ? 0 : refused->second;
    }
    std::shared_ptr<Shared> shared;
};

// Stands in for the desktop's shortcut service: records what it is asked to bind and answers
// when the test says so.
struct FakeService : ShortcutService {
    struct Shared {
        std::vector<std::vector<Shortcut>> binds;
        std::function<void(const QString&)> answer;
        std::function<void(const QString&)> activate;
    };
    explicit FakeService(std::shared_ptr<Shared> shared)
        : shared(std::move(shared))
    {
    }
    void bind(const std::vector<Shortcut>& shortcuts,
              std::function<void(const QString&)> done) override
    {
        shared->binds.push_back(shortcuts);
        shared->answer = std::move(done);
    }
    void listen(std::function<void(const QString&)> activated) override
    {
        shared->activate = std::move(activated);
    }
    std::shared_ptr<Shared> shared;
};

const HotKeyName toggleName{QStringLiteral("toggle-dashboard"), QStringLiteral("Toggle")};
const HotKeyName captureName{QStringLiteral("capture"), QStringLiteral("Capture")};

} // namespace

class HotKeysTest : public QObject {
    Q_OBJECT
    std::shared_ptr<FakeGrabber::Shared> x_;
    std::unique_ptr<HotKeyRegistry> registry_;

private Q_SLOTS:
    void init()
    {
        x_ = std::make_shared<FakeGrabber::Shared>();
        registry_ = std::make_unique<HotKeyRegistry>(std::make_unique<FakeGrabber>(x_));
    }

    void reRegisteringAnIdReplacesTheActionAndKeepsBothRefs()
    {
        QStringList fired;
        registry_->registerHotKey('n', 1, [&] { fired << "first"; });
        registry_->registerHotKey('s', 2, [] {});
        registry_->registerHotKey('n', 1, [&] { fired << "second"; });
        QCOMPARE(x_->listens, 1); // one listener however many keys
        QCOMPARE(registry_->hotKeyActions().size(), size_t(2));
        QCOMPARE(registry_->hotKeyRefs().size(), size_t(3));
        x_->pressed('n' + 1000);
        QTRY_COMPARE(fired, QStringList{"second"});
    }

    void actionRunsLaterOnTheEventLoopNotInsideTheKeyEvent()
    {
        int fired = 0;
        registry_->registerHotKey('s', 2, [&] { ++fired; });
        x_->pressed('s' + 1000);
        QCOMPARE(fired, 0);
        QTRY_COMPARE(fired, 1);
        x_->pressed('x' + 1000); // not a hot key
        QCoreApplication::processEvents();
        QCOMPARE(fired, 1);

        // A press still queued when the registry goes away is dropped, not run.
        x_->pressed('s' + 1000);
        registry_.reset();
        QCoreApplication::processEvents();
        QCOMPARE(fired, 1);
    }

    void takenKeyIsLoggedAndTheOtherStillFires()
    {
        LogCapture log;
        x_->refusals['n'] = 10;
        int toggles = 0;
        int captures = 0;
        registry_->registerHotKey('n', 1, [&] { ++toggles; });
        registry_->registerHotKey('s', 2, [&] { ++captures; });
        QCOMPARE(log.lines, QStringList{"Quillhaven: hotkey 1 is taken by another app (10)"});
        QVERIFY(!registry_->hotKeyRefs()[0].registered);
        QVERIFY(registry_->hotKeyRefs()[1].registered);
        x_->pressed('n' + 1000);
        x_->pressed('s' + 1000);
        QTRY_COMPARE(captures, 1);
        QCOMPARE(toggles, 0);
    }

    void withoutXServerStartsAnywayAndSaysSoOnce()
    {
        LogCapture log;
        x_->available = false;
        registry_->registerHotKey('n', 1, [] {});
        registry_->registerHotKey('s', 2, [] {});
        QCOMPARE(log.lines,
                 QStringList{"Quillhaven: global hot keys are unavailable without an X server"});
        QCOMPARE(x_->listens, 0);
        QCOMPARE(registry_->hotKeyRefs().size(), size_t(2));
        QCOMPARE(registry_->reach(), HotKeyRegistry::Reach::OwnWindowsOnly);
    }

    void aBoundServiceOwnsTheKeysSoNoPressActsTwice()
    {
        x_->everyWindow = false;
        auto service = std::make_shared<FakeService::Shared>();
        HotKeyRegistry registry(std::make_unique<FakeGrabber>(x_),
                                std::make_unique<FakeService>(service));
        QSignalSpy settled(&registry, &HotKeyRegistry::reachSettled);
        QStringList fired;
        registry.registerHotKey(
            'n', 1, [&] { fired << "toggle"; }, toggleName);
        registry.registerHotKey(
            's', 2, [&] { fired << "capture"; }, captureName);

        // Both keys go to the service together, once the launch has registered them all.
        QVERIFY(service->binds.empty());
        QTRY_COMPARE(service->binds.size(), size_t(1));
        const auto& bound = service->binds[0];
        QCOMPARE(bound.size(), size_t(2));
        QCOMPARE(bound[0].id, QStringLiteral("toggle-dashboard"));
        QCOMPARE(bound[0].trigger, QStringLiteral("CTRL+ALT+n"));
        QCOMPARE(bound[1].trigger, QStringLiteral("CTRL+ALT+s"));
        QCOMPARE(registry.reach(), HotKeyRegistry::Reach::Unknown);

        // Until the service answers, the X grabs serve the program's own windows.
        x_->pressed('n' + 1000);
        QTRY_COMPARE(fired, QStringList{"toggle"});
        service->answer(QString());
        QCOMPARE(registry.reach(), HotKeyRegistry::Reach::EveryWindow);
        QCOMPARE(settled.size(), 1);

        service->activate(QStringLiteral("capture"));
        service->activate(QStringLiteral("unknown"));
        x_->pressed('n' + 1000);
        QTRY_COMPARE(fired, (QStringList{"toggle", "capture"}));
        QCoreApplication::processEvents();
        QCOMPARE(fired.size(), 2);
    }

    void aRefusingServiceLeavesTheXGrabsAndSaysSoOnce()
    {
        LogCapture log;
        auto service = std::make_shared<FakeService::Shared>();
        x_->everyWindow = false;
        auto registry = std::make_unique<HotKeyRegistry>(std::make_unique<FakeGrabber>(x_),
                                                         std::make_unique<FakeService>(service));
        int toggles = 0;
        registry->registerHotKey(
            'n', 1, [&] { ++toggles; }, toggleName);
        QTRY_COMPARE(service->binds.size(), size_t(1));
        service->answer(QStringLiteral("no portal"));
        QCOMPARE(registry->reach(), HotKeyRegistry::Reach::OwnWindowsOnly);
        QCOMPARE(log.lines, QStringList{"Quillhaven: global hot keys work only while a "
                                        "Quillhaven window has the keyboard: no portal"});
        x_->pressed('n' + 1000);
        QTRY_COMPARE(toggles, 1);

        // On a real X server the grabs reach everything: nothing to ask, nothing to say.
        x_->everyWindow = true;
        HotKeyRegistry onX(std::make_unique<FakeGrabber>(x_));
        QCOMPARE(onX.reach(), HotKeyRegistry::Reach::Unknown);
        onX.registerHotKey(
            'n', 1, [] {}, toggleName);
        QCOMPARE(onX.reach(), HotKeyRegistry::Reach::EveryWindow);
        QCOMPARE(log.lines.size(), 1);
    }
};

static RegisterSuite<HotKeysTest> registered;

#include "HotKeysTest.moc"
