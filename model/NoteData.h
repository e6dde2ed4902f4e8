#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

// The persisted record of one note: the keys of one object in notes.json.
struct NoteData {
    QUuid id;
    QString text;
    bool folded = false;
    bool onScreen = false;
    double x = 0;
    double y = 0;
    std::optional<QString> color;
    std::optional<QString> folder;
    std::optional<bool> pinned;
    std::optional<QDateTime> created;
    std::optional<QDateTime> modified;
    std::optional<QDateTime> deletedAt;
    std::optional<QStringList> images;
    std::optional<double> pw;
    std::optional<double> ph;

    bool operator==(const NoteData&) const = default;
};
