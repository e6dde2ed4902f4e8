#pragma once

#include "dashboard/Counts.h"
#include "dashboard/ListContents.h"
#include "model/NoteFilter.h"
#include "model/NoteModel.h"

#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QWidget>
#include <optional>

class AppController;
class DashListView;
class NoteEditor;
class NoteListModel;
class NoticeBar;
class Placeholder;
class QDialog;
class ElidedLabel;
class QLabel;
class QLineEdit;
class QAction;
class QSplitter;
class QStackedWidget;
class QToolButton;
class SidebarModel;

// The dashboard's content: the sidebar of filters with the search field, the grouped list
// of notes and the editor of the selected note. Its filter, selection and search text live
// as long as the view, so they survive the window being closed and shown again.
class DashboardView : public QWidget {
    Q_OBJECT
public:
    explicit DashboardView(AppController* app, QWidget* parent = nullptr);
    ~DashboardView() override;

    // The sidebar selection; none counts as all notes.
    const std::optional<NoteFilter>& filterSelection() const { return filter_; }
    NoteFilter filter() const { return filter_.value_or(NoteFilter::all()); }
    void setFilter(const std::optional<NoteFilter>& filter);

    const std::optional<QUuid>& selected() const { return selected_; }
    void setSelected(const std::optional<QUuid>& id);
    // The selected note while it still exists.
    NoteModel* selectedNote() const;

    QString search() const;
    void setSearch(const QString& text);

    const QList<NoteModel*>& visible() const { return visible_; }
    const QList<dash::Group>& groups() const { return groups_; }
    const QStringList& tags() const { return tags_; }
    const dash::Counts& counts() const { return counts_; }

    void newNote();
    void askNewFolder();
    void focusSearch();
    // Brings everything up to date now instead of at the next turn of the event loop.
    void refreshNow();

    // Shows a line of news across the top, replacing any earlier one.
    void showNotice(const QString& text);
    // Puts back the note moved to Recently Deleted last, while its notice still offers it;
    // Ctrl+Z reaches it through the Edit menu wherever the focus is not in a text.
    Q_INVOKABLE void undo();
    // Once ever, while the view is on the screen: when the hot keys cannot reach every window,
    // says how to bind them in the desktop's own settings instead.
    void offerHotKeyHelp(bool keysReachEveryWindow);
    // GNOME took the shortcuts (or could not): says so, offering to take them out again.
    void shortcutsAdded(bool ok);

    QLineEdit* searchField() const { return search_; }
    DashListView* sidebarView() const { return sidebarView_; }
    DashListView* listView() const { return listView_; }
    SidebarModel* sidebarModel() const { return sidebarModel_; }
    NoteListModel* listModel() const { return listModel_; }
    QToolButton* newNoteButton() const { return newNoteButton_; }
    NoteEditor* editor() const { return editor_; }
    Placeholder* listPlaceholder() const { return listPlaceholder_; }
    Placeholder* detailPlaceholder() const { return detailPlaceholder_; }
    QDialog* folderDialog() const { return folderDialog_; }
    NoticeBar* noticeBar() const { return noticeBar_; }
    NoticeBar* offerNotice() const { return offerNotice_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void offerUndo(NoteModel* note);
    // Once per program found: its notes, brought in at a click.
    void offerImport();
    void placeOfferNotice();
    QWidget* buildSidebar();
    QWidget* buildList();
    void applyAppearance(bool dark);
    QWidget* buildDetail();
    void buildFolderDialog();
    void installShortcuts();

    void scheduleRefresh();
    void refreshSidebar();
    void refreshList();
    void refreshDetail();
    void observeNotes();
    void showSidebarSelection();
    void showListSelection();
    void onSidebarSelection();
    void onListSelection();
    void trashRow(const QModelIndex& row);
    void openRow(const QModelIndex& row);
    void showRowMenu(const QPoint& at);
    void dropHiddenSelection();
    void showSaveFailure();

    QPointer<AppController> app_;
    std::optional<NoteFilter> filter_ = NoteFilter::all();
    std::optional<QUuid> selected_;

    dash::TextIndex index_;
    QList<NoteModel*> visible_;
    QList<dash::Group> groups_;
    QStringList tags_;
    dash::Counts counts_;
    QSet<const NoteModel*> observed_;
    bool refreshPending_ = false;
    bool placing_ = false; // selection is being put back programmatically

    NoticeBar* noticeBar_ = nullptr;
    // Floats over the bottom of the view: an offer that comes and goes (an Undo, an import)
    // must not move the rows under the pointer.
    NoticeBar* offerNotice_ = nullptr;
    QPointer<NoteModel> trashed_; // while the notice offers to put it back
    QString saveNotice_;          // the notice of a failing save while it shows
    QSplitter* splitter_ = nullptr;
    QAction* searchIcon_ = nullptr;
    QLineEdit* search_ = nullptr;
    SidebarModel* sidebarModel_ = nullptr;
    DashListView* sidebarView_ = nullptr;
    NoteListModel* listModel_ = nullptr;
    DashListView* listView_ = nullptr;
    QStackedWidget* listStack_ = nullptr;
    Placeholder* listPlaceholder_ = nullptr;
    ElidedLabel* listTitle_ = nullptr;
    QToolButton* newNoteButton_ = nullptr;
    QStackedWidget* detailStack_ = nullptr;
    Placeholder* detailPlaceholder_ = nullptr;
    NoteEditor* editor_ = nullptr;
    QDialog* folderDialog_ = nullptr;
    QLineEdit* folderName_ = nullptr;
};
