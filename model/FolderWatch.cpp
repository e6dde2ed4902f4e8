#include "model/FolderWatch.h"

#include "platform/Clock.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <utility>

namespace {

QTimer* quietTimer(QObject* parent)
{
    auto* timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(FolderWatch::settleMs);
    return timer;
}

} // namespace

FolderWatch::FolderWatch(QObject* parent)
    : QObject(parent)
    , watcher_(new QFileSystemWatcher(this))
    , notesQuiet_(quietTimer(this))
    , imagesQuiet_(quietTimer(this))
{
    // Every event restarts the wait: only the end of a burst is told.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& dir) {
        if (dir == images_) {
            imagesQuiet_->start();
        } else {
            notesSeen();
        }
    });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &FolderWatch::notesSeen);
    connect(notesQuiet_, &QTimer::timeout, this, [this] {
        rewatch();
        Q_EMIT notesChanged();
    });
    connect(imagesQuiet_, &QTimer::timeout, this, [this] {
        rewatch();
        Q_EMIT imagesChanged();
    });
}

FolderWatch::~FolderWatch() = default;

void FolderWatch::watch(const QString& notesFile)
{
    if (const QStringList all = watcher_->files() + watcher_->directories(); !all.isEmpty()) {
        watcher_->removePaths(all);
    }
    notesQuiet_->stop();
    imagesQuiet_->stop();
    notesFile_ = notesFile;
    folder_ = notesFile.isEmpty() ? QString() : QFileInfo(notesFile).absolutePath();
    images_ = folder_.isEmpty() ? QString() : QDir(folder_).filePath(QStringLiteral("images"));
    rewatch();
}

// Adds whatever is not watched (yet, or any more): a file replaced by a rename is a new file,
// and the images folder may only now exist.
void FolderWatch::rewatch()
{
    if (folder_.isEmpty()) {
        return;
    }
    QStringList missing;
    const QStringList dirs = watcher_->directories();
    for (const QString& dir : {folder_, images_}) {
        if (!dirs.contains(dir) && QFileInfo(dir).isDir()) {
            missing << dir;
        }
    }
    // The folder tells of renames and new files; only the file itself tells of a write in place.
    // Watched anew each time: after a rename over it, the old watch follows the old file.
    if (watcher_->files().contains(notesFile_)) {
        watcher_->removePath(notesFile_);
    }
    if (QFileInfo(notesFile_).isFile()) {
        missing << notesFile_;
    }
    if (!missing.isEmpty()) {
        watcher_->addPaths(missing);
    }
}

bool FolderWatch::settling() const
{
    return notesQuiet_->isActive() || imagesQuiet_->isActive();
}

void FolderWatch::notesSeen()
{
    if (noticed_.isNull()) {
        noticed_ = platform::now();
    }
    notesQuiet_->start();
}

QDateTime FolderWatch::takeNoticed()
{
    const QDateTime noticed = std::exchange(noticed_, QDateTime());
    return noticed.isNull() ? platform::now() : noticed;
}
