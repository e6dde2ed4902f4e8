#include "controller/Panel.h"
#include "support/FakeDesktop.h"
#include "surfaces/Palette.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextEdit>
#include <QWindow>
#include <memory>

using Kind = AppController::MouseEvent;

namespace {

constexpr int inset = surfaces::inset;
constexpr int winSide = 300;
// The paper's top edge in window coordinates (y down); the header strip is 26 high.
constexpr int paperTop = inset;
// Inside the window's left margin: the content itself, not the editor.
const QPoint margin(20, 150);

// Records, per widget, the mouse events that reach it.
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
        QString kind;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            kind = QStringLiteral("press");
            break;
        case QEvent::MouseButtonRelease:
            kind = QStringLiteral("release");
            break;
        case QEvent::MouseButtonDblClick:
            kind = QStringLiteral("double");
            break;
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
                return false; // hovering
            }
            kind = QStringLiteral("move");
            break;
        default:
            return false;
        }
        events << watched->objectName() + QLatin1Char(':') + kind;
        return false;
    }
};

// A second press at the same timestamp as the first click makes Qt report a double click.
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
    QList<QPair<Kind, int>> hookCalls_;

    QWindow* window() const { return panel_->windowHandle(); }
    QString events() const { return recorder_.events.join(QLatin1Char(' ')); }

    void press(QPoint p) { QTest::mousePress(window(), Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(window(), p); }
    void release(QPoint p) { QTest::mouseRelease(window(), Qt::LeftButton, {}, p); }

    // Where a press lands `below` points under the paper's top edge, inside the editor.
    static QPoint belowPaperTop(int below) { return QPoint(150, paperTop + below); }
    // Inside the resize handle at the paper's bottom-right corner.
    static QPoint inHandle() { return QPoint(winSide - inset - 10, winSide - inset + 4); }

private Q_SLOTS:
    void init()
    {
        desktop_ = std::make_unique<FakeDesktop>();
        panel_ = std::make_unique<Panel>(QRectF(100, 100, winSide, winSide));
        auto* content = new QWidget;
        auto* editor = new QTextEdit(content);
        // Like a note with text: the editor waits for a click instead of taking the keyboard
        // when the window shows.
        editor->setFocusPolicy(Qt::ClickFocus);
        // Below the header strip, like a note's text.
        editor->setGeometry(inset, inset + 26, winSide - 2 * inset, winSide - 2 * inset - 26);
        panel_->setContent(content);
        content_ = content;
        editor_ = editor;
        recorder_.events.clear();
        recorder_.watch(content, QStringLiteral("content"));
        recorder_.watch(editor->viewport(), QStringLiteral("editor"));
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

    void smallMovementIsAClick_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<bool>("dragged");
        QTest::newRow("2 points") << 2 << false;
        QTest::newRow("3 points") << 3 << true;
    }

    void smallMovementIsAClick()
    {
        QFETCH(int, distance);
        QFETCH(bool, dragged);
        press(margin);
        QVERIFY(panel_->hasHeldDown());
        QVERIFY(recorder_.events.isEmpty()); // held back while undecided
        move(margin + QPoint(0, distance));
        release(margin + QPoint(0, distance));
        if (dragged) {
            QCOMPARE(drags_, (QList<bool>{true, false}));
            QVERIFY(recorder_.events.isEmpty());
        } else {
            QVERIFY(drags_.isEmpty());
            QCOMPARE(events(), QStringLiteral("content:press content:release"));
        }
        QVERIFY(!panel_->hasHeldDown());
        QVERIFY(!panel_->isDragging());
    }

    void everyMoveOfADragIsReported()
    {
        press(margin);
        for (int i = 1; i <= 4; ++i) {
            move(margin + QPoint(5 * i, 0));
        }
        QVERIFY(panel_->isDragging());
        release(margin + QPoint(20, 0));
        QCOMPARE(drags_, (QList<bool>{true, true, true, true, false}));
        // The next press starts afresh.
        press(margin);
        release(margin);
        QCOMPARE(drags_.size(), 5);
        QCOMPARE(recorder_.events.size(), 2);
    }

    void clickGivesTheEditorTheKeyboard()
    {
        QVERIFY(panel_->focusWidget() != editor_);
        press(belowPaperTop(100));
        release(belowPaperTop(100));
        QCOMPARE(events(), QStringLiteral("editor:press editor:release"));
        QCOMPARE(panel_->focusWidget(), editor_.data());
        content_->setFocusPolicy(Qt::ClickFocus);
        press(margin);
        release(margin);
        QCOMPARE(panel_->focusWidget(), content_.data());
    }

    void doubleClickPassesAtOnceAndNeverDrags()
    {
        const QPoint p = margin;
        rawMouse(window(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, 1000);
        rawMouse(window(), QEvent::MouseButtonRelease, p, Qt::NoButton, Qt::LeftButton, 1001);
        rawMouse(window(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, 1002);
        // Qt hands widgets the second press of a double click as the double click itself, and
        // it arrives at once, before any release.
        QCOMPARE(events(), QStringLiteral("content:press content:release content:double"));
        QVERIFY(!panel_->hasHeldDown());
        rawMouse(window(), QEvent::MouseMove, p + QPoint(15, 0), Qt::LeftButton, Qt::NoButton,
                 1003);
        rawMouse(window(), QEvent::MouseButtonRelease, p + QPoint(15, 0), Qt::NoButton,
                 Qt::LeftButton, 1004);
        QVERIFY(drags_.isEmpty());
        QCOMPARE(recorder_.events.mid(3).join(QLatin1Char(' ')),
                 QStringLiteral("content:move content:release"));
    }

    void whileEditingOnlyTheTopStripDrags_data()
    {
        QTest::addColumn<int>("below");
        QTest::addColumn<bool>("toText");
        QTest::newRow("31 below the paper top") << 31 << true;
        QTest::newRow("30 below the paper top") << 30 << true;
        QTest::newRow("29 below the paper top") << 29 << false;
    }

    void whileEditingOnlyTheTopStripDrags()
    {
        QFETCH(int, below);
        QFETCH(bool, toText);
        editor_->setFocus();
        QCOMPARE(panel_->focusWidget(), editor_.data());
        const QPoint at = belowPaperTop(below);
        press(at);
        QCOMPARE(panel_->hasHeldDown(), !toText);
        QCOMPARE(recorder_.events.contains(QStringLiteral("editor:press")), toText);
        move(at + QPoint(0, 20));
        release(at + QPoint(0, 20));
        QCOMPARE(!drags_.isEmpty(), !toText);
    }

    void declinedResizeFallsThroughToTheDrag()
    {
        panel_->resizeHook = [this](Kind kind, int clicks) {
            hookCalls_ << qMakePair(kind, clicks);
            return false;
        };
        press(inHandle());
        move(inHandle() - QPoint(10, 10));
        release(inHandle() - QPoint(10, 10));
        QCOMPARE(hookCalls_, (QList<QPair<Kind, int>>{{Kind::Down, 1}}));
        QCOMPARE(drags_, (QList<bool>{true, false}));
    }

    void acceptedResizeSwallowsTheGesture()
    {
        panel_->resizeHook = [this](Kind kind, int clicks) {
            hookCalls_ << qMakePair(kind, clicks);
            return true;
        };
        press(inHandle());
        QVERIFY(panel_->isResizing());
        move(inHandle() + QPoint(1, 1)); // under the drag threshold: the hook still hears it
        move(inHandle() + QPoint(20, 20));
        release(inHandle() + QPoint(20, 20));
        QCOMPARE(hookCalls_,
                 (QList<QPair<Kind, int>>{
                     {Kind::Down, 1}, {Kind::Dragged, 0}, {Kind::Dragged, 0}, {Kind::Up, 0}}));
        QVERIFY(!panel_->isResizing());
        QVERIFY(drags_.isEmpty());
        QVERIFY(recorder_.events.isEmpty());

        // Outside the handle the hook is not asked.
        hookCalls_.clear();
        press(margin);
        release(margin);
        QVERIFY(hookCalls_.isEmpty());
    }

    void doubleClickOnTheHandleAsksWithTwoClicks()
    {
        panel_->resizeHook = [this](Kind kind, int clicks) {
            hookCalls_ << qMakePair(kind, clicks);
            return true;
        };
        QTest::mouseDClick(window(), Qt::LeftButton, {}, inHandle());
        QVERIFY(hookCalls_.contains(qMakePair(Kind::Down, 2)));
        QVERIFY(!panel_->isResizing());
    }

    void pasteTakesAnImageButNotText()
    {
        QImage pasted;
        panel_->onPasteImage = [&](const QImage& image) { pasted = image; };
        editor_->setFocus();
        panel_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel_.get()));

        QGuiApplication::clipboard()->setText(QStringLiteral("words"));
        desktop_->copyText();
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(pasted.isNull());
        QCOMPARE(editor_->toPlainText(), QStringLiteral("words"));

        editor_->clear();
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        desktop_->copyImage(image);
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(pasted.isNull());
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(pasted, image);
        QVERIFY(editor_->toPlainText().isEmpty());
    }

    void imagePasteWinsOverAnApplicationPasteShortcut()
    {
        QAction menuPaste;
        menuPaste.setShortcut(QKeySequence::Paste);
        menuPaste.setShortcutContext(Qt::ApplicationShortcut);
        int triggered = 0;
        connect(&menuPaste, &QAction::triggered, this, [&] { ++triggered; });
        panel_->addAction(&menuPaste);

        QImage pasted;
        panel_->onPasteImage = [&](const QImage& image) { pasted = image; };
        content_->setFocusPolicy(Qt::ClickFocus);
        content_->setFocus();
        panel_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel_.get()));

        QImage image(2, 2, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        desktop_->copyImage(image);
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(pasted, image);
        QCOMPARE(triggered, 0);

        desktop_->copyText();
        QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(triggered, 1);
        panel_->removeAction(&menuPaste);
    }

    void withoutCallbacksEverythingPasses()
    {
        panel_->onDrag = nullptr;
        press(margin);
        QVERIFY(!panel_->hasHeldDown());
        move(margin + QPoint(40, 0));
        release(margin + QPoint(40, 0));
        QCOMPARE(recorder_.events.first(), QStringLiteral("content:press"));
        QCOMPARE(recorder_.events.last(), QStringLiteral("content:release"));
    }
};

QTEST_MAIN(PanelTest)
#include "test_panel.moc"
