#include "controller/Outside.h"

#include "controller/AppController.h"
#include "model/Images.h"
#include "model/Merge.h"
#include "model/NotesWriter.h"
#include "model/OutsideFiles.h"
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
void answer(const QPointer<AppController>& weak, OutsideFiles::Reading reading, Receive receive)
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

void AppController::watchFolder(const QString& folder)
{
    const QString notesFile = QDir(folder).filePath(QFileInfo(Store::url()).fileName());
    if (outside_->watch.notesFile() != notesFile) {
        connect(&outside_->watch, &FolderWatch::notesChanged, this, &AppController::lookOutside,
                Qt::UniqueConnection);
        // What changed may be room made for a save that failed: it need not wait its turn.
        connect(&outside_->watch, &FolderWatch::notesChanged, writer_.get(), &NotesWriter::retryNow,
                Qt::UniqueConnection);
        connect(&outside_->watch, &FolderWatch::imagesChanged, this, &AppController::lookForImages,
                Qt::UniqueConnection);
        connect(writer_.get(), &NotesWriter::written, this, &AppController::removeMergedCopies,
                Qt::UniqueConnection);
        // What was merged from the old folder says nothing of the new one.
        outside_->mergedFrom.reset();
        outside_->watch.watch(notesFile);
    }
    lookOutside();
    awaitImages();
}

void AppController::lookOutside()
{
    if (outside_->reading) {
        outside_->readAgain = true;
        return;
    }
    outside_->reading = true;
    const QString path = Store::url();
    const int generation = platform::servicesGeneration();
    const std::optional<DiskFile::Stamp> merged = outside_->mergedFrom;
    const QPointer<AppController> weak(this);
    reader().start([weak, path, generation, merged] {
        answer(weak, OutsideFiles::read(path, generation, merged), &AppController::outsideFound);
    });
}

// Most looks find nothing new. Only a look that found something takes the live notes' records
// (shared with the last save's snapshot, or read now), for the worker to leave out what they
// hold already.
void AppController::outsideFound(OutsideFiles::Reading reading)
{
    if (!reading.anything()) {
        outsideRead(reading);
        return;
    }
    const QList<NoteData> known = snapshots_->take(notes_).records;
    const QPointer<AppController> weak(this);
    reader().start([weak, reading = std::move(reading), known]() mutable {
        OutsideFiles::dropKnown(reading, known);
        answer(weak, std::move(reading), &AppController::outsideRead);
    });
}

void AppController::outsideRead(const OutsideFiles::Reading& reading)
{
    outside_->reading = false;
    for (const QString& copy : reading.unreadable) {
        if (!outside_->toldUnreadable.contains(copy)) {
            outside_->toldUnreadable.insert(copy);
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
    if (current && (reading.anything() || reading.tombstones != outside_->knownTombstones)) {
        mergeOutside(reading);
    }
    if (std::exchange(outside_->readAgain, false) || !current) {
        lookOutside();
    }
}

// Merged here, against the live notes as they are now, so nothing typed since the read is lost:
// the merge is quick, the reading was the slow part.
void AppController::mergeOutside(const OutsideFiles::Reading& reading)
{
    const QDateTime now = platform::now();
    // Read again: a note may have been deleted for good here since the worker looked.
    const QString tombstonesPath = TombstoneFile::pathBeside(reading.notesPath);
    const Tombstones onDisk = TombstoneFile::read(tombstonesPath);
    const Tombstones dead = TombstoneFile::united(reading.tombstones, onDisk);
    Merge::Result merged =
        Merge::merge(snapshots_->take(notes_).records, dead,
                     reading.notesFile ? reading.notesFile->records : QList<NoteData>(), {}, now);
    const bool revived = !merged.revived.isEmpty();
    QSet<QUuid>& touched = outside_->touched;
    touched = QSet<QUuid>(merged.adopted.cbegin(), merged.adopted.cend());
    touched.unite(QSet<QUuid>(merged.added.cbegin(), merged.added.cend()));
    QStringList copies;
    for (const OutsideFiles::Copy& copy : reading.copies) {
        merged = Merge::merge(merged.notes, merged.tombstones, copy.notes, {}, now);
        touched.unite(QSet<QUuid>(merged.adopted.cbegin(), merged.adopted.cend()));
        touched.unite(QSet<QUuid>(merged.added.cbegin(), merged.added.cend()));
        copies << copy.path;
    }
    int changes = 0;
    applyMerged(merged.notes, &changes);
    touched.clear();
    outside_->knownTombstones = merged.tombstones;
    if (reading.notesFile) {
        outside_->mergedFrom = reading.notesFile->stamp;
    }
    const bool fileBehind = changes > 0 || (reading.notesFile && !reading.notesFileHoldsKnown);
    const quint64 durable = fileBehind ? submitNotes() : outside_->lastSubmitted;

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
    outside_->mergedCopies.push_back({durable, copies});
    if (writer_->state() == NotesWriter::State::Saved && !fileBehind) {
        removeMergedCopies(durable);
    }
    awaitImages();
}

// The live notes become `merged`: content adopted, new notes made (tucked), notes gone closed
// and dropped without a trip to Recently Deleted, in the merged order; one save at the end.
void AppController::applyMerged(const QList<NoteData>& merged, int* changes)
{
    QHash<QUuid, NoteModel*> live;
    live.reserve(notes_.size());
    for (NoteModel* note : notes_) {
        live.insert(note->id(), note);
    }
    outside_->holdSaves = true;
    QList<NoteModel*> next;
    next.reserve(merged.size());
    bool listChanged = merged.size() != notes_.size();
    for (const NoteData& record : merged) {
        NoteModel* note = live.take(record.id);
        if (note == nullptr) {
            note = new NoteModel(record, this);
            listChanged = true;
            ++*changes;
        } else if (outside_->touched.contains(record.id) && note->data() != record) {
            const bool imagesChanged = note->images() != record.images.value_or(QStringList());
            note->adoptContent(record);
            if (note->deletedAt() && window(note) != nullptr) {
                // Moved to Recently Deleted elsewhere: off this screen too.
                closeWindow(note);
                note->setOnScreen(false);
            } else if (imagesChanged) {
                resize(note, true);
            }
            ++*changes;
        }
        next << note;
    }
    QList<NoteModel*> gone = live.values();
    for (NoteModel* note : gone) {
        closeWindow(note);
        ++*changes;
    }
    if (listChanged || !gone.isEmpty()) {
        setNotes(next);
    }
    for (NoteModel* note : gone) {
        removeUnlistedImages(note->images());
        // Later, not now: a view may still be bound to the note.
        note->deleteLater();
    }
    outside_->holdSaves = false;
}

void AppController::removeMergedCopies(quint64 written)
{
    auto& pending = outside_->mergedCopies;
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
void AppController::awaitImages()
{
    for (const NoteModel* note : notes_) {
        for (const QString& name : note->images()) {
            if (Images::awaited(name)) {
                outside_->awaited.insert(name);
            }
        }
    }
}

void AppController::lookForImages()
{
    awaitImages();
    const QSet<QString> awaited = outside_->awaited;
    for (const QString& name : awaited) {
        if (!QFileInfo::exists(Images::url(name))) {
            continue;
        }
        outside_->awaited.remove(name);
        // Decoded on the worker; the note's views take it from the cache.
        Images::thumbnail(Images::Source::file(Images::url(name)), Images::maxStoredSide, this,
                          [this, name](const QImage& image) {
                              if (image.isNull()) {
                                  outside_->awaited.insert(name); // not whole yet
                                  return;
                              }
                              Images::remember(name, image);
                              for (NoteModel* note : notes_) {
                                  if (note->images().contains(name)) {
                                      note->imagesArrived();
                                      resize(note, true);
                                  }
                              }
                          });
    }
}
