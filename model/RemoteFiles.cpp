#include "model/RemoteFiles.h"

#include "model/Merge.h"
#include "model/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace RemoteFiles {

namespace {

// "notes.json" -> "notes" and ".json"; a name without an extension has none.
std::pair<QString, QString> split(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        return {fileName, QString()};
    }
    return {fileName.left(dot), fileName.mid(dot)};
}

std::optional<QByteArray> readRegular(const QString& path)
{
    QFile file;
    if (!SafeFiles::openRegular(path, file)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? std::optional(std::move(bytes)) : std::nullopt;
}

} // namespace

bool isConflictCopy(const QString& name, const QString& of)
{
    const auto [stem, extension] = split(of);
    // Most names in the folder are not copies: they are told apart without building a pattern.
    if (name.size() <= of.size() || !name.startsWith(stem, Qt::CaseInsensitive) ||
        !name.endsWith(extension, Qt::CaseInsensitive)) {
        return false;
    }
    // Syncthing; Nextcloud and ownCloud (with or without a user); Dropbox; older ownCloud.
    static const QString engines = QStringLiteral(
        "(?:\\.sync-conflict-\\d{8}-\\d{6}-[A-Za-z0-9]+"
        "| \\((?:[^()]*? )?conflicted copy(?: [^()]*?)?(?: \\(\\d+\\))?\\)(?: \\(\\d+\\))?"
        "|_conflict-(?:[^.]+-)?\\d{8}-\\d{6})");
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(stem) + engines +
                                         QRegularExpression::escape(extension) + QLatin1Char('$'),
                                     QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

bool isParked(const QString& name, const QString& of)
{
    if (!name.startsWith(of + QStringLiteral(".merging-"))) {
        return false;
    }
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(of) +
                                     QStringLiteral("\\.merging-\\d{8}-\\d{6}(?:-\\d+)?$"));
    return pattern.match(name).hasMatch();
}

QString parkingName(const QString& notesPath, const QDateTime& when)
{
    const QString base = notesPath + QStringLiteral(".merging-") +
                         when.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n) {
        candidate = base + QLatin1Char('-') + QString::number(n);
    }
    return candidate;
}

void noteSeen(QHash<QUuid, quint64>& seen, const QList<NoteData>& records)
{
    const QString here = Merge::thisComputer();
    for (const NoteData& note : records) {
        quint64& count = seen[note.id];
        count = std::max(count, note.versions.value(here));
    }
}

Reading read(const QString& notesPath, int generation, const std::optional<DiskFile::Stamp>& merged)
{
    Reading r;
    r.notesPath = notesPath;
    r.generation = generation;
    r.notesFile = Store::readRemote(notesPath, generation, merged, &r.notesFileUnreadable);
    if (r.notesFile) {
        noteSeen(r.seenThere, r.notesFile->records);
    }
    const QFileInfo info(notesPath);
    const QString notesName = info.fileName();
    const QString tombstonesPath = TombstoneFile::pathBeside(notesPath);
    const QString tombstonesName = QFileInfo(tombstonesPath).fileName();
    r.tombstones = TombstoneFile::read(tombstonesPath);
    const QDir dir = info.dir();
    // By name, so that copies are merged in the same order on every computer.
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (isConflictCopy(name, notesName) || isParked(name, notesName)) {
            const std::optional<QByteArray> bytes = readRegular(path);
            std::optional<QList<NoteData>> notes = bytes ? Store::decode(*bytes) : std::nullopt;
            if (notes) {
                noteSeen(r.seenThere, *notes);
                r.copies << Copy{path, std::move(*notes)};
            } else {
                r.unreadable << path;
            }
        } else if (isConflictCopy(name, tombstonesName)) {
            const std::optional<QByteArray> bytes = readRegular(path);
            if (const std::optional<Tombstones> dead =
                    bytes ? TombstoneFile::decode(*bytes) : std::nullopt) {
                r.tombstones = TombstoneFile::united(r.tombstones, *dead);
                r.tombstoneCopies << path;
            }
        }
    }
    return r;
}

bool sameContent(const NoteData& a, const NoteData& b)
{
    return Merge::withContent(b, a) == b || Merge::contentOf(a) == Merge::contentOf(b);
}

namespace {

// Drops the notes `known` holds; answers whether every one was, and every known note there.
bool dropFrom(QList<NoteData>& notes, const QHash<QUuid, const NoteData*>& known)
{
    const qsizetype before = notes.size();
    notes.removeIf([&known](const NoteData& r) {
        const NoteData* mine = known.value(r.id);
        return mine != nullptr && sameContent(*mine, r);
    });
    return notes.isEmpty() && before == known.size();
}

} // namespace

void dropKnown(Reading& reading, const QList<NoteData>& known)
{
    QHash<QUuid, const NoteData*> byId;
    byId.reserve(known.size());
    for (const NoteData& r : known) {
        byId.insert(r.id, &r);
    }
    if (reading.notesFile) {
        reading.notesFileHoldsKnown = dropFrom(reading.notesFile->records, byId);
    }
    for (Copy& copy : reading.copies) {
        dropFrom(copy.notes, byId);
    }
}

} // namespace RemoteFiles
