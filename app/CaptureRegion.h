#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// The screen-capture child: shows a full-screen selection overlay over the screen's image; a
// dragged rectangle is written to `file` as PNG (device pixels). Escape or a click without a
// drag writes nothing. The image is a grab of the main screen, or with `from` an image of the
// whole desktop another source took (the Screenshot portal). Returns the process exit status:
// 0 in every normal case, imagesources::captureFailedStatus (with the reason on standard
// output) when there was no usable screen image.
int runCaptureRegion(const QString& file, const QString& from = QString());

// The image of the desktop `area` (in points) read from `from`, its pixel ratio set so that the
// overlay maps points onto it; null with `failure` set when it cannot be used.
QImage shotFromFile(const QString& from, const QRect& area, QString* failure);
