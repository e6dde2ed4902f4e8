#pragma once

#include <QImage>

namespace paint {

// Blurs `image` in place with three box passes per axis, a close and fast approximation of a
// Gaussian with standard deviation `sigma` in pixels. Pixels beyond the edges count as
// transparent. Works on Format_Alpha8, Format_Grayscale8 and Format_ARGB32_Premultiplied;
// other formats are converted to premultiplied ARGB first.
void gaussianBlur(QImage& image, double sigma);

} // namespace paint
