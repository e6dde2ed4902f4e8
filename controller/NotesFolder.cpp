#include "model/NotesFolder.h"

#include "controller/AppController.h"
#include "controller/FolderLocks.h"
#include "controller/NotesFolderMove.h"
#include "controller/Transfers.h"
#include "model/ImageWork.h"
#include "model/NotesWriter.h"
#include "model/Snapshots.h"
#include "model/Store.h"
#include "platform/FileLock.h"
#include "platform/FolderChooser.h"
#include "platform/Log.h"
#include "platform/Notices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>
#include <utility>

namespace {

// Where no one else keeps the locks (tests, tools): the same lock files, without a note.
class PlainFolderLocks : public FolderLocks {
public:
    platform::FileLock::State claim(const QString& folder) override
    {
        auto lock = std::make_unique<platform::FileLock>(folderLockPath(folder));
        const platform::FileLock::State state = lock->tryLock();
        if (state == platform::FileLock::State::Taken) {
            next_ = std::move(lock);
        }
        return state;
    }
    void settle(bool moved) override
    {
        if (moved) {
            held_ = std::move(next_);
        }
        next_.reset();
    }

private:
    std::unique_ptr<platform::FileLock> held_;
    std::unique_ptr<platform::FileLock> next_;
};

QString cleanFolder(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

bool sameFolder(const QString& a, const QString& b)
{
    return a == b || (!QFileInfo(a).canonicalFilePath().isEmpty() &&
                      QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath());
}

// Whether `to` is the images folder of `from` or lies in it, however it is reached: a link to
// it is the same folder.
bool insideImages(const QString& from, const QString& to)
{
    const auto within = [](const QString& folder, const QString& images) {
        return !images.isEmpty() &&
               (folder == images || folder.startsWith(images + QLatin1Char('/')));
    };
    const QString images = from + QStringLiteral("/images");
    return within(to, images) ||
           within(QFileInfo(to).canonicalFilePath(), QFileInfo(images).canonicalFilePath());
}

void tell(const QString& text)
{
    platform::Notices::shared().post(text);
}

} // namespace

NotesFolderMove::NotesFolderMove(AppController& app)
    : app_(app)
{
}

NotesFolderMove::~NotesFolderMove()
{
    // A move cut short here is undone at the next start.
    if (move_) {
        move_->cancel->store(true);
    }
}

FolderLocks& NotesFolderMove::locks()
{
    if (locks_ != nullptr) {
        return *locks_;
    }
    if (!ownLocks_) {
        ownLocks_ = std::make_unique<PlainFolderLocks>();
    }
    return *ownLocks_;
}

void NotesFolderMove::choose()
{
    if (moving()) {
        return;
    }
    platform::chooseFolder(QCoreApplication::translate("NotesFolder", "Choose the Notes Folder"),
                           Store::folder(), this,
                           [this](const QString& folder) { moveTo(folder); });
}

void NotesFolderMove::moveTo(const QString& folder)
{
    const QString from = cleanFolder(Store::folder());
    const QString to = cleanFolder(folder);
    if (folder.isEmpty() || moving() || sameFolder(from, to)) {
        return;
    }
    if (!QFileInfo(to).isDir()) {
        tellFailed(to, QCoreApplication::translate("NotesFolder", "it is not a folder"));
        return;
    }
    if (insideImages(from, to)) {
        tellFailed(to, QCoreApplication::translate("NotesFolder", "it holds the pictures"));
        return;
    }
    const platform::FileLock::State claimed = locks().claim(to);
    if (claimed == platform::FileLock::State::Failed) {
        tellFailed(to, QCoreApplication::translate("NotesFolder", "it cannot be written to"));
        return;
    }
    if (claimed == platform::FileLock::State::Held) {
        platform::log(QStringLiteral("Quillhaven: notes folder move refused, in use by another "
                                     "copy: ") +
                      to);
        tell(QCoreApplication::translate("NotesFolder",
                                         "Another copy of Quillhaven is using the notes in "
                                         "“%1”. Your notes stay in “%2”.")
                 .arg(to, from));
        return;
    }
    // The notes as they were, in case the move is not what the user wanted.
    app_.transfers().backUpNow();
    if (NotesFolder::holdsNotes(to)) {
        adoptNotesIn(to);
        return;
    }
    QString error;
    if (!NotesFolder::begin(from, to, &error)) {
        locks().settle(false);
        tellFailed(to, error);
        return;
    }
    // The pictures may be many: they are copied on a worker while the notes go on being used
    // (and saved in the old folder); the rest follows at once when they are done.
    move_ = Move{from, to, std::make_shared<std::atomic<bool>>(false)};
    const QPointer<NotesFolderMove> self(this);
    QThreadPool::globalInstance()->start([self, from, to, cancel = move_->cancel] {
        QString reason;
        const bool staged = NotesFolder::stageBulk(from, to, &reason, cancel.get());
        QMetaObject::invokeMethod(
            qApp,
            [self, staged, reason] {
                if (self) {
                    self->finish(staged, reason);
                }
            },
            Qt::QueuedConnection);
    });
}

void NotesFolderMove::finish(bool staged, const QString& error)
{
    const Move move = *std::exchange(move_, std::nullopt);
    QString reason = error;
    if (staged) {
        // Pictures still being written land in the old folder and are copied with the rest;
        // every change so far is on the disk before the notes file is written anew.
        Images::waitForWorker();
        app_.writer().drain();
        const QByteArray notes = Store::encode(app_.records(), &reason);
        staged = !notes.isEmpty() && NotesFolder::commit(move.from, move.to, notes, &reason);
    }
    if (!staged) {
        NotesFolder::abandon(move.from, move.to);
        locks().settle(false);
        tellFailed(move.to, reason);
        return;
    }
    // Committed: what is left is finished by the next start if it fails now.
    QString unplaced;
    if (!NotesFolder::place(move.to, &unplaced)) {
        platform::log(QStringLiteral("Quillhaven: notes folder move unfinished: ") + unplaced);
    }
    switchTo(move.to);
    // The writer may still hold a save for the old folder: a newer one takes its place, and
    // once it is written nothing goes to the old folder any more.
    app_.save();
    app_.writer().drain();
    NotesFolder::clearOld(move.from, move.to);
    Q_EMIT app_.notesFolderChanged(move.to);
}

void NotesFolderMove::switchTo(const QString& folder)
{
    Store::useFolder(folder);
    Store::rememberFolder(folder);
    locks().settle(true);
}

void NotesFolderMove::adoptNotesIn(const QString& folder)
{
    const QString from = cleanFolder(Store::folder());
    Images::waitForWorker();
    app_.writer().drain();
    switchTo(folder);
    const QList<NoteModel*> old = app_.notes();
    for (NoteModel* note : old) {
        app_.closeWindow(note);
    }
    app_.loadNotes();
    for (NoteModel* note : old) {
        note->deleteLater();
    }
    app_.bringBackOnScreenNotes();
    tell(QCoreApplication::translate("NotesFolder",
                                     "“%1” already held notes, so Quillhaven now shows those. The "
                                     "notes you had are still in “%2”: choose that folder again "
                                     "to go back to them.")
             .arg(folder, from));
    Q_EMIT app_.notesFolderChanged(folder);
}

void NotesFolderMove::tellFailed(const QString& folder, const QString& reason)
{
    platform::log(QStringLiteral("Quillhaven: notes folder move failed: ") + folder +
                  QStringLiteral(": ") + reason);
    tell(QCoreApplication::translate("NotesFolder",
                                     "The notes could not be moved to “%1”: %2. Nothing was "
                                     "changed; they stay in “%3”.")
             .arg(folder, reason, Store::folder()));
}

void NotesFolderMove::recover()
{
    const QString folder = cleanFolder(Store::folder());
    const QString now = NotesFolder::recover(folder);
    if (now == folder) {
        return;
    }
    if (locks().claim(now) != platform::FileLock::State::Taken) {
        platform::log(QStringLiteral("Quillhaven: notes folder in use by another copy: ") + now);
        return;
    }
    switchTo(now);
}
