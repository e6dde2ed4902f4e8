#include "model/Backups.h"

#include "model/LocalLayout.h"
#include "model/Merge.h"
#include "model/SafeFiles.h"
#include "model/Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

namespace Backups {

namespace {

constexpr int dailyCopies = 7;
constexpr int weeklyCopies = 4;
const QString nameFormat = QStringLiteral("yyyy-MM-dd'T'HH-mm-ss'Z'");
const QString notesName = QStringLiteral("notes.json");
const QString tombstonesName = QStringLiteral("notes.tombstones.json");
const QString aboutName = QStringLiteral("about.json");

QByteArray contents(const QString& path, bool* found, QString* error)
{
    QFile file;
    *found = QFile::exists(path);
    if (!*found || !SafeFiles::openRegular(path, file, error)) {
        return {};
    }
    return file.readAll();
}

} // namespace

QString folder()
{
    const QString state = LocalLayout::folder();
    return state.isEmpty() ? QString() : QDir(state).filePath(QStringLiteral("backups"));
}

QString nameOf(const QDateTime& made)
{
    return made.toUTC().toString(nameFormat);
}

QDateTime madeOf(const QString& name)
{
    QDateTime made = QDateTime::fromString(name, nameFormat);
    made.setTimeSpec(Qt::UTC);
    return made;
}

QList<QDateTime> kept(const QList<QDateTime>& made, const QDate& today)
{
    QList<QDateTime> newestFirst = made;
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    QList<QDateTime> keep;
    QSet<QDate> days;
    QSet<int> weeks;
    for (const QDateTime& when : newestFirst) {
        const QDate day = when.toLocalTime().date();
        if (day >= today) {
            days.insert(day);
            keep << when;
        } else if (days.contains(day)) {
            continue;
        } else if (days.size() < dailyCopies) {
            days.insert(day);
            keep << when;
        } else {
            int year = 0;
            const int week = day.weekNumber(&year);
            if (!weeks.contains(year * 100 + week) && weeks.size() < weeklyCopies) {
                weeks.insert(year * 100 + week);
                keep << when;
            }
        }
    }
    return keep;
}

QList<Backup> list(const QString& folder)
{
    QList<Backup> backups;
    const QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QDateTime made = madeOf(name);
        if (!made.isValid()) {
            continue;
        }
        Backup backup{QDir(folder).filePath(name), made, 0};
        QFile about;
        if (SafeFiles::openRegular(QDir(backup.path).filePath(aboutName), about)) {
            backup.notes = QJsonDocument::fromJson(about.readAll()).object().value("notes").toInt();
        }
        backups << backup;
    }
    std::sort(backups.begin(), backups.end(),
              [](const Backup& a, const Backup& b) { return a.made > b.made; });
    return backups;
}

bool dueOn(const QString& folder, const QDateTime& now)
{
    const QList<Backup> all = list(folder);
    return std::none_of(all.begin(), all.end(), [&](const Backup& backup) {
        return backup.made.toLocalTime().date() == now.toLocalTime().date();
    });
}

bool make(const QString& folder, const QString& notesPath, int notes, const QDateTime& now,
          QString* error)
{
    bool found = false;
    const QByteArray bytes = contents(notesPath, &found, error);
    if (!found || bytes.isEmpty()) {
        if (error->isEmpty()) {
            *error = QStringLiteral("no notes file");
        }
        return false;
    }
    bool tombstonesFound = false;
    const QByteArray tombstones =
        contents(TombstoneFile::pathBeside(notesPath), &tombstonesFound, error);
    if (!SafeFiles::makePrivateFolder(folder)) {
        *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    // Made under a name no listing takes for a backup, then renamed: whole or not at all.
    const QString name = nameOf(now);
    const QString making = QDir(folder).filePath(QStringLiteral(".making-") + name);
    QDir(making).removeRecursively();
    const QJsonObject about{{"notes", notes}, {"from", notesPath}};
    const bool written =
        SafeFiles::makePrivateFolder(making) &&
        SafeFiles::writePrivate(making, notesName, bytes, error) &&
        (!tombstonesFound || SafeFiles::writePrivate(making, tombstonesName, tombstones, error)) &&
        SafeFiles::writePrivate(making, aboutName, QJsonDocument(about).toJson(), error);
    const QString target = QDir(folder).filePath(name);
    if (written && QFileInfo::exists(target)) {
        // Two copies within one second hold the same notes.
        QDir(making).removeRecursively();
        return true;
    }
    if (!written || !QDir().rename(making, target)) {
        QDir(making).removeRecursively();
        if (error->isEmpty()) {
            *error = QStringLiteral("cannot write %1").arg(target);
        }
        return false;
    }
    const QList<Backup> all = list(folder);
    QList<QDateTime> made;
    for (const Backup& backup : all) {
        made << backup.made;
    }
    const QList<QDateTime> keep = kept(made, now.toLocalTime().date());
    for (const Backup& backup : all) {
        if (!keep.contains(backup.made)) {
            QDir(backup.path).removeRecursively();
        }
    }
    return true;
}

Restore restoring(const QList<NoteData>& backup, const QList<NoteData>& local,
                  const Tombstones& tombstones, const QDateTime& now)
{
    QSet<QUuid> here;
    for (const NoteData& note : local) {
        here.insert(note.id);
    }
    Restore restore{backup, tombstones};
    for (NoteData& note : restore.notes) {
        if (here.contains(note.id)) {
            continue;
        }
        note.deletedAt = now;
        note.onScreen = false;
        note.changed = now;
        ++note.versions[Merge::thisComputer()];
        restore.tombstones.remove(note.id);
    }
    return restore;
}

QList<NoteData> read(const QString& backupPath)
{
    QFile file;
    if (!SafeFiles::openRegular(QDir(backupPath).filePath(notesName), file)) {
        return {};
    }
    return Store::decode(file.readAll()).value_or(QList<NoteData>());
}

} // namespace Backups
