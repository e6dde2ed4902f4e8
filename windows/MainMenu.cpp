#include "windows/MainMenu.h"

#include "platform/Spelling.h"
#include "windows/Panel.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace {

QPointer<MainMenu>& installedMenu()
{
    static QPointer<MainMenu> menu;
    return menu;
}

// Ordinary windows and dialogs close on Ctrl+W. The note, pad and viewer panels have no close
// control, so the key does nothing there.
bool closesOnCommand(const QWidget* window)
{
    // Notes, the pad and the viewer are panels, left alone by Close Window.
    const Qt::WindowType type = window->windowType();
    return (type == Qt::Window || type == Qt::Dialog) &&
           qobject_cast<const Panel*>(window) == nullptr;
}

bool takesMenuActions(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    const bool windowKind = type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
    // A window that lists its actions as its context menu must not grow these items.
    return windowKind && qobject_cast<const QMenu*>(window) == nullptr &&
           window->contextMenuPolicy() != Qt::ActionsContextMenu;
}

} // namespace

MainMenu::MainMenu(QObject* parent)
    : QObject(parent)
    , appMenu_(std::make_unique<QMenu>(QStringLiteral("Quillhaven")))
    , editMenu_(std::make_unique<QMenu>(QCoreApplication::translate("MainMenu", "Edit")))
{
    buildAppMenu();
    buildEditMenu();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            attachTo(window);
        }
    }
    qApp->installEventFilter(this);
}

MainMenu::~MainMenu() = default;

void MainMenu::buildAppMenu()
{
    // No key: a rare choice, made from the menu.
    connect(appMenu_->addAction(QCoreApplication::translate("MainMenu", "Notes Folder…")),
            &QAction::triggered, this, &MainMenu::notesFolderAsked);
    appMenu_->addSeparator();
    // Fixed sequences rather than the desktop's standard keys (Ctrl+F4, Ctrl+Y...), so the
    // keys are the same on every desktop.
    connect(addAction(appMenu_.get(), QCoreApplication::translate("MainMenu", "Close Window"),
                      QKeySequence(Qt::CTRL | Qt::Key_W)),
            &QAction::triggered, this, [] { closeActiveWindow(); });
    appMenu_->addSeparator();
    connect(addAction(appMenu_.get(), QCoreApplication::translate("MainMenu", "Quit Quillhaven"),
                      QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, [] { QCoreApplication::quit(); });
}

void MainMenu::buildEditMenu()
{
    struct Item {
        const char* title;
        QKeySequence keys;
        const char* command;
    };
    const Item items[] = {
        {QT_TRANSLATE_NOOP("MainMenu", "Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), "undo"},
        {QT_TRANSLATE_NOOP("MainMenu", "Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
         "redo"},
        {nullptr, {}, nullptr},
        {QT_TRANSLATE_NOOP("MainMenu", "Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), "cut"},
        {QT_TRANSLATE_NOOP("MainMenu", "Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), "copy"},
        {QT_TRANSLATE_NOOP("MainMenu", "Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), "paste"},
        {QT_TRANSLATE_NOOP("MainMenu", "Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
         "selectAll"},
    };
    for (const Item& item : items) {
        if (item.title == nullptr) {
            editMenu_->addSeparator();
            continue;
        }
        const char* command = item.command;
        connect(addAction(editMenu_.get(), QCoreApplication::translate("MainMenu", item.title),
                          item.keys),
                &QAction::triggered, this, [command] { forwardEditCommand(command); });
    }
    editMenu_->addSeparator();
    editMenu_->addAction(platform::Spelling::shared().toggleAction(editMenu_.get()));
}

QAction* MainMenu::addAction(QMenu* menu, const QString& title, const QKeySequence& keys)
{
    QAction* action = menu->addAction(title);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::ApplicationShortcut);
    actions_ << action;
    return action;
}

QList<QMenu*> MainMenu::menus() const
{
    return {appMenu_.get(), editMenu_.get()};
}

QList<QAction*> MainMenu::actions() const
{
    return actions_;
}

void MainMenu::attachTo(QWidget* window) const
{
    if (!takesMenuActions(window) || window->actions().contains(actions_.constFirst())) {
        return;
    }
    window->addActions(actions_);
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow()) {
            attachTo(widget);
        }
    }
    return false;
}

void buildMainMenu(std::function<void()> chooseNotesFolder)
{
    if (installedMenu().isNull()) {
        installedMenu() = new MainMenu(qApp);
        if (chooseNotesFolder) {
            QObject::connect(installedMenu(), &MainMenu::notesFolderAsked, qApp,
                             std::move(chooseNotesFolder));
        }
    }
}

QList<QMenu*> mainMenus()
{
    return installedMenu().isNull() ? QList<QMenu*>{} : installedMenu()->menus();
}

void closeActiveWindow()
{
    QWidget* window = QApplication::activeWindow();
    if (window != nullptr && closesOnCommand(window)) {
        window->close();
    }
}

bool forwardEditCommand(const char* command)
{
    const QByteArray signature = QByteArray(command) + "()";
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
         widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        if (widget->metaObject()->indexOfMethod(signature.constData()) >= 0) {
            return QMetaObject::invokeMethod(widget, command);
        }
    }
    return false;
}
