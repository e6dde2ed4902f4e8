#pragma once

#include "model/ImageWork.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QMimeData;

// Image files attached to notes: PNGs named by UUID in the "images" folder beside the notes
// file, private to the user and on the disk before a note names them, read through one
// name-keyed cache. Main thread only, except saveIn() and the decoders.
namespace Images {

// The longer side of a stored image, at most.
constexpr int maxStoredSide = 2000;

// The images folder, created the first time it is asked for.
QString dir();
// The file of one image, or an empty string when `name` is not a plain file name.
QString url(const QString& name);
// A name is used as a file name only when it is one plain path component.
bool isSafeName(const QString& name);

// Stores the image as an RGBA PNG no larger than 2000 pixels on its longer side; returns the
// new file name. Logs "Quillhaven: image save failed: <reason>" when the write fails.
std::optional<QString> save(const QImage& image);
// The same into a given folder; safe to call from any thread. `stored` receives the bitmap
// written, for remember().
std::optional<QString> saveIn(const QString& folder, const QImage& image, QImage* stored = nullptr);
// Puts a just-stored bitmap into the cache, so that showing it does not decode it again.
void remember(const QString& name, const QImage& image);
// The picture filling a frame of `pixels`, the overflowing side cropped evenly: how a note's
// tile shows it. Any thread.
QImage filled(const QImage& image, QSize pixels);
// Keeps the copy of a stored picture that the worker made at the size a note shows it, so
// that showing it only copies pixels; the cached bitmap stays for larger views.
void rememberDisplayCopy(const QString& name, const QImage& copy);
// That copy when it has exactly `pixels`, else a null image.
QImage displayCopy(const QString& name, QSize pixels);
// The decoded image, or a null image when the file is missing or unreadable. An image larger
// than a stored one (put there by hand) comes back scaled to the stored size.
QImage load(const QString& name);
// The decoded image when it is in memory, else a null image; never reads the file.
QImage cached(const QString& name);
// The size load() gives, read from the file's header alone (a PNG's first bytes); invalid
// when the file is missing or not a picture this program would show.
QSize shownSize(const QString& name);
// Deletes the files and forgets their cached images; failures are ignored. Only names this
// program gives its images are deleted, and only inside the images folder itself: through a
// folder replaced by a link nothing is deleted.
void remove(const QStringList& names);
// The same in a given folder, without the cache; any thread.
void removeIn(const QString& folder, const QStringList& names);
// Deletes the program's own image files that nothing names (left by a paste cut short, or by
// notes deleted elsewhere) once this program has seen them unnamed for `graceSeconds`; returns
// how many. Named is in `listed` (the live notes) or anywhere in a file of the notes' own
// beside the notes file: a conflict copy not merged yet, a parked or set-aside copy. The time is
// the program's own, from the first start that found a picture unnamed: a sync tool keeps the
// sender's file times, so a picture that has just arrived may look days old.
int removeOrphans(const QSet<QString>& listed, const QDateTime& now, qint64 graceSeconds);
// Whether the note's picture `name` has no file yet: another computer added it and the sync
// engine has not brought it over. Shown as a placeholder until it lands.
bool awaited(const QString& name);
// A name this program gives an image file: an upper-case UUID and ".png".
bool isOwnName(const QString& name);

// Decode an image file, or encoded bytes, with bounds on its size checked from the header
// before decoding, so that a hostile or broken file yields a null image rather than
// exhausting memory. With `longest`, a larger image is scaled down to it while it is decoded.
// Safe to call from any thread.
QImage decodeFile(const QString& path, int longest = 0);
QImage decodeBytes(const QByteArray& bytes, int longest = 0);

// Largest image decodeFile() accepts.
constexpr qint64 maxPixels = 100'000'000;
constexpr int maxSide = 30000;

} // namespace Images

// The clipboard's image, or a null image; text on the clipboard always wins.
QImage clipboardImage();

// The pictures of a drop, in the order dropped: each local file, else the raw image data.
// Nothing is decoded here; files that are no images fail later, on the worker, silently.
QList<Images::Source> droppedImages(const QMimeData* mime);
