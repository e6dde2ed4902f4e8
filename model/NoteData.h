#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

// How many content changes each computer has made to a note: a version that counts at least as
// many of every computer's changes as another has seen all of them. Keyed by computer.
using Versions = QMap<QString, quint64>;

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
    // When the note comes back by itself (out of the pad, or raised); cleared once it has.
    std::optional<QDateTime> remindAt;
    std::optional<QStringList> images;
    std::optional<double> pw;
    std::optional<double> ph;
    // The last change to what the note says (text, images, colour, folder, pinned, deleted
    // state, reminder), never to where it lies; absent in files of older versions, which then count
    // as changed at `modified`. Written only with a content change, like `versions`.
    std::optional<QDateTime> changed;
    Versions versions;

    bool operator==(const NoteData&) const = default;
};
