#include "paint/Blur.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace paint {

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

// The rounded average of a box, (sum + width / 2) / width, as a multiply and a shift: a
// divide per pixel was most of the cost of blurring a note's shadow. With `Product` 64 bits
// wide it is exact for every sum below 2^24, more than a box over 65535 bytes can reach;
// 32 bits suffice (and vectorise) for sums below 2^15, boxes of up to 127 bytes.
template <typename Product> class BoxAverage {
public:
    static constexpr int kSumBits = sizeof(Product) == 8 ? 24 : 15;

    explicit BoxAverage(int width)
        : half_(static_cast<Product>(width / 2))
    {
        int bits = 0;
        while ((1 << bits) < width)
            ++bits;
        shift_ = kSumBits + bits;
        factor_ = static_cast<Product>(((std::uint64_t{1} << shift_) + std::uint64_t(width) - 1) /
                                       std::uint64_t(width));
    }

    uchar operator()(int sum) const
    {
        return static_cast<uchar>(((static_cast<Product>(sum) + half_) * factor_) >> shift_);
    }

private:
    Product half_;
    int shift_;
    Product factor_;
};

// Whether 32-bit averages are exact for a box of `width` bytes.
bool narrowBox(int width)
{
    return 255 * width + width / 2 < (1 << BoxAverage<std::uint32_t>::kSumBits);
}

// One box pass along a row of `count` pixels of `channels` interleaved bytes.
template <typename Product>
void boxRow(uchar* row, int count, int channels, int radius, std::vector<int>& scratch)
{
    const BoxAverage<Product> average(2 * radius + 1);
    scratch.assign(row, row + static_cast<size_t>(count) * channels);
    for (int c = 0; c < channels; ++c) {
        const auto at = [&](int i) { return scratch[static_cast<size_t>(i) * channels + c]; };
        int sum = 0;
        for (int i = 0; i <= radius && i < count; ++i)
            sum += at(i);
        for (int i = 0; i < count; ++i) {
            row[i * channels + c] = average(sum);
            if (i + radius + 1 < count)
                sum += at(i + radius + 1);
            if (i - radius >= 0)
                sum -= at(i - radius);
        }
    }
}

// One box pass down the columns, a whole row at a time so memory is walked in order.
template <typename Product>
void boxColumns(QImage& image, int rowLength, int radius, std::vector<uchar>& source,
                std::vector<int>& sums)
{
    const BoxAverage<Product> average(2 * radius + 1);
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
            out[i] = average(sums[i]);
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
        if (narrowBox(box)) {
            for (int y = 0; y < h; ++y)
                boxRow<std::uint32_t>(image.scanLine(y), w, channels, radius, scratch);
            boxColumns<std::uint32_t>(image, w * channels, radius, source, scratch);
        } else {
            for (int y = 0; y < h; ++y)
                boxRow<std::uint64_t>(image.scanLine(y), w, channels, radius, scratch);
            boxColumns<std::uint64_t>(image, w * channels, radius, source, scratch);
        }
    }
}

} // namespace paint
