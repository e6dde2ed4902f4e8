#pragma once

#include "controller/Published.h"
#include "model/NoteModel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>

class ClipboardOffer;
class Gestures;
class ImageQueue;
class NoteSizes;
class NotesFolderMove;
class NotesWriter;
class Panel;
class QWidget;
class Reminders;
class RemoteChanges;
class Snapshots;
class Tracking;
class Transfers;
class ViewFactory;

// The one controller: owns every note and window, the operations on notes and one object per
// concern (tracking, gestures, sizes, pictures, the clipboard's offer, other computers' changes,
// the folder's move, imports, exports, backups, reminders), which views reach through it.
// Geometry is y-up.
class AppController : public Published {
    Q_OBJECT
public:
    // Every window it shows comes from `views`.
    explicit AppController(std::unique_ptr<ViewFactory> views, QObject* parent = nullptr);
    ~AppController() override;

    Tracking& tracking() const { return *tracking_; }
    Gestures& gestures() const { return *gestures_; }
    NoteSizes& sizes() const { return *sizes_; }
    ImageQueue& images() const { return *images_; }
    ClipboardOffer& clipOffer() const { return *clipOffer_; }
    RemoteChanges& remote() const { return *remote_; }
    NotesFolderMove& folderMove() const { return *folderMove_; }
    Transfers& transfers() const { return *transfers_; }
    Reminders& reminders() const { return *reminders_; }

    // --- published state (AppController.cpp, StartUp.cpp)
    void start();
    const QList<NoteModel*>& notes() const { return notes_; }
    void setNotes(const QList<NoteModel*>& notes); // published assignment; takes ownership
    bool padHot() const { return padHot_; }
    void setPadHot(bool hot);
    bool revealed() const { return revealed_; }
    void setRevealed(bool revealed);
    double wobble() const { return wobble_; }
    bool savedFlash() const { return savedFlash_; }
    void setSavedFlash(bool flash);
    // How many notes were recovered at start from a damaged notes file; none when it was whole.
    std::optional<int> recoveredNotes() const { return recoveredNotes_; }
    const QStringList& folders() const { return folders_; }
    void setFolders(const QStringList& folders);
    // Why the notes are not on disk while saving fails (the writer keeps trying); empty
    // while all is well.
    const QString& saveFailure() const { return saveFailure_; }
    // The note the dashboard shows in its editor, if any.
    NoteModel* dashboardSelection() const { return dashSelected_.data(); }
    void setDashboardSelection(NoteModel* note) { dashSelected_ = note; }

    QRectF screen() const { return screen_; }
    double notchH() const;
    double top() const { return screen_.top() + screen_.height(); }
    double midX() const { return screen_.center().x(); }
    QList<NoteModel*> padNotes() const;
    int padCount() const;
    QList<NoteModel*> peekNotes() const;

    Panel* padWindow() const { return padWindow_.get(); }
    Panel* window(const NoteModel* note) const; // the note's window, or nullptr
    QWidget* viewerWindow() const { return viewer_.get(); }
    QWidget* dashboardWindow() const { return dashboard_.get(); }
    void show(NoteModel* note); // Dragging.cpp
    void viewImages(NoteModel* note, int index);
    void showDashboard(bool takeKeys = true); // false: opens without the keyboard
    void toggleDashboard();

    // --- notes (Lifecycle.cpp, Tucking.cpp, Pulling.cpp)
    NoteModel* newNote(const std::optional<QString>& folder, const QString& color);
    // Takes the note out of the pad or Recently Deleted and lets it glide down.
    void drop(NoteModel* note);
    void putBack(NoteModel* note);
    void bringAllBack();
    void wobblePad();
    void showTucked(); // the pad wobbles and says "Saved": a note has just gone in
    void toggleFold(NoteModel* note);
    void trash(NoteModel* note);
    void restore(NoteModel* note);
    void deleteForever(NoteModel* note);
    void addFolder(const QString& name);
    void save(); // hands the notes to the writer's thread and returns at once
    NotesWriter& writer() const { return *writer_; }

Q_SIGNALS:
    // A note's content or place was edited: the controller saves the notes.
    void notesEdited();
    // The notes live in `folder` from now on (moved or adopted there).
    void notesFolderChanged(const QString& folder);

private:
    friend class ImageQueue;
    friend class NotesFolderMove;
    friend class Transfers;
    friend class RemoteChanges;

    void loadNotes();
    void purgeOldDeletions();
    void createPadWindow();
    void bringBackOnScreenNotes();
    void closeWindow(NoteModel* note);
    void removeUnlistedImages(const QStringList& names); // deletes the files no note names
    quint64 submitNotes();
    QList<NoteData> records(); // the live notes' records, shared with the last save's

    // First made, last gone: windows closing at exit may still save.
    std::unique_ptr<NotesWriter> writer_;
    std::unique_ptr<Snapshots> snapshots_; // what the last save read, kept for the next
    std::unique_ptr<NoteSizes> sizes_;
    std::unique_ptr<Tracking> tracking_;
    std::unique_ptr<Gestures> gestures_;
    std::unique_ptr<ImageQueue> images_;
    std::unique_ptr<ClipboardOffer> clipOffer_;
    std::unique_ptr<RemoteChanges> remote_;
    std::unique_ptr<NotesFolderMove> folderMove_;
    std::unique_ptr<Transfers> transfers_;
    std::unique_ptr<Reminders> reminders_;
    QList<NoteModel*> notes_;
    QPointer<NoteModel> dashSelected_;
    bool padHot_ = false;
    bool revealed_ = false;
    double wobble_ = 0;
    bool savedFlash_ = false;
    std::optional<int> recoveredNotes_;
    QStringList folders_;
    QString saveFailure_;
    QRectF screen_;
    std::unique_ptr<ViewFactory> views_;
    std::unique_ptr<Panel> padWindow_;
    std::map<const NoteModel*, std::unique_ptr<Panel>> windows_;
    std::unique_ptr<QWidget> viewer_;
    std::unique_ptr<QWidget> dashboard_;
};
