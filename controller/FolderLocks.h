#pragma once

#include "platform/FileLock.h"

#include <QString>

// The lock that keeps a second copy of the program out of the notes folder, as a move of the
// notes needs it: the new folder's lock is taken beside the one held, then one of the two let
// go.
class FolderLocks {
public:
    virtual ~FolderLocks() = default;

    // Takes the lock of `folder` as well: Taken; Held when another copy has it; Failed when no
    // lock can be made there (a folder that cannot be written in).
    virtual platform::FileLock::State claim(const QString& folder) = 0;
    // After a claim: `moved` keeps the new folder's lock and lets the old one go, otherwise the
    // new one goes.
    virtual void settle(bool moved) = 0;
};

// The lock file of a notes folder. Kept outside it, in this user's state folder
// ($XDG_STATE_HOME, else ~/.local/state) under a name made from the folder's real path: inside,
// a sync tool would carry it to other computers and could replace it, and anyone able to write
// in the folder could put something in its way.
QString folderLockPath(const QString& folder);
