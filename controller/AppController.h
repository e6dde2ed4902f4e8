#pragma once

#include "controller/Gestures.h"
#include "model/ImageWork.h"
#include "model/NoteGeometry.h"
#include "model/NoteModel.h"
#include "windows/MouseEvent.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QStringList>
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class FolderLocks;
class NotesWriter;
struct OutsideState;
namespace OutsideFiles {
struct Reading;
}
class Snapshots;
class Panel;
class QTimer;
namespace platform {
struct ClipboardContent;
}
class ViewFactory;
class QWidget;

// The one controller: owns every note and window and carries out every operation on notes.
// Geometry is in the y-up global space of platform::Desktop. Operations are split by concern
// over several .cpp files in this folder.
class AppController : public QObject {
    Q_OBJECT
public:
    enum class Field {
        Notes,
        PadHot,
        Revealed,
        Wobble,
        SavedFlash,
        ClipImage,
        Folders,
        SaveFailure
    };
    Q_ENUM(Field)
    using MouseEvent = ::MouseEvent;

    // Every window it shows comes from `views`.
    explicit AppController(std::unique_ptr<ViewFactory> views, QObject* parent = nullptr);
    ~AppController() override;

    // --- state, start-up and tracking (AppController.cpp, Tracking.cpp)
    void start();
    void trackCursor();
    // The pointer entered or left the pad's window.
    void pointerCrossedPad(bool inside);
    // The window system saw the pointer move.
    void pointerMoved();
    // The pointer arrived at the top edge where it opens the pad.
    void pointerAtEdge();

    const QList<NoteModel*>& notes() const { return notes_; }
    void setNotes(const QList<NoteModel*>& notes); // published assignment; takes ownership
    bool padHot() const { return padHot_; }
    void setPadHot(bool hot);
    bool revealed() const { return revealed_; }
    void setRevealed(bool revealed);
    double wobble() const { return wobble_; }
    void setWobble(double wobble);
    bool savedFlash() const { return savedFlash_; }
    void setSavedFlash(bool flash);
    // How many notes were recovered at start from a damaged notes file; none when it was whole.
    std::optional<int> recoveredNotes() const { return recoveredNotes_; }
    const QImage& clipImage() const { return clipImage_; } // null when nothing is offered
    void setClipImage(const QImage& image);
    const QStringList& folders() const { return folders_; }
    void setFolders(const QStringList& folders);
    // Why the notes are not on disk while saving fails (the writer keeps trying); empty
    // while all is well.
    const QString& saveFailure() const { return saveFailure_; }

    // The clipboard change the pad must not offer again: one already made a note, or the
    // program's own copy.
    int clipboardUsed() const { return clipUsed_; }
    void setClipboardUsed(int change) { clipUsed_ = change; }
    // The note the dashboard shows in its editor, if any.
    NoteModel* dashboardSelection() const { return dashSelected_.data(); }
    void setDashboardSelection(NoteModel* note) { dashSelected_ = note; }

    // Derived geometry and lists.
    QRectF screen() const { return screen_; }
    double notchH() const;
    double top() const { return screen_.top() + screen_.height(); }
    double midX() const { return screen_.center().x(); }
    QList<NoteModel*> padNotes() const;
    int padCount() const;
    QList<NoteModel*> peekNotes() const;

    Panel* padWindow() const { return padWindow_.get(); }
    Panel* window(const NoteModel* note) const; // the note's window, or nullptr
    // Typed access lives with the owners' own code (viewer/, dashboard/).
    QWidget* viewerWindow() const { return viewer_.get(); }
    QWidget* dashboardWindow() const { return dashboard_.get(); }

    // --- pulling (Pulling.cpp)
    void padDragChanged();
    void padDragEnded();
    // The primary button came up, as raw input (see Desktop::watchPrimaryRelease).
    void primaryReleased();
    void drop(NoteModel* note);
    void glideDown(NoteModel* note);
    void land(NoteModel* note);
    bool nearNotch(QPointF p) const;
    NoteModel* pulling() const { return gesture_.pull.note; }
    // Draws uniformly from the closed range [lo, hi] for the glide, from the services' random
    // source.
    static double uniform(double lo, double hi);

    // --- note windows and dragging (Dragging.cpp)
    void show(NoteModel* note);
    void noteDragChanged(NoteModel* note);
    void noteDragEnded(NoteModel* note);
    // The window system placed the note's window itself (a clamp, a frame): the file follows.
    void followWindow(NoteModel* note);
    // The note whose window follows the pointer, or nullptr.
    NoteModel* dragging() const { return gesture_.drag ? gesture_.drag->note.data() : nullptr; }

    // --- tucking (Tucking.cpp)
    void putBack(NoteModel* note);
    void bringAllBack();
    void wobblePad();
    void toggleFold(NoteModel* note);

    // --- lifecycle (Lifecycle.cpp)
    NoteModel* newNote(const std::optional<QString>& folder, const QString& color);
    void changed();
    // Hands the notes to the writer's thread and returns at once.
    void save();
    NotesWriter& writer() const { return *writer_; }
    void trash(NoteModel* note);
    void restore(NoteModel* note);
    void deleteForever(NoteModel* note);
    void addFolder(const QString& name);

    // --- sizing (Sizing.cpp)
    static constexpr double minW = geometry::minW;
    static constexpr double maxW = geometry::maxW;
    static constexpr double minTotal = geometry::minTotal;
    double maxTotal() const;
    double imageHeight(const QString& name, double width) const;
    double stripH(const NoteModel* note) const;
    double totalH(const NoteModel* note) const;
    double imagesAreaH(const NoteModel* note) const;
    double winW(const NoteModel* note) const;
    double winH(const NoteModel* note) const;
    // Animated (a change of content or a chosen size), the window also stays on screen.
    void resize(NoteModel* note, bool animated = false);
    QRectF keptOnScreen(const QRectF& frame) const;
    void setSize(NoteModel* note, double w, double h);
    void fitToContent(NoteModel* note);
    bool resizeHook(NoteModel* note, MouseEvent type, int clickCount);

    // --- images (ImageOps.cpp)
    // Pictures are stored on the worker and reach the note in the order they were added.
    void addImage(NoteModel* note, const QImage& image);
    void addImageFrom(NoteModel* note, Images::Source source);
    // Ctrl+V: the clipboard's picture, read without waiting for its owner.
    void pasteImage(NoteModel* note);
    void removeImage(NoteModel* note, const QString& name);
    void chooseImages(NoteModel* note);
    void screenshotNote(const QImage& image);
    void screenshotNoteFrom(Images::Source source);
    void captureScreenshot(NoteModel* into);
    void pasteClip();
    void refreshClip();
    void viewImages(NoteModel* note, int index);

    // --- notes changed outside (Outside.cpp)
    // Watches `folder`, the notes folder, for other computers' notes in place of the folder
    // watched before (start() watches the notes file's), and looks at it at once.
    void watchFolder(const QString& folder);
    // Reads what changed in the notes folder on a worker, then merges it into the live notes.
    void lookOutside();

    // --- the viewer and the dashboard (Windows.cpp)
    void showDashboard();
    void toggleDashboard();

    // --- the notes folder (NotesFolder.cpp)
    // Asks for a folder without waiting, then moves the notes there.
    void chooseNotesFolder();
    // Moves the notes file, its pictures and tombstones to `folder`, or, when it holds notes
    // already, shows those instead; says on the dashboard what went wrong, if anything.
    void moveNotesTo(const QString& folder);
    bool movingNotes() const { return folderMove_.has_value(); }
    // The locks of the notes folder, not owned; until set, plain locks of the controller's own.
    void setFolderLocks(FolderLocks* locks) { folderLocks_ = locks; }

Q_SIGNALS:
    void willChange();
    // After a published value is stored; slots may read motion::currentAnimation().
    void changed(AppController::Field field);
    // The notes live in `folder` from now on (moved or adopted there).
    void notesFolderChanged(const QString& folder);

private:
    void loadNotes();
    void recoverNotesFolder();
    void finishMove(bool staged, const QString& error);
    void adoptNotesIn(const QString& folder);
    void switchNotesFolder(const QString& folder);
    void tellMoveFailed(const QString& folder, const QString& reason);
    FolderLocks& folderLocks();
    void purgeOldDeletions();
    void removeOrphanImages();
    void tellDamage(const QString& keptAs, int recovered);
    void createPadWindow();
    void setPadTakesPointer(bool open);
    QPointF trackedPointer();
    void trackingTick();
    bool pullOutlivesRelease() const;
    void endPull();
    void bringBackOnScreenNotes();
    void closeWindow(NoteModel* note);
    // Deletes the image files no note in the list names any more.
    void removeUnlistedImages(const QStringList& names);
    template <typename T> void assign(T& slot, const T& value, Field field);
    void imageStored(quint64 ticket, std::optional<QString> name);
    void attachImage(NoteModel* note, const QString& name);
    void offerClip(int change, const platform::ClipboardContent& content);
    quint64 submitNotes();
    void outsideFound(OutsideFiles::Reading reading);
    void outsideRead(const OutsideFiles::Reading& reading);
    void mergeOutside(const OutsideFiles::Reading& reading);
    void applyMerged(const QList<NoteData>& merged, int* changes);
    void removeMergedCopies(quint64 written);
    void awaitImages();
    void lookForImages();

    // First made, last gone: windows closing at exit may still save.
    std::unique_ptr<NotesWriter> writer_;
    std::unique_ptr<Snapshots> snapshots_; // what the last save read, kept for the next
    std::unique_ptr<OutsideState> outside_;
    QList<NoteModel*> notes_;
    int clipUsed_ = 0;
    QPointer<NoteModel> dashSelected_;
    bool padHot_ = false;
    bool revealed_ = false;
    double wobble_ = 0;
    bool savedFlash_ = false;
    std::optional<int> recoveredNotes_;
    QImage clipImage_; // a thumbnail; the picture itself stays encoded in clipSource_
    Images::Source clipSource_;
    int clipRead_ = -1; // the clipboard change the offer was read for
    struct PendingImage {
        QPointer<NoteModel> note;
        quint64 ticket = 0;
        bool ready = false;
        std::optional<QString> name;
    };
    std::deque<PendingImage> pendingImages_; // in the order added
    quint64 nextImageTicket_ = 0;
    QStringList folders_;
    QString saveFailure_;
    QRectF screen_;
    std::unique_ptr<ViewFactory> views_;
    std::unique_ptr<Panel> padWindow_;
    std::map<const NoteModel*, std::unique_ptr<Panel>> windows_;
    std::unique_ptr<QWidget> viewer_;
    std::unique_ptr<QWidget> dashboard_;
    gestures::State gesture_;
    // Reads the pointer every 80 ms while it moves or the pad is open. While the pad is hidden
    // and the pointer still, it reads nothing when both motion and arrivals at the top edge are
    // reported; every few seconds when only one of them is; and every 80 ms when neither is.
    static constexpr int trackingMs = 80;
    // Reads a still pointer only to notice motion that made no event (a warp, faked input).
    static constexpr int idleCheckMs = 3000;
    QTimer* trackingTimer_ = nullptr;
    bool pollOnly_ = true;           // motion not known to be reported
    bool edgeTellsArrivals_ = false; // arriving at the top edge is reported
    void followPointer();
    // The strip of the top edge that opens the pad, in the y-up space.
    QRectF hotEdge() const;
    bool crossingReleases_ = false; // see pullOutlivesRelease()
    bool movedSinceTick_ = false;
    QPointF lastReading_;
    // Where the pointer was read when it left the pad, while the position reads the same: where
    // the pointer is only seen over the program's own windows, that reading is stale.
    std::optional<QPointF> leftPadAt_;

    // A move of the notes under way: its files are copied on a worker.
    struct FolderMove {
        QString from;
        QString to;
        std::shared_ptr<std::atomic<bool>> cancel;
    };
    std::optional<FolderMove> folderMove_;
    FolderLocks* folderLocks_ = nullptr;
    std::unique_ptr<FolderLocks> ownFolderLocks_;

    friend class ControllerTestAccess;
};
