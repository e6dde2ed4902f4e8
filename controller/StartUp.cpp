#include "controller/AppController.h"
#include "controller/ViewFactory.h"
#include "model/DiskFile.h"
#include "model/Images.h"
#include "model/LocalLayout.h"
#include "model/NoteGeometry.h"
#include "model/Store.h"
#include "model/Tombstones.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Notices.h"
#include "windows/Panel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <QTimer>
#include <cmath>

namespace {

// Notes stay in Recently Deleted for 30 days.
constexpr qint64 keepDeletedMs = 2'592'000'000;
// A picture no note names is left from a paste cut short; one this young may still be on its
// way into a note.
constexpr qint64 orphanAfterSeconds = 24 * 3600;

} // namespace

void AppController::start()
{
    if (padWindow_ != nullptr) {
        return; // started already: a second timer and pad would only double the work
    }
    // The pad goes up first: reading a large notes file should not delay the one window the
    // user sees at start. It fills in as the notes arrive, before anything is painted.
    createPadWindow();
    recoverNotesFolder();
    loadNotes();

    trackingTimer_ = new QTimer(this);
    trackingTimer_->setInterval(trackingMs);
    connect(trackingTimer_, &QTimer::timeout, this, &AppController::trackingTick);
    QPointer<AppController> weak(this);
    const bool motionReported = platform::desktop().watchPointer([weak] {
        if (weak) {
            weak->pointerMoved();
        }
    });
    crossingReleases_ = platform::desktop().watchPrimaryRelease([weak] {
        if (weak) {
            weak->primaryReleased();
        }
    });
    edgeTellsArrivals_ = platform::desktop().watchArrivals(hotEdge(), [weak] {
        if (weak) {
            weak->pointerAtEdge();
        }
    }) || platform::desktop().pointerOnlyOverOwnWindows();
    // Where both motion and arrivals at the edge are reported, one reading finds a pointer
    // already at the edge and then nothing is read until something moves. Otherwise, until the
    // first motion event shows that motion is reported, a still pointer is read now and then,
    // or steadily where nothing reports arrivals at the edge.
    pollOnly_ = !(motionReported && edgeTellsArrivals_);
    trackingTimer_->start(edgeTellsArrivals_ && pollOnly_ ? idleCheckMs : trackingMs);

    bringBackOnScreenNotes();
    // Other computers' notes arrive through the folder as long as the program runs, wherever
    // the user moves it.
    watchFolder(QFileInfo(Store::url()).absolutePath());
    connect(this, &AppController::notesFolderChanged, this, &AppController::watchFolder);
}

void AppController::loadNotes()
{
    Store::Damage damage;
    recoveredNotes_.reset();
    setNotes(makeNotes(Store::load(&damage), this));
    // What a save killed half-way left behind.
    DiskFile::removeLeftovers(Store::url());
    if (const QString layout = LocalLayout::path(); !layout.isEmpty()) {
        DiskFile::removeLeftovers(layout);
    }
    purgeOldDeletions();
    if (damage.keptAs.isEmpty()) {
        removeOrphanImages();
    } else {
        // The notes that could not be recovered may still name pictures: all of them stay.
        tellDamage(damage.keptAs, damage.recovered);
    }
}

void AppController::purgeOldDeletions()
{
    const QDateTime cutoff = platform::now().addMSecs(-keepDeletedMs);
    QList<NoteModel*> kept;
    QList<NoteModel*> purged;
    for (NoteModel* note : notes_) {
        const bool old = note->deletedAt() && *note->deletedAt() < cutoff;
        (old ? purged : kept) << note;
    }
    if (purged.isEmpty()) {
        return;
    }
    // Not saved here: the purged notes leave the file with the next save.
    setNotes(kept);
    QList<QUuid> gone;
    for (const NoteModel* note : purged) {
        gone << note->id();
    }
    TombstoneFile::record(gone);
    for (NoteModel* note : purged) {
        removeUnlistedImages(note->images());
        closeWindow(note);
        delete note;
    }
}

void AppController::removeOrphanImages()
{
    QSet<QString> listed;
    for (const NoteModel* note : notes_) {
        for (const QString& name : note->images()) {
            listed.insert(name);
        }
    }
    Images::removeOrphans(listed, platform::now(), orphanAfterSeconds);
}

void AppController::tellDamage(const QString& keptAs, int recovered)
{
    recoveredNotes_ = recovered;
    // The damaged file is aside: until this save, a quit would leave no notes file at all.
    if (recovered > 0) {
        save();
    }
    const QString text =
        recovered == 0
            ? QCoreApplication::translate("StartUp", "The notes file could not be read and no "
                                                     "note could be recovered from it; it is "
                                                     "kept as “%1”.")
                  .arg(keptAs)
        : recovered == 1
            ? QCoreApplication::translate("StartUp", "The notes file was damaged. 1 note could "
                                                     "be recovered; the damaged file is kept as "
                                                     "“%1”.")
                  .arg(keptAs)
            : QCoreApplication::translate("StartUp", "The notes file was damaged. %1 notes "
                                                     "could be recovered; the damaged file is "
                                                     "kept as “%2”.")
                  .arg(recovered)
                  .arg(keptAs);
    // Once start-up is done: the notice opens the dashboard.
    QTimer::singleShot(0, this, [text] { platform::Notices::shared().post(text); });
}

void AppController::createPadWindow()
{
    const double h = notchH() + 250;
    padWindow_ = views_->padWindow(this, QRectF(midX() - 170, top() - h, 340, h));
    // Clicks pass through until the pointer opens the pad.
    setPadTakesPointer(false);
    padWindow_->onPointerCrossing = [this](bool inside) { pointerCrossedPad(inside); };
    padWindow_->orderFront();
}

void AppController::bringBackOnScreenNotes()
{
    const double inset = geometry::inset;
    for (NoteModel* note : notes_) {
        if (!note->onScreen()) {
            continue;
        }
        const QRectF frame(note->origin, QSizeF(winW(note), winH(note)));
        const QRectF paper = frame.adjusted(inset, inset, -inset, -inset);
        const bool finite = std::isfinite(note->origin.x()) && std::isfinite(note->origin.y());
        if (!finite || !screen_.contains(paper)) {
            note->origin = QPointF(midX() - winW(note) / 2, top() - notchH() - 80 - winH(note));
        }
        show(note);
    }
}
