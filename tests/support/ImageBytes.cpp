#include "support/ImageBytes.h"

#include "model/Images.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

namespace {

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char ch : bytes) {
        crc ^= static_cast<quint8>(ch);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

} // namespace

QImage flatImage(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

QByteArray pngBytes(QSize size)
{
    return pngBytes(flatImage(size));
}

QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray bytes = pngBytes(QSize(4, 4));
    // The IHDR chunk: width and height after the signature and chunk header, its CRC after.
    qToBigEndian(width, bytes.data() + 16);
    qToBigEndian(height, bytes.data() + 20);
    qToBigEndian(crc32(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

QString storedThenMissing(const QImage& image, QByteArray& bytes)
{
    const QString name = Images::save(image).value_or(QString());
    QFile file(Images::url(name));
    bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    Images::remove({name});
    return name;
}
