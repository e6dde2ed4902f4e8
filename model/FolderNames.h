#pragma once

#include <QString>
#include <QStringList>

// The folders every notes file starts with are stored under their English names, whatever the
// language of the computer that made them: notes synced between computers in two languages
// stay in their folders. Only their display is translated.
namespace FolderNames {

// "Personal", "Work", "Ideas", as stored.
const QStringList& defaults();

// What the user reads: a default folder in the user's language, any other name as typed.
QString shown(const QString& stored);

// What is stored: a default folder's name in any language the program ships (as an older
// version stored it) becomes its stored name; any other name stays as it is.
QString stored(const QString& name);

// What a name the user typed for a new folder is stored as: without spaces and tabs at either
// end, and a default folder's name in any shipped language as its own.
QString typed(const QString& name);

} // namespace FolderNames
