#include "platform/WindowRole.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

using platform::WindowRole;
Q_DECLARE_METATYPE(platform::WindowRole)
Q_DECLARE_METATYPE(platform::SessionKind)

// What each window is to the window manager, decided without one: the hints a role writes,
// the Qt flags its window is made with, and the program following a window manager that
// places a window elsewhere.
class WindowRoleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Unmanaged where the window manager never sees the window, or where a compositor would
    // centre or pile up managed X windows: placed exactly where the program puts them.
    void rolesAndTheirWindows_data()
    {
        using platform::Compositor;
        using platform::Display;
        QTest::addColumn<WindowRole>("role");
        QTest::addColumn<platform::SessionKind>("session");
        QTest::addColumn<bool>("unmanaged");
        const platform::SessionKind x11{Display::X11, Compositor::Unknown};
        const auto xwayland = [](Compositor c) {
            return platform::SessionKind{Display::XWayland, c};
        };
        QTest::newRow("note, X11") << WindowRole::Note << x11 << false;
        QTest::newRow("note, GNOME") << WindowRole::Note << xwayland(Compositor::Gnome) << false;
        QTest::newRow("note, KDE") << WindowRole::Note << xwayland(Compositor::Kde) << false;
        for (const Compositor placing : {Compositor::Sway, Compositor::Weston, Compositor::Unknown})
            QTest::addRow("note, placing compositor %d", int(placing))
                << WindowRole::Note << xwayland(placing) << true;
        for (const WindowRole other : {WindowRole::Pad, WindowRole::Viewer, WindowRole::Overlay})
            QTest::addRow("role %d", int(other)) << other << x11 << true;
    }

    void rolesAndTheirWindows()
    {
        QFETCH(WindowRole, role);
        QFETCH(platform::SessionKind, session);
        QFETCH(bool, unmanaged);
        const platform::WindowRoleHints hints = platform::windowRoleHints(role, session);
        QCOMPARE(hints.overrideRedirect, unmanaged);
        // Nothing for a window manager that never sees the window.
        QCOMPARE(hints.types.isEmpty() && hints.states.isEmpty(), unmanaged);
        if (session.display == platform::Display::X11) {
            const Qt::WindowFlags flags = platform::windowRoleFlags(role);
            // Qt makes tools and dialogs transient for its invisible client leader.
            QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
            QVERIFY(flags.testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
            QCOMPARE(flags.testFlag(Qt::BypassWindowManagerHint), unmanaged);
        }
    }

    void ownMovesReportedBackAreNotTheWindowSystems()
    {
        FakeDesktop desktop;
        Panel panel(QRectF(100, 100, 300, 300));
        int moves = 0;
        panel.onMovedBySystem = [&moves] { ++moves; };
        panel.orderFront();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));

        // The program's own moves, reported back late, are not the window system's.
        const auto* settling = panel.findChild<QTimer*>(QStringLiteral("systemMoveSettle"));
        QVERIFY(settling);
        const auto systemPlaces = [&panel](QList<QRect> places) {
            for (const QRect& place : places)
                panel.windowHandle()->setGeometry(place);
            QCoreApplication::processEvents();
        };
        for (const int x : {120, 140})
            panel.setFrame(QRectF(x, 100, 300, 300));
        systemPlaces({QRect(120, 500, 300, 300), QRect(140, 500, 300, 300)});
        QVERIFY(!settling->isActive());

        // A move away and straight back (what an input-shape refresh does) is nothing either.
        systemPlaces({QRect(141, 500, 300, 300), QRect(140, 500, 300, 300)});
        QTRY_VERIFY(!settling->isActive());
        QCOMPARE(moves, 0); // one the window system keeps is followed: see StartUpTest
    }
};

static RegisterSuite<WindowRoleTest> registered;

#include "WindowRoleTest.moc"
