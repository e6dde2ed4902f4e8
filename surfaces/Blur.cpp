#include "surfaces/Blur.h"

#include <array>
#include <cmath>
#include <vector>

namespace surfaces {

namespace {

// Widths of three box filters whose convolution approximates a Gaussian of `sigma`.
std::array<int, 3> boxWidths(double sigma) {
    constexpr int n = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / n + 1.0);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = (12.0 * sigma * sigma - n * lower * lower - 4.0 * n * lower - 3.0 * n) /
                     (-4.0 * lower - 4.0);
    const int lowerCount = static_cast<int>(std::lround(m));
    std::array<int, 3> widths{};
    for (int i = 0; i < n; ++i)
        widths[i] = i < lowerCount ? lower : upper;
    return widths;
}

// One box pass along a line of `count` samples spaced `stride` bytes apart, for each of
// `channels` interleaved bytes. `scratch` holds one line.
void boxLine(uchar* line, int count, int stride, int channels, int radius,
             std::vector<int>& scratch) {
    const int width = 2 * radius + 1;
    scratch.resize(static_cast<size_t>(count));
    for (int c = 0; c < channels; ++c) {
        for (int i = 0; i < count; ++i)
            scratch[static_cast<size_t>(i)] = line[i * stride + c];
        int sum = 0;
        for (int i = 0; i <= radius && i < count; ++i)
            sum += scratch[static_cast<size_t>(i)];
        for (int i = 0; i < count; ++i) {
            line[i * stride + c] = static_cast<uchar>((sum + width / 2) / width);
            const int enter = i + radius + 1;
            const int leave = i - radius;
            if (enter < count)
                sum += scratch[static_cast<size_t>(enter)];
            if (leave >= 0)
                sum -= scratch[static_cast<size_t>(leave)];
        }
    }
}

} // namespace

void gaussianBlur(QImage& image, double sigma) {
    if (image.isNull() || !(sigma > 0))
        return;
    int channels = 1;
    if (image.format() != QImage::Format_Alpha8 && image.format() != QImage::Format_Grayscale8) {
        if (image.format() != QImage::Format_ARGB32_Premultiplied)
            image.convertTo(QImage::Format_ARGB32_Premultiplied);
        channels = 4;
    }
    const int w = image.width(), h = image.height();
    const qsizetype rowBytes = image.bytesPerLine();
    uchar* bits = image.bits();
    std::vector<int> scratch;
    for (int box : boxWidths(sigma)) {
        const int radius = (box - 1) / 2;
        if (radius <= 0)
            continue;
        for (int y = 0; y < h; ++y)
            boxLine(bits + y * rowBytes, w, channels, channels, radius, scratch);
        for (int x = 0; x < w; ++x)
            boxLine(bits + x * channels, h, static_cast<int>(rowBytes), channels, radius, scratch);
    }
}

} // namespace surfaces
