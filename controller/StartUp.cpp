#include "controller/AppController.h"
#include "controller/NoteSizes.h"
#include "controller/NotesFolderMove.h"
#include "controller/Reminders.h"
#include "controller/RemoteChanges.h"
#include "controller/Tracking.h"
#include "controller/Transfers.h"
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

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegion>
#include <QSet>
#include <QTimer>
#include <cmath>

namespace {

// Notes stay in Recently Deleted for 30 days.
constexpr qint64 keepDeletedMs = 2'592'000'000;
// A picture no note names is left from a paste cut short; one this young may still be on its
// way into a note.
constexpr qint64 orphanAfterSeconds = 24 * 3600;

void removeOrphanImages(const QList<NoteModel*>& notes)
{
    QSet<QString> listed;
    for (const NoteModel* note : notes) {
        for (const QString& name : note->images()) {
            listed.insert(name);
        }
    }
    Images::removeOrphans(listed, platform::now(), orphanAfterSeconds);
}

void tellDamage(QObject* context, const QString& keptAs, int recovered)
{
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
    QTimer::singleShot(0, context, [text] { platform::Notices::shared().post(text); });
}

} // namespace

void AppController::start()
{
    if (padWindow_ != nullptr) {
        return; // started already: a second timer and pad would only double the work
    }
    // The pad goes up first: reading a large notes file should not delay the one window the
    // user sees at start. It fills in as the notes arrive, before anything is painted.
    createPadWindow();
    folderMove_->recover();
    sizes_->loadTextScale();
    loadNotes();
    tracking_->start();
    // A window cut to what it paints for want of a compositing manager, or one that may show
    // see-through pixels, switches whenever a manager starts or stops.
    platform::desktop().watchCompositor([] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* panel = qobject_cast<Panel*>(window)) {
                panel->followCompositor();
            }
        }
    });

    bringBackOnScreenNotes();
    reminders_->start();
    // Other computers' notes arrive through the folder as long as the program runs, wherever
    // the user moves it.
    remote_->watchFolder(QFileInfo(Store::url()).absolutePath());
    connect(this, &AppController::notesFolderChanged, remote_.get(), &RemoteChanges::watchFolder);
    transfers_->startBackups();
    transfers_->lookForOtherNotes();
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
        removeOrphanImages(notes_);
        return;
    }
    // The notes that could not be recovered may still name pictures: all of them stay.
    recoveredNotes_ = damage.recovered;
    // The damaged file is aside: until this save, a quit would leave no notes file at all.
    if (damage.recovered > 0) {
        save();
    }
    tellDamage(this, damage.keptAs, damage.recovered);
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

void AppController::createPadWindow()
{
    const double h = notchH() + 250;
    padWindow_ = views_->padWindow(this, QRectF(midX() - 170, top() - h, 340, h));
    // Clicks pass through until the pointer opens the pad.
    tracking_->setPadTakesPointer(false);
    padWindow_->onPointerCrossing = [this](bool inside) { tracking_->pointerCrossedPad(inside); };
    padWindow_->orderFront();
}

namespace {

// Whether the paper lies wholly on the screens as they are now, across two side by side too:
// a note left on a monitor that is still there stays on it.
bool onScreens(const QRectF& paper)
{
    QRegion screens;
    for (const QRectF& frame : platform::desktop().screenFrames()) {
        screens += frame.toAlignedRect();
    }
    return (QRegion(paper.toAlignedRect()) - screens).isEmpty();
}

} // namespace

void AppController::bringBackOnScreenNotes()
{
    const double inset = geometry::inset;
    for (NoteModel* note : notes_) {
        if (!note->onScreen()) {
            continue;
        }
        const double w = sizes_->winW(note);
        const double h = sizes_->winH(note);
        const QRectF frame(note->origin, QSizeF(w, h));
        const QRectF paper = frame.adjusted(inset, inset, -inset, -inset);
        const bool finite = std::isfinite(note->origin.x()) && std::isfinite(note->origin.y());
        if (!finite || !onScreens(paper)) {
            note->origin = QPointF(midX() - w / 2, top() - notchH() - 80 - h);
        }
        show(note);
    }
}
