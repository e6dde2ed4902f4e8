#pragma once

#include <QString>

// Open at login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/<desktop id>.desktop,
// whose Exec line starts this executable with --login-item.

// Writes (true) or removes (false) the autostart entry. A failure logs one line and changes
// nothing else; callers read the state back with openAtLoginEnabled().
void setOpenAtLogin(bool enabled);

// True while the entry exists and the desktop has not hidden it (Hidden=true).
bool openAtLoginEnabled();

// Where the entry lives, following XDG_CONFIG_HOME.
QString loginItemPath();

// The Exec value for an executable path, quoted as desktop entries require when the path
// holds spaces or other reserved characters.
QString loginItemExec(const QString& executable);

// The whole autostart entry that starts the given executable.
QByteArray loginItemEntry(const QString& executable);
