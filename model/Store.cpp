#include "model/Store.h"

#include "model/DiskFile.h"
#include "model/NoteModel.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <mutex>

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
    QString path;
    int generation = 0;
};

// Loading on the GUI thread and writing on the writer's share what was seen.
std::mutex seenLock;

// Callers hold seenLock.
Seen& seenFor(const QString& path, int generation)
{
    static Seen state;
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

// Moves the file out of the way of the next save: whatever is in it stays on disk for the user
// to recover.
void keepAside(const QString& path, const QString& why, const QString& message,
               const QDateTime& when)
{
    const QString aside = asideName(path, why, when);
    if (QFile::rename(path, aside) || QFile::copy(path, aside)) {
        platform::log(QStringLiteral("Quillhaven: ") + message + aside);
    }
}

// A sync tool or an editor may have replaced the file since we last touched it. Its version is
// not ours to throw away unseen; a file that merely looks different (touched, or rewritten
// with the same bytes) is not a change.
void keepOutsideChange(const Seen& seen, const QString& path, const QDateTime& when)
{
    if (!seen.known) {
        return;
    }
    const std::optional<DiskFile::Stamp> now = DiskFile::stampOf(path);
    if (!now || now == seen.stamp) {
        return;
    }
    QFile file(path);
    if (seen.stamp && file.open(QIODevice::ReadOnly) && hashOf(file.readAll()) == seen.hash) {
        return;
    }
    keepAside(path, QStringLiteral("outside"),
              QStringLiteral("notes file changed outside, kept as "), when);
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
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("notes.json"));
}

QString url()
{
    if (const QString& chosen = platform::services().notesFile; !chosen.isEmpty()) {
        return chosen;
    }
    static const QString located = [] {
        QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (data.isEmpty()) {
            data = QDir::homePath() + QStringLiteral("/.local/share");
        }
        return locateIn(data);
    }();
    return located;
}

QList<NoteData> load()
{
    const QString path = url();
    const std::lock_guard lock(seenLock);
    Seen& seen = seenFor(path, platform::servicesGeneration());
    QFile file(path);
    if (!file.exists()) {
        remember(seen, std::nullopt, {});
        return {};
    }
    std::optional<QList<NoteData>> records;
    if (file.open(QIODevice::ReadOnly)) {
        const std::optional<DiskFile::Stamp> stamp = DiskFile::stampOf(file.handle());
        const QByteArray bytes = file.readAll();
        file.close();
        records = decode(bytes);
        remember(seen, stamp, bytes);
    }
    if (!records) {
        keepAside(path, QStringLiteral("unreadable"),
                  QStringLiteral("notes file unreadable, kept as "), platform::now());
        remember(seen, std::nullopt, {});
        return {};
    }
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
    return taken;
}

bool write(const Snapshot& snapshot, QString* error)
{
    QString reason;
    const QByteArray bytes = encode(snapshot.records, &reason);
    if (bytes.isEmpty()) {
        return fail(reason, error);
    }
    const std::lock_guard lock(seenLock);
    Seen& seen = seenFor(snapshot.path, snapshot.generation);
    keepOutsideChange(seen, snapshot.path, snapshot.taken);
    DiskFile::Stamp written;
    if (!DiskFile::replace(snapshot.path, bytes, &reason, &written)) {
        return fail(reason, error);
    }
    remember(seen, written, bytes);
    return true;
}

bool save(const QList<NoteModel*>& notes)
{
    return write(snapshot(notes));
}

} // namespace Store
