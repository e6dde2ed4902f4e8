#pragma once

#include "model/Store.h"

#include <QString>
#include <QStringList>

// Where the notes go when their own folder cannot take them at the end of the program: a file
// of their own in a folder that still can, so the last changes survive a full or read-only
// disk.
namespace Store {

// The user's cache folder for the program, then the home folder.
QStringList emergencyFolders();
// Writes the snapshot's records as a notes file under a new name in the first of `folders`
// that takes it; returns that file, or an empty string when none did.
QString writeEmergencyCopy(const Snapshot& snapshot, const QStringList& folders);

} // namespace Store
