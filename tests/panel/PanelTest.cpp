#include "windows/Panel.h"

#include "model/NoteGeometry.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTextEdit>
#include <QWindow>
#include <memory>

using Kind = ResizePhase;
using HookCalls = QList<QPair<Kind, int>>;

namespace {

constexpr int inset = geometry::inset;
constexpr int side = 300;
const QPoint margin(20, 150); // the content itself, left of the editor

// Names the mouse events (hovering aside) that reach the widgets it watches.
class Recorder : public QObject {
public:
    QStringList events;

    void watch(QWidget* widget, const QString& name)
    {
        widget->setObjectName(name);
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        static const QHash<QEvent::Type, QString> names{{QEvent::MouseButtonPress, "press"},
                                                        {QEvent::MouseButtonRelease, "release"},
                                                        {QEvent::MouseButtonDblClick, "double"},
                                                        {QEvent::MouseMove, "move"}};
        const auto* mouse = dynamic_cast<QMouseEvent*>(event);
        if (mouse != nullptr && names.contains(event->type()) &&
            (event->type() != QEvent::MouseMove || mouse->buttons() != Qt::NoButton))
            events << watched->objectName() + QLatin1Char(':') + names[event->type()];
        return false;
    }
};

// Qt's own input path with explicit timestamps, so that a second press can be a double click.
void rawMouse(QWindow* window, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons,
              Qt::MouseButton button, int timestamp)
{
    qt_handleMouseEvent(window, pos, window->mapToGlobal(pos), buttons, button, type,
                        Qt::NoModifier, timestamp);
    qApp->processEvents();
}

} // namespace

class PanelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeDesktop> desktop_;
    std::unique_ptr<Panel> panel_;
    QPointer<QWidget> content_;
    QPointer<QTextEdit> editor_;
    Recorder recorder_;
    QList<bool> drags_;
    HookCalls hookCalls_;

    QWindow* window() const { return panel_->windowHandle(); }
    QString events() const { return recorder_.events.join(QLatin1Char(' ')); }
    void press(QPoint p) { QTest::mousePress(window(), Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(window(), p); }
    void release(QPoint p) { QTest::mouseRelease(window(), Qt::LeftButton, {}, p); }

    // A point `below` points under the paper's top edge, over the editor.
    static QPoint belowPaperTop(int below) { return QPoint(150, inset + below); }
    static QPoint inHandle() { return QPoint(side - inset - 10, side - inset + 4); }

    void installHook(bool accepts)
    {
        panel_->resizeHook = [this, accepts](Kind kind, int clicks) {
            hookCalls_ << qMakePair(kind, clicks);
            return accepts;
        };
    }

private Q_SLOTS:
    void init()
    {
        desktop_ = std::make_unique<FakeDesktop>();
        panel_ = std::make_unique<Panel>(QRectF(100, 100, side, side));
        panel_->setPaperInset(inset);
        content_ = new QWidget;
        editor_ = new QTextEdit(content_);
        // Like a note with text: the editor waits for a click before it takes the keyboard.
        editor_->setFocusPolicy(Qt::ClickFocus);
        editor_->setGeometry(inset, inset + 26, side - 2 * inset, side - 2 * inset - 26);
        panel_->setContent(content_);
        recorder_.events.clear();
        recorder_.watch(content_, "content");
        recorder_.watch(editor_->viewport(), "editor");
        drags_.clear();
        hookCalls_.clear();
        panel_->onDrag = [this](bool moving) { drags_ << moving; };
        panel_->orderFront();
        QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
    }

    void cleanup()
    {
        panel_.reset();
        desktop_.reset();
    }

    // A press is held back until it is clear what it starts; a small movement is a click. While
    // the text has the keyboard, only the paper's top strip drags.
    void pressesAreClicksOrDrags_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("distance");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<bool>("dragged");
        QTest::newRow("2 points") << margin << false << 2 << QString() << false;
        QTest::newRow("3 points") << margin << false << 3 << QString() << true;
        QTest::newRow("editing, 30 below the paper top")
            << belowPaperTop(30) << true << 20 << "editor:press" << false;
        QTest::newRow("editing, 29 below") << belowPaperTop(29) << true << 20 << QString() << true;
    }

    void pressesAreClicksOrDrags()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, editing);
        QFETCH(int, distance);
        QFETCH(QString, pressed);
        QFETCH(bool, dragged);
        if (editing)
            editor_->setFocus();
        press(at);
        QCOMPARE(events(), pressed);
        move(at + QPoint(0, distance));
        move(at + QPoint(1, distance)); // every further move of a drag is reported
        release(at + QPoint(1, distance));
        QCOMPARE(drags_, (dragged ? QList<bool>{true, true, false} : QList<bool>{}));
        if (!editing)
            QCOMPARE(events(), dragged ? QString() : "content:press content:release");
        QVERIFY(!panel_->hasHeldDown() && !panel_->isDragging());
    }

    // A click gives the keyboard to what is clicked.
    void clicksGiveTheKeyboardAndDoubleClicksPassAtOnce()
    {
        press(belowPaperTop(100));
        release(belowPaperTop(100));
        QCOMPARE(events(), "editor:press editor:release");
        QCOMPARE(panel_->focusWidget(), editor_.data());
        content_->setFocusPolicy(Qt::ClickFocus);
        press(margin);
        release(margin);
        QCOMPARE(panel_->focusWidget(), content_.data());

        // A double click passes at once and never drags.
        recorder_.events.clear();
        const QPoint p = margin;
        rawMouse(window(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, 1000);
        rawMouse(window(), QEvent::MouseButtonRelease, p, Qt::NoButton, Qt::LeftButton, 1001);
        rawMouse(window(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, 1002);
        // Widgets get the second press of a double click as the double click itself.
        QCOMPARE(events(), "content:press content:release content:double");
        const QPoint further = p + QPoint(15, 0);
        rawMouse(window(), QEvent::MouseMove, further, Qt::LeftButton, Qt::NoButton, 1003);
        rawMouse(window(), QEvent::MouseButtonRelease, further, Qt::NoButton, Qt::LeftButton, 1004);
        QVERIFY(drags_.isEmpty());
        QCOMPARE(recorder_.events.mid(3).join(QLatin1Char(' ')), "content:move content:release");
    }

    // The owner decides whether a press on the grip resizes; if not, it is an ordinary drag.
    void theResizeHookDecidesWhatTheGripDoes()
    {
        installHook(false);
        press(inHandle());
        move(inHandle() - QPoint(10, 10));
        release(inHandle() - QPoint(10, 10));
        QCOMPARE(hookCalls_, (HookCalls{{Kind::Down, 1}}));
        QCOMPARE(drags_, (QList<bool>{true, false}));

        hookCalls_.clear(), drags_.clear();
        installHook(true);
        press(inHandle());
        move(inHandle() + QPoint(1, 1)); // under the drag threshold, still a resize step
        move(inHandle() + QPoint(20, 20));
        release(inHandle() + QPoint(20, 20));
        QCOMPARE(
            hookCalls_,
            (HookCalls{{Kind::Down, 1}, {Kind::Dragged, 0}, {Kind::Dragged, 0}, {Kind::Up, 0}}));
        QVERIFY(drags_.isEmpty() && recorder_.events.isEmpty());

        hookCalls_.clear();
        QTest::mouseDClick(window(), Qt::LeftButton, {}, inHandle());
        QVERIFY(hookCalls_.contains(qMakePair(Kind::Down, 2)) && !panel_->isResizing());

        hookCalls_.clear();
        press(margin); // outside the handle the hook is not asked
        release(margin);
        QVERIFY(hookCalls_.isEmpty());
    }

    // Ctrl+V pastes an image from the clipboard as the note's picture, ahead of the text's own
    // paste and of an application-wide paste shortcut; anything else is pasted as text.
    void ctrlVPastesAnImageOtherwiseText()
    {
        QAction menuPaste;
        menuPaste.setShortcut(QKeySequence::Paste);
        menuPaste.setShortcutContext(Qt::ApplicationShortcut);
        int triggered = 0, pasted = 0;
        connect(&menuPaste, &QAction::triggered, this, [&] { ++triggered; });
        panel_->addAction(&menuPaste);
        panel_->onPasteImage = [&] { ++pasted; };
        panel_->activateWindow(); // nothing in the window has the keyboard
        QVERIFY(QTest::qWaitForWindowActive(panel_.get()));
        desktop_->copyImage(QImage(2, 2, QImage::Format_ARGB32));
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(pasted, 1);
        QCOMPARE(triggered, 0);
        desktop_->copyText();
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(triggered, 1);
        panel_->removeAction(&menuPaste);

        editor_->setFocus();
        desktop_->copyImage(QImage(4, 4, QImage::Format_ARGB32));
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pasted, 1);
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(pasted, 2);
        QVERIFY(editor_->toPlainText().isEmpty());
    }
};

static RegisterSuite<PanelTest> registered;
#include "PanelTest.moc"
