#include "model/Images.h"

#include "model/SafeFiles.h"
#include "model/Store.h"
#include "platform/Log.h"

#include <QBuffer>
#include <QCache>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QUuid>

namespace Images {

namespace {

// Decoded images kept in memory, in kilobytes; display copies are a few hundred each.
constexpr qsizetype cacheKilobytes = 256 * 1024;
constexpr qsizetype displayCopyKilobytes = 8 * 1024;

struct Folder {
    QString notesFile;
    QString path;
    QCache<QString, QImage> cache{cacheKilobytes};
    QCache<QString, QImage> displayCopies{displayCopyKilobytes};
    QHash<QString, QSize> sizes;
};

// The folder follows the notes file; when that moves (only tests move it) the cache starts
// over, since its names belong to the old folder.
Folder& folder()
{
    static Folder f;
    const QString notesFile = Store::url();
    if (f.notesFile != notesFile || f.path.isEmpty()) {
        f.notesFile = notesFile;
        f.path = QFileInfo(notesFile).dir().filePath(QStringLiteral("images"));
        f.cache.clear();
        f.displayCopies.clear();
        f.sizes.clear();
        // Screenshots among them: for the user's eyes only. The folder may be the user's own
        // (notes kept in ~/Documents): only what the program made there is made private.
        SafeFiles::createPrivateFolder(f.path);
        SafeFiles::makeFilesPrivate(f.path, isOwnName);
    }
    return f;
}

// Scales down so that the longer side is exactly the limit; the shorter side is truncated.
QSize fitted(QSize source, int limit)
{
    const int longer = std::max(source.width(), source.height());
    if (longer <= limit) {
        return source;
    }
    const auto shrink = [longer, limit](int side) {
        return side == longer ? limit : std::max(1, int(double(side) * limit / longer));
    };
    return {shrink(source.width()), shrink(source.height())};
}

QSize storedSize(QSize source)
{
    return fitted(source, maxStoredSide);
}

// An RGBA bitmap of the stored size with none of the source's metadata.
QImage normalised(const QImage& image)
{
    const QSize size = storedSize(image.size());
    QImage scaled = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (size != image.size()) {
        scaled = scaled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QImage rgba = scaled.convertToFormat(QImage::Format_RGBA8888);
    // Built over bare pixels, so no text, colour space or resolution comes along.
    return QImage(rgba.constBits(), rgba.width(), rgba.height(), rgba.bytesPerLine(),
                  QImage::Format_RGBA8888)
        .copy();
}

QByteArray encodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? bytes : QByteArray();
}

bool acceptable(QSize size)
{
    return size.width() <= maxSide && size.height() <= maxSide &&
           qint64(size.width()) * size.height() <= maxPixels;
}

// The one decoder every picture goes through, whatever its source.
QImage decode(QImageReader& reader, int longest)
{
    // Enough for the largest image we accept, decoded as 32-bit pixels.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(int(maxPixels * 4 / (1024 * 1024)) + 64);
        return true;
    }();
    Q_UNUSED(limited);
    reader.setAutoTransform(true);
    // Refuse from the header alone when it can tell; check the result again for formats
    // that only know their size once decoded.
    const QSize size = reader.size();
    if (size.isValid() && !acceptable(size)) {
        return {};
    }
    // Readers that can shrink while decoding (PNG row by row, JPEG in the transform) never
    // hold the full picture.
    if (longest > 0 && size.isValid() && std::max(size.width(), size.height()) > longest) {
        reader.setScaledSize(fitted(size, longest));
    }
    QImage image;
    if (!reader.read(&image) || !acceptable(image.size())) {
        return {};
    }
    return image;
}

bool logFailure(const QString& reason)
{
    platform::log(QStringLiteral("Quillhaven: image save failed: ") + reason);
    return false;
}

bool writeFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QString reason;
    return SafeFiles::writePrivate(folder, name, bytes, &reason) || logFailure(reason);
}

} // namespace

QString dir()
{
    return folder().path;
}

bool isOwnName(const QString& name)
{
    static const QRegularExpression own(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png$"));
    return own.match(name).hasMatch();
}

bool isSafeName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(QChar(0));
}

QString url(const QString& name)
{
    return isSafeName(name) ? dir() + QLatin1Char('/') + name : QString();
}

std::optional<QString> save(const QImage& image)
{
    return saveIn(dir(), image);
}

std::optional<QString> saveIn(const QString& folder, const QImage& image, QImage* stored)
{
    if (image.isNull()) {
        return std::nullopt;
    }
    const QImage bitmap = normalised(image);
    if (bitmap.isNull()) {
        return std::nullopt;
    }
    const QByteArray png = encodePng(bitmap);
    if (png.isEmpty()) {
        return std::nullopt;
    }
    const QString name =
        QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
    if (!writeFile(folder, name, png)) {
        return std::nullopt;
    }
    if (stored != nullptr) {
        *stored = bitmap;
    }
    return name;
}

QImage load(const QString& name)
{
    if (!isSafeName(name)) {
        return {};
    }
    Folder& f = folder();
    if (const QImage* cached = f.cache.object(name)) {
        return *cached;
    }
    // Scaled while decoding: a huge picture put into the folder by hand costs its full size
    // once, not at every look.
    const QImage image = decodeFile(url(name), maxStoredSide);
    if (!image.isNull()) {
        const qsizetype kilobytes = std::max<qsizetype>(1, image.sizeInBytes() / 1024);
        f.cache.insert(name, new QImage(image), kilobytes);
    }
    return image;
}

QImage cached(const QString& name)
{
    const QImage* image = isSafeName(name) ? folder().cache.object(name) : nullptr;
    return image != nullptr ? *image : QImage();
}

QSize shownSize(const QString& name)
{
    if (!isSafeName(name)) {
        return {};
    }
    Folder& f = folder();
    if (const QImage* image = f.cache.object(name)) {
        return image->size();
    }
    if (const auto found = f.sizes.constFind(name); found != f.sizes.cend()) {
        return *found;
    }
    QFile file;
    if (!SafeFiles::openRegular(url(name), file)) {
        return {}; // not remembered: a picture still on its way may land
    }
    const QSize header = QImageReader(&file, "png").size();
    if (!header.isValid() || !acceptable(header)) {
        return {};
    }
    return *f.sizes.insert(name, storedSize(header));
}

void remember(const QString& name, const QImage& image)
{
    if (isSafeName(name) && !image.isNull()) {
        const qsizetype kilobytes = std::max<qsizetype>(1, image.sizeInBytes() / 1024);
        folder().cache.insert(name, new QImage(image), kilobytes);
    }
}

QImage filled(const QImage& image, QSize pixels)
{
    if (image.isNull() || pixels.isEmpty()) {
        return {};
    }
    const QImage scaled =
        image.scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QPoint offset((scaled.width() - pixels.width()) / 2,
                        (scaled.height() - pixels.height()) / 2);
    return scaled.copy(QRect(offset, pixels));
}

void rememberDisplayCopy(const QString& name, const QImage& copy)
{
    if (isSafeName(name) && !copy.isNull()) {
        const qsizetype kilobytes = std::max<qsizetype>(1, copy.sizeInBytes() / 1024);
        folder().displayCopies.insert(name, new QImage(copy), kilobytes);
    }
}

QImage displayCopy(const QString& name, QSize pixels)
{
    const QImage* copy = folder().displayCopies.object(name);
    return copy != nullptr && copy->size() == pixels ? *copy : QImage();
}

void remove(const QStringList& names)
{
    removeIn(dir(), names);
    for (const QString& name : names) {
        folder().cache.remove(name);
        folder().displayCopies.remove(name);
        folder().sizes.remove(name);
    }
}

void removeIn(const QString& folder, const QStringList& names)
{
    QStringList own;
    std::copy_if(names.cbegin(), names.cend(), std::back_inserter(own), isOwnName);
    SafeFiles::removeIn(folder, own);
}

bool awaited(const QString& name)
{
    // Only names the program gives: another computer's copy gives its pictures those too.
    if (!isOwnName(name)) {
        return false;
    }
    const QString file = url(name);
    return !file.isEmpty() && !QFileInfo::exists(file) && !QFileInfo(file).isSymLink();
}

QImage decodeFile(const QString& path, int longest)
{
    // Only a regular file: a FIFO or device would block the reader or never end.
    QFile file;
    if (!SafeFiles::openRegular(path, file)) {
        return {};
    }
    QImageReader reader(&file, QFileInfo(path).suffix().toLatin1());
    return decode(reader, longest);
}

namespace {

QSize turnedSize(QImageReader& reader)
{
    const QSize size = reader.size();
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90)
               ? size.transposed()
               : size;
}

} // namespace

QSize headerSize(const Source& source)
{
    if (!source.image.isNull()) {
        return source.image.size();
    }
    if (!source.bytes.isEmpty()) {
        QBuffer buffer;
        buffer.setData(source.bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        return turnedSize(reader);
    }
    QFile file;
    if (source.path.isEmpty() || !SafeFiles::openRegular(source.path, file)) {
        return {};
    }
    QImageReader reader(&file, QFileInfo(source.path).suffix().toLatin1());
    return turnedSize(reader);
}

QImage decodeBytes(const QByteArray& bytes, int longest)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return decode(reader, longest);
}

} // namespace Images
