#include "platform/HotKeys.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QTest>

namespace {

// Stands in for the X server: hands out key codes, refuses chosen keys, and lets the test
// press a grabbed key.
struct FakeGrabber : HotKeyGrabber {
    struct Shared {
        bool available = true;
        int listens = 0;
        std::map<quint32, int> refusals; // keysym -> error code
        std::function<void(quint32)> pressed;
    };
    explicit FakeGrabber(std::shared_ptr<Shared> shared)
        : shared(std::move(shared))
    {
    }
    bool available() const override { return shared->available; }
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
    }
};

static RegisterSuite<HotKeysTest> registered;

#include "HotKeysTest.moc"
