#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// Ctrl+Alt+N and Ctrl+Alt+S bound to the program's commands in the desktop's own keyboard
// settings, for desktops where the program's own keys reach only its own windows. GNOME lets
// another program add custom shortcuts (its media-keys settings, through gsettings); sway reads
// them from its configuration, which the user pastes.
namespace platform::desktopshortcuts {

enum class Where { None, Gnome, Sway };
Where where();

// The lines for sway's configuration, with this executable's path.
QString swayLines();

// Adds the two shortcuts (or removes them again) on a worker; `done` runs on the GUI thread,
// while `context` lives, with whether they are there (or gone) when read back.
void add(QObject* context, std::function<void(bool)> done);
void remove(QObject* context, std::function<void(bool)> done);

// The custom shortcuts' setting paths as gsettings prints the list, and the list it takes.
QStringList parseList(const QString& printed);
QString printList(const QStringList& paths);

} // namespace platform::desktopshortcuts
