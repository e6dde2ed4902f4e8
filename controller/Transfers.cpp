#include "controller/Transfers.h"

#include "controller/AppController.h"
#include "model/Images.h"
#include "model/NotesExport.h"
#include "platform/FolderChooser.h"
#include "platform/Log.h"
#include "platform/Notices.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QThreadPool>

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
