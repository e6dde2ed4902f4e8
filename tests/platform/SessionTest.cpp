#include "platform/Session.h"

#include "support/Suites.h"

#include <QProcessEnvironment>
#include <QTest>

// The session decides placement, input and capture paths, so each desktop a user may run must
// be recognised from what its session sets in the environment.
class SessionTest : public QObject {
    Q_OBJECT

    static platform::SessionKind
    with(std::initializer_list<std::pair<const char*, const char*>> vars,
         const char* platformName = "xcb")
    {
        QProcessEnvironment environment;
        for (const auto& [name, value] : vars)
            environment.insert(QLatin1String(name), QLatin1String(value));
        return platform::detectSession(environment, QLatin1String(platformName));
    }

private Q_SLOTS:
    void recognisesEachSession()
    {
        using platform::Compositor;
        using platform::Display;
        QCOMPARE(with({{"DISPLAY", ":1"}}, "offscreen").display, Display::None);
        QCOMPARE(with({{"DISPLAY", ":1"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}).display, Display::X11);
        QVERIFY(with({{"DISPLAY", ":1"}, {"XDG_CURRENT_DESKTOP", "KDE"}}).honoursPositions());

        const auto sway = with({{"WAYLAND_DISPLAY", "wayland-1"}, {"SWAYSOCK", "/run/s.sock"}});
        QCOMPARE(sway.display, Display::XWayland);
        QCOMPARE(sway.compositor, Compositor::Sway);
        QVERIFY(!sway.honoursPositions());

        const auto gnome =
            with({{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}});
        QCOMPARE(gnome.compositor, Compositor::Gnome);
        QVERIFY(gnome.honoursPositions());
        QCOMPARE(with({{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "KDE"}}).compositor,
                 Compositor::Kde);
        QCOMPARE(with({{"WAYLAND_DISPLAY", "w"}}).compositor, Compositor::Unknown);
        QVERIFY(!with({{"WAYLAND_DISPLAY", "w"}}).honoursPositions());
    }
};

static RegisterSuite<SessionTest> registered;

#include "SessionTest.moc"
