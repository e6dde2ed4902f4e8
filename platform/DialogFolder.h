#pragma once

#include <QString>

namespace platform {

// The folder a file dialog opens in: the one the user last chose a file in, kept in the
// settings under "lastDialogFolder" so it outlives the session, while it still exists; else
// the Pictures folder; else home. Never the program's working folder.
QString dialogFolder();

// Remembers the folder of a file the user chose; an empty path (a cancelled dialog) changes
// nothing.
void rememberDialogChoice(const QString& chosenFile);

} // namespace platform
