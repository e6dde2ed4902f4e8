#include "model/NotesFolder.h"

#include "model/DiskFile.h"
#include "model/Images.h"
#include "model/SafeFiles.h"
#include "model/Tombstones.h"
#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NotesFolder {

namespace {

const QString notesName = QStringLiteral("notes.json");
const QString imagesName = QStringLiteral("images");
const QString fromName = QStringLiteral("from");

QString tombstonesName()
{
    return QFileInfo(TombstoneFile::pathBeside(notesName)).fileName();
}

QString in(const QString& folder, const QString& name)
{
    return QDir(folder).filePath(name);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool fail(QString* error, const QString& reason)
{
    *error = reason;
    return false;
}

bool isRealFolder(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The contents of a small file of ours (a journal, the staging folder's note), or nothing.
QString readNote(const QString& path)
{
    QFile file;
    if (!SafeFiles::openRegular(path, file)) {
        return {};
    }
    return QString::fromUtf8(file.read(64 * 1024)).trimmed();
}

void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QStringList regularFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
}

QStringList ownImages(const QString& folder)
{
    QStringList names = regularFiles(in(folder, imagesName));
    names.removeIf([](const QString& name) { return !Images::isOwnName(name); });
    return names;
}

// The notes files kept aside beside the notes file (changed outside, unreadable): the user's
// to recover from, so they go along.
QStringList asideCopies(const QString& folder)
{
    static const QRegularExpression kept(
        QStringLiteral("^notes\\.json\\.[a-z]+-\\d{8}-\\d{6}(?:-\\d+)?$"));
    QStringList names = regularFiles(folder);
    names.removeIf([](const QString& name) { return !kept.match(name).hasMatch(); });
    return names;
}

// A durable copy of `name` from one folder to another, unless the target has it already.
bool copyInto(const QString& source, const QString& name, const QString& target, QString* error)
{
    if (QFileInfo::exists(in(target, name))) {
        return true;
    }
    QFile file;
    if (!SafeFiles::openRegular(in(source, name), file, error)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return fail(error, file.errorString());
    }
    return SafeFiles::writePrivate(target, name, bytes, error);
}

bool makeFolder(const QString& path, QString* error)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || isRealFolder(path)) {
        return true;
    }
    return fail(error, systemError());
}

// Renames without ever replacing a file that is already there.
bool renameNoReplace(const QString& from, const QString& to, QString* error)
{
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return fail(error, systemError());
    }
    // A file system without the flag: a look first, the next best thing.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        errno = EEXIST;
        return fail(error, systemError());
    }
    return ::rename(a.constData(), b.constData()) == 0 || fail(error, systemError());
}

// Moves each staged file into `target`; one of the same name there already is the same file
// (pictures are named once, kept copies by the second), so the staged one goes.
bool moveFiles(const QString& staged, const QStringList& names, const QString& target,
               QString* error)
{
    bool ok = true;
    for (const QString& name : names) {
        if (QFileInfo::exists(in(target, name))) {
            QFile::remove(in(staged, name));
        } else if (!renameNoReplace(in(staged, name), in(target, name), error)) {
            ok = false;
        }
    }
    syncFolder(target);
    return ok;
}

void removeStaging(const QString& to)
{
    const QString staging = stagingPath(to);
    if (isRealFolder(staging)) {
        QDir(staging).removeRecursively();
        syncFolder(to);
    }
}

// Only absolute paths are ever written: anything else would be read against the working
// folder.
bool journalNames(const QString& from, const QString& to)
{
    return QDir::isAbsolutePath(from) && readNote(journalPath(from)) == to;
}

} // namespace

QString journalPath(const QString& from)
{
    return in(from, QStringLiteral("notes.moving"));
}

QString stagingPath(const QString& to)
{
    return in(to, QStringLiteral(".notes-moving"));
}

bool holdsNotes(const QString& folder)
{
    const QString notes = in(folder, notesName);
    return QFileInfo::exists(notes) || QFileInfo(notes).isSymLink();
}

bool begin(const QString& from, const QString& to, QString* error)
{
    // What a move cut short before its commit left here is of no use to anyone.
    removeStaging(to);
    if (!DiskFile::replace(journalPath(from), to.toUtf8(), error)) {
        return false;
    }
    const QString staging = stagingPath(to);
    if (makeFolder(staging, error) &&
        SafeFiles::writePrivate(staging, fromName, from.toUtf8(), error)) {
        return true;
    }
    abandon(from, to);
    return false;
}

bool stageBulk(const QString& from, const QString& to, QString* error,
               const std::atomic<bool>* cancel)
{
    const QString staging = stagingPath(to);
    const QString images = in(staging, imagesName);
    if (!makeFolder(images, error)) {
        return false;
    }
    for (const QString& name : ownImages(from)) {
        if (cancel != nullptr && cancel->load()) {
            return fail(error, QStringLiteral("cancelled"));
        }
        if (!copyInto(in(from, imagesName), name, images, error)) {
            return false;
        }
    }
    for (const QString& name : asideCopies(from)) {
        if (!copyInto(from, name, staging, error)) {
            return false;
        }
    }
    return true;
}

bool commit(const QString& from, const QString& to, const QByteArray& notes, QString* error)
{
    const QString staging = stagingPath(to);
    if (!stageBulk(from, to, error)) {
        return false;
    }
    if (QFileInfo::exists(in(from, tombstonesName())) &&
        !copyInto(from, tombstonesName(), staging, error)) {
        return false;
    }
    if (!SafeFiles::writePrivate(staging, notesName, notes, error) ||
        !renameNoReplace(in(staging, notesName), in(to, notesName), error)) {
        return false;
    }
    syncFolder(to);
    return true;
}

bool place(const QString& to, QString* error)
{
    const QString staging = stagingPath(to);
    const QString stagedImages = in(staging, imagesName);
    bool ok = true;
    if (isRealFolder(stagedImages)) {
        const QString images = in(to, imagesName);
        SafeFiles::createPrivateFolder(images);
        ok = moveFiles(stagedImages, regularFiles(stagedImages), images, error);
        QDir().rmdir(stagedImages);
    }
    const QString stagedTombstones = in(staging, tombstonesName());
    if (QFileInfo::exists(stagedTombstones)) {
        const QString target = in(to, tombstonesName());
        const Tombstones both = TombstoneFile::united(TombstoneFile::read(stagedTombstones),
                                                      TombstoneFile::read(target));
        if (TombstoneFile::write(target, both, error)) {
            QFile::remove(stagedTombstones);
        } else {
            ok = false;
        }
    }
    return moveFiles(staging, asideCopies(staging), to, error) && ok;
}

void clearOld(const QString& from, const QString& to)
{
    const QString staging = stagingPath(to);
    // Whatever place() left in the staging folder is found again through the journal.
    const bool placed =
        !isRealFolder(staging) || QDir(staging).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                          QDir::Hidden) == QStringList{fromName};
    if (journalNames(from, to) && holdsNotes(to)) {
        QStringList images = ownImages(from);
        images.removeIf(
            [&](const QString& name) { return !QFileInfo::exists(in(in(to, imagesName), name)); });
        SafeFiles::removeIn(in(from, imagesName), images);
        QDir().rmdir(in(from, imagesName));
        QStringList files = asideCopies(from);
        files << tombstonesName() << notesName;
        files.removeIf([&](const QString& name) { return !QFileInfo::exists(in(to, name)); });
        SafeFiles::removeIn(from, files);
        DiskFile::removeLeftovers(in(from, notesName));
        syncFolder(from);
        if (!placed) {
            return;
        }
        // Last: until here a start in the old folder finishes the move.
        QFile::remove(journalPath(from));
        syncFolder(from);
    }
    if (placed && readNote(in(staging, fromName)) == from) {
        removeStaging(to);
    }
}

void abandon(const QString& from, const QString& to)
{
    const QString staged = readNote(in(stagingPath(to), fromName));
    if (staged.isEmpty() || staged == from) {
        removeStaging(to);
    }
    if (journalNames(from, to)) {
        QFile::remove(journalPath(from));
        syncFolder(from);
    }
}

QString recover(const QString& folder)
{
    if (const QString to = readNote(journalPath(folder)); !to.isEmpty()) {
        if (holdsNotes(to) && readNote(in(stagingPath(to), fromName)) == folder) {
            QString error;
            place(to, &error);
            clearOld(folder, to);
            platform::log(QStringLiteral("Quillhaven: finished moving the notes to ") + to);
            return to;
        }
        abandon(folder, to);
        platform::log(QStringLiteral("Quillhaven: undid an unfinished move of the notes to ") + to);
        return folder;
    }
    if (!isRealFolder(stagingPath(folder))) {
        return folder;
    }
    const QString from = readNote(in(stagingPath(folder), fromName));
    if (holdsNotes(folder) && from.isEmpty()) {
        // Left by a kill as a move ended, with nothing left to say where from: what it may
        // still hold is put in place, and nothing was moving.
        QString error;
        if (place(folder, &error)) {
            removeStaging(folder);
        }
    } else if (holdsNotes(folder)) {
        QString error;
        place(folder, &error);
        clearOld(from, folder);
        platform::log(QStringLiteral("Quillhaven: finished moving the notes from ") + from);
    } else {
        abandon(from, folder);
    }
    return folder;
}

} // namespace NotesFolder
