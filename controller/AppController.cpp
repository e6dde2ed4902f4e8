#include "controller/AppController.h"

#include "controller/ClipboardOffer.h"
#include "controller/FolderLocks.h"
#include "controller/Gestures.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "controller/NotesFolderMove.h"
#include "controller/Reminders.h"
#include "controller/RemoteChanges.h"
#include "controller/Tracking.h"
#include "controller/Transfers.h"
#include "controller/ViewFactory.h"
#include "model/FolderNames.h"
#include "model/NotesWriter.h"
#include "model/Snapshots.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "windows/Panel.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>
#include <algorithm>

AppController::AppController(std::unique_ptr<ViewFactory> views, QObject* parent)
    : Published(parent)
    , writer_(std::make_unique<NotesWriter>())
    , snapshots_(std::make_unique<Snapshots>())
    , sizes_(std::make_unique<NoteSizes>(*this))
    , tracking_(std::make_unique<Tracking>(*this))
    , gestures_(std::make_unique<Gestures>(*this))
    , images_(std::make_unique<ImageQueue>(*this))
    , clipOffer_(std::make_unique<ClipboardOffer>(*this))
    , remote_(std::make_unique<RemoteChanges>(*this))
    , folderMove_(std::make_unique<NotesFolderMove>(*this))
    , transfers_(std::make_unique<Transfers>(*this))
    , reminders_(std::make_unique<Reminders>(*this))
    , screen_(platform::desktop().screenFrame())
    , views_(std::move(views))
{
    const QVariant stored = QSettings().value(QStringLiteral("folders"));
    if (stored.typeId() == QMetaType::QStringList || stored.typeId() == QMetaType::QVariantList) {
        // An older version stored the default folders under their translated names.
        for (const QString& name : stored.toStringList()) {
            if (const QString folder = FolderNames::stored(name); !folders_.contains(folder)) {
                folders_ << folder;
            }
        }
    } else {
        folders_ = FolderNames::defaults();
    }
    connect(writer_.get(), &NotesWriter::stateChanged, this,
            [this](NotesWriter::State state, const QString& reason) {
                const QString failure = state == NotesWriter::State::Failed ? reason : QString();
                if (failure != saveFailure_) {
                    publish(Field::SaveFailure, [&] { saveFailure_ = failure; });
                }
            });
    connect(this, &AppController::notesEdited, this, [this] {
        Q_EMIT willChange();
        save();
    });
}

AppController::~AppController() = default;

void AppController::setNotes(const QList<NoteModel*>& notes)
{
    for (NoteModel* note : notes) {
        if (note->parent() != this) {
            note->setParent(this);
        }
        connect(note, &NoteModel::saveRequested, this, &AppController::notesEdited,
                Qt::UniqueConnection);
    }
    publish(Field::Notes, [&] { notes_ = notes; });
}

void AppController::setPadHot(bool hot)
{
    publish(Field::PadHot, [&] { padHot_ = hot; });
    if (hot) {
        tracking_
            ->followPointer(); // a dragged note holds the pointer: no arrival at the edge is told
    }
}
void AppController::setRevealed(bool revealed)
{
    publish(Field::Revealed, [&] { revealed_ = revealed; });
    // However it opened, an open pad is followed until the pointer leaves it.
    if (revealed) {
        tracking_->followPointer();
    }
}
void AppController::setSavedFlash(bool flash)
{
    publish(Field::SavedFlash, [&] { savedFlash_ = flash; });
}
void AppController::setFolders(const QStringList& folders)
{
    publish(Field::Folders, [&] { folders_ = folders; });
}

double AppController::notchH() const
{
    // No display here has a camera housing, so the top panel's thickness stands in for it.
    return platform::desktop().statusBarThickness();
}

QList<NoteModel*> AppController::padNotes() const
{
    QList<NoteModel*> tucked;
    for (NoteModel* note : notes_) {
        if (!note->onScreen() && !note->deletedAt()) {
            tucked << note;
        }
    }
    return tucked;
}

int AppController::padCount() const
{
    return static_cast<int>(std::count_if(notes_.begin(), notes_.end(), [](const NoteModel* n) {
        return !n->onScreen() && !n->deletedAt();
    }));
}

QList<NoteModel*> AppController::peekNotes() const
{
    QList<NoteModel*> peek = padNotes();
    std::stable_sort(peek.begin(), peek.end(), [](const NoteModel* a, const NoteModel* b) {
        if (a->pinned() != b->pinned()) {
            return a->pinned();
        }
        return a->modified() > b->modified();
    });
    if (peek.size() > 3) {
        peek.resize(3);
    }
    return peek;
}

Panel* AppController::window(const NoteModel* note) const
{
    const auto found = windows_.find(note);
    return found != windows_.end() ? found->second.get() : nullptr;
}

void AppController::save()
{
    if (!remote_->holdsSaves()) {
        submitNotes();
    }
}

quint64 AppController::submitNotes()
{
    Store::Snapshot snapshot = snapshots_->take(notes_);
    snapshot.merged = remote_->mergedFrom();
    const quint64 sequence = writer_->submit(std::move(snapshot));
    remote_->submitted(sequence);
    return sequence;
}

QList<NoteData> AppController::records()
{
    return snapshots_->take(notes_).records;
}
