#include "controller/AppController.h"

#include "controller/FolderLocks.h"
#include "controller/Outside.h"
#include "controller/ViewFactory.h"
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
    : QObject(parent)
    , writer_(std::make_unique<NotesWriter>())
    , snapshots_(std::make_unique<Snapshots>())
    , outside_(std::make_unique<OutsideState>())
    , clipUsed_(platform::desktop().clipboardChangeCount())
    , screen_(platform::desktop().screenFrame())
    , views_(std::move(views))
{
    const QVariant stored = QSettings().value(QStringLiteral("folders"));
    if (stored.typeId() == QMetaType::QStringList || stored.typeId() == QMetaType::QVariantList) {
        folders_ = stored.toStringList();
    } else {
        folders_ = {QCoreApplication::translate("Folders", "Personal"),
                    QCoreApplication::translate("Folders", "Work"),
                    QCoreApplication::translate("Folders", "Ideas")};
    }
    connect(writer_.get(), &NotesWriter::stateChanged, this,
            [this](NotesWriter::State state, const QString& reason) {
                const QString failure = state == NotesWriter::State::Failed ? reason : QString();
                if (failure != saveFailure_) {
                    assign(saveFailure_, failure, Field::SaveFailure);
                }
            });
}

AppController::~AppController()
{
    // A move cut short here is undone at the next start.
    if (folderMove_) {
        folderMove_->cancel->store(true);
    }
}

template <typename T> void AppController::assign(T& slot, const T& value, Field field)
{
    Q_EMIT willChange();
    slot = value;
    Q_EMIT changed(field);
}

void AppController::setNotes(const QList<NoteModel*>& notes)
{
    for (NoteModel* note : notes) {
        if (note->parent() != this) {
            note->setParent(this);
        }
        connect(note, &NoteModel::saveRequested, this, qOverload<>(&AppController::changed),
                Qt::UniqueConnection);
    }
    assign(notes_, notes, Field::Notes);
}

void AppController::setPadHot(bool hot)
{
    assign(padHot_, hot, Field::PadHot);
    if (hot) {
        followPointer(); // a dragged note holds the pointer: no arrival at the edge is told
    }
}
void AppController::setRevealed(bool revealed)
{
    assign(revealed_, revealed, Field::Revealed);
    // However it opened, an open pad is followed until the pointer leaves it.
    if (revealed) {
        followPointer();
    }
}
void AppController::setWobble(double wobble)
{
    assign(wobble_, wobble, Field::Wobble);
}
void AppController::setSavedFlash(bool flash)
{
    assign(savedFlash_, flash, Field::SavedFlash);
}
void AppController::setClipImage(const QImage& image)
{
    assign(clipImage_, image, Field::ClipImage);
}
void AppController::setFolders(const QStringList& folders)
{
    assign(folders_, folders, Field::Folders);
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

void AppController::changed()
{
    Q_EMIT willChange();
    save();
}

void AppController::save()
{
    if (!outside_->holdSaves) {
        submitNotes();
    }
}

quint64 AppController::submitNotes()
{
    Store::Snapshot snapshot = snapshots_->take(notes_);
    snapshot.merged = outside_->mergedFrom;
    outside_->lastSubmitted = writer_->submit(std::move(snapshot));
    return outside_->lastSubmitted;
}
