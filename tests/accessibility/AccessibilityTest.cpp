#include "controller/AppController.h"
#include "dashboard/DashListView.h"
#include "dashboard/DashboardView.h"
#include "dashboard/NoteEditor.h"
#include "dashboard/SwatchButton.h"
#include "model/NoteFilter.h"
#include "model/NoteModel.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>

namespace {

bool interactive(QAccessibleInterface* node)
{
    if (node->state().disabled) {
        return false; // a greyed button: nothing to act on
    }
    if (QAccessibleTableCellInterface* cell = node->tableCellInterface()) {
        // A spacer or section row of a list takes no click; only rows that do need a name.
        const auto* view = qobject_cast<const QAbstractItemView*>(node->parent()->object());
        const QModelIndex index = view != nullptr
                                      ? view->model()->index(cell->rowIndex(), cell->columnIndex())
                                      : QModelIndex();
        return index.isValid() && (index.flags() & Qt::ItemIsEnabled);
    }
    switch (node->role()) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::ListItem:
    case QAccessible::TreeItem:
    case QAccessible::MenuItem:
    case QAccessible::PageTab:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::Link:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return node->state().focusable != 0;
    }
}

QString describe(const QAccessibleInterface* node)
{
    const QObject* object = node->object();
    return QStringLiteral("%1 (role %2 in %3)")
        .arg(object != nullptr ? QString::fromLatin1(object->metaObject()->className())
                               : QStringLiteral("item"))
        .arg(int(node->role()))
        .arg(node->parent() != nullptr && node->parent()->object() != nullptr
                 ? QString::fromLatin1(node->parent()->object()->metaObject()->className())
                 : QString());
}

// Every element of the window a screen reader can reach that a person acts on, without a name
// to speak. Hidden parts are skipped: they are not in the reader's tree either.
void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (node == nullptr || depth > 40 || node->state().invisible) {
        return;
    }
    if (interactive(node) && node->text(QAccessible::Name).trimmed().isEmpty()) {
        unnamed << describe(node);
    }
    for (int i = 0; i < node->childCount(); ++i) {
        collectUnnamed(node->child(i), unnamed, depth + 1);
    }
}

QStringList unnamedIn(QWidget* window)
{
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed);
    return unnamed;
}

QString named(QWidget* window)
{
    return QAccessible::queryAccessibleInterface(window)->text(QAccessible::Name);
}

// The dashboard shown with `note` in its editor.
DashboardView* dashboardOn(AppController& app, const NoteModel* note)
{
    app.showDashboard();
    Fixture::settle();
    auto* dashboard = app.dashboardWindow()->findChild<DashboardView*>();
    dashboard->setSelected(note->id());
    dashboard->refreshNow();
    return dashboard;
}

} // namespace

// What a screen reader meets: every button, card, field and row in the program's windows has
// a name to speak, windows are named after what they hold, and the keyboard reaches the
// dashboard's controls.
class AccessibilityTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void padNoteAndViewerNameEveryControl()
    {
        Fixture f;
        AppController& app = f.startUp();
        app.newNote(std::nullopt, QStringLiteral("yellow"))->setText(QStringLiteral("Groceries"));
        app.newNote(std::nullopt, QStringLiteral("pink"));
        NoteModel* shown = f.shownNote(QStringLiteral("Call the dentist\ntomorrow"));
        app.setRevealed(true);
        app.setPadHot(true);
        Fixture::advance(2.0);
        Fixture::settle();
        QImage picture(80, 60, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        app.addImage(shown, picture);
        Fixture::finishImages();
        app.viewImages(shown, 0);
        Fixture::advance(2.0);
        Fixture::settle();

        QVERIFY2(unnamedIn(app.padWindow()).isEmpty(),
                 qPrintable(unnamedIn(app.padWindow()).join(QStringLiteral(", "))));
        QWidget* note = app.window(shown);
        QVERIFY(note != nullptr);
        QVERIFY2(unnamedIn(note).isEmpty(), qPrintable(unnamedIn(note).join(QStringLiteral(", "))));
        QCOMPARE(named(note), QStringLiteral("Call the dentist"));
        QVERIFY(app.viewerWindow() != nullptr);
        QVERIFY2(unnamedIn(app.viewerWindow()).isEmpty(),
                 qPrintable(unnamedIn(app.viewerWindow()).join(QStringLiteral(", "))));
    }

    void dashboardNamesEveryControlInEveryPane()
    {
        Fixture f;
        AppController& app = f.startUp();
        NoteModel* note = app.newNote(std::nullopt, QStringLiteral("blue"));
        note->setText(QStringLiteral("Trip planning\nBook the trains #travel"));
        note->setPinned(true);
        NoteModel* gone = app.newNote(std::nullopt, QStringLiteral("yellow"));
        gone->setText(QStringLiteral("Old list"));
        app.trash(gone);
        app.showDashboard();
        Fixture::settle();
        QWidget* window = app.dashboardWindow();
        QVERIFY(window != nullptr);
        auto* dashboard = window->findChild<DashboardView*>();
        QVERIFY(dashboard != nullptr);

        QStringList unnamed = unnamedIn(window);
        dashboard->setSelected(note->id());
        dashboard->refreshNow();
        unnamed << unnamedIn(window);
        dashboard->setFilter(NoteFilter::deleted());
        dashboard->setSelected(gone->id());
        dashboard->refreshNow();
        unnamed << unnamedIn(window);
        unnamed.removeDuplicates();
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    // Tab from the search field walks the window in reading order: the sidebar, the list, the
    // editor's controls and its text, and comes round again without getting stuck.
    void tabWalksTheDashboardInReadingOrder()
    {
        Fixture f;
        AppController& app = f.startUp();
        NoteModel* note = app.newNote(std::nullopt, QStringLiteral("green"));
        note->setText(QStringLiteral("Recipes"));
        DashboardView* dashboard = dashboardOn(app, note);
        QWidget* window = app.dashboardWindow();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        dashboard->searchField()->setFocus(Qt::OtherFocusReason);
        Fixture::settle();

        QList<QWidget*> visited{QApplication::focusWidget()};
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == visited.first()) {
                break;
            }
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited.first(), dashboard->searchField());
        const auto at = [&](QWidget* w) { return visited.indexOf(w); };
        QVERIFY(at(dashboard->sidebarView()) > 0);
        QVERIFY(at(dashboard->listView()) > at(dashboard->sidebarView()));
        QVERIFY(at(dashboard->editor()->swatches().first()) > at(dashboard->listView()));
        QVERIFY(at(dashboard->editor()->textEdit()) > at(dashboard->listView()));
        QCOMPARE(QApplication::focusWidget(), dashboard->searchField());
    }

    // Without a mouse: Return on a note's row in the dashboard brings the note out with the
    // keyboard in its window, and Escape there tucks it back into the pad.
    void theKeyboardReachesAndTucksANote()
    {
        Fixture f;
        AppController& app = f.startUp();
        NoteModel* note = app.newNote(std::nullopt, QStringLiteral("pink"));
        note->setText(QStringLiteral("Passwords? No."));
        DashListView* list = dashboardOn(app, note)->listView();
        list->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(list, Qt::Key_Return);
        Fixture::advance(2.0);
        Fixture::settle();
        QVERIFY(note->onScreen());
        Panel* window = app.window(note);
        QVERIFY(window != nullptr && window->isVisible());
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
