#include "controller/Transfers.h"

#include "controller/AppController.h"
#include "controller/RemoteChanges.h"
#include "model/Images.h"
#include "model/NotesExport.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "platform/Clock.h"
#include "platform/FolderChooser.h"
#include "platform/Log.h"
#include "platform/Notices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPointer>
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
