#pragma once

#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

// The program's main menu: "Quillhaven" (Notes Folder…, Close Window, Quit Quillhaven) and "Edit"
// (Undo, Redo, Cut, Copy, Paste, Select All, Check Spelling). Its key equivalents work in every
// window of the program: the actions are attached to each window as it is shown. A focused text
// field still takes its own standard keys first (undo, redo, copy...), so the actions only act for
// widgets that do not, and when chosen from a menu.
class MainMenu : public QObject {
    Q_OBJECT
public:
    explicit MainMenu(QObject* parent = nullptr);
    ~MainMenu() override;

    // "Quillhaven" then "Edit", for a window's menu bar. The menus stay owned here.
    QList<QMenu*> menus() const;
    QList<QAction*> actions() const;

Q_SIGNALS:
    // "Notes Folder…" was chosen.
    void notesFolderAsked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildAppMenu();
    void buildEditMenu();
    QAction* addAction(QMenu* menu, const QString& title, const QKeySequence& keys);
    void attachTo(QWidget* window) const;

    std::unique_ptr<QMenu> appMenu_;
    std::unique_ptr<QMenu> editMenu_;
    QList<QAction*> actions_;
};

// Builds the main menu once for the running application; "Notes Folder…" calls
// `chooseNotesFolder`.
void buildMainMenu(std::function<void()> chooseNotesFolder = {});
// The menus of the main menu, empty before buildMainMenu().
QList<QMenu*> mainMenus();

// What the menu items do, for the window or widget that has the keyboard.
void closeActiveWindow();
// Sends an edit command ("undo", "redo", "cut", "copy", "paste", "selectAll") to the focused
// widget, or the nearest enclosing widget that has it, as a first responder would.
bool forwardEditCommand(const char* command);
