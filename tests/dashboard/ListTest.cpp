#include "Dashboard.h"
#include "dashboard/DashListView.h"
#include "dashboard/NoteEditor.h"
#include "dashboard/NoteList.h"
#include "dashboard/NoticeBar.h"
#include "dashboard/Placeholder.h"
#include "dashboard/Sidebar.h"
#include "model/Images.h"
#include "support/ImageBytes.h"
#include "windows/MainMenu.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

static int badge(const DashboardView& view, const QString& title)
{
    const int row = sidebarRow(view, title);
    return row < 0 ? -1 : view.sidebarModel()->row(row).count;
}

class ListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void groupsByAgeWithExactWeekBoundary()
    {
        DashboardFixture f;
        const auto notes = f.add({
            {.text = "week old", .age = 604800},
            {.text = "a second younger", .age = 604799},
            {.text = "pinned today", .age = 60, .pinned = true},
            {.text = "this morning", .age = 3 * 3600},
            {.text = "yesterday", .age = 20 * 3600},
            {.text = "first", .age = 100},
            {.text = "second", .age = 100},
            {.text = "third", .age = 100},
        });
        auto view = f.makeView();
        QCOMPARE(groupTitles(*view),
                 (QStringList{"Pinned", "Today", "Previous 7 Days", "Earlier"}));
        const QList<dash::Group>& groups = view->groups();
        QCOMPARE(groups[0].notes, QList<NoteModel*>{notes[2]});
        // Newest first inside a group; equal dates keep the list's order.
        QCOMPARE(groups[1].notes, (QList<NoteModel*>{notes[5], notes[6], notes[7], notes[3]}));
        QCOMPARE(groups[2].notes, (QList<NoteModel*>{notes[4], notes[1]}));
        QCOMPARE(groups[3].notes, QList<NoteModel*>{notes[0]});

        // Deleted, a pinned note is grouped by its age.
        f.app->trash(notes[2]);
        clickSidebarRow(*view, "Recently Deleted");
        QCOMPARE(view->filter(), NoteFilter::deleted());
        QCOMPARE(groupTitles(*view), QStringList{"Today"});
        QVERIFY(notes[2]->pinned());
    }

    // Search is trimmed and without case (Latin-1 notes are folded a shorter way than the rest,
    // and both must agree); badges count by the filter's rule alone; tags follow live notes.
    void searchBadgesAndTags()
    {
        DashboardFixture f;
        const auto notes = f.addTexts({"Buy Milk", "MILK and honey", "oat\nmilk", "bread",
                                       "Meet in ZÜRICH", "zurich, no umlaut", "CAFÉ au lait",
                                       "Cafe AU LAIT", "ΑΘΗΝΑ in May", "5 µm screws"});
        f.add({.text = "old milk", .deleted = true});
        auto view = f.makeView();
        const struct {
            QString search;
            QList<int> found;
        } searches[] = {
            {"  milk\t ", {0, 1, 2}},
            {"zürich", {4}},
            {"au Lait", {6, 7}},
            {"café", {6}},
            {"αθηνα", {8}},
            {"5 μM", {9}}, // the micro sign folds to the Greek letter mu
            {"   ", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        };
        for (const auto& search : searches) {
            view->setSearch(search.search);
            QList<int> found;
            for (NoteModel* note : view->visible())
                found << int(notes.indexOf(note));
            QVERIFY2(found == search.found, qPrintable(search.search));
            // Badges count by filter only.
            QCOMPARE(badge(*view, "All Notes"), 10);
            QCOMPARE(badge(*view, "Recently Deleted"), 1);
        }

        view->setSearch({});
        const auto tagged =
            f.add({{.text = "a #Plan", .folder = "Work", .color = "pink", .onScreen = true},
                   {.text = "b", .folder = "Work", .pinned = true},
                   {.text = "c #gone", .color = "pink", .pinned = true, .deleted = true}});
        Fixture::settle();
        const std::pair<const char*, int> badges[] = {
            {"All Notes", 12}, {"On Screen", 1}, {"Pinned", 1},          {"Work", 2},
            {"Ideas", 0},      {"Pink", 1},      {"Recently Deleted", 2}};
        for (const auto& [title, count] : badges)
            QVERIFY2(badge(*view, QString::fromUtf8(title)) == count, title);
        // Only live notes' tags are listed, lower-cased, and they follow the text.
        QCOMPARE(view->tags(), QStringList{"#plan"});
        QCOMPARE(sidebarRow(*view, "#gone"), -1);
        tagged[1]->setText("now #Tagged");
        QTRY_VERIFY(sidebarRow(*view, "#tagged") >= 0);
        clickSidebarRow(*view, "#tagged");
        QCOMPARE(view->visible(), QList<NoteModel*>{tagged[1]});
        tagged[0]->setText("a");
        tagged[1]->setText("plain again");
        QTRY_COMPARE(sidebarRow(*view, "Tags"), -1);
        QVERIFY(view->visible().isEmpty());
    }

    // On an empty dashboard: the arrow keys skip section headers, a new note takes the folder
    // or colour of the filter, the list says why it is empty, and new folders are named.
    void theSidebarChoosesWhatIsListedAndWhereNewNotesGo()
    {
        DashboardFixture f;
        auto view = f.makeView();
        clickSidebarRow(*view, "Reminders");
        QTest::keyClick(view->sidebarView(), Qt::Key_Down);
        QCOMPARE(view->filter(), NoteFilter::folder("Personal"));
        QTest::keyClick(view->sidebarView(), Qt::Key_Up);
        QCOMPARE(view->filter(), NoteFilter::reminders());

        clickSidebarRow(*view, "Work");
        QTest::mouseClick(view->newNoteButton(), Qt::LeftButton);
        QCOMPARE(f.app->notes().size(), 1);
        NoteModel* work = f.app->notes().last();
        QCOMPARE(work->folder(), "Work");
        QCOMPARE(work->color(), "yellow");
        QCOMPARE(view->selected(), std::optional(work->id()));
        QCOMPARE(f.app->dashboardSelection(), work);
        QVERIFY(view->editor() && view->editor()->note() == work);
        QCOMPARE(view->listView()->selectionModel()->selectedIndexes().size(), 1);
        clickSidebarRow(*view, "Pink");
        QTest::mouseClick(view->newNoteButton(), Qt::LeftButton);
        NoteModel* pink = f.app->notes().last();
        QCOMPARE(pink->color(), "pink");
        QCOMPARE(pink->folder(), "Personal");

        const Placeholder* empty = view->listPlaceholder();
        clickSidebarRow(*view, "Recently Deleted");
        QVERIFY(!view->newNoteButton()->isEnabled());
        view->newNote();
        QCOMPARE(f.app->notes().size(), 2);
        QVERIFY(empty->isVisible());
        QCOMPARE(empty->title(), "No Notes");
        QCOMPARE(empty->symbol(), paint::Glyph::Trash);
        QTest::keyClicks(view->searchField(), "  ");
        QCOMPARE(empty->title(), "No Results");
        clickSidebarRow(*view, "All Notes");
        QVERIFY(!empty->isVisible());
        QTest::keyClicks(view->searchField(), "zebra");
        QCOMPARE(empty->title(), "No Results");
        QCOMPARE(empty->symbol(), paint::Glyph::NoteText);

        view->setSearch({});
        work->setPinned(true);
        Fixture::settle();
        clickNoteRow(*view, work);
        QTest::keyClick(view->listView(), Qt::Key_Down);
        QCOMPARE(view->selected(), std::optional(pink->id()));

        // The keys reach "New Folder" too: the cursor stops on it, the filter stays.
        clickSidebarRow(*view, "Ideas");
        QTest::keyClick(view->sidebarView(), Qt::Key_Down);
        QTest::keyClick(view->sidebarView(), Qt::Key_Return);
        QCOMPARE(view->filter(), NoteFilter::folder("Ideas"));
        QDialog* dialog = view->folderDialog();
        QTRY_VERIFY(dialog->isVisible());
        auto* name = dialog->findChild<QLineEdit*>();
        QPushButton* create = buttonNamed(dialog, "Create");
        QPushButton* cancel = buttonNamed(dialog, "Cancel");
        QVERIFY(create && cancel && !create->isEnabled());
        QTest::keyClicks(name, "  Work ");
        QVERIFY(!create->isEnabled()); // there already, and the prompt says so
        const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
            return label->isVisible() && label->text().startsWith("There is a folder");
        }));
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(name->text().isEmpty());
        view->askNewFolder();
        QTest::keyClicks(name, "Errands");
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(f.app->folders().size(), 3);
        QVERIFY(name->text().isEmpty());
        view->askNewFolder();
        QTest::keyClicks(name, "Errands");
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(f.app->folders().last(), "Errands");
        QTRY_VERIFY(sidebarRow(*view, "Errands") >= 0);
        QVERIFY(sidebarRow(*view, "Errands") < sidebarRow(*view, "New Folder"));
    }

    // Delete and Backspace trash the live note the user sees highlighted in the focused list,
    // and nothing else. Rows follow edits made elsewhere.
    void deleteKeysTrashOnlyTheHighlightedLiveNote()
    {
        DashboardFixture f;
        const auto notes =
            f.add({{.text = "milk", .age = 30}, {.text = "report", .folder = "Work"}});
        auto view = f.makeView();
        DashListView* list = view->listView();

        // Filtered or searched away: the selection and the editor let go of the note.
        clickNoteRow(*view, notes[0]);
        clickSidebarRow(*view, "Work");
        QCOMPARE(view->selected(), std::nullopt);
        QVERIFY(!view->editor());
        clickSidebarRow(*view, "All Notes");
        clickNoteRow(*view, notes[0]);
        view->setSearch("report");
        QCOMPARE(view->selected(), std::nullopt);

        // Edited out of the search: the editor stays, but the keys leave the note alone.
        view->setSearch("m");
        clickNoteRow(*view, notes[0]);
        notes[0]->setText("eggs");
        Fixture::settle();
        QCOMPARE(view->editor()->note(), notes[0]);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Backspace);
        QVERIFY(!notes[0]->deletedAt());

        // A highlighted row, but the keys go to another field.
        view->setSearch({});
        clickNoteRow(*view, notes[0]);
        view->searchField()->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(!notes[0]->deletedAt());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Backspace);
        QVERIFY(notes[0]->deletedAt());
        clickNoteRow(*view, notes[1]);
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(notes[1]->deletedAt());
        // For a moment the notice offers it back: its Undo button, or Ctrl+Z (the Edit menu's
        // Undo, away from any text) puts it back where it was.
        QCOMPARE(view->offerNotice()->text(), "“report” moved to Recently Deleted.");
        QVERIFY(view->noticeBar()->isHidden()); // floating: the rows stay where they were
        view->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), list);
        QVERIFY(forwardEditCommand("undo"));
        QVERIFY(!notes[1]->deletedAt() && view->offerNotice()->isHidden());
        QCOMPARE(view->selected(), std::optional(notes[1]->id()));
        QTest::keyClick(list, Qt::Key_Delete);
        view->offerNotice()->actionButton()->click();
        QVERIFY(!notes[1]->deletedAt());
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(notes[1]->deletedAt());
        QCOMPARE(view->selected(), std::nullopt);

        // A deleted note is not trashed again (its date stays).
        clickSidebarRow(*view, "Recently Deleted");
        Fixture::settle();
        clickNoteRow(*view, notes[0]);
        const QDateTime deletedAt = *notes[0]->deletedAt();
        f.today = f.today.addSecs(30);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(*notes[0]->deletedAt(), deletedAt);

        // The list follows changes made elsewhere, and the selection stays with its note.
        NoteModel* top = view->visible().first();
        NoteModel* other = view->visible().last();
        clickNoteRow(*view, top);
        other->setText("edited on the desktop");
        QTRY_COMPARE(view->visible().first(), other);
        const QModelIndexList selected = view->listView()->selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(view->listModel()->noteAt(selected.first().row()), top);
        f.app->deleteForever(top);
        Fixture::settle();
        QVERIFY(view->detailPlaceholder()->isVisible());
        QCOMPARE(view->visible(), QList<NoteModel*>{other});
    }

    // A thumbnail whose file was missing shows once the file is back.
    void rowThumbnailShowsAnImageThatComesBack()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = "trip"});
        QByteArray bytes;
        const QString name = storedThenMissing(flatImage(QSize(40, 30), Qt::red), bytes);
        QVERIFY(!bytes.isEmpty());
        note->setImages({name});
        auto view = f.makeView();
        Fixture::settle();
        const auto thumbnailIsRed = [&] {
            QListView* list = view->listView();
            const QRect row =
                list->visualRect(list->model()->index(view->listModel()->rowOf(note->id()), 0));
            const QColor c =
                list->viewport()->grab().toImage().pixelColor(row.right() - 30, row.center().y());
            return c.red() > 200 && c.green() < 60 && c.blue() < 60;
        };
        QVERIFY(!thumbnailIsRed());
        QFile file(Images::url(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QTRY_VERIFY(thumbnailIsRed()); // read and filled on the worker
    }
};

static RegisterSuite<ListTest> registration;

#include "ListTest.moc"
