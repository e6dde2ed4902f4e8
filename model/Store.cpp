#include "model/Store.h"

#include "model/DiskFile.h"
#include "model/LocalLayout.h"
#include "model/NoteModel.h"
#include "model/RemoteFiles.h"
#include "model/SafeFiles.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Notices.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace Store {

namespace {

bool fail(const QString& reason, QString* error)
{
    platform::log(QStringLiteral("Quillhaven: save failed: ") + reason);
    if (error) {
        *error = reason;
    }
    return false;
}

// What the notes file looked like when this process last read or wrote it. Until the first
// load or save nothing is known, and nothing is judged. It belongs to one file under one set of
// services: installed anew, they start from nothing, as a new process would.
struct Seen {
    bool known = false;
    std::optional<DiskFile::Stamp> stamp; // none: there was no file
    size_t hash = 0;                      // of the bytes, rather than a second copy of them
    // This computer's layout file: as last written (a digest), and whether a failure to
    // write it was told already.
    QString layoutPath;
    std::optional<size_t> layoutWritten;
    bool layoutFailureTold = false;
    QString path;
    int generation = 0;
};

// Loading on the GUI thread and writing on the writer's share what was seen.
std::mutex seenLock;

// Callers hold seenLock.
Seen& seenState()
{
    static Seen state;
    return state;
}

// Callers hold seenLock.
Seen& seenFor(const QString& path, int generation)
{
    Seen& state = seenState();
    if (state.path != path || state.generation != generation) {
        state = Seen{};
        state.path = path;
        state.generation = generation;
    }
    return state;
}

size_t hashOf(const QByteArray& bytes)
{
    return qHash(QByteArrayView(bytes), size_t(0x5eed));
}

void remember(Seen& state, std::optional<DiskFile::Stamp> stamp, const QByteArray& bytes)
{
    state.known = true;
    state.stamp = stamp;
    state.hash = hashOf(bytes);
}

// Rewritten only when it changed, which most saves (a key typed) leave alone. A failure
// leaves the notes file's layout to fall back on and the next save tries again; it is told
// once, not at every save.
void writeLayout(Seen& seen, const Snapshot& snapshot)
{
    if (snapshot.layoutPath.isEmpty()) {
        return;
    }
    if (seen.layoutPath != snapshot.layoutPath) {
        seen.layoutPath = snapshot.layoutPath;
        seen.layoutWritten.reset();
        seen.layoutFailureTold = false;
    }
    const size_t digest = LocalLayout::digest(snapshot.records);
    if (seen.layoutWritten == digest) {
        return;
    }
    QString error;
    if (LocalLayout::write(snapshot.layoutPath, snapshot.records, &error)) {
        seen.layoutWritten = digest;
    } else if (!std::exchange(seen.layoutFailureTold, true)) {
        platform::log(QStringLiteral("Quillhaven: this computer's layout not saved: ") + error);
    }
}

constexpr size_t keptOutsideCopies = 5;

// A free name beside `path` that tells why and when the file was set aside; never an existing
// one.
QString asideName(const QString& path, const QString& why, const QDateTime& when)
{
    const QString stamp = when.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + QLatin1Char('.') + why + QLatin1Char('-') + stamp;
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n) {
        candidate = base + QLatin1Char('-') + QString::number(n);
    }
    return candidate;
}

} // namespace

QString keepAside(const QString& path, const QString& why, const QString& message,
                  const QDateTime& when)
{
    const QString aside = asideName(path, why, when);
    // Only a regular file is copied: reading a FIFO or device could block for ever.
    if (QFile::rename(path, aside) || (QFileInfo(path).isFile() && QFile::copy(path, aside))) {
        platform::log(QStringLiteral("Quillhaven: ") + message + aside);
        return aside;
    }
    return {};
}

namespace {

// Whether `file` is something other than the notes file as this process last read or wrote it:
// a sync tool or an editor may have replaced it since. A file that merely looks different
// (touched, or rewritten with the same bytes) is not a change; until anything is known, nothing
// is judged.
bool changedOutside(const Seen& seen, const QString& file)
{
    if (!seen.known) {
        return false;
    }
    const std::optional<DiskFile::Stamp> now = DiskFile::stampOf(file);
    if (!now || now == seen.stamp) {
        return false;
    }
    // Never a plain open: a FIFO put in the file's place would hold the save thread for good.
    QFile opened;
    return !(seen.stamp && SafeFiles::openRegular(file, opened) &&
             hashOf(opened.readAll()) == seen.hash);
}

// Whether each note of a set-aside copy, as far as it reads, says what a live note says: only
// then does its going lose nothing. One that cannot be read at all is kept.
bool holdsNothingNew(const QString& copy, const QSet<QString>& liveTexts)
{
    QFile file;
    if (!SafeFiles::openRegular(copy, file)) {
        return false;
    }
    const QList<NoteData> notes = salvage(file.readAll());
    return std::all_of(notes.cbegin(), notes.cend(),
                       [&liveTexts](const NoteData& r) { return liveTexts.contains(r.text); });
}

// Every outside change is a whole notes file; a few of the newest are what anyone recovers
// from, so older ones go rather than fill the disk, unless they hold a note the live ones do
// not. Only names this program gives them count.
void pruneOutsideCopies(const QString& path, const QList<NoteData>& live)
{
    QSet<QString> liveTexts;
    for (const NoteData& r : live) {
        liveTexts.insert(r.text);
    }
    const QFileInfo info(path);
    const QRegularExpression ours(QLatin1Char('^') + QRegularExpression::escape(info.fileName()) +
                                  QStringLiteral("\\.outside-(\\d{8}-\\d{6})(?:-(\\d+))?$"));
    // When it was set aside, then its number within that second.
    std::vector<std::tuple<QString, int, QString>> copies;
    for (const QString& name : info.dir().entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = ours.match(name);
        if (match.hasMatch()) {
            const int number = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
            copies.emplace_back(match.captured(1), number, name);
        }
    }
    std::sort(copies.begin(), copies.end(), std::greater<>());
    for (size_t i = keptOutsideCopies; i < copies.size(); ++i) {
        const QString copy = info.dir().filePath(std::get<2>(copies[i]));
        const QByteArray entry = QFile::encodeName(copy);
        struct stat st {};
        if (::lstat(entry.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            holdsNothingNew(copy, liveTexts)) {
            ::unlink(entry.constData());
        }
    }
}

void keepOutsideChange(const QString& file, const Snapshot& snapshot)
{
    const QString& path = snapshot.path;
    const QString aside = asideName(path, QStringLiteral("outside"), snapshot.taken);
    const bool moved = QFile::rename(file, aside);
    // Only a regular file is copied: reading a FIFO could block for ever.
    if (moved || (QFileInfo(file).isFile() && QFile::copy(file, aside))) {
        platform::log(QStringLiteral("Quillhaven: notes file changed outside, kept as ") + aside);
        // Said where the user looks too: what was put in the file's place is not in their notes.
        platform::Notices::shared().post(
            QCoreApplication::translate("Sync", "The notes file was replaced by one that could not "
                                                "be read; it is kept as “%1”.")
                .arg(QFileInfo(aside).fileName()));
        // A displaced file on another disk (a linked notes file) leaves no litter behind.
        if (!moved && file != path) {
            QFile::remove(file);
        }
    }
    pruneOutsideCopies(path, snapshot.records);
}

bool decodes(const QString& file)
{
    QFile opened;
    return SafeFiles::openRegular(file, opened) && decode(opened.readAll()).has_value();
}

// Another program may be writing the file in place (truncate, write, pause, write more): one
// that does not read is looked at again until it reads, or until it has stayed the same for
// half a second, within two seconds in all. Only the saving thread waits, holding no lock.
void settle(const QString& file)
{
    constexpr int lookMs = 100;
    constexpr int looksStill = 5;
    constexpr int looksInAll = 20;
    const auto& pause = platform::services().settlePause;
    std::optional<DiskFile::Stamp> last = DiskFile::stampOf(file);
    int still = 0;
    for (int look = 0; look < looksInAll && still < looksStill; ++look) {
        if (decodes(file)) {
            return;
        }
        pause ? pause(lookMs) : std::this_thread::sleep_for(std::chrono::milliseconds(lookMs));
        const std::optional<DiskFile::Stamp> now = DiskFile::stampOf(file);
        still = now == last ? still + 1 : 0;
        last = now;
    }
}

// An outside version that reads is parked beside the notes file, where the next merge takes
// it in; one that does not is kept aside for the user, as before.
void setAsideOutsideChange(const QString& file, const Snapshot& snapshot)
{
    if (!decodes(file)) {
        keepOutsideChange(file, snapshot);
        return;
    }
    const QString& path = snapshot.path;
    const QString parked = RemoteFiles::parkingName(path, snapshot.taken);
    const bool moved = QFile::rename(file, parked);
    if (!moved && QFile::copy(file, parked) && file != path) {
        QFile::remove(file);
    }
}

bool isVersion(const std::optional<DiskFile::Stamp>& merged, const QString& file)
{
    return merged && DiskFile::stampOf(file) == merged;
}

// What the swap took off the notes file's place: ours as last seen (or the version merged
// into ours), or an outside version that landed at the last moment.
bool displacedRemoteVersion(const Seen& seen, const Store::Snapshot& snapshot,
                            const QString& displaced)
{
    return !displaced.isEmpty() && changedOutside(seen, displaced) &&
           !isVersion(snapshot.merged, displaced);
}

} // namespace

QString locateIn(const QString& dataDir)
{
    const QDir base(dataDir);
    const QString folder = base.filePath(QStringLiteral("Quillhaven"));
    const QString legacy = base.filePath(QStringLiteral("Scribbloft"));
    // Only while the new folder does not exist: a rename onto an empty directory would
    // otherwise succeed and replace it.
    if (!QFileInfo::exists(folder)) {
        QDir().rename(legacy, folder);
    }
    // The notes and their pictures are for the user's eyes only.
    SafeFiles::makePrivateFolder(folder);
    return QDir(folder).filePath(QStringLiteral("notes.json"));
}

namespace {

const QString folderKey = QStringLiteral("notesFolder");

// The folder the notes moved to while running, for the services it was chosen under.
struct Moved {
    std::mutex lock;
    QString folder;
    int generation = -1;
};

Moved& moved()
{
    static Moved state;
    return state;
}

QString notesIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("notes.json"));
}

} // namespace

QString configuredFolder(const QString& dataDir)
{
    // Scripts, tests and a second copy for another folder name the notes folder itself.
    if (const QString folder = qEnvironmentVariable("QUILLHAVEN_DATA_DIR"); !folder.isEmpty()) {
        SafeFiles::createPrivateFolder(folder);
        return folder;
    }
    if (const QString chosen = QSettings().value(folderKey).toString(); !chosen.isEmpty()) {
        if (QFileInfo(chosen).isDir()) {
            return chosen;
        }
        // A folder on a drive not mounted yet: a fresh one made in its place would hide the
        // notes from the user and later stand in their way.
        platform::log(QStringLiteral("Quillhaven: notes folder missing, using the default: ") +
                      chosen);
    }
    return QFileInfo(locateIn(dataDir)).absolutePath();
}

void useFolder(const QString& folder)
{
    Moved& state = moved();
    const std::lock_guard guard(state.lock);
    state.folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    state.generation = platform::servicesGeneration();
}

void rememberFolder(const QString& folder)
{
    QSettings().setValue(folderKey, QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

QString url()
{
    {
        Moved& state = moved();
        const std::lock_guard guard(state.lock);
        if (state.generation == platform::servicesGeneration() && !state.folder.isEmpty()) {
            return notesIn(state.folder);
        }
    }
    if (const QString& chosen = platform::services().notesFile; !chosen.isEmpty()) {
        return chosen;
    }
    static const QString located = [] {
        QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (data.isEmpty()) {
            data = QDir::homePath() + QStringLiteral("/.local/share");
        }
        return notesIn(configuredFolder(data));
    }();
    return located;
}

QString folder()
{
    return QFileInfo(url()).absolutePath();
}

namespace {

// Reads the notes file when it is a regular one; nothing when it cannot be read as one.
std::optional<QByteArray> readNotes(const QString& path, std::optional<DiskFile::Stamp>* stamp)
{
    QFile file;
    if (!SafeFiles::openRegular(path, file)) {
        return std::nullopt;
    }
    *stamp = DiskFile::stampOf(file.handle());
    QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? std::optional(std::move(bytes)) : std::nullopt;
}

} // namespace

QList<NoteData> load(Damage* damage)
{
    const QString path = url();
    const std::lock_guard lock(seenLock);
    Seen& seen = seenFor(path, platform::servicesGeneration());
    if (!QFile::exists(path)) {
        remember(seen, std::nullopt, {});
        return {};
    }
    std::optional<DiskFile::Stamp> stamp;
    const std::optional<QByteArray> bytes = readNotes(path, &stamp);
    std::optional<QList<NoteData>> records = bytes ? decode(*bytes) : std::nullopt;
    if (records) {
        remember(seen, stamp, *bytes);
    } else {
        const QString keptAs =
            keepAside(path, QStringLiteral("unreadable"),
                      QStringLiteral("notes file unreadable, kept as "), platform::now());
        remember(seen, std::nullopt, {});
        // The damaged file stays as it was; what of it still reads is worth having.
        records = bytes ? salvage(*bytes) : QList<NoteData>();
        if (damage != nullptr) {
            *damage = Damage{keptAs.isEmpty() ? path : keptAs, int(records->size())};
        }
    }
    // The notes file may hold another computer's layout.
    LocalLayout::layOver(*records);
    QSet<QUuid> ids;
    for (NoteData& record : *records) {
        // A copied record (a merge by hand, a sync tool) must not share its identity: the
        // dashboard, the pad and every later run find notes by id.
        if (ids.contains(record.id)) {
            record.id = QUuid::createUuid();
        }
        ids.insert(record.id);
    }
    return *records;
}

Snapshot snapshot(const QList<NoteModel*>& notes)
{
    QList<NoteData> records;
    records.reserve(notes.size());
    for (const NoteModel* note : notes) {
        records << note->data();
    }
    return snapshotOf(std::move(records));
}

Snapshot snapshotOf(QList<NoteData> records)
{
    Snapshot taken;
    taken.records = std::move(records);
    taken.path = url();
    taken.generation = platform::servicesGeneration();
    taken.taken = platform::now();
    taken.layoutPath = LocalLayout::path();
    return taken;
}

bool writeQuietly(const Snapshot& snapshot, QString* error)
{
    QString reason;
    // Each thread that saves keeps its own: in practice the writer's.
    thread_local Encoder encoder;
    const QByteArray bytes = encoder.encode(snapshot.records, &reason);
    if (bytes.isEmpty()) {
        *error = reason;
        return false;
    }
    std::unique_lock lock(seenLock);
    const auto outsideVersion = [&snapshot] {
        const Seen& seen = seenFor(snapshot.path, snapshot.generation);
        return changedOutside(seen, snapshot.path) && !isVersion(snapshot.merged, snapshot.path);
    };
    if (outsideVersion() && !decodes(snapshot.path)) {
        lock.unlock();
        settle(snapshot.path);
        lock.lock();
    }
    Seen& seen = seenFor(snapshot.path, snapshot.generation);
    // Where the file system cannot swap files, this look before is all there is.
    if (outsideVersion()) {
        setAsideOutsideChange(snapshot.path, snapshot);
    }
    DiskFile::Stamp written;
    QString displaced;
    if (!DiskFile::replace(snapshot.path, bytes, error, &written, &displaced)) {
        return false;
    }
    const bool outsideDisplaced = displacedRemoteVersion(seen, snapshot, displaced);
    remember(seen, written, bytes);
    writeLayout(seen, snapshot);
    lock.unlock();
    if (outsideDisplaced) {
        // A program writing the file in place when the swap came goes on writing into the
        // displaced one: it is judged once it reads or has settled, and set aside for the merge.
        settle(displaced);
        setAsideOutsideChange(displaced, snapshot);
    } else if (!displaced.isEmpty()) {
        QFile::remove(displaced);
    }
    return true;
}

std::optional<RemoteVersion> readRemote(const QString& path, int generation,
                                        const std::optional<DiskFile::Stamp>& merged,
                                        bool* unreadable)
{
    bool ignored = false;
    bool& changedUnreadable = unreadable != nullptr ? *unreadable : ignored;
    changedUnreadable = false;
    Seen seen;
    {
        const std::lock_guard lock(seenLock);
        // Only looked at: asking for another file would make the store forget this one.
        seen = seenState();
    }
    if (!seen.known || seen.path != path || seen.generation != generation) {
        return std::nullopt;
    }
    QFile file;
    if (!SafeFiles::openRegular(path, file)) {
        // Something is there that is not the file this process wrote: a link, a FIFO, a device.
        changedUnreadable = DiskFile::stampOf(path).has_value();
        return std::nullopt;
    }
    const std::optional<DiskFile::Stamp> stamp = DiskFile::stampOf(file.handle());
    if (!stamp || stamp == seen.stamp || stamp == merged) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (seen.stamp && hashOf(bytes) == seen.hash) {
        return std::nullopt;
    }
    std::optional<QList<NoteData>> records = decode(bytes);
    if (!records) {
        changedUnreadable = true; // kept aside by the next save, never merged
        return std::nullopt;
    }
    return RemoteVersion{std::move(*records), *stamp};
}

bool write(const Snapshot& snapshot, QString* error)
{
    QString reason;
    if (!writeQuietly(snapshot, &reason)) {
        return fail(reason, error);
    }
    return true;
}

bool save(const QList<NoteModel*>& notes)
{
    return write(snapshot(notes));
}

} // namespace Store
