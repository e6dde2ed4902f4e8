#include "Dashboard.h"

#include "dashboard/DashListView.h"
#include "dashboard/NoteList.h"
#include "dashboard/Sidebar.h"

#include <QUuid>

DashboardFixture::DashboardFixture()
    : Fixture(QDateTime(QDate(2026, 3, 10), QTime(12, 0), Qt::UTC))
{
    launch();
}

QList<NoteModel*> DashboardFixture::add(const QList<Note>& notes)
{
    QList<NoteModel*> made;
    for (const Note& n : notes) {
        NoteData record;
        record.id = QUuid::createUuid();
        record.text = n.text;
        record.folder = n.folder;
        record.color = n.color;
        record.pinned = n.pinned;
        record.onScreen = n.onScreen;
        record.created = today.addSecs(-n.age);
        record.modified = today.addSecs(-n.age);
        if (n.deleted) {
            record.deletedAt = today;
        }
        made << new NoteModel(record);
    }
    app->setNotes(app->notes() + made);
    app->save();
    return made;
}

std::unique_ptr<DashboardView> DashboardFixture::makeView()
{
    auto view = std::make_unique<DashboardView>(app.get());
    view->resize(1000, 640);
    view->show();
    // Keys reach the focused control only in the active window.
    view->activateWindow();
    if (!QTest::qWaitForWindowActive(view.get())) {
        qWarning("the dashboard view did not become the active window");
    }
    return view;
}

namespace {

void clickRow(QListView* view, int row)
{
    QVERIFY(row >= 0);
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

} // namespace

void clickSidebarRow(DashboardView& view, const QString& title)
{
    const QAbstractItemModel* model = view.sidebarView()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString() == title) {
            clickRow(view.sidebarView(), row);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no sidebar row ") + title));
}

void clickNoteRow(DashboardView& view, const NoteModel* note)
{
    clickRow(view.listView(), view.listModel()->rowOf(note->id()));
}

QStringList groupTitles(const DashboardView& view)
{
    QStringList titles;
    for (const dash::Group& group : view.groups()) {
        titles << group.title;
    }
    return titles;
}
