#include "Dashboard.h"

#include "dashboard/DashListView.h"
#include "dashboard/NoteList.h"
#include "dashboard/Sidebar.h"

DashboardFixture::DashboardFixture()
    : Fixture(QDateTime(QDate(2026, 3, 10), QTime(12, 0), Qt::UTC))
{
    launch();
}

QList<NoteModel*> DashboardFixture::add(const QList<Note>& notes)
{
    QList<NoteModel*> made;
    for (const Note& n : notes) {
        NoteData r;
        r.id = QUuid::createUuid();
        r.text = n.text;
        r.onScreen = n.onScreen;
        r.folder = n.folder;
        r.color = n.color;
        r.pinned = n.pinned;
        r.created = r.modified = today.addSecs(-n.age);
        r.deletedAt = n.deleted ? std::optional(today) : std::nullopt;
        made << new NoteModel(r);
    }
    app->setNotes(app->notes() + made);
    app->save();
    return made;
}

QList<NoteModel*> DashboardFixture::addTexts(const QStringList& texts)
{
    QList<Note> notes;
    for (const QString& text : texts)
        notes << Note{.text = text};
    return add(notes);
}

std::unique_ptr<DashboardView> DashboardFixture::makeView()
{
    auto view = std::make_unique<DashboardView>(app.get());
    view->resize(1000, 640);
    view->show();
    // Keys reach the focused control only in the active window; this makes it so at once.
    QApplication::setActiveWindow(view.get());
    return view;
}

int sidebarRow(const DashboardView& view, const QString& title)
{
    const QAbstractItemModel* model = view.sidebarView()->model();
    const QModelIndexList found =
        model->match(model->index(0, 0), Qt::DisplayRole, title, 1, Qt::MatchExactly);
    return found.isEmpty() ? -1 : found.first().row();
}

static void clickRow(QListView* view, int row)
{
    QVERIFY(row >= 0);
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

void clickSidebarRow(DashboardView& view, const QString& title)
{
    QVERIFY2(sidebarRow(view, title) >= 0, qPrintable("no sidebar row " + title));
    clickRow(view.sidebarView(), sidebarRow(view, title));
}

void clickNoteRow(DashboardView& view, const NoteModel* note)
{
    clickRow(view.listView(), view.listModel()->rowOf(note->id()));
}

QStringList groupTitles(const DashboardView& view)
{
    QStringList titles;
    for (const dash::Group& group : view.groups())
        titles << group.title;
    return titles;
}

QPushButton* buttonNamed(const QWidget* root, const QString& text)
{
    for (QPushButton* button : root->findChildren<QPushButton*>())
        if (button->text() == text || button->accessibleName() == text)
            return button;
    return nullptr;
}
