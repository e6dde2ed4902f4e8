#pragma once

#include <QString>

class QWidget;

namespace platform {

// The folder a file dialog opens in: the one the user last chose a file in, kept in the
// settings under "lastDialogFolder" so it outlives the session, while it still exists; else
// the Pictures folder; else home. Never the program's working folder.
QString dialogFolder();

// Remembers the folder of a file the user chose; an empty path (a cancelled dialog) changes
// nothing.
void rememberDialogChoice(const QString& chosenFile);

// Notes float above ordinary windows; a file dialog the user opened from one, or from the
// dashboard, must not open underneath them.
void keepAboveNotes(QWidget* dialog);

} // namespace platform
