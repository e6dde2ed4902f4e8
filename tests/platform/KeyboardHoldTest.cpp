#include "platform/x11/KeyboardHold.h"

#include "platform/CaretRest.h"
#include "support/Suites.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>

// Where the window system gives a window its keys only through a grab, the grab must follow
// the click into the right widget and end the moment another window is active: otherwise it
// takes keys meant for another program.
class KeyboardHoldTest : public QObject {
    Q_OBJECT

    static void showActive(QWidget& active, QWidget& other)
    {
        other.show();
        active.show();
        active.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), active.windowHandle());
    }

private Q_SLOTS:
    void holdsTheFocusedWidgetUntilAnotherWindowIsActiveAndNothingElse()
    {
        QWidget note;
        auto* text = new QLineEdit(&note);
        QWidget other;
        showActive(note, other);
        platform::KeyboardHold hold;

        hold.hold(&note);
        text->setFocus(); // as the click being delivered moves the focus, before the hold
        QTRY_COMPARE(QWidget::keyboardGrabber(), text);
        QCOMPARE(hold.holder(), text);

        other.activateWindow();
        QTRY_VERIFY(QWidget::keyboardGrabber() == nullptr);
        QCOMPARE(hold.holder(), nullptr);

        // A window hidden or gone before the hold's turn takes nothing. Another part of the
        // program may hold a grab of its own: letting go never ends that.
        auto gone = std::make_unique<QWidget>();
        gone->show();
        hold.hold(gone.get());
        gone.reset();
        QWidget hidden;
        hold.hold(&hidden);
        QCoreApplication::processEvents(); // the hold takes its turn on the event loop
        QCOMPARE(QWidget::keyboardGrabber(), nullptr);
        QCOMPARE(hold.holder(), nullptr);

        showActive(note, other);
        hold.hold(&note);
        QTRY_COMPARE(QWidget::keyboardGrabber(), text);
        other.grabKeyboard();
        hold.release();
        QCOMPARE(QWidget::keyboardGrabber(), &other);
        other.releaseKeyboard();
    }

    // A caret blinking in a note left focused would wake the program twice a second for hours:
    // it rests, drawn, after a spell without input, and blinks again at the next key.
    void theCaretRestsAfterASpellWithoutInputAndBlinksAgainAtAKey()
    {
        QLineEdit field;
        field.show();
        const int blinking = QGuiApplication::styleHints()->cursorFlashTime();
        platform::CaretRest rest(std::chrono::milliseconds(1));
        QTRY_VERIFY(rest.resting());
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        QTest::keyClick(&field, Qt::Key_A);
        QVERIFY(!rest.resting());
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), blinking);
    }
};

static RegisterSuite<KeyboardHoldTest> registered;

#include "KeyboardHoldTest.moc"
