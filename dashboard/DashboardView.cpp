#include "dashboard/DashboardView.h"

#include "controller/AppController.h"
#include "controller/Reminders.h"
#include "controller/Transfers.h"
#include "dashboard/DashListView.h"
#include "dashboard/ElidedLabel.h"
#include "dashboard/NoteEditor.h"
#include "dashboard/NoteList.h"
#include "dashboard/NoticeBar.h"
#include "dashboard/Placeholder.h"
#include "dashboard/Sidebar.h"
#include "dashboard/Theme.h"
#include "dashboard/ThemedIcon.h"
#include "model/FolderNames.h"
#include "model/ReminderTimes.h"
#include "model/Store.h"
#include "paint/Palette.h"
#include "platform/Appearance.h"
#include "platform/Clock.h"
#include "platform/DesktopShortcuts.h"
#include "platform/HotKeys.h"
#include "windows/Panel.h"
#include "windows/ReminderMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString hotKeyHelpShownKey = QStringLiteral("hotKeyHelpShown");

// The two grounds of the dashboard: the sidebar's, and the list's and detail's.
enum class Ground { Sidebar, List };
const char* const groundProperty = "dashGround";

void paintBackground(QWidget* widget, Ground ground)
{
    widget->setAutoFillBackground(true);
    widget->setProperty(groundProperty, static_cast<int>(ground));
}

// Every widget gets every colour explicitly: a class palette of the platform theme, or a style
// sheet on the way, would otherwise put the theme's text colour back on a ground of ours. The
// editor keeps its own, on the note's paper.
void paintTree(QWidget* widget, const dash::Theme& theme, QPalette palette)
{
    if (qobject_cast<NoteEditor*>(widget)) {
        return;
    }
    const QVariant ground = widget->property(groundProperty);
    if (ground.isValid()) {
        const QColor color =
            ground.toInt() == static_cast<int>(Ground::Sidebar) ? theme.sidebar : theme.list;
        palette.setColor(QPalette::Window, color);
        palette.setColor(QPalette::Base, color);
    }
    widget->setPalette(palette);
    for (QObject* child : widget->children()) {
        auto* inner = qobject_cast<QWidget*>(child);
        if (inner && !inner->isWindow()) {
            paintTree(inner, theme, palette);
        }
    }
}

QString filterTitle(const NoteFilter& filter)
{
    switch (filter.kind()) {
    case NoteFilter::Kind::Folder:
        return FolderNames::shown(filter.payload());
    case NoteFilter::Kind::Tag:
        return filter.payload();
    case NoteFilter::Kind::Color:
        return paint::colorTitle(filter.payload());
    case NoteFilter::Kind::All:
        return QCoreApplication::translate("Dashboard", "All Notes");
    case NoteFilter::Kind::OnScreen:
        return QCoreApplication::translate("Dashboard", "On Screen");
    case NoteFilter::Kind::Pinned:
        return QCoreApplication::translate("Dashboard", "Pinned");
    case NoteFilter::Kind::Reminders:
        return QCoreApplication::translate("Dashboard", "Reminders");
    case NoteFilter::Kind::Deleted:
        return QCoreApplication::translate("Dashboard", "Recently Deleted");
    }
    return {};
}

// Changes to these fields show in the list or the sidebar; the others animate a note on the
// desktop many times a second and must not rebuild the list.
bool listed(NoteModel::Field field)
{
    switch (field) {
    case NoteModel::Field::Text:
    case NoteModel::Field::Color:
    case NoteModel::Field::Folder:
    case NoteModel::Field::Pinned:
    case NoteModel::Field::Modified:
    case NoteModel::Field::DeletedAt:
    case NoteModel::Field::OnScreen:
    case NoteModel::Field::Images:
    case NoteModel::Field::RemindAt:
        return true;
    default:
        return false;
    }
}

} // namespace

DashboardView::DashboardView(AppController* app, QWidget* parent)
    : QWidget(parent)
    , app_(app)
{
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->setHandleWidth(1);
    splitter_->addWidget(buildSidebar());
    splitter_->addWidget(buildList());
    splitter_->addWidget(buildDetail());
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 0);
    splitter_->setStretchFactor(2, 1);
    splitter_->setSizes({210, 290, 500});
    splitter_->handle(1)->setAccessibleName(
        QCoreApplication::translate("Dashboard", "Sidebar width"));
    splitter_->handle(2)->setAccessibleName(QCoreApplication::translate("Dashboard", "List width"));
    noticeBar_ = new NoticeBar(this);
    offerNotice_ = new NoticeBar(this);
    offerNotice_->setFloating(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(noticeBar_);
    layout->addWidget(splitter_, 1); // the notice keeps to its text's height
    // The shortcut service answers a while after start: the help may be due later.
    connect(&HotKeyRegistry::shared(), &HotKeyRegistry::reachSettled, this,
            [this] { offerHotKeyHelp(HotKeyRegistry::shared().reachesEveryWindow()); });
    if (app_) {
        connect(&app_->transfers(), &Transfers::offerFound, this, &DashboardView::offerImport);
    }

    buildFolderDialog();
    installShortcuts();
    auto* appearance = new platform::Appearance(this);
    connect(appearance, &platform::Appearance::darkChanged, this, &DashboardView::applyAppearance);
    applyAppearance(appearance->dark());

    if (app_) {
        connect(app_.data(), &AppController::changed, this, [this](AppController::Field field) {
            if (field == AppController::Field::Notes || field == AppController::Field::Folders) {
                scheduleRefresh();
            } else if (field == AppController::Field::SaveFailure) {
                showSaveFailure();
            }
        });
        showSaveFailure();
    }
    refreshNow();
    showSidebarSelection();
}

DashboardView::~DashboardView() = default;

void DashboardView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (HotKeyRegistry::shared().reach() != HotKeyRegistry::Reach::Unknown) {
        offerHotKeyHelp(HotKeyRegistry::shared().reachesEveryWindow());
    }
    offerImport();
}

void DashboardView::applyAppearance(bool dark)
{
    const dash::Theme& theme = dash::theme(dark);
    // The whole window, its menu bar too, when the view sits in one.
    paintTree(window(), theme, dash::palette(theme, QGuiApplication::palette()));
    noticeBar_->setTheme(theme);
    offerNotice_->setTheme(theme);
    // Filled rather than styled: a style sheet here would reach every widget in the panes.
    for (int i = 1; i < splitter_->count(); ++i) {
        QSplitterHandle* handle = splitter_->handle(i);
        QPalette line = handle->palette();
        line.setColor(QPalette::Window, theme.divider);
        handle->setPalette(line);
        handle->setAutoFillBackground(true);
    }
    searchIcon_->setIcon(dash::themedIcon(paint::Glyph::Search, dash::faint(theme.text, 0.5)));
    search_->setStyleSheet(
        QStringLiteral("QLineEdit { background: %1; border: 1px solid %2; color: %4;"
                       " border-radius: 7px; padding: 3px 4px; }"
                       "QLineEdit:focus { background: %3; border: 1px solid palette(highlight); }")
            .arg(dash::css(dash::faint(theme.text, 0.06)), dash::css(dash::faint(theme.text, 0.09)),
                 theme.list.name(), theme.text.name()));
    newNoteButton_->setIcon(dash::themedIcon(paint::Glyph::Compose, theme.text, 18));
}

void DashboardView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeOfferNotice();
}

void DashboardView::placeOfferNotice()
{
    constexpr int margin = 16;
    const int w = std::min(width() - 2 * margin, 520);
    const int h = offerNotice_->heightForWidth(w) > 0 ? offerNotice_->heightForWidth(w)
                                                      : offerNotice_->sizeHint().height();
    offerNotice_->setGeometry((width() - w) / 2, height() - h - margin, w, h);
    offerNotice_->raise();
}

void DashboardView::showNotice(const QString& text)
{
    noticeBar_->showText(text);
}

// Stays while saving fails, and goes by itself once a save succeeds.
void DashboardView::showSaveFailure()
{
    const QString failure = app_ ? app_->saveFailure() : QString();
    if (!failure.isEmpty()) {
        showNotice(QCoreApplication::translate("Dashboard",
                                               "Your notes are not saved: %1. Quillhaven keeps "
                                               "them and keeps trying to write \u201C%2\u201D.")
                       .arg(failure, Store::url()));
        saveNotice_ = noticeBar_->text();
    } else if (!saveNotice_.isEmpty() && noticeBar_->text() == saveNotice_) {
        noticeBar_->hide();
        saveNotice_.clear();
    }
}

void DashboardView::offerHotKeyHelp(bool keysReachEveryWindow)
{
    if (keysReachEveryWindow || !isVisible()) {
        return;
    }
    QSettings settings;
    if (settings.value(hotKeyHelpShownKey, false).toBool()) {
        return;
    }
    settings.setValue(hotKeyHelpShownKey, true);
    namespace shortcuts = platform::desktopshortcuts;
    const QString limit = QCoreApplication::translate(
        "Dashboard", "Ctrl+Alt+N and Ctrl+Alt+S work only while a Quillhaven window is active on "
                     "this desktop.");
    switch (shortcuts::where()) {
    case shortcuts::Where::Gnome:
        noticeBar_->showAction(
            limit + QLatin1Char(' ') +
                QCoreApplication::translate(
                    "Dashboard", "Quillhaven can add them to GNOME's keyboard settings."),
            QCoreApplication::translate("Dashboard", "Add Shortcuts"),
            [this] { shortcuts::add(this, [this](bool ok) { shortcutsAdded(ok); }); },
            std::chrono::milliseconds(0));
        break;
    case shortcuts::Where::Sway:
        showNotice(limit + QLatin1Char(' ') +
                   QCoreApplication::translate("Dashboard",
                                               "To use them everywhere, add these lines to sway's "
                                               "configuration:") +
                   QLatin1Char('\n') + shortcuts::swayLines());
        break;
    case shortcuts::Where::None:
        showNotice(limit + QLatin1Char(' ') +
                   QCoreApplication::translate(
                       "Dashboard",
                       "To use them everywhere, bind them in the desktop's keyboard settings to "
                       "the commands \u201Cquillhaven --toggle-dashboard\u201D and "
                       "\u201Cquillhaven --capture\u201D."));
        break;
    }
}

void DashboardView::shortcutsAdded(bool ok)
{
    namespace shortcuts = platform::desktopshortcuts;
    if (!ok) {
        showNotice(QCoreApplication::translate(
            "Dashboard", "The shortcuts could not be added to GNOME's keyboard settings."));
        return;
    }
    noticeBar_->showAction(
        QCoreApplication::translate("Dashboard",
                                    "Ctrl+Alt+N and Ctrl+Alt+S now work everywhere. They are "
                                    "listed in GNOME's Settings under Keyboard, Custom "
                                    "Shortcuts."),
        QCoreApplication::translate("Dashboard", "Remove"),
        [this] {
            shortcuts::remove(this, [this](bool removed) {
                showNotice(removed ? QCoreApplication::translate(
                                         "Dashboard", "The shortcuts were removed again.")
                                   : QCoreApplication::translate(
                                         "Dashboard", "The shortcuts could not be removed."));
            });
        },
        std::chrono::milliseconds(0));
}

QWidget* DashboardView::buildSidebar()
{
    auto* column = new QWidget(this);
    column->setMinimumWidth(std::max(190, SidebarDelegate::widthForOwnTitles(font())));
    column->setMaximumWidth(std::max(280, column->minimumWidth()));
    paintBackground(column, Ground::Sidebar);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 10, 0, 0);
    layout->setSpacing(6);

    search_ = new QLineEdit(column);
    search_->setPlaceholderText(QCoreApplication::translate("Dashboard", "Search"));
    search_->setAccessibleName(QCoreApplication::translate("Dashboard", "Search"));
    search_->setClearButtonEnabled(true);
    // The field's icon buttons speak their action's text to a screen reader.
    if (auto* clear = search_->findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction"))) {
        clear->setText(QCoreApplication::translate("Dashboard", "Clear Search"));
    }
    searchIcon_ = search_->addAction(QIcon(), QLineEdit::LeadingPosition);
    searchIcon_->setText(QCoreApplication::translate("Dashboard", "Search"));
    connect(search_, &QLineEdit::textChanged, this, [this] {
        refreshList();
        dropHiddenSelection();
    });
    auto* searchBox = new QHBoxLayout;
    searchBox->setContentsMargins(10, 0, 10, 0);
    searchBox->addWidget(search_);
    layout->addLayout(searchBox);

    sidebarModel_ = new SidebarModel(this);
    sidebarView_ = new DashListView(column);
    sidebarView_->setModel(sidebarModel_);
    sidebarView_->setItemDelegate(new SidebarDelegate(sidebarView_));
    sidebarView_->setAccessibleName(QCoreApplication::translate("Dashboard", "Sidebar"));
    paintBackground(sidebarView_, Ground::Sidebar);
    sidebarView_->viewport()->setAutoFillBackground(false);
    connect(sidebarView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DashboardView::onSidebarSelection);
    const auto activate = [this](const QModelIndex& index) {
        if (index.data(SidebarModel::KindRole).toInt() ==
            static_cast<int>(SidebarRow::Kind::NewFolder)) {
            askNewFolder();
        }
    };
    connect(sidebarView_, &QListView::clicked, this, activate);
    connect(sidebarView_, &QListView::activated, this, activate);
    layout->addWidget(sidebarView_, 1);
    return column;
}

QWidget* DashboardView::buildList()
{
    auto* column = new QWidget(this);
    column->setMinimumWidth(250);
    column->setMaximumWidth(400);
    paintBackground(column, Ground::List);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QWidget(column);
    header->setFixedHeight(48);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(18, 6, 10, 2);
    listTitle_ = new ElidedLabel(header);
    QFont titleFont = font();
    titleFont.setPixelSize(16);
    titleFont.setWeight(QFont::Bold);
    listTitle_->setFont(titleFont);
    headerRow->addWidget(listTitle_, 1);

    newNoteButton_ = new QToolButton(header);
    newNoteButton_->setAutoRaise(true);
    newNoteButton_->setIconSize(QSize(18, 18));
    newNoteButton_->setText(QCoreApplication::translate("Dashboard", "New Note"));
    newNoteButton_->setToolTip(QCoreApplication::translate("Dashboard", "New Note"));
    newNoteButton_->setAccessibleName(QCoreApplication::translate("Dashboard", "New Note"));
    connect(newNoteButton_, &QToolButton::clicked, this, &DashboardView::newNote);
    headerRow->addWidget(newNoteButton_);
    layout->addWidget(header);

    listModel_ = new NoteListModel(this);
    listView_ = new DashListView(column);
    listView_->setModel(listModel_);
    listView_->setItemDelegate(new NoteRowDelegate(listView_));
    listView_->setAccessibleName(QCoreApplication::translate("Dashboard", "Notes"));
    paintBackground(listView_, Ground::List);
    connect(listView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DashboardView::onListSelection);
    connect(listView_, &DashListView::deletePressed, this, &DashboardView::trashRow);
    connect(listView_, &QListView::activated, this, &DashboardView::openRow);
    listView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listView_, &QWidget::customContextMenuRequested, this, &DashboardView::showRowMenu);

    listPlaceholder_ = new Placeholder(column);
    listStack_ = new QStackedWidget(column);
    listStack_->addWidget(listView_);
    listStack_->addWidget(listPlaceholder_);
    layout->addWidget(listStack_, 1);
    return column;
}

QWidget* DashboardView::buildDetail()
{
    detailStack_ = new QStackedWidget(this);
    detailStack_->setMinimumWidth(std::max(300, NoteEditor::narrowestWidth(font())));
    paintBackground(detailStack_, Ground::List);
    detailPlaceholder_ = new Placeholder(detailStack_);
    detailPlaceholder_->set(
        paint::Glyph::NoteText, QCoreApplication::translate("Dashboard", "No Note Selected"),
        QCoreApplication::translate("Dashboard", "Pick a note from the list, or start a new one."));
    detailStack_->addWidget(detailPlaceholder_);
    return detailStack_;
}

void DashboardView::buildFolderDialog()
{
    folderDialog_ = new QDialog(this);
    folderDialog_->setWindowTitle(QCoreApplication::translate("Dashboard", "New Folder"));
    folderDialog_->setWindowModality(Qt::WindowModal);
    folderDialog_->setAccessibleName(QCoreApplication::translate("Dashboard", "New Folder"));
    auto* layout = new QVBoxLayout(folderDialog_);
    auto* title = new QLabel(QCoreApplication::translate("Dashboard", "New Folder"), folderDialog_);
    QFont bold = title->font();
    bold.setWeight(QFont::Bold);
    title->setFont(bold);
    layout->addWidget(title);
    folderName_ = new QLineEdit(folderDialog_);
    folderName_->setPlaceholderText(QCoreApplication::translate("Dashboard", "Name"));
    folderName_->setAccessibleName(QCoreApplication::translate("Dashboard", "Name"));
    folderName_->setMinimumWidth(240);
    layout->addWidget(folderName_);
    auto* buttons = new QDialogButtonBox(folderDialog_);
    QPushButton* create = buttons->addButton(QCoreApplication::translate("Dashboard", "Create"),
                                             QDialogButtonBox::AcceptRole);
    buttons->addButton(QCoreApplication::translate("Dashboard", "Cancel"),
                       QDialogButtonBox::RejectRole);
    create->setDefault(true);
    create->setEnabled(false);
    // Said before the click: a name that is there already would otherwise do nothing.
    auto* taken = new QLabel(
        QCoreApplication::translate("Dashboard", "There is a folder of this name already."),
        folderDialog_);
    taken->hide();
    layout->addWidget(taken);
    connect(folderName_, &QLineEdit::textChanged, this, [this, create, taken](const QString& text) {
        const QString name = FolderNames::typed(text);
        const bool exists = app_ && app_->folders().contains(name);
        taken->setVisible(exists);
        create->setEnabled(!name.isEmpty() && !exists);
    });
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, folderDialog_, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, folderDialog_, &QDialog::reject);
    connect(folderDialog_, &QDialog::accepted, this, [this] {
        if (app_) {
            app_->addFolder(folderName_->text());
        }
    });
    // The typed name never lingers for the next time, whichever way the prompt closed.
    connect(folderDialog_, &QDialog::finished, folderName_, &QLineEdit::clear);
}

void DashboardView::installShortcuts()
{
    // Escape empties the search, as search fields do (New Note and Search are in the menu).
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), search_);
    clear->setContext(Qt::WidgetShortcut);
    connect(clear, &QShortcut::activated, search_, &QLineEdit::clear);
}

void DashboardView::setFilter(const std::optional<NoteFilter>& filter)
{
    filter_ = filter;
    showSidebarSelection();
    refreshList();
    dropHiddenSelection();
}

void DashboardView::setSelected(const std::optional<QUuid>& id)
{
    selected_ = id;
    if (app_) {
        app_->setDashboardSelection(selectedNote());
    }
    showListSelection();
    refreshDetail();
}

NoteModel* DashboardView::selectedNote() const
{
    if (!selected_ || !app_) {
        return nullptr;
    }
    for (NoteModel* note : app_->notes()) {
        if (note->id() == *selected_) {
            return note;
        }
    }
    return nullptr;
}

QString DashboardView::search() const
{
    return search_->text();
}

void DashboardView::setSearch(const QString& text)
{
    search_->setText(text);
}

void DashboardView::newNote()
{
    const NoteFilter current = filter();
    if (!app_ || current.kind() == NoteFilter::Kind::Deleted) {
        return;
    }
    const std::optional<QString> folder = current.kind() == NoteFilter::Kind::Folder
                                              ? std::optional(current.payload())
                                              : std::nullopt;
    const QString color =
        current.kind() == NoteFilter::Kind::Color ? current.payload() : QStringLiteral("yellow");
    NoteModel* note = app_->newNote(folder, color);
    refreshNow();
    setSelected(note->id());
    if (editor_) {
        editor_->textEdit()->setFocus();
    }
}

void DashboardView::askNewFolder()
{
    folderDialog_->open();
    folderName_->setFocus();
}

void DashboardView::focusSearch()
{
    search_->setFocus(Qt::ShortcutFocusReason);
    search_->selectAll();
}

void DashboardView::scheduleRefresh()
{
    if (refreshPending_) {
        return;
    }
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_) {
            refreshNow();
        }
    });
}

void DashboardView::refreshNow()
{
    refreshPending_ = false;
    if (app_) {
        observeNotes();
        index_.prune(app_->notes());
    }
    refreshSidebar();
    refreshList();
    refreshDetail();
}

void DashboardView::observeNotes()
{
    for (NoteModel* note : app_->notes()) {
        if (observed_.contains(note)) {
            continue;
        }
        observed_.insert(note);
        connect(note, &NoteModel::changed, this, [this](NoteModel::Field field) {
            if (listed(field)) {
                scheduleRefresh();
            }
        });
        connect(note, &QObject::destroyed, this, [this, note] { observed_.remove(note); });
    }
}

void DashboardView::refreshSidebar()
{
    const QList<NoteModel*> notes = app_ ? app_->notes() : QList<NoteModel*>();
    counts_ = dash::Counts(notes);
    tags_ = dash::allTags(notes, index_);
    const QStringList folders = app_ ? app_->folders() : QStringList();
    if (sidebarModel_->setContent(folders, tags_, counts_)) {
        showSidebarSelection();
    }
}

void DashboardView::refreshList()
{
    const NoteFilter current = filter();
    const QList<NoteModel*> notes = app_ ? app_->notes() : QList<NoteModel*>();
    visible_ = dash::visibleNotes(notes, current, search_->text(), index_);
    groups_ = dash::groupNotes(visible_, current, platform::now());

    const int scroll = listView_->verticalScrollBar()->value();
    placing_ = true;
    const bool rowsChanged = listModel_->setGroups(groups_);
    placing_ = false;
    if (rowsChanged) {
        showListSelection();
        listView_->verticalScrollBar()->setValue(scroll);
    }

    const bool deleted = current.kind() == NoteFilter::Kind::Deleted;
    listPlaceholder_->set(deleted ? paint::Glyph::Trash : paint::Glyph::NoteText,
                          search_->text().isEmpty()
                              ? QCoreApplication::translate("Dashboard", "No Notes")
                              : QCoreApplication::translate("Dashboard", "No Results"));
    listStack_->setCurrentWidget(visible_.isEmpty() ? static_cast<QWidget*>(listPlaceholder_)
                                                    : listView_);
    newNoteButton_->setEnabled(!deleted);
    listTitle_->setFullText(filterTitle(current));
}

void DashboardView::refreshDetail()
{
    NoteModel* note = selectedNote();
    if (editor_ && editor_->note() == note && note) {
        return;
    }
    if (editor_) {
        // The old editor may be the sender of the deselect that brought us here.
        detailStack_->removeWidget(editor_);
        editor_->hide();
        editor_->deleteLater();
        editor_ = nullptr;
    }
    if (note) {
        editor_ = new NoteEditor(
            note, app_, [this] { setSelected(std::nullopt); }, detailStack_);
        connect(editor_, &NoteEditor::trashed, this, &DashboardView::offerUndo);
        detailStack_->addWidget(editor_);
        detailStack_->setCurrentWidget(editor_);
    } else {
        detailStack_->setCurrentWidget(detailPlaceholder_);
    }
}

void DashboardView::showSidebarSelection()
{
    const int row = filter_ ? sidebarModel_->rowOf(*filter_) : -1;
    placing_ = true;
    if (row >= 0) {
        sidebarView_->selectionModel()->setCurrentIndex(sidebarModel_->index(row),
                                                        QItemSelectionModel::ClearAndSelect);
    } else {
        sidebarView_->selectionModel()->clearSelection();
    }
    placing_ = false;
}

void DashboardView::showListSelection()
{
    const int row = selected_ ? listModel_->rowOf(*selected_) : -1;
    placing_ = true;
    if (row >= 0) {
        listView_->selectionModel()->setCurrentIndex(listModel_->index(row),
                                                     QItemSelectionModel::ClearAndSelect);
    } else {
        listView_->selectionModel()->clearSelection();
    }
    placing_ = false;
}

void DashboardView::onSidebarSelection()
{
    if (placing_) {
        return;
    }
    const QModelIndexList rows = sidebarView_->selectionModel()->selectedIndexes();
    if (rows.isEmpty()) {
        return; // the selection always names a filter: clicks outside the rows keep it
    }
    const QVariant filter = rows.first().data(SidebarModel::FilterRole);
    if (filter.isValid()) {
        setFilter(filter.value<NoteFilter>());
    }
}

void DashboardView::onListSelection()
{
    if (placing_) {
        return;
    }
    const QModelIndexList rows = listView_->selectionModel()->selectedIndexes();
    NoteModel* note = rows.isEmpty() ? nullptr : listModel_->noteAt(rows.first().row());
    setSelected(note ? std::optional(note->id()) : std::nullopt);
}

void DashboardView::dropHiddenSelection()
{
    // A note the user filtered away is no longer theirs to act on: the editor lets go of it.
    // (A note that leaves the list because it changed keeps its editor.)
    NoteModel* note = selectedNote();
    if (selected_ && (!note || !visible_.contains(note))) {
        setSelected(std::nullopt);
    }
}

void DashboardView::openRow(const QModelIndex& row)
{
    // Return (or a double click) on a live note brings its window out and gives it the
    // keyboard: the way to a note on the screen without the mouse.
    NoteModel* note = listModel_->noteAt(row.row());
    if (!app_ || !note || note->deletedAt()) {
        return;
    }
    app_->drop(note);
    if (Panel* panel = app_->window(note)) {
        panel->makeKey();
    }
}

void DashboardView::showRowMenu(const QPoint& at)
{
    NoteModel* note = listModel_->noteAt(listView_->indexAt(at).row());
    if (!app_ || !note || note->deletedAt()) {
        return;
    }
    QMenu menu;
    const QDateTime now = platform::now();
    reminderMenu::addBoth(menu, reminders::menuChoices(now),
                          note->remindAt().value_or(now.addSecs(3600)),
                          note->remindAt().has_value(), app_->reminders().reminding(note),
                          app_->reminders().tuckingUntil(note));
    menu.exec(listView_->viewport()->mapToGlobal(at));
}

void DashboardView::trashRow(const QModelIndex& row)
{
    NoteModel* note = listModel_->noteAt(row.row());
    if (!app_ || !note || note->id() != selected_ || note->deletedAt()) {
        return;
    }
    setSelected(std::nullopt);
    app_->trash(note);
    offerUndo(note);
}

void DashboardView::offerUndo(NoteModel* note)
{
    trashed_ = note;
    const QString title = note->title().isEmpty()
                              ? QCoreApplication::translate("Dashboard", "New Note")
                              : note->title();
    constexpr std::chrono::seconds offered(8);
    offerNotice_->showAction(
        QCoreApplication::translate("Dashboard", "“%1” moved to Recently Deleted.").arg(title),
        QCoreApplication::translate("Dashboard", "Undo"), [this] { undo(); }, offered);
    placeOfferNotice();
}

void DashboardView::offerImport()
{
    if (!app_ || !isVisible()) {
        return;
    }
    const auto offer = app_->transfers().takeOffer();
    if (!offer) {
        return;
    }
    const QString text =
        offer->notes == 1
            ? QCoreApplication::translate("Dashboard", "Found 1 note from %1. Import it?")
                  .arg(offer->program)
            : QCoreApplication::translate("Dashboard", "Found %1 notes from %2. Import them?")
                  .arg(offer->notes)
                  .arg(offer->program);
    const QPointer<AppController> app(app_);
    offerNotice_->showAction(
        text, QCoreApplication::translate("Dashboard", "Import"),
        [app, source = offer->source] {
            if (app) {
                app->transfers().importFrom(source);
            }
        },
        std::chrono::milliseconds(0));
    placeOfferNotice();
}

void DashboardView::undo()
{
    const bool offered = !offerNotice_->isHidden();
    if (!app_ || !trashed_ || !trashed_->deletedAt() || !offered) {
        return;
    }
    NoteModel* note = trashed_;
    trashed_ = nullptr;
    offerNotice_->hide();
    app_->restore(note);
    setSelected(note->id());
}
