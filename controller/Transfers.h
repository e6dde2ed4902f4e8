#pragma once

#include "model/Backups.h"

#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class AppController;
class QMimeData;
class QUrl;
class QTimer;

// The notes as files the user keeps: an export to Markdown, written on a worker so that a large
// export never holds up the interface; the import of notes kept elsewhere; and the daily
// backups, with the restore from one.
class Transfers : public QObject {
    Q_OBJECT
public:
    explicit Transfers(AppController& app);
    ~Transfers() override;

    // Asks for a folder without waiting, then exports there.
    void chooseExportFolder();
    // Exports every note not in Recently Deleted into `folder`; says on the dashboard how it
    // went. One export at a time: asking again while one runs does nothing.
    void exportTo(const QString& folder);
    bool exporting() const { return exporting_; }

    // Asks for a folder without waiting (of text or Markdown files, an export, Xpad's pads),
    // then imports from it.
    void chooseImportFolder();
    // Brings in the notes at `path` (see NotesImport::read; "xpad" for Xpad's, "knotes" for
    // KNotes') that are not here yet, after a backup: their pictures stored, shown ones on the
    // screen where they were (kept within it), hidden ones tucked. Returns how many came; says so
    // on the dashboard.
    int importFrom(const QString& path);

    // Notes another program keeps in its usual place, none of them brought in yet.
    struct Offer {
        QString source; // as importFrom() takes it
        QString program;
        int notes = 0;
    };
    // Looks on a worker for another program's notes that were never offered to the user, and
    // holds the first such find as the offer.
    void lookForOtherNotes();
    // The offer, once: it is remembered as made and is not held any more.
    std::optional<Offer> takeOffer();

    // Whether a drop from another program holds something to make a note of: text, a link, a
    // text or Markdown file, a picture or a picture's file.
    static bool canMakeNote(const QMimeData& data);
    // Makes a note of each thing dropped and tucks it into the pad; false when none was made.
    bool noteFromDrop(const QMimeData& data);

    // Makes the day's backup on a worker when there is none yet, now and after each midnight.
    void startBackups();
    // A backup now, before something that changes many notes at once; on this thread, after
    // the writer has put every change on the disk. False (logged) when it could not be made.
    bool backUpNow();
    // The backups, newest first.
    QList<Backups::Backup> backups() const;
    // Merges the notes of the backup at `path` into the live notes like another computer's:
    // nothing newer is overwritten, and notes gone since come back into Recently Deleted.
    // Returns how many notes changed or came back; says so on the dashboard.
    int restoreFrom(const QString& path);

Q_SIGNALS:
    // lookForOtherNotes() found something to offer.
    void offerFound();
    // An export ended: `error` is empty when every file was written.
    void exported(const QString& folder, int notes, const QString& error);

private:
    void finishExport(const QString& folder, int notes, const QString& error);

    void armBackupTimer();
    void tuckText(const QString& text);
    bool notesFromUrls(const QList<QUrl>& urls);

    AppController& app_;
    QTimer* backupTimer_ = nullptr;
    bool exporting_ = false;
    std::optional<Offer> offer_;
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
};
