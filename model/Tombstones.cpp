#include "model/Tombstones.h"

#include "model/DiskFile.h"
#include "model/SafeFiles.h"
#include "model/Store.h"
#include "platform/Clock.h"
#include "platform/Log.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace TombstoneFile {

namespace {

// The notes file's dates count in seconds from 2001-01-01 00:00:00 UTC.
constexpr qint64 referenceMs = 978307200000LL;

} // namespace

QString pathBeside(const QString& notesPath)
{
    const QString suffix = QStringLiteral(".json");
    if (notesPath.endsWith(suffix)) {
        return notesPath.chopped(suffix.size()) + QStringLiteral(".tombstones") + suffix;
    }
    return notesPath + QStringLiteral(".tombstones");
}

QByteArray encode(const Tombstones& tombstones)
{
    QJsonObject object;
    for (auto it = tombstones.cbegin(); it != tombstones.cend(); ++it) {
        const double seconds = double(it.value().toMSecsSinceEpoch() - referenceMs) / 1000.0;
        object.insert(it.key().toString(QUuid::WithoutBraces).toUpper(), seconds);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Tombstones> decode(const QByteArray& bytes, bool* damaged)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return std::nullopt;
    }
    Tombstones result;
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QUuid id = QUuid::fromString(it.key());
        const double seconds = it.value().toDouble(NAN);
        if (id.isNull() || !std::isfinite(seconds) || std::abs(seconds) > 1e12) {
            if (damaged != nullptr) {
                *damaged = true;
            }
            continue;
        }
        result.insert(id, QDateTime::fromMSecsSinceEpoch(
                              std::llround(seconds * 1000.0) + referenceMs, Qt::UTC));
    }
    return result;
}

Tombstones pruned(const Tombstones& tombstones, const QDateTime& now)
{
    const QDateTime cutoff = now.addMSecs(-keepMs);
    Tombstones kept;
    for (auto it = tombstones.cbegin(); it != tombstones.cend(); ++it) {
        if (it.value() >= cutoff) {
            kept.insert(it.key(), it.value());
        }
    }
    return kept;
}

Tombstones united(const Tombstones& a, const Tombstones& b)
{
    Tombstones all = a;
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        const auto mine = all.constFind(it.key());
        if (mine == all.cend() || *mine < it.value()) {
            all.insert(it.key(), it.value());
        }
    }
    return all;
}

Tombstones read(const QString& path, bool* damaged)
{
    bool broken = false;
    Tombstones found;
    QFile file;
    if (SafeFiles::openRegular(path, file)) {
        const std::optional<Tombstones> decoded = decode(file.readAll(), &broken);
        broken = broken || !decoded;
        found = decoded.value_or(Tombstones());
    } else {
        broken = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    }
    if (damaged != nullptr) {
        *damaged = broken;
    }
    return found;
}

bool write(const QString& path, const Tombstones& tombstones, QString* error)
{
    bool damaged = false;
    read(path, &damaged);
    if (damaged &&
        Store::keepAside(path, QStringLiteral("unreadable"),
                         QStringLiteral("tombstones unreadable, kept as "), platform::now())
            .isEmpty()) {
        *error = QStringLiteral("the unreadable tombstones could not be kept aside");
        return false;
    }
    return DiskFile::replace(path, encode(tombstones), error);
}

bool record(const QList<QUuid>& ids)
{
    if (ids.isEmpty()) {
        return true;
    }
    const QString path = pathBeside(Store::url());
    const QDateTime now = platform::now();
    Tombstones all = read(path);
    for (const QUuid& id : ids) {
        all.insert(id, now);
    }
    QString error;
    if (!write(path, pruned(all, now), &error)) {
        platform::log(QStringLiteral("Quillhaven: tombstones save failed: ") + error);
        return false;
    }
    return true;
}

} // namespace TombstoneFile
