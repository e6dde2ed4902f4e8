#include "windows/MainMenu.h"

#include "support/Suites.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QWidget>

namespace {

bool showActive(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

} // namespace

class MainMenuTest : public QObject {
    Q_OBJECT
    std::unique_ptr<MainMenu> menu_;

private Q_SLOTS:
    void init() { menu_ = std::make_unique<MainMenu>(); }
    void cleanup() { menu_.reset(); }

    // The editor takes its own standard keys first: the menu's identical keys must not make
    // them ambiguous and swallow them. Edit items chosen from the menu go to the focused field.
    void editKeysAndItemsGoToTheFocusedField()
    {
        QWidget window;
        auto* other = new QLineEdit(QStringLiteral("untouched"), &window);
        auto* editor = new QTextEdit(&window);
        QVERIFY(showActive(window));
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClicks(editor, QStringLiteral("abc"));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QString());
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
        menu_->actions()[7]->trigger(); // Select All, as if chosen from the menu
        QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("abc"));
        QVERIFY(!other->hasSelectedText());
    }

    // The close key closes ordinary windows; note panels have no close control, so it leaves
    // them alone. The quit key reaches a tool window shown after the menu was made.
    void closeAndQuitKeysSpareNotePanelsButReachThem()
    {
        QWidget dashboard;
        QVERIFY(showActive(dashboard));
        QTest::keyClick(&dashboard, Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!dashboard.isVisible());

        // quit() does nothing outside exec(), so the trigger itself is what is observed.
        QSignalSpy quit(menu_->actions()[1], &QAction::triggered);
        QWidget panel(nullptr, Qt::Tool | Qt::FramelessWindowHint);
        auto* field = new QLineEdit(&panel);
        QVERIFY(showActive(panel));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QVERIFY(panel.isVisible());
        QTest::keyClick(field, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 1);
        QCOMPARE(field->text(), QString());
    }
};

static RegisterSuite<MainMenuTest> registered;

#include "MainMenuTest.moc"
