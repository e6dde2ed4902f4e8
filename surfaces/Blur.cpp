#include "surfaces/Blur.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace surfaces {

namespace {

// Widths of three box filters whose convolution approximates a Gaussian of `sigma`.
std::array<int, 3> boxWidths(double sigma)
{
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

// One box pass along a row of `count` pixels of `channels` interleaved bytes.
void boxRow(uchar* row, int count, int channels, int radius, std::vector<int>& scratch)
{
    const int width = 2 * radius + 1;
    scratch.assign(row, row + static_cast<size_t>(count) * channels);
    for (int c = 0; c < channels; ++c) {
        const auto at = [&](int i) { return scratch[static_cast<size_t>(i * channels + c)]; };
        int sum = 0;
        for (int i = 0; i <= radius && i < count; ++i)
            sum += at(i);
        for (int i = 0; i < count; ++i) {
            row[i * channels + c] = static_cast<uchar>((sum + width / 2) / width);
            if (i + radius + 1 < count)
                sum += at(i + radius + 1);
            if (i - radius >= 0)
                sum -= at(i - radius);
        }
    }
}

// One box pass down the columns, a whole row at a time so memory is walked in order.
void boxColumns(QImage& image, int rowLength, int radius, std::vector<uchar>& source,
                std::vector<int>& sums)
{
    const int width = 2 * radius + 1;
    const int h = image.height();
    const auto n = static_cast<size_t>(rowLength);
    source.resize(n * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        std::copy_n(image.constScanLine(y), n, source.begin() + static_cast<qsizetype>(n) * y);
    const auto sourceRow = [&](int y) { return source.data() + n * static_cast<size_t>(y); };
    sums.assign(n, 0);
    for (int y = 0; y <= radius && y < h; ++y)
        for (size_t i = 0; i < n; ++i)
            sums[i] += sourceRow(y)[i];
    for (int y = 0; y < h; ++y) {
        uchar* out = image.scanLine(y);
        for (size_t i = 0; i < n; ++i)
            out[i] = static_cast<uchar>((sums[i] + width / 2) / width);
        if (y + radius + 1 < h)
            for (size_t i = 0; i < n; ++i)
                sums[i] += sourceRow(y + radius + 1)[i];
        if (y - radius >= 0)
            for (size_t i = 0; i < n; ++i)
                sums[i] -= sourceRow(y - radius)[i];
    }
}

} // namespace

void gaussianBlur(QImage& image, double sigma)
{
    if (image.isNull() || !(sigma > 0))
        return;
    int channels = 1;
    if (image.format() != QImage::Format_Alpha8 && image.format() != QImage::Format_Grayscale8) {
        if (image.format() != QImage::Format_ARGB32_Premultiplied)
            image.convertTo(QImage::Format_ARGB32_Premultiplied);
        channels = 4;
    }
    const int w = image.width(), h = image.height();
    std::vector<int> scratch;
    std::vector<uchar> source;
    for (int box : boxWidths(sigma)) {
        const int radius = (box - 1) / 2;
        if (radius <= 0)
            continue;
        for (int y = 0; y < h; ++y)
            boxRow(image.scanLine(y), w, channels, radius, scratch);
        boxColumns(image, w * channels, radius, source, scratch);
    }
}

} // namespace surfaces
