#include "Dashboard.h"
#include "dashboard/DashListView.h"
#include "dashboard/NoteEditor.h"
#include "dashboard/NoteList.h"
#include "dashboard/Placeholder.h"
#include "dashboard/Sidebar.h"
#include "model/Images.h"
#include "support/ImageBytes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

int rowOfTitle(const DashboardView& view, const QString& title)
{
    const QAbstractItemModel* model = view.sidebarModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString() == title) {
            return row;
        }
    }
    return -1;
}

int badge(const DashboardView& view, const QString& title)
{
    const int row = rowOfTitle(view, title);
    return row < 0 ? -1 : view.sidebarModel()->row(row).count;
}

} // namespace

class ListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void groupsByAgeWithExactWeekBoundary()
    {
        DashboardFixture f;
        const auto notes = f.add({
            {.text = QStringLiteral("week old"), .age = 604800},
            {.text = QStringLiteral("a second younger"), .age = 604799},
            {.text = QStringLiteral("pinned today"), .age = 60, .pinned = true},
            {.text = QStringLiteral("this morning"), .age = 3 * 3600},
            {.text = QStringLiteral("yesterday"), .age = 20 * 3600},
        });
        auto view = f.makeView();
        QCOMPARE(groupTitles(*view),
                 (QStringList{QStringLiteral("Pinned"), QStringLiteral("Today"),
                              QStringLiteral("Previous 7 Days"), QStringLiteral("Earlier")}));
        const QList<dash::Group>& groups = view->groups();
        QCOMPARE(groups[0].notes, QList<NoteModel*>{notes[2]});
        QCOMPARE(groups[1].notes, QList<NoteModel*>{notes[3]});
        // Newest first inside a group.
        QCOMPARE(groups[2].notes, (QList<NoteModel*>{notes[4], notes[1]}));
        QCOMPARE(groups[3].notes, QList<NoteModel*>{notes[0]});
    }

    void pinnedNoteInRecentlyDeletedGroupsByAge()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("pinned"), .pinned = true});
        auto view = f.makeView();
        f.app->trash(note);
        clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        QCOMPARE(view->filter(), NoteFilter::deleted());
        QCOMPARE(groupTitles(*view), QStringList{QStringLiteral("Today")});
        QVERIFY(note->pinned());
    }

    void equalDatesKeepListOrder()
    {
        DashboardFixture f;
        const auto notes = f.add({{.text = QStringLiteral("first"), .age = 100},
                                  {.text = QStringLiteral("second"), .age = 100},
                                  {.text = QStringLiteral("third"), .age = 100}});
        auto view = f.makeView();
        QCOMPARE(view->visible(), notes);
    }

    void searchIsTrimmedAndIgnoresCase()
    {
        DashboardFixture f;
        const auto notes = f.add({{.text = QStringLiteral("Buy Milk")},
                                  {.text = QStringLiteral("MILK and honey")},
                                  {.text = QStringLiteral("oat\nmilk")},
                                  {.text = QStringLiteral("bread")},
                                  {.text = QStringLiteral("old milk"), .deleted = true}});
        auto view = f.makeView();
        QTest::keyClicks(view->searchField(), QStringLiteral("  milk\t "));
        QCOMPARE(view->visible().size(), 3);
        QVERIFY(!view->visible().contains(notes[3]));
        // Badges count by filter only.
        QCOMPARE(badge(*view, QStringLiteral("All Notes")), 4);
        QCOMPARE(badge(*view, QStringLiteral("Recently Deleted")), 1);

        view->searchField()->clear();
        QTest::keyClicks(view->searchField(), QStringLiteral("   "));
        QCOMPARE(view->visible().size(), 4);
    }

    // Latin-1 notes are folded a shorter way than the rest; both must agree.
    void searchIgnoresCaseBeyondAscii()
    {
        DashboardFixture f;
        const auto notes = f.add({{.text = QStringLiteral("Meet in ZÜRICH")},
                                  {.text = QStringLiteral("zurich, no umlaut")},
                                  {.text = QStringLiteral("CAFÉ au lait")},
                                  {.text = QStringLiteral("Cafe AU LAIT")},
                                  {.text = QStringLiteral("ΑΘΗΝΑ in May")},
                                  {.text = QStringLiteral("5 µm screws")}});
        auto view = f.makeView();
        view->setSearch(QStringLiteral("zürich"));
        QCOMPARE(view->visible(), QList<NoteModel*>{notes[0]});

        view->setSearch(QStringLiteral("au Lait"));
        QCOMPARE(view->visible().size(), 2);

        view->setSearch(QStringLiteral("café"));
        QCOMPARE(view->visible(), QList<NoteModel*>{notes[2]});

        view->setSearch(QStringLiteral("αθηνα"));
        QCOMPARE(view->visible(), QList<NoteModel*>{notes[4]});
        // The micro sign folds to the Greek letter mu.
        view->setSearch(QStringLiteral("5 μM"));
        QCOMPARE(view->visible(), QList<NoteModel*>{notes[5]});
    }

    void emptyListPlaceholders()
    {
        DashboardFixture f;
        f.add({.text = QStringLiteral("live")});
        auto view = f.makeView();
        clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        QVERIFY(view->listPlaceholder()->isVisible());
        QCOMPARE(view->listPlaceholder()->title(), QStringLiteral("No Notes"));
        QCOMPARE(view->listPlaceholder()->symbol(), paint::Glyph::Trash);

        QTest::keyClicks(view->searchField(), QStringLiteral("  "));
        QCOMPARE(view->listPlaceholder()->title(), QStringLiteral("No Results"));

        clickSidebarRow(*view, QStringLiteral("All Notes"));
        QVERIFY(!view->listPlaceholder()->isVisible());
        QTest::keyClicks(view->searchField(), QStringLiteral("zebra"));
        QCOMPARE(view->listPlaceholder()->title(), QStringLiteral("No Results"));
        QCOMPARE(view->listPlaceholder()->symbol(), paint::Glyph::NoteText);
    }

    void badgesFollowTheFilterRule()
    {
        DashboardFixture f;
        f.add({{.text = QStringLiteral("a #Plan"),
                .folder = QStringLiteral("Work"),
                .color = QStringLiteral("pink"),
                .onScreen = true},
               {.text = QStringLiteral("b"), .folder = QStringLiteral("Work"), .pinned = true},
               {.text = QStringLiteral("c #gone"),
                .color = QStringLiteral("pink"),
                .pinned = true,
                .deleted = true}});
        auto view = f.makeView();
        QCOMPARE(badge(*view, QStringLiteral("All Notes")), 2);
        QCOMPARE(badge(*view, QStringLiteral("On Screen")), 1);
        QCOMPARE(badge(*view, QStringLiteral("Pinned")), 1);
        QCOMPARE(badge(*view, QStringLiteral("Work")), 2);
        QCOMPARE(badge(*view, QStringLiteral("Ideas")), 0);
        QCOMPARE(badge(*view, QStringLiteral("Pink")), 1);
        QCOMPARE(badge(*view, QStringLiteral("Recently Deleted")), 1);
        // Only live notes' tags are listed, lower-cased.
        QCOMPARE(view->tags(), QStringList{QStringLiteral("#plan")});
        QVERIFY(rowOfTitle(*view, QStringLiteral("Tags")) >= 0);
        QCOMPARE(rowOfTitle(*view, QStringLiteral("#gone")), -1);
    }

    void tagsSectionFollowsTextEdits()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("plain")});
        auto view = f.makeView();
        QCOMPARE(rowOfTitle(*view, QStringLiteral("Tags")), -1);
        note->setText(QStringLiteral("now #Tagged"));
        QTRY_VERIFY(rowOfTitle(*view, QStringLiteral("#tagged")) >= 0);
        clickSidebarRow(*view, QStringLiteral("#tagged"));
        QCOMPARE(view->visible(), QList<NoteModel*>{note});
        note->setText(QStringLiteral("plain again"));
        QTRY_COMPARE(rowOfTitle(*view, QStringLiteral("Tags")), -1);
        QVERIFY(view->visible().isEmpty());
    }

    void newNoteTakesFolderOrColorOfFilter()
    {
        DashboardFixture f;
        auto view = f.makeView();
        clickSidebarRow(*view, QStringLiteral("Work"));
        QTest::mouseClick(view->newNoteButton(), Qt::LeftButton);
        QCOMPARE(f.app->notes().size(), 1);
        NoteModel* work = f.app->notes().last();
        QCOMPARE(work->folder(), QStringLiteral("Work"));
        QCOMPARE(work->color(), QStringLiteral("yellow"));
        QCOMPARE(view->selected(), std::optional(work->id()));
        QCOMPARE(f.app->dashboardSelection(), work);
        QVERIFY(view->editor() && view->editor()->note() == work);
        QCOMPARE(view->listView()->selectionModel()->selectedIndexes().size(), 1);

        clickSidebarRow(*view, QStringLiteral("Pink"));
        QTest::mouseClick(view->newNoteButton(), Qt::LeftButton);
        NoteModel* pink = f.app->notes().last();
        QCOMPARE(pink->color(), QStringLiteral("pink"));
        QCOMPARE(pink->folder(), QStringLiteral("Personal"));

        clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        QVERIFY(!view->newNoteButton()->isEnabled());
        view->newNote();
        QCOMPARE(f.app->notes().size(), 2);
    }

    void trashFromEditorClearsSelectionAndRestoreKeepsIt()
    {
        DashboardFixture f;
        const auto notes =
            f.add({{.text = QStringLiteral("keep")}, {.text = QStringLiteral("toss"), .age = 10}});
        auto view = f.makeView();
        clickNoteRow(*view, notes[1]);
        QCOMPARE(f.app->dashboardSelection(), notes[1]);
        auto* trash = view->editor()->findChild<QToolButton*>(QStringLiteral("trash"));
        QVERIFY(trash);
        QTest::mouseClick(trash, Qt::LeftButton);
        Fixture::settle();
        QVERIFY(notes[1]->deletedAt());
        QCOMPARE(view->selected(), std::nullopt);
        QVERIFY(f.app->dashboardSelection() == nullptr);
        QVERIFY(!view->editor());
        QVERIFY(view->detailPlaceholder()->isVisible());
        QCOMPARE(view->visible(), QList<NoteModel*>{notes[0]});

        clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        clickNoteRow(*view, notes[1]);
        NoteEditor* editor = view->editor();
        QVERIFY(editor && editor->note() == notes[1]);
        QPushButton* restore = nullptr;
        for (QPushButton* button : editor->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("Restore")) {
                restore = button;
            }
        }
        QVERIFY(restore && restore->isVisible());
        QTest::mouseClick(restore, Qt::LeftButton);
        Fixture::settle();
        QVERIFY(!notes[1]->deletedAt());
        QCOMPARE(view->selected(), std::optional(notes[1]->id()));
        QCOMPARE(view->editor(), editor);
        QVERIFY(!restore->isVisible());
        QVERIFY(!editor->textEdit()->isReadOnly());
    }

    void deleteKeyTrashesSelectedLiveNote()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("doomed")});
        auto view = f.makeView();
        clickNoteRow(*view, note);
        QTest::keyClick(view->listView(), Qt::Key_Delete);
        QVERIFY(note->deletedAt());
        QCOMPARE(view->selected(), std::nullopt);

        // A deleted note is not trashed again (its date stays).
        clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        Fixture::settle();
        clickNoteRow(*view, note);
        const QDateTime deletedAt = *note->deletedAt();
        f.today = f.today.addSecs(30);
        QTest::keyClick(view->listView(), Qt::Key_Delete);
        QCOMPARE(*note->deletedAt(), deletedAt);
    }

    // Delete and Backspace act on the row the user sees highlighted in the focused list, and
    // on nothing else.
    void deleteKeysSpareNotesTheListDoesNotShowSelected()
    {
        DashboardFixture f;
        const auto notes =
            f.add({{.text = QStringLiteral("milk"), .age = 30},
                   {.text = QStringLiteral("report"), .folder = QStringLiteral("Work")}});
        auto view = f.makeView();
        DashListView* list = view->listView();
        const QPoint belowRows(40, list->viewport()->height() - 4);

        // Filtered away: the selection and the editor let go of the note.
        clickNoteRow(*view, notes[0]);
        clickSidebarRow(*view, QStringLiteral("Work"));
        QCOMPARE(view->selected(), std::nullopt);
        QVERIFY(!view->editor());
        QVERIFY(view->detailPlaceholder()->isVisible());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, belowRows);
        QTest::keyClick(list, Qt::Key_Delete);
        QTest::keyClick(list, Qt::Key_Backspace);
        QVERIFY(!notes[0]->deletedAt() && !notes[1]->deletedAt());

        // Searched away likewise.
        clickSidebarRow(*view, QStringLiteral("All Notes"));
        clickNoteRow(*view, notes[0]);
        view->setSearch(QStringLiteral("report"));
        QCOMPARE(view->selected(), std::nullopt);

        // Edited out of the search: the editor stays, but the keys leave the note alone.
        view->setSearch(QStringLiteral("m"));
        clickNoteRow(*view, notes[0]);
        notes[0]->setText(QStringLiteral("eggs"));
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
    }

    // A thumbnail whose file was missing shows once the file is back.
    void rowThumbnailShowsAnImageThatComesBack()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("trip")});
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(Qt::red);
        QByteArray bytes;
        const QString name = storedThenMissing(red, bytes);
        QVERIFY(!bytes.isEmpty());
        QFile file(Images::url(name));
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
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QTRY_VERIFY(thumbnailIsRed()); // read and filled on the worker
    }

    void arrowKeysSkipSectionHeaders()
    {
        DashboardFixture f;
        auto view = f.makeView();
        clickSidebarRow(*view, QStringLiteral("Pinned"));
        QTest::keyClick(view->sidebarView(), Qt::Key_Down);
        QCOMPARE(view->filter(), NoteFilter::folder(QStringLiteral("Personal")));
        QTest::keyClick(view->sidebarView(), Qt::Key_Up);
        QCOMPARE(view->filter(), NoteFilter::pinned());

        const auto notes = f.add({{.text = QStringLiteral("pinned"), .pinned = true},
                                  {.text = QStringLiteral("recent")}});
        clickSidebarRow(*view, QStringLiteral("All Notes"));
        Fixture::settle();
        clickNoteRow(*view, notes[0]);
        QTest::keyClick(view->listView(), Qt::Key_Down);
        QCOMPARE(view->selected(), std::optional(notes[1]->id()));
    }

    void newFolderPromptAddsAndClearsName()
    {
        DashboardFixture f;
        auto view = f.makeView();
        clickSidebarRow(*view, QStringLiteral("New Folder"));
        QDialog* dialog = view->folderDialog();
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("New Folder"));
        auto* name = dialog->findChild<QLineEdit*>();
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QPushButton* create = nullptr;
        QPushButton* cancel = nullptr;
        for (QAbstractButton* b : buttons->buttons()) {
            (b->text() == QStringLiteral("Create") ? create : cancel) =
                static_cast<QPushButton*>(b);
        }
        QVERIFY(create && cancel);

        QTest::keyClicks(name, QStringLiteral("  Work "));
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(f.app->folders().size(), 3);
        QVERIFY(name->text().isEmpty());

        view->askNewFolder();
        QTest::keyClicks(name, QStringLiteral("Errands"));
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(f.app->folders().size(), 3);
        QVERIFY(name->text().isEmpty());

        view->askNewFolder();
        QTest::keyClicks(name, QStringLiteral("Errands"));
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(f.app->folders().last(), QStringLiteral("Errands"));
        QTRY_VERIFY(rowOfTitle(*view, QStringLiteral("Errands")) >= 0);
        QVERIFY(rowOfTitle(*view, QStringLiteral("Errands")) <
                rowOfTitle(*view, QStringLiteral("New Folder")));
    }

    void listFollowsChangesMadeElsewhere()
    {
        DashboardFixture f;
        const auto notes = f.add({{.text = QStringLiteral("older"), .age = 500},
                                  {.text = QStringLiteral("newer"), .age = 100}});
        auto view = f.makeView();
        clickNoteRow(*view, notes[1]);
        notes[0]->setText(QStringLiteral("older, edited on the desktop"));
        QTRY_COMPARE(view->visible().first(), notes[0]);
        // The selection stays with its note when rows move.
        const QModelIndexList selected = view->listView()->selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(view->listModel()->noteAt(selected.first().row()), notes[1]);

        f.app->deleteForever(notes[1]);
        Fixture::settle();
        QVERIFY(view->detailPlaceholder()->isVisible());
        QCOMPARE(view->visible(), QList<NoteModel*>{notes[0]});
    }
};

static RegisterSuite<ListTest> registration;

#include "ListTest.moc"
