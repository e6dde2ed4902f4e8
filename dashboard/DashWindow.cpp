#include "dashboard/DashWindow.h"

#include "controller/AppController.h"
#include "controller/ImageQueue.h"
#include "controller/Transfers.h"
#include "dashboard/DashboardView.h"
#include "dashboard/RestoreDialog.h"
#include "model/Images.h"
#include "platform/Desktop.h"
#include "windows/MainMenu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTimer>

namespace {

const QString frameKey = QStringLiteral("Dashboard");

bool isPasteKey(const QKeyEvent* key)
{
    // Exactly Ctrl (Qt reports no Caps Lock modifier, so the key works with it on).
    return key->key() == Qt::Key_V && key->modifiers() == Qt::ControlModifier;
}

// Return and Enter press the focused button, as Space does: outside a dialog the toolkit
// leaves them to the window.
bool pressesButton(QObject* receiver, const QKeyEvent* key)
{
    auto* button = qobject_cast<QAbstractButton*>(receiver);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (button == nullptr || !enter || key->modifiers() != Qt::NoModifier || !button->isEnabled() ||
        !button->hasFocus()) {
        return false;
    }
    button->animateClick();
    return true;
}

} // namespace

DashWindow::DashWindow(AppController* controller, QWidget* parent)
    : QMainWindow(parent)
    , app(controller)
{
    setWindowTitle(QCoreApplication::translate("Dashboard", "All Notes"));
    resize(1000, 640);
    view_ = new DashboardView(controller, this);
    setCentralWidget(view_);
    // Wider where a language's titles need it: the panes' minimums hold whole.
    setMinimumSize(QSize(760, 440).expandedTo(view_->minimumSizeHint()));
    const QList<QMenu*> menus = mainMenus();
    for (qsizetype i = 0; i < menus.size(); ++i) {
        menuBar()->addMenu(menus[i]);
        if (i == 0) {
            menuBar()->addMenu(buildFileMenu());
            menuBar()->addMenu(buildNotesMenu());
        }
    }
    if (menus.isEmpty()) {
        menuBar()->addMenu(buildFileMenu());
        menuBar()->addMenu(buildNotesMenu());
    }

    saveTimer_ = new QTimer(this);
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(400);
    connect(saveTimer_, &QTimer::timeout, this, &DashWindow::saveFrame);

    qApp->installEventFilter(this);
}

DashWindow::~DashWindow()
{
    qApp->removeEventFilter(this);
}

// Bringing notes in and taking them out.
QMenu* DashWindow::buildFileMenu()
{
    auto* menu = new QMenu(QCoreApplication::translate("Dashboard", "File"), this);
    connect(menu->addAction(QCoreApplication::translate("Dashboard", "Import Notes…")),
            &QAction::triggered, this, [this] {
                if (app) {
                    app->transfers().chooseImportFolder();
                }
            });
    connect(menu->addAction(QCoreApplication::translate("Dashboard", "Export Notes…")),
            &QAction::triggered, this, [this] {
                if (app) {
                    app->transfers().chooseExportFolder();
                }
            });
    menu->addSeparator();
    connect(menu->addAction(QCoreApplication::translate("Dashboard", "Restore from Backup…")),
            &QAction::triggered, this, [this] {
                if (app) {
                    auto* dialog = new RestoreDialog(app, this);
                    dialog->setAttribute(Qt::WA_DeleteOnClose);
                    dialog->open();
                }
            });
    return menu;
}

// The dashboard's own commands, in a menu where their keys can be found.
QMenu* DashWindow::buildNotesMenu()
{
    auto* menu = new QMenu(QCoreApplication::translate("Dashboard", "Notes"), this);
    const auto add = [this, menu](const char* title, const QKeySequence& keys,
                                  void (DashboardView::*command)()) {
        QAction* action = menu->addAction(QCoreApplication::translate("Dashboard", title));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, view_, command);
    };
    add(QT_TRANSLATE_NOOP("Dashboard", "New Note"), QKeySequence(Qt::CTRL | Qt::Key_N),
        &DashboardView::newNote);
    add(QT_TRANSLATE_NOOP("Dashboard", "New Folder…"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), &DashboardView::askNewFolder);
    menu->addSeparator();
    add(QT_TRANSLATE_NOOP("Dashboard", "Search"), QKeySequence(Qt::CTRL | Qt::Key_F),
        &DashboardView::focusSearch);
    return menu;
}

void DashWindow::restoreFrame()
{
    const QByteArray saved = QSettings().value(frameKey).toByteArray();
    if (!saved.isEmpty() && restoreGeometry(saved)) {
        return;
    }
    resize(1000, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void DashWindow::saveFrame() const
{
    QSettings().setValue(frameKey, saveGeometry());
}

void DashWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (isVisible()) {
        saveTimer_->start();
    }
}

void DashWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible()) {
        saveTimer_->start();
    }
}

void DashWindow::hideEvent(QHideEvent* event)
{
    saveTimer_->stop();
    saveFrame();
    QMainWindow::hideEvent(event);
}

bool DashWindow::ownsReceiver(QObject* watched) const
{
    return watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this;
}

bool DashWindow::canPasteImage() const
{
    NoteModel* note = app ? app->dashboardSelection() : nullptr;
    return note && !note->deletedAt() &&
           platform::desktop().clipboardKind() == platform::ClipboardContent::Kind::Image;
}

bool DashWindow::pasteImage()
{
    if (!canPasteImage()) {
        return false;
    }
    app->images().pasteImage(app->dashboardSelection());
    return true;
}

bool DashWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !ownsReceiver(watched)) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress && pressesButton(watched, key)) {
        return true;
    }
    // An owner that did not answer would hold up the text paste as well: the key is taken.
    const bool silent =
        platform::desktop().clipboardKind() == platform::ClipboardContent::Kind::Silent;
    if (!isPasteKey(key) || !(canPasteImage() || silent)) {
        return false; // the ordinary paste (text editor or Edit menu) goes ahead
    }
    if (type == QEvent::ShortcutOverride) {
        // Keep the Edit menu's Paste from taking the key: the key press comes here instead.
        event->accept();
        return true;
    }
    pasteImage();
    return true;
}
