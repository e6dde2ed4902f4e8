#include "model/LocalLayout.h"

#include "model/DiskFile.h"
#include "model/Merge.h"
#include "model/NoteGeometry.h"
#include "model/SafeFiles.h"
#include "platform/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cmath>

namespace LocalLayout {

namespace {

QJsonValue optionalSize(const std::optional<double>& side)
{
    return side ? QJsonValue(*side) : QJsonValue(QJsonValue::Null);
}

std::optional<double> sizeFrom(const QJsonValue& value)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || value.toDouble() <= 0) {
        return std::nullopt;
    }
    return value.toDouble();
}

QString key(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

// Qt 6.4 has no state location of its own. A relative XDG_STATE_HOME is to be ignored.
QString xdgStateHome()
{
    const QString set = qEnvironmentVariable("XDG_STATE_HOME");
    if (!set.isEmpty() && QDir::isAbsolutePath(set)) {
        return set;
    }
    return QDir::homePath() + QStringLiteral("/.local/state");
}

} // namespace

QString folder()
{
    const platform::Services& services = platform::services();
    if (!services.stateFolder.isEmpty()) {
        return services.stateFolder;
    }
    if (!services.notesFile.isEmpty()) {
        return {};
    }
    return QDir(xdgStateHome()).filePath(QStringLiteral("Quillhaven"));
}

QString path()
{
    const QString in = folder();
    if (in.isEmpty()) {
        return {};
    }
    return QDir(in).filePath(QStringLiteral("layout-") + Merge::thisComputer() +
                             QStringLiteral(".json"));
}

void layOver(QList<NoteData>& records)
{
    QFile file;
    if (const QString layout = path(); !layout.isEmpty() && SafeFiles::openRegular(layout, file)) {
        apply(file.readAll(), records);
    }
}

bool write(const QString& path, const QList<NoteData>& records, QString* error)
{
    const QString in = QFileInfo(path).absolutePath();
    QString reason = QStringLiteral("its folder cannot be made");
    if ((QFileInfo(in).isDir() || SafeFiles::createPrivateFolder(in)) &&
        DiskFile::replace(path, encode(records), &reason)) {
        return true;
    }
    *error = path + QStringLiteral(": ") + reason;
    return false;
}

QByteArray encode(const QList<NoteData>& records)
{
    QJsonObject layout;
    for (const NoteData& r : records) {
        layout.insert(key(r.id), QJsonArray{r.x, r.y, r.onScreen, r.folded, optionalSize(r.pw),
                                            optionalSize(r.ph)});
    }
    return QJsonDocument(layout).toJson(QJsonDocument::Compact);
}

size_t digest(const QList<NoteData>& records)
{
    size_t seed = qHash(records.size(), size_t(0x1a70));
    for (const NoteData& r : records) {
        seed = qHashMulti(seed, r.id, r.x, r.y, r.onScreen, r.folded, r.pw.has_value(),
                          r.pw.value_or(0), r.ph.has_value(), r.ph.value_or(0));
    }
    return seed;
}

void apply(const QByteArray& bytes, QList<NoteData>& records)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject()) {
        return;
    }
    const QJsonObject layout = document.object();
    for (NoteData& r : records) {
        const QJsonArray place = layout.value(key(r.id)).toArray();
        if (place.size() != 6 || !place[0].isDouble() || !place[1].isDouble() ||
            !place[2].isBool() || !place[3].isBool()) {
            continue;
        }
        r.x = place[0].toDouble();
        r.y = place[1].toDouble();
        r.onScreen = place[2].toBool();
        r.folded = place[3].toBool();
        r.pw = sizeFrom(place[4]);
        r.ph = sizeFrom(place[5]);
        geometry::keepWithinLimits(r);
    }
}

} // namespace LocalLayout
