#pragma once

#include "model/DiskFile.h"
#include "model/FolderWatch.h"
#include "model/Tombstones.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>
#include <vector>

// What the controller keeps for merging notes changed outside (Outside.cpp).
struct OutsideState {
    FolderWatch watch;
    // The version of the notes file merged last: every later save holds its notes, so finding
    // it in the file's place is no outside change.
    std::optional<DiskFile::Stamp> mergedFrom;
    bool reading = false;   // a read is on the worker
    bool readAgain = false; // something changed while it was
    bool holdSaves = false; // a merge is being applied: one save at its end
    // The tombstones as last merged: new ones remove notes even when no notes file changed.
    Tombstones knownTombstones;
    // The notes a merge adopted or added, while it is applied: only these are compared.
    QSet<QUuid> touched;
    quint64 lastSubmitted = 0;
    // Conflict copies merged, removed once the save holding them is on disk.
    struct Merged {
        quint64 sequence = 0;
        QStringList files;
    };
    std::vector<Merged> mergedCopies;
    // Pictures named by a note whose files have not arrived yet.
    QSet<QString> awaited;
    // Copies of the notes file that do not read, each told to the user once.
    QSet<QString> toldUnreadable;
};
