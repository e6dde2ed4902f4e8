#pragma once

class AppController;
class QMenu;

// Fills the pad's context menu with the application-wide commands. The "Open at Login" item
// shows the login item's state as it is when the menu is built.
void fillPadMenu(QMenu& menu, AppController* app);
