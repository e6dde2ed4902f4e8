#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QMimeData;
class QObject;

// Image files attached to notes: PNGs named by UUID in the "images" folder beside the notes
// file, read through one name-keyed cache. Main thread only, except decodeFile().
namespace Images {

// The images folder, created the first time it is asked for.
QString dir();
// The file of one image, or an empty string when `name` is not a plain file name.
QString url(const QString& name);
// A name is used as a file name only when it is one plain path component.
bool isSafeName(const QString& name);

// Stores the image as an RGBA PNG no larger than 2000 pixels on its longer side; returns the
// new file name. Logs "Quillhaven: image save failed: <reason>" when the write fails.
std::optional<QString> save(const QImage& image);
// The decoded image, or a null image when the file is missing or unreadable.
QImage load(const QString& name);
// Deletes the files and forgets their cached images; failures are ignored.
void remove(const QStringList& names);

// Decodes an image file with bounds on its size, so that a hostile or broken file yields a
// null image rather than exhausting memory. Safe to call from any thread.
QImage decodeFile(const QString& path);

// Largest image decodeFile() accepts.
constexpr qint64 maxPixels = 100'000'000;
constexpr int maxSide = 30000;

} // namespace Images

// The clipboard's image, or a null image; text on the clipboard always wins.
QImage clipboardImage();

// Turns a drop into images: each local file is decoded off the GUI thread, raw image data is
// taken as it is. `onImage` runs on the GUI thread once per image, in completion order, and
// not at all once `context` is gone. Files that are no images are skipped silently.
void loadDroppedImages(const QMimeData* mime, QObject* context,
                       std::function<void(const QImage&)> onImage);
