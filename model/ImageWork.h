#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

class QObject;

// The slow part of taking a picture in: decoding, shrinking, encoding and writing. It runs
// on one worker thread, in the order asked, so the GUI thread never waits for a picture and
// only one large picture is in memory at a time.
namespace Images {

// Where a picture comes from: one already decoded, encoded bytes (a clipboard or a drop), or
// a file.
struct Source {
    QImage image;
    QByteArray bytes;
    QString path;

    static Source of(const QImage& image) { return {image, {}, {}}; }
    static Source encoded(const QByteArray& bytes) { return {{}, bytes, {}}; }
    static Source file(const QString& path) { return {{}, {}, path}; }
    bool isNull() const { return image.isNull() && bytes.isEmpty() && path.isEmpty(); }
};

// Decodes through the one bounded decoder; `longest` as for decodeFile(). Any thread.
QImage decode(const Source& source, int longest = 0);
// The picture's size from its header alone, turned as it will be shown; invalid when the header
// does not tell. Cheap enough for the GUI thread: a note makes room for a picture at once.
QSize headerSize(const Source& source);

// The pixel size a stored picture will be shown at, given its own size; called on the worker.
using DisplaySize = std::function<QSize(QSize stored)>;

// Stores the picture as save() does, on the worker. `done` runs on the GUI thread with the
// new file name, or nothing when the picture could not be read or stored. When `context` has
// gone by then, `done` does not run and the file is removed again. With `displaySize` the
// worker also makes the display copy (rememberDisplayCopy()), so the GUI thread scales nothing.
void store(Source source, QObject* context, std::function<void(std::optional<QString>)> done,
           DisplaySize displaySize = {});

// A copy no larger than `side` on its longer side, made on the worker; null when the picture
// cannot be read. `done` runs on the GUI thread unless `context` has gone.
void thumbnail(Source source, int side, QObject* context, std::function<void(QImage)> done);

// The stored picture `name` for showing: from memory when it is there; otherwise a null image
// while the worker decodes it into memory, and `ready` runs on the GUI thread once it is done
// (unless `context` has gone), to ask again. Any number of asks for one picture share one
// decode, and a file that did not decode is not tried again until it changes. So the GUI
// thread never decodes a stored picture; shownSize() tells its size meanwhile.
QImage shown(const QString& name, QObject* context, std::function<void()> ready);
// The same picture filled to exactly `pixels` (filled()), the copy made on the worker too and
// kept while small copies fit in a few megabytes: for the pad's cards and the dashboard's rows.
QImage shownFilled(const QString& name, QSize pixels, QObject* context,
                   std::function<void()> ready);

// The worker's threads: one keeps a single large picture in memory at a time. Tests use more
// to have later pictures finish first.
void setWorkerThreads(int count);
// Blocks until every picture asked for is done (the results are still to be delivered).
void waitForWorker();

} // namespace Images
