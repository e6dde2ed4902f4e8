#pragma once

#include "model/DiskFile.h"
#include "model/FolderWatch.h"
#include "model/NoteData.h"
#include "model/Tombstones.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>
#include <vector>

class AppController;
namespace RemoteFiles {
struct Reading;
}

// Notes changed on other computers (RemoteChanges.cpp): watches the notes folder, reads what
// changed there on a worker and merges it into the live notes.
class RemoteChanges : public QObject {
public:
    explicit RemoteChanges(AppController& app)
        : app_(app)
    {
    }

    // Watches `folder`, the notes folder, in place of the folder watched before, and looks at
    // it at once.
    void watchFolder(const QString& folder);
    void look();
    // A merge is being applied: one save at its end.
    bool holdsSaves() const { return holdSaves_; }
    // The version of the notes file merged last: every later save holds its notes, so finding
    // it in the file's place is no remote change.
    const std::optional<DiskFile::Stamp>& mergedFrom() const { return mergedFrom_; }
    void submitted(quint64 sequence) { lastSubmitted_ = sequence; }
    // Nothing the folder showed is still waiting to be read or merged.
    bool idle() const { return !reading_ && !watch_.settling(); }

    // Merges notes of this computer's own past (a backup) into the live notes, by the same
    // rules as another computer's, with `tombstones` in place of those beside the notes file;
    // saves both. Returns how many notes changed, came or went.
    int mergeBack(const QList<NoteData>& notes, const Tombstones& tombstones);

private:
    void found(RemoteFiles::Reading reading);
    void read(const RemoteFiles::Reading& reading);
    void merge(const RemoteFiles::Reading& reading);
    void applyMerged(const QList<NoteData>& merged, int* changes);
    void removeMergedCopies(quint64 written);
    void awaitImages();
    void lookForImages();

    AppController& app_;
    FolderWatch watch_;
    std::optional<DiskFile::Stamp> mergedFrom_;
    bool reading_ = false;   // a read is on the worker
    QDateTime noticed_;      // when the earliest change not yet read was seen
    QDateTime readNoticed_;  // the same, for the read on the worker
    bool readAgain_ = false; // something changed while it was
    bool holdSaves_ = false;
    // The tombstones as last merged: new ones remove notes even when no notes file changed.
    Tombstones knownTombstones_;
    // Per note: how many of this computer's changes the notes file written elsewhere held when
    // last read (see Merge::merge).
    QHash<QUuid, quint64> seenThere_;
    // The notes a merge adopted or added, while it is applied: only these are compared.
    QSet<QUuid> touched_;
    quint64 lastSubmitted_ = 0;
    // Conflict copies merged, removed once the save holding them is on disk.
    struct Merged {
        quint64 sequence = 0;
        QStringList files;
    };
    std::vector<Merged> mergedCopies_;
    // Pictures named by a note whose files have not arrived yet.
    QSet<QString> awaited_;
    // Copies of the notes file that do not read, each told to the user once.
    QSet<QString> toldUnreadable_;
};
