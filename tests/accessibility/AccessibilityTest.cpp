#include "WindowTour.h"
#include "dashboard/DashListView.h"
#include "dashboard/NoteEditor.h"
#include "dashboard/SwatchButton.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

static bool interactive(QAccessibleInterface* node)
{
    if (node->state().disabled) // a greyed button: nothing to act on
        return false;
    if (QAccessibleTableCellInterface* cell = node->tableCellInterface()) {
        // A spacer or section row of a list takes no click; only rows that do need a name.
        const auto* view = qobject_cast<const QAbstractItemView*>(node->parent()->object());
        return view != nullptr &&
               (view->model()->index(cell->rowIndex(), cell->columnIndex()).flags() &
                Qt::ItemIsEnabled);
    }
    const auto acted = {
        QAccessible::Button,     QAccessible::CheckBox,      QAccessible::RadioButton,
        QAccessible::ComboBox,   QAccessible::EditableText,  QAccessible::ListItem,
        QAccessible::TreeItem,   QAccessible::MenuItem,      QAccessible::PageTab,
        QAccessible::Slider,     QAccessible::SpinBox,       QAccessible::Link,
        QAccessible::ButtonMenu, QAccessible::ButtonDropDown};
    return std::find(acted.begin(), acted.end(), node->role()) != acted.end() ||
           node->state().focusable != 0;
}

static QString className(const QObject* object)
{
    return object != nullptr ? QString::fromLatin1(object->metaObject()->className()) : QString();
}

// Every element of the window a screen reader can reach that a person acts on, without a name
// to speak. Hidden parts are skipped: they are not in the reader's tree either.
static void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (node == nullptr || depth > 40 || node->state().invisible)
        return;
    if (interactive(node) && node->text(QAccessible::Name).trimmed().isEmpty()) {
        unnamed << QString("%1 (role %2 in %3)")
                       .arg(className(node->object()))
                       .arg(int(node->role()))
                       .arg(node->parent() ? className(node->parent()->object()) : QString());
    }
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), unnamed, depth + 1);
}

// What a screen reader meets: every button, card, field and row in the program's windows has
// a name to speak, windows are named after what they hold, and the keyboard reaches the
// dashboard's controls.
class AccessibilityTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyControlInEveryWindowIsNamed()
    {
        Fixture f;
        QStringList unnamed;
        NoteModel* shown = tour::everyWindow(f, [&](QWidget* window) {
            QVERIFY(window != nullptr);
            collectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed);
        });
        QCOMPARE(
            QAccessible::queryAccessibleInterface(f.app->window(shown))->text(QAccessible::Name),
            "Zahnarzt anrufen");
        unnamed.removeDuplicates();
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // Tab from the search field walks the window in reading order: the sidebar, the list, the
    // editor's controls and its text, and comes round again without getting stuck. Return on a
    // note's row then brings the note out with the keyboard in its window, and Escape there
    // tucks it back into the pad.
    void theKeyboardWalksTheDashboardAndReachesANote()
    {
        Fixture f;
        AppController& app = f.startUp();
        NoteModel* note = app.newNote(std::nullopt, "green");
        note->setText("Recipes");
        DashboardView* dashboard = tour::dashboardOn(app, note);
        app.dashboardWindow()->activateWindow();
        QApplication::setActiveWindow(app.dashboardWindow());
        dashboard->searchField()->setFocus(Qt::OtherFocusReason);
        Fixture::settle();

        QList<QWidget*> visited{QApplication::focusWidget()};
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == visited.first())
                break;
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited.first(), dashboard->searchField());
        const auto at = [&](QWidget* w) { return visited.indexOf(w); };
        QVERIFY(0 < at(dashboard->sidebarView()) &&
                at(dashboard->sidebarView()) < at(dashboard->listView()));
        QVERIFY(at(dashboard->listView()) < at(dashboard->editor()->swatches().first()) &&
                at(dashboard->listView()) < at(dashboard->editor()->textEdit()));
        QCOMPARE(QApplication::focusWidget(), dashboard->searchField());

        dashboard->listView()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(dashboard->listView(), Qt::Key_Return);
        Fixture::advance(2.0);
        Fixture::settle();
        Panel* window = app.window(note);
        QVERIFY(note->onScreen() && window != nullptr && window->isVisible());
        QCOMPARE(QApplication::activeWindow(), window);
        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
        Fixture::advance(2.0);
        Fixture::settle();
        QVERIFY(!note->onScreen());
        QVERIFY(app.window(note) == nullptr || !app.window(note)->isVisible());
    }
};

static RegisterSuite<AccessibilityTest> registered;

#include "AccessibilityTest.moc"
