#include "model/Images.h"
#include "model/SafeFiles.h"
#include "model/Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariantMap>

namespace Images {

namespace {

// When this program first found each unnamed picture unnamed, by file name (names are unique
// ids, so one list serves every notes folder). Kept in this computer's settings: never synced.
const QString unnamedSinceKey = QStringLiteral("imagesUnnamedSince");

// Drops from `names` those a file of the notes' own beside the notes file mentions: a
// conflict copy, a parked or set-aside copy, the notes file itself.
void dropNamedBeside(QStringList& names)
{
    const QFileInfo notes(Store::url());
    const QString stem = notes.completeBaseName();
    for (const QString& file :
         notes.dir().entryList({stem + QStringLiteral("*")}, QDir::Files | QDir::Hidden)) {
        QFile opened;
        if (names.isEmpty() || !SafeFiles::openRegular(notes.dir().filePath(file), opened)) {
            continue;
        }
        const QByteArray bytes = opened.readAll();
        names.removeIf([&bytes](const QString& name) { return bytes.contains(name.toUtf8()); });
    }
}

} // namespace

int removeOrphans(const QSet<QString>& listed, const QDateTime& now, qint64 graceSeconds)
{
    QStringList unnamed;
    for (const QString& name : QDir(dir()).entryList(QDir::Files | QDir::Hidden)) {
        if (isOwnName(name) && !listed.contains(name)) {
            unnamed << name;
        }
    }
    dropNamedBeside(unnamed);

    QSettings settings;
    const QVariantMap seen = settings.value(unnamedSinceKey).toMap();
    QVariantMap stillUnnamed;
    QStringList orphans;
    for (const QString& name : unnamed) {
        const QDateTime since = seen.value(name, now).toDateTime();
        if (since.secsTo(now) >= graceSeconds) {
            orphans << name;
        } else {
            stillUnnamed.insert(name, since);
        }
    }
    if (stillUnnamed != seen) {
        settings.setValue(unnamedSinceKey, stillUnnamed);
    }
    return SafeFiles::removeIn(dir(), orphans);
}

} // namespace Images
