#include "paint/Grain.h"

#include "paint/SeededRNG.h"

#include <QPainter>
#include <QPen>
#include <cmath>
#include <list>

namespace paint {

namespace {

constexpr int kSpecks = 1400;
constexpr int kFibres = 45;
constexpr double kTwoPi = 6.283185307179586;
// Beyond this many device pixels a side the grain is not rendered (no real paper is so big).
constexpr int kMaxSide = 8192;
constexpr int kCachedSizes = 4;

struct CachedGrain {
    QSizeF size;
    qreal dpr;
    QImage image;
};

std::list<CachedGrain>& cache()
{
    static std::list<CachedGrain> entries;
    return entries;
}

bool drawable(const QSizeF& size)
{
    return std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() > 0 &&
           size.height() > 0;
}

} // namespace

void releaseCachedGrain()
{
    cache().clear();
}

QPointF GrainFibre::end() const
{
    return start + QPointF(std::cos(angle) * length, std::sin(angle) * length);
}

GrainPattern grainPattern(const QSizeF& size)
{
    GrainPattern pattern;
    const double w = size.width(), h = size.height();
    SeededRNG rng{7};
    pattern.specks.reserve(kSpecks);
    for (int i = 0; i < kSpecks; ++i) {
        const double x = rng.uniform(0, w);
        const double y = rng.uniform(0, h);
        const double d = rng.uniform(0.3, 1.2);
        const bool dark = rng.nextBool();
        pattern.specks.append({QPointF(x, y), d, dark});
    }
    pattern.fibres.reserve(kFibres);
    for (int i = 0; i < kFibres; ++i) {
        const double x = rng.uniform(0, w);
        const double y = rng.uniform(0, h);
        const double angle = rng.uniform(0, kTwoPi);
        const double length = rng.uniform(4, 12);
        pattern.fibres.append({QPointF(x, y), angle, length});
    }
    return pattern;
}

void drawGrain(QPainter& p, const QSizeF& size)
{
    if (!drawable(size))
        return;
    const GrainPattern pattern = grainPattern(size);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor dark = QColor::fromRgbF(0, 0, 0, 0.05f);
    const QColor light = QColor::fromRgbF(1, 1, 1, 0.3f);
    for (const GrainSpeck& s : pattern.specks) {
        p.setBrush(s.dark ? dark : light);
        p.drawEllipse(QRectF(s.topLeft, QSizeF(s.diameter, s.diameter)));
    }
    QPen fibrePen(QColor::fromRgbF(0, 0, 0, 0.035f), 0.5);
    fibrePen.setCapStyle(Qt::FlatCap);
    p.setPen(fibrePen);
    p.setBrush(Qt::NoBrush);
    for (const GrainFibre& f : pattern.fibres)
        p.drawLine(f.start, f.end());
    p.restore();
}

QImage grainImage(const QSizeF& size, qreal devicePixelRatio)
{
    if (!drawable(size) || !(devicePixelRatio > 0))
        return {};
    const int pw = static_cast<int>(std::ceil(size.width() * devicePixelRatio));
    const int ph = static_cast<int>(std::ceil(size.height() * devicePixelRatio));
    if (pw > kMaxSide || ph > kMaxSide)
        return {};

    auto& entries = cache();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->size == size && it->dpr == devicePixelRatio) {
            entries.splice(entries.begin(), entries, it);
            return entries.front().image;
        }
    }

    QImage image(pw, ph, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        drawGrain(p, size);
    }
    entries.push_front({size, devicePixelRatio, image});
    if (entries.size() > kCachedSizes)
        entries.pop_back();
    return image;
}

} // namespace paint
