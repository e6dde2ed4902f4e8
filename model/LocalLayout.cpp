#include "model/LocalLayout.h"

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

} // namespace

QString pathBeside(const QString& notesPath, const QString& computer)
{
    const QFileInfo notes(notesPath);
    return notes.dir().filePath(notes.completeBaseName() + QStringLiteral(".layout-") + computer +
                                QStringLiteral(".json"));
}

QByteArray encode(const QList<NoteData>& records)
{
    QJsonObject layout;
    for (const NoteData& r : records) {
        layout.insert(r.id.toString(QUuid::WithoutBraces).toUpper(),
                      QJsonArray{r.x, r.y, r.onScreen, r.folded, optionalSize(r.pw),
                                 optionalSize(r.ph)});
    }
    return QJsonDocument(layout).toJson(QJsonDocument::Compact);
}

void apply(const QByteArray& bytes, QList<NoteData>& records)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject()) {
        return;
    }
    const QJsonObject layout = document.object();
    for (NoteData& r : records) {
        const QJsonArray place =
            layout.value(r.id.toString(QUuid::WithoutBraces).toUpper()).toArray();
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
    }
}

} // namespace LocalLayout
