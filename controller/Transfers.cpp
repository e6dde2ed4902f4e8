#include "controller/Transfers.h"

#include "controller/AppController.h"
#include "controller/NoteSizes.h"
#include "controller/RemoteChanges.h"
#include "model/Images.h"
#include "model/Merge.h"
#include "model/NoteGeometry.h"
#include "model/NotesExport.h"
#include "model/NotesImport.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/FolderChooser.h"
#include "platform/Log.h"
#include "platform/Notices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QPointer>
#include <QSet>
#include <QSettings>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>

Transfers::Transfers(AppController& app)
    : app_(app)
{
}

Transfers::~Transfers()
{
    // An export cut short leaves whole files only; the rest is simply not there.
    cancel_->store(true);
}

void Transfers::chooseExportFolder()
{
    platform::chooseFolder(QCoreApplication::translate("Transfers", "Export Notes To"),
                           QDir::homePath(), this,
                           [this](const QString& folder) { exportTo(folder); });
}

void Transfers::exportTo(const QString& folder)
{
    if (folder.isEmpty() || exporting_) {
        return;
    }
    // The texts and titles are read here, at once; only the formatting and the disk wait.
    const QList<NoteData> records = app_.records();
    const QList<NoteModel*>& notes = app_.notes();
    QList<NotesExport::Item> items;
    for (qsizetype i = 0; i < records.size() && i < notes.size(); ++i) {
        if (!records.at(i).deletedAt) {
            items << NotesExport::Item{records.at(i), notes.at(i)->title(), notes.at(i)->tags()};
        }
    }
    exporting_ = true;
    const QString target = QDir::cleanPath(QDir(folder).absolutePath());
    const QString images = Images::dir();
    const QPointer<Transfers> self(this);
    QThreadPool::globalInstance()->start([self, target, images, items, cancel = cancel_] {
        QString error;
        NotesExport::write(target, NotesExport::plan(items, images), &error, cancel.get());
        const int count = int(items.size());
        QMetaObject::invokeMethod(
            qApp,
            [self, target, count, error] {
                if (self) {
                    self->finishExport(target, count, error);
                }
            },
            Qt::QueuedConnection);
    });
}

void Transfers::finishExport(const QString& folder, int notes, const QString& error)
{
    exporting_ = false;
    if (error.isEmpty()) {
        platform::Notices::shared().post(
            QCoreApplication::translate("Transfers", "Notes exported to “%1”: %2.")
                .arg(folder)
                .arg(notes));
    } else {
        platform::log(QStringLiteral("Quillhaven: export failed: ") + error);
        platform::Notices::shared().post(
            QCoreApplication::translate("Transfers", "The notes could not be exported to “%1”: %2")
                .arg(folder, error));
    }
    Q_EMIT exported(folder, notes, error);
}

void Transfers::startBackups()
{
    const QString folder = Backups::folder();
    if (folder.isEmpty()) {
        return;
    }
    const QDateTime now = platform::now();
    const QString notesPath = Store::url();
    const int notes = int(app_.notes().size());
    QThreadPool::globalInstance()->start([folder, notesPath, notes, now] {
        QString error;
        if (Backups::dueOn(folder, now) && !Backups::make(folder, notesPath, notes, now, &error) &&
            QFile::exists(notesPath)) {
            platform::log(QStringLiteral("Quillhaven: backup failed: ") + error);
        }
    });
    armBackupTimer();
}

// One timer, for the next midnight: no polling in between.
void Transfers::armBackupTimer()
{
    if (backupTimer_ == nullptr) {
        backupTimer_ = new QTimer(this);
        backupTimer_->setSingleShot(true);
        backupTimer_->setTimerType(Qt::VeryCoarseTimer);
        connect(backupTimer_, &QTimer::timeout, this, &Transfers::startBackups);
    }
    const QDateTime now = platform::now().toLocalTime();
    const QDateTime midnight(now.date().addDays(1), QTime(0, 1));
    constexpr qint64 leastMs = 60'000;
    backupTimer_->start(int(std::max(leastMs, now.msecsTo(midnight))));
}

bool Transfers::backUpNow()
{
    const QString folder = Backups::folder();
    if (folder.isEmpty()) {
        return true;
    }
    app_.writer().drain();
    if (!QFile::exists(Store::url())) {
        return true; // nothing saved yet, nothing to lose
    }
    QString error;
    if (!Backups::make(folder, Store::url(), int(app_.notes().size()), platform::now(), &error)) {
        platform::log(QStringLiteral("Quillhaven: backup failed: ") + error);
        return false;
    }
    return true;
}

QList<Backups::Backup> Transfers::backups() const
{
    const QString folder = Backups::folder();
    return folder.isEmpty() ? QList<Backups::Backup>() : Backups::list(folder);
}

int Transfers::restoreFrom(const QString& path)
{
    const QList<NoteData> backup = Backups::read(path);
    const QString made = QLocale().toString(Backups::madeOf(QDir(path).dirName()).toLocalTime(),
                                            QLocale::LongFormat);
    if (backup.isEmpty()) {
        platform::Notices::shared().post(
            QCoreApplication::translate("Transfers", "The backup of %1 could not be read.")
                .arg(made));
        return 0;
    }
    const Backups::Restore restore = Backups::restoring(
        backup, app_.records(), TombstoneFile::read(TombstoneFile::pathBeside(Store::url())),
        platform::now());
    const int changes = app_.remote().mergeBack(restore.notes, restore.tombstones);
    platform::Notices::shared().post(
        QCoreApplication::translate("Transfers",
                                    "Restored from the backup of %1. Notes brought back: %2.")
            .arg(made)
            .arg(changes));
    return changes;
}

void Transfers::chooseImportFolder()
{
    platform::chooseFolder(QCoreApplication::translate("Transfers", "Import Notes From"),
                           QDir::homePath(), this,
                           [this](const QString& folder) { importFrom(folder); });
}

int Transfers::importFrom(const QString& path)
{
    QSet<QUuid> here;
    for (const NoteModel* note : app_.notes()) {
        here.insert(note->id());
    }
    const QDateTime now = platform::now();
    QList<NoteData> records;
    QHash<QUuid, QPoint> shown;
    for (NotesImport::Note& note : NotesImport::read(path)) {
        // Imported before (its id comes from where it came from), or twice in one folder.
        if (here.contains(note.record.id)) {
            continue;
        }
        here.insert(note.record.id);
        QStringList names;
        for (const QString& picture : note.pictures) {
            const QImage image = Images::decodeFile(picture);
            if (const auto name = image.isNull() ? std::nullopt : Images::save(image)) {
                names << *name;
            }
        }
        if (!names.isEmpty()) {
            note.record.images = names;
        }
        note.record.changed = now;
        note.record.versions = {{Merge::thisComputer(), 1}};
        if (note.shownAt) {
            shown.insert(note.record.id, *note.shownAt);
        }
        records << note.record;
    }
    if (records.isEmpty()) {
        platform::Notices::shared().post(
            QCoreApplication::translate("Transfers", "No new notes found in “%1”.").arg(path));
        return 0;
    }
    backUpNow();
    Tombstones tombstones = TombstoneFile::read(TombstoneFile::pathBeside(Store::url()));
    for (const NoteData& record : records) {
        tombstones.remove(record.id);
    }
    app_.remote().mergeBack(records, tombstones);
    // Where its window stood, its top left in the desktop's y-down space, kept on the screen.
    const QRectF visible = platform::desktop().visibleFrame();
    const double inset = geometry::inset;
    for (NoteModel* note : app_.notes()) {
        if (!shown.contains(note->id())) {
            continue;
        }
        const QPoint at = shown.value(note->id());
        const double w = app_.sizes().winW(note);
        const double h = app_.sizes().winH(note);
        const double x = std::clamp(double(at.x()), visible.left(),
                                    std::max(visible.left(), visible.right() - (w - 2 * inset)));
        const double top = std::clamp(app_.top() - at.y(), visible.top() + h - 2 * inset,
                                      std::max(visible.top() + h - 2 * inset, visible.bottom()));
        note->origin = QPointF(x - inset, top - h + inset);
        note->setOnScreen(true);
        app_.show(note);
    }
    app_.save();
    platform::Notices::shared().post(
        QCoreApplication::translate("Transfers", "Notes imported from “%1”: %2.")
            .arg(path)
            .arg(records.size()));
    return int(records.size());
}

namespace {
const char* const offeredKey = "import/offered";
} // namespace

void Transfers::lookForOtherNotes()
{
    QSet<QUuid> here;
    for (const NoteModel* note : app_.notes()) {
        here.insert(note->id());
    }
    const QStringList offered = QSettings().value(offeredKey).toStringList();
    const QPointer<Transfers> self(this);
    QThreadPool::globalInstance()->start([self, here, offered] {
        const QList<Offer> programs = {{QStringLiteral("xpad"), QStringLiteral("Xpad")},
                                       {QStringLiteral("knotes"), QStringLiteral("KNotes")}};
        for (Offer offer : programs) {
            if (offered.contains(offer.source)) {
                continue;
            }
            const QList<NotesImport::Note> found = NotesImport::read(offer.source);
            offer.notes = int(std::count_if(found.begin(), found.end(), [&](const auto& note) {
                return !here.contains(note.record.id);
            }));
            if (offer.notes > 0) {
                QMetaObject::invokeMethod(
                    qApp,
                    [self, offer] {
                        if (self) {
                            self->offer_ = offer;
                            Q_EMIT self->offerFound();
                        }
                    },
                    Qt::QueuedConnection);
                return;
            }
        }
    });
}

std::optional<Transfers::Offer> Transfers::takeOffer()
{
    std::optional<Offer> offer = std::exchange(offer_, std::nullopt);
    if (offer) {
        QSettings settings;
        settings.setValue(offeredKey, settings.value(offeredKey).toStringList() << offer->source);
    }
    return offer;
}
