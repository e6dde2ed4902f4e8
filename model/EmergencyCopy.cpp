#include "model/EmergencyCopy.h"

#include "model/DiskFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Store {

namespace {

// A name no file holds yet: an earlier emergency copy is never overwritten.
QString freeName(const QDir& folder, const QDateTime& when)
{
    const QString base = QStringLiteral("quillhaven-notes-unsaved-") +
                         when.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base + QStringLiteral(".json");
    for (int n = 2;
         QFileInfo::exists(folder.filePath(name)) || QFileInfo(folder.filePath(name)).isSymLink();
         ++n) {
        name = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".json");
    }
    return folder.filePath(name);
}

} // namespace

QStringList emergencyFolders()
{
    QStringList folders;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cache.isEmpty()) {
        folders << cache;
    }
    folders << QDir::homePath();
    return folders;
}

QString writeEmergencyCopy(const Snapshot& snapshot, const QStringList& folders)
{
    QString error;
    const QByteArray bytes = encode(snapshot.records, &error);
    if (bytes.isEmpty()) {
        return {};
    }
    for (const QString& path : folders) {
        const QDir folder(path);
        if (!QDir().mkpath(path)) {
            continue;
        }
        const QString file = freeName(folder, snapshot.taken);
        if (DiskFile::replace(file, bytes, &error)) {
            return file;
        }
    }
    return {};
}

} // namespace Store
