#include "controller/RemoteChanges.h"

#include "controller/AppController.h"
#include "controller/NoteSizes.h"
#include "model/Images.h"
#include "model/Merge.h"
#include "model/NotesWriter.h"
#include "model/RemoteFiles.h"
#include "model/Snapshots.h"
#include "model/Store.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Notices.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThreadPool>
#include <algorithm>
#include <utility>

namespace {

// One reader at a time, so a large file is in memory once. Never destroyed: a read still under
// way when the program ends is dropped.
QThreadPool& reader()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

// Hands `reading` to the controller on the GUI thread, through the application object, which
// outlives the controller; dropped after exit.
template <typename Receive>
void answer(const QPointer<RemoteChanges>& weak, RemoteFiles::Reading reading, Receive receive)
{
    if (QCoreApplication* application = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            application,
            [weak, reading = std::move(reading), receive] {
                if (weak) {
                    (weak.data()->*receive)(reading);
                }
            },
            Qt::QueuedConnection);
    }
}

} // namespace

void RemoteChanges::watchFolder(const QString& folder)
{
    const QString notesFile = QDir(folder).filePath(QFileInfo(Store::url()).fileName());
    if (watch_.notesFile() != notesFile) {
        connect(&watch_, &FolderWatch::notesChanged, this, &RemoteChanges::look,
                Qt::UniqueConnection);
        // What changed may be room made for a save that failed: it need not wait its turn.
        connect(&watch_, &FolderWatch::notesChanged, &app_.writer(), &NotesWriter::retryNow,
                Qt::UniqueConnection);
        connect(&watch_, &FolderWatch::imagesChanged, this, &RemoteChanges::lookForImages,
                Qt::UniqueConnection);
        connect(&app_.writer(), &NotesWriter::written, this, &RemoteChanges::removeMergedCopies,
                Qt::UniqueConnection);
        // What was merged from the old folder says nothing of the new one.
        mergedFrom_.reset();
        watch_.watch(notesFile);
    }
    look();
    awaitImages();
}

void RemoteChanges::look()
{
    const QDateTime noticed = watch_.takeNoticed();
    noticed_ = noticed_.isNull() ? noticed : std::min(noticed_, noticed);
    if (reading_) {
        readAgain_ = true;
        return;
    }
    reading_ = true;
    readNoticed_ = std::exchange(noticed_, QDateTime());
    const QString path = Store::url();
    const int generation = platform::servicesGeneration();
    const std::optional<DiskFile::Stamp> merged = mergedFrom_;
    const QPointer<RemoteChanges> weak(this);
    reader().start([weak, path, generation, merged] {
        answer(weak, RemoteFiles::read(path, generation, merged), &RemoteChanges::found);
    });
}

// Most looks find nothing new. Only a look that found something takes the live notes' records
// (shared with the last save's snapshot, or read now), for the worker to leave out what they
// hold already.
void RemoteChanges::found(RemoteFiles::Reading reading)
{
    if (!reading.anything()) {
        read(reading);
        return;
    }
    const QList<NoteData> known = app_.records();
    const QPointer<RemoteChanges> weak(this);
    reader().start([weak, reading = std::move(reading), known]() mutable {
        RemoteFiles::dropKnown(reading, known);
        answer(weak, std::move(reading), &RemoteChanges::read);
    });
}

void RemoteChanges::read(const RemoteFiles::Reading& reading)
{
    reading_ = false;
    for (const QString& copy : reading.unreadable) {
        if (!toldUnreadable_.contains(copy)) {
            toldUnreadable_.insert(copy);
            platform::log(QStringLiteral("Quillhaven: a copy of the notes file does not read: ") +
                          copy);
            platform::Notices::shared().post(
                QCoreApplication::translate("Sync", "A copy of the notes file could not be read "
                                                    "and was left as it is: “%1”.")
                    .arg(QFileInfo(copy).fileName()));
        }
    }
    // Read for a notes file that is no longer ours (the folder moved meanwhile): read again.
    const bool current =
        reading.notesPath == Store::url() && reading.generation == platform::servicesGeneration();
    if (current && (reading.anything() || reading.tombstones != knownTombstones_)) {
        merge(reading);
    }
    if (current && reading.notesFileUnreadable) {
        // Written over by something that does not read: the next save sets that aside and puts
        // the notes back, even when nothing more is typed.
        app_.submitNotes();
    }
    if (std::exchange(readAgain_, false) || !current) {
        look();
    }
}

// Merged here, against the live notes as they are now, so nothing typed since the read is lost:
// the merge is quick, the reading was the slow part.
void RemoteChanges::merge(const RemoteFiles::Reading& reading)
{
    // What was read was made before it was first seen here, whatever the clock of the computer
    // that made it says: a delete dated later does not outweigh typing since.
    const QDateTime now = readNoticed_;
    // Read again: a note may have been deleted for good here since the worker looked.
    const QString tombstonesPath = TombstoneFile::pathBeside(reading.notesPath);
    const Tombstones onDisk = TombstoneFile::read(tombstonesPath);
    const Tombstones dead = TombstoneFile::united(reading.tombstones, onDisk);
    // What the other computer's file last held of ours outlives that file's later versions:
    // one that deleted a note no longer lists it.
    for (auto it = reading.seenThere.cbegin(); it != reading.seenThere.cend(); ++it) {
        quint64& count = seenThere_[it.key()];
        count = std::max(count, it.value());
    }
    Merge::Result merged = Merge::merge(
        app_.records(), dead, reading.notesFile ? reading.notesFile->records : QList<NoteData>(),
        {}, now, seenThere_);
    const bool revived = !merged.revived.isEmpty();
    QSet<QUuid>& touched = touched_;
    touched = QSet<QUuid>(merged.adopted.cbegin(), merged.adopted.cend());
    touched.unite(QSet<QUuid>(merged.added.cbegin(), merged.added.cend()));
    QStringList copies;
    for (const RemoteFiles::Copy& copy : reading.copies) {
        merged = Merge::merge(merged.notes, merged.tombstones, copy.notes, {}, now, seenThere_);
        touched.unite(QSet<QUuid>(merged.adopted.cbegin(), merged.adopted.cend()));
        touched.unite(QSet<QUuid>(merged.added.cbegin(), merged.added.cend()));
        copies << copy.path;
    }
    int changes = 0;
    applyMerged(merged.notes, &changes);
    touched.clear();
    knownTombstones_ = merged.tombstones;
    if (reading.notesFile) {
        mergedFrom_ = reading.notesFile->stamp;
    }
    const bool fileBehind = changes > 0 || (reading.notesFile && !reading.notesFileHoldsKnown);
    const quint64 durable = fileBehind ? app_.submitNotes() : lastSubmitted_;

    QString error;
    if (merged.tombstones == onDisk ||
        TombstoneFile::write(tombstonesPath, merged.tombstones, &error)) {
        copies << reading.tombstoneCopies;
    } else {
        platform::log(QStringLiteral("Quillhaven: tombstones save failed: ") + error);
    }
    if (changes > 0) {
        platform::log(QStringLiteral("Quillhaven: merged %1 change(s) from outside").arg(changes));
    }
    if (revived) {
        platform::Notices::shared().post(QCoreApplication::translate(
            "Sync", "A note deleted on another computer is kept here: it was changed here since."));
    }
    mergedCopies_.push_back({durable, copies});
    if (app_.writer().state() == NotesWriter::State::Saved && !fileBehind) {
        removeMergedCopies(durable);
    }
    awaitImages();
}

int RemoteChanges::mergeBack(const QList<NoteData>& notes, const Tombstones& tombstones)
{
    const Merge::Result merged =
        Merge::merge(app_.records(), tombstones, notes, {}, platform::now(), seenThere_);
    touched_ = QSet<QUuid>(merged.adopted.cbegin(), merged.adopted.cend());
    touched_.unite(QSet<QUuid>(merged.added.cbegin(), merged.added.cend()));
    int changes = 0;
    applyMerged(merged.notes, &changes);
    touched_.clear();
    knownTombstones_ = merged.tombstones;
    QString error;
    if (!TombstoneFile::write(TombstoneFile::pathBeside(Store::url()), merged.tombstones, &error)) {
        platform::log(QStringLiteral("Quillhaven: tombstones save failed: ") + error);
    }
    if (changes > 0) {
        app_.submitNotes();
    }
    return changes;
}

// The live notes become `merged`: content adopted, new notes made (tucked), notes gone closed
// and dropped without a trip to Recently Deleted, in the merged order; one save at the end.
void RemoteChanges::applyMerged(const QList<NoteData>& merged, int* changes)
{
    QHash<QUuid, NoteModel*> live;
    const QList<NoteModel*>& notes = app_.notes();
    live.reserve(notes.size());
    for (NoteModel* note : notes) {
        live.insert(note->id(), note);
    }
    holdSaves_ = true;
    QList<NoteModel*> next;
    next.reserve(merged.size());
    bool listChanged = merged.size() != notes.size();
    for (const NoteData& record : merged) {
        NoteModel* note = live.take(record.id);
        if (note == nullptr) {
            note = new NoteModel(record, &app_);
            listChanged = true;
            ++*changes;
        } else if (touched_.contains(record.id) && note->data() != record) {
            const bool imagesChanged = note->images() != record.images.value_or(QStringList());
            note->adoptContent(record);
            if (note->deletedAt() && app_.window(note) != nullptr) {
                // Moved to Recently Deleted elsewhere: off this screen too.
                app_.closeWindow(note);
                note->setOnScreen(false);
            } else if (imagesChanged) {
                app_.sizes().resize(note, true);
            }
            ++*changes;
        }
        next << note;
    }
    QList<NoteModel*> gone = live.values();
    for (NoteModel* note : gone) {
        app_.closeWindow(note);
        ++*changes;
    }
    if (listChanged || !gone.isEmpty()) {
        app_.setNotes(next);
    }
    for (NoteModel* note : gone) {
        app_.removeUnlistedImages(note->images());
        // Later, not now: a view may still be bound to the note.
        note->deleteLater();
    }
    holdSaves_ = false;
}

void RemoteChanges::removeMergedCopies(quint64 written)
{
    auto& pending = mergedCopies_;
    const auto done = std::stable_partition(
        pending.begin(), pending.end(), [written](const auto& m) { return m.sequence > written; });
    for (auto it = done; it != pending.end(); ++it) {
        for (const QString& file : it->files) {
            QFile::remove(file);
        }
    }
    pending.erase(done, pending.end());
}

// Pictures named by notes whose files are still on their way show placeholders until they land.
void RemoteChanges::awaitImages()
{
    for (const NoteModel* note : app_.notes()) {
        for (const QString& name : note->images()) {
            if (Images::awaited(name)) {
                awaited_.insert(name);
            }
        }
    }
}

void RemoteChanges::lookForImages()
{
    awaitImages();
    const QSet<QString> awaited = awaited_;
    for (const QString& name : awaited) {
        if (!QFileInfo::exists(Images::url(name))) {
            continue;
        }
        awaited_.remove(name);
        // Decoded on the worker; the note's views take it from the cache.
        Images::thumbnail(Images::Source::file(Images::url(name)), Images::maxStoredSide, this,
                          [this, name](const QImage& image) {
                              if (image.isNull()) {
                                  awaited_.insert(name); // not whole yet
                                  return;
                              }
                              Images::remember(name, image);
                              bool grown = false;
                              for (NoteModel* note : app_.notes()) {
                                  if (note->images().contains(name)) {
                                      note->imagesArrived();
                                      app_.sizes().resize(note, true);
                                      grown = true;
                                  }
                              }
                              if (grown) {
                                  app_.save(); // where the windows now stand
                              }
                          });
    }
}
