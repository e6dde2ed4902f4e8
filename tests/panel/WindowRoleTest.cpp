#include "platform/WindowRole.h"

#include "support/FakeDesktop.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QTest>
#include <QWindow>
#include <memory>

using platform::WindowRole;
Q_DECLARE_METATYPE(platform::WindowRole)

// What each window is to the window manager, decided without one: the hints a role writes,
// the Qt flags its window is made with, and the program following a window manager that
// places a window elsewhere.
class WindowRoleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rolesAndTheirWindows_data()
    {
        QTest::addColumn<WindowRole>("role");
        QTest::addColumn<bool>("unmanaged");
        QTest::newRow("note") << WindowRole::Note << false;
        QTest::newRow("pad") << WindowRole::Pad << true;
        QTest::newRow("viewer") << WindowRole::Viewer << true;
        QTest::newRow("capture overlay") << WindowRole::Overlay << true;
    }

    void rolesAndTheirWindows()
    {
        QFETCH(WindowRole, role);
        QFETCH(bool, unmanaged);
        const platform::WindowRoleHints hints = platform::windowRoleHints(role);
        QCOMPARE(hints.overrideRedirect, unmanaged);
        const Qt::WindowFlags flags = platform::windowRoleFlags(role);
        // Qt makes tools and dialogs transient for its invisible client leader.
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(flags.testFlag(Qt::BypassWindowManagerHint), unmanaged);
        if (unmanaged) {
            // Nothing for a window manager that never sees the window.
            QVERIFY(hints.types.isEmpty());
            QVERIFY(hints.states.isEmpty());
        }
    }

    void aNoteFloatsAboveOnEveryDesktopOutOfEveryList()
    {
        const platform::WindowRoleHints note = platform::windowRoleHints(WindowRole::Note);
        // Utility first: a tiling window manager floats it; normal for those that know no other.
        QCOMPARE(note.types,
                 (QByteArrayList{"_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_NORMAL"}));
        for (const char* state :
             {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
              "_NET_WM_STATE_SKIP_PAGER", "_KDE_NET_WM_STATE_SKIP_SWITCHER"}) {
            QVERIFY2(note.states.contains(state), state);
        }
        QVERIFY(!note.states.contains("_NET_WM_STATE_HIDDEN"));
        QVERIFY(note.allDesktops);
    }

    // A compositor that centres or piles up managed X windows gets unmanaged notes, placed
    // exactly where the program puts them; the others keep their managed notes.
    void notesAreUnmanagedWhereTheCompositorWouldMoveThem()
    {
        using platform::Compositor;
        using platform::Display;
        const auto noteIn = [](Display display, Compositor compositor) {
            return platform::windowRoleHints(WindowRole::Note, {display, compositor});
        };
        QVERIFY(!noteIn(Display::X11, Compositor::Unknown).overrideRedirect);
        QVERIFY(!noteIn(Display::XWayland, Compositor::Gnome).overrideRedirect);
        QVERIFY(!noteIn(Display::XWayland, Compositor::Kde).overrideRedirect);
        for (const Compositor placing :
             {Compositor::Sway, Compositor::Weston, Compositor::Unknown}) {
            const platform::WindowRoleHints note = noteIn(Display::XWayland, placing);
            QVERIFY(note.overrideRedirect);
            QVERIFY(note.types.isEmpty());
        }
        QVERIFY(platform::windowRoleHints(WindowRole::Pad, {Display::XWayland, Compositor::Gnome})
                    .overrideRedirect);
    }

    void eachPanelTakesItsLevelsRole()
    {
        FakeDesktop desktop;
        const Panel note(QRectF(0, 0, 300, 300));
        const Panel pad(QRectF(550, 626, 340, 274), Panel::Level::Pad);
        const Panel viewer(QRectF(0, 0, 1440, 900), Panel::Level::Viewer);
        QCOMPARE(note.windowFlags(), platform::windowRoleFlags(WindowRole::Note));
        QCOMPARE(pad.windowFlags(), platform::windowRoleFlags(WindowRole::Pad));
        QCOMPARE(viewer.windowFlags(), platform::windowRoleFlags(WindowRole::Viewer));
    }

    void aPlaceTheWindowSystemChoseIsFollowedOnceItHolds()
    {
        FakeDesktop desktop;
        Panel panel(QRectF(100, 100, 300, 300));
        int moves = 0;
        panel.onMovedBySystem = [&moves] { ++moves; };
        panel.orderFront();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));

        // The program's own moves, reported back late, are not the window system's.
        panel.setFrame(QRectF(120, 100, 300, 300));
        panel.setFrame(QRectF(140, 100, 300, 300));
        panel.windowHandle()->setGeometry(QRect(120, 500, 300, 300));
        panel.windowHandle()->setGeometry(QRect(140, 500, 300, 300));
        QTest::qWait(300);
        QCOMPARE(moves, 0);

        // A move away and straight back (what an input-shape refresh does) is nothing either.
        panel.windowHandle()->setGeometry(QRect(141, 500, 300, 300));
        panel.windowHandle()->setGeometry(QRect(140, 500, 300, 300));
        QTest::qWait(300);
        QCOMPARE(moves, 0);

        // A window manager clamping the window: followed once, and frame() says where it is.
        panel.windowHandle()->setGeometry(QRect(142, 520, 300, 300));
        QTRY_COMPARE(moves, 1);
        QCOMPARE(panel.frame(), QRectF(142, 80, 300, 300));
        QTest::qWait(300);
        QCOMPARE(moves, 1);
    }
};

static RegisterSuite<WindowRoleTest> registered;

#include "WindowRoleTest.moc"
