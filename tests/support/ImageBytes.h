#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

// Image files as they would lie on disk, for the tests that feed pictures (good and hostile)
// to the program.

// An image of one flat colour.
QImage flatImage(QSize size, QColor colour = QColor(30, 120, 200));
// The PNG encoding of `image`.
QByteArray pngBytes(const QImage& image);
// A PNG of one flat colour.
QByteArray pngBytes(QSize size);
// A valid small PNG whose header, with a correct checksum, claims another size: a trusting
// decoder would allocate that much.
QByteArray pngClaiming(quint32 width, quint32 height);

// Stores `image` as the program does, then takes the file away: returns its name and leaves
// its bytes in `bytes`, for tests of a picture that is missing and later comes back.
QString storedThenMissing(const QImage& image, QByteArray& bytes);
