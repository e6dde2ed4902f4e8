#include "controller/AppController.h"
#include "model/FolderNames.h"
#include "model/Tombstones.h"
#include "motion/Motion.h"
#include "platform/Clock.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

#include <QCoreApplication>
#include <QSettings>
#include <QUuid>

NoteModel* AppController::newNote(const std::optional<QString>& folder, const QString& color)
{
    NoteData record;
    record.id = QUuid::createUuid();
    record.color = color;
    record.folder = folder
                        ? *folder
                        : (folders_.isEmpty() ? FolderNames::defaults().first() : folders_.first());
    record.created = platform::now();
    auto* note = new NoteModel(record, this);
    setNotes(notes_ + QList<NoteModel*>{note});
    save();
    return note;
}

void AppController::trash(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    Sound::shared().play(Sound::Effect::Crunch);
    const auto finish = [this, note] {
        closeWindow(note);
        note->setCrumpled(false);
        note->setOnScreen(false);
        note->setDeletedAt(platform::now());
        Q_EMIT notesEdited();
    };
    if (window(note) == nullptr) {
        finish();
        return;
    }
    motion::withAnimation(motion::Animation::easeOut(0.28), [note] { note->setCrumpled(true); });
    // Dropped if the note is deleted for good in the meantime.
    motion::after(0.32, finish, note);
}

void AppController::restore(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    note->setDeletedAt(std::nullopt);
    note->setOnScreen(false);
    Q_EMIT notesEdited();
}

void AppController::deleteForever(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    closeWindow(note);
    QList<NoteModel*> rest = notes_;
    const bool owned = rest.removeAll(note) > 0;
    setNotes(rest);
    removeUnlistedImages(note->images());
    save();
    // So that a computer sharing the notes folder does not bring it back.
    TombstoneFile::record({note->id()});
    if (owned) {
        // Later, not now: the caller may be a view still bound to the note.
        note->deleteLater();
    }
}

void AppController::addFolder(const QString& name)
{
    const QString folder = FolderNames::typed(name);
    if (folder.isEmpty() || folders_.contains(folder)) {
        return;
    }
    setFolders(folders_ + QStringList{folder});
    QSettings().setValue(QStringLiteral("folders"), folders_);
}

void AppController::closeWindow(NoteModel* note)
{
    const auto found = windows_.find(note);
    if (found == windows_.end()) {
        return;
    }
    std::unique_ptr<Panel> panel = std::move(found->second);
    windows_.erase(found);
    motion::cancelWindowFrame(panel.get());
    panel->orderOut();
    // The close may come from an event inside this very window.
    panel.release()->deleteLater();
}
