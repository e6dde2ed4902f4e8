#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Image files as they would lie on disk, for the tests that feed pictures (good and hostile)
// to the program.

// The PNG encoding of `image`.
QByteArray pngBytes(const QImage& image);
// A PNG of one flat colour.
QByteArray pngBytes(QSize size);
// A valid small PNG whose header, with a correct checksum, claims another size: a trusting
// decoder would allocate that much.
QByteArray pngClaiming(quint32 width, quint32 height);
