#include "paint/Paper.h"

#include "paint/Blur.h"
#include "paint/Grain.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QCache>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace paint {

namespace {

struct Shadow {
    double opacity;
    double blurRadius; // the look's blur radius; the Gaussian's sigma is half of it
    double offsetY;    // downwards on screen
};
// Painted bottom-up: the wide soft shadow first, the tight contact shadow over it.
constexpr Shadow kAmbient{0.16, 18, 10};
constexpr Shadow kContact{0.1, 1, 0.5};

constexpr double kGrainOpacity = 0.4;
constexpr double kBottomShade = 0.035;
constexpr double kRimWidth = 0.5;
constexpr int kMaxSide = 8192;             // device pixels; bigger papers are not cached
constexpr int kCacheBudgetKiB = 32 * 1024; // a few dozen notes' worth at 2x

QString canonicalColor(const QString& color)
{
    return palette().contains(color) ? color : QStringLiteral("yellow");
}

QCache<QString, QImage>& cache()
{
    static QCache<QString, QImage> images(kCacheBudgetKiB);
    return images;
}

// Paper body without shadows, drawn into `p` with the paper's top-left at the origin.
void paintBody(QPainter& p, const QSizeF& size, bool folded, const QString& color, qreal dpr,
               bool withGrain)
{
    const QRectF rect(QPointF(0, 0), size);
    const QPainterPath outline = paperPath(rect, folded);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(outline, paperGradient(color, rect));

    // Grain and shade stay on the paper (the rim covers the clip's hard edge).
    p.save();
    p.setClipPath(outline, Qt::IntersectClip);
    if (withGrain) {
        p.setOpacity(kGrainOpacity);
        p.drawImage(QPointF(0, 0), grainImage(size, dpr));
        p.setOpacity(1);
    }
    QLinearGradient shade(rect.center(), QPointF(rect.center().x(), rect.bottom()));
    shade.setColorAt(0, Qt::transparent);
    shade.setColorAt(1, QColor::fromRgbF(0, 0, 0, kBottomShade));
    p.fillRect(rect, shade);
    p.restore();

    QLinearGradient rimGradient(QPointF(rect.center().x(), rect.top()),
                                QPointF(rect.center().x(), rect.bottom()));
    rimGradient.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.75f));
    rimGradient.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.06f));
    strokeInside(p, rect, paperRadius(folded), QPen(QBrush(rimGradient), kRimWidth));
}

// The paper's outline moved down by the shadow's offset and blurred, as black at the
// shadow's opacity, covering the whole rendering (paper plus margins) at `scale` pixels per
// point. Soft shadows lose nothing when rendered at a lower scale and drawn magnified.
QImage shadowLayer(const QSizeF& size, bool folded, const Shadow& shadow, qreal scale)
{
    const QSize pixels(
        static_cast<int>(std::ceil((size.width() + 2 * paperShadowMargin) * scale)),
        static_cast<int>(std::ceil((size.height() + 2 * paperShadowMargin) * scale)));
    QImage coverage(pixels, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.translate(paperShadowMargin, paperShadowMargin + shadow.offsetY);
        p.setOpacity(shadow.opacity);
        p.fillPath(paperPath(QRectF(QPointF(0, 0), size), folded), Qt::black);
    }
    gaussianBlur(coverage, shadow.blurRadius / 2 * scale);
    coverage.setDevicePixelRatio(scale);
    return coverage;
}

QImage renderPaper(const QSizeF& size, bool folded, const QString& color, qreal dpr,
                   const QSize& pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const QRectF whole(0, 0, size.width() + 2 * paperShadowMargin,
                       size.height() + 2 * paperShadowMargin);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(whole, shadowLayer(size, folded, kAmbient, std::min<qreal>(dpr, 1)));
    p.drawImage(whole, shadowLayer(size, folded, kContact, dpr));
    p.translate(paperShadowMargin, paperShadowMargin);
    paintBody(p, size, folded, color, dpr, true);
    return image;
}

QSize renderPixels(const QSizeF& size, qreal dpr)
{
    return QSize(static_cast<int>(std::ceil((size.width() + 2 * paperShadowMargin) * dpr)),
                 static_cast<int>(std::ceil((size.height() + 2 * paperShadowMargin) * dpr)));
}

bool renderable(const QSizeF& size, qreal dpr)
{
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0 ||
        size.height() <= 0 || !(dpr > 0) || !std::isfinite(dpr))
        return false;
    return (size.width() + 2 * paperShadowMargin) * dpr <= kMaxSide &&
           (size.height() + 2 * paperShadowMargin) * dpr <= kMaxSide;
}

} // namespace

double paperRadius(bool folded)
{
    return folded ? 12 : 16;
}

QPainterPath paperPath(const QRectF& rect, bool folded)
{
    return continuousRect(rect, paperRadius(folded));
}

QImage paperImage(const QSizeF& size, bool folded, const QString& color, qreal devicePixelRatio)
{
    if (!renderable(size, devicePixelRatio))
        return {};
    const QString name = canonicalColor(color);
    const QString key = QStringLiteral("%1x%2/%3/%4/%5")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(folded)
                            .arg(name)
                            .arg(devicePixelRatio);
    auto& images = cache();
    if (const QImage* cached = images.object(key))
        return *cached;
    const QSize pixels = renderPixels(size, devicePixelRatio);
    auto* image = new QImage(renderPaper(size, folded, name, devicePixelRatio, pixels));
    const QImage result = *image;
    images.insert(key, image, std::max<qsizetype>(1, image->sizeInBytes() / 1024));
    return result;
}

void releaseCachedPapers()
{
    cache().clear();
    releaseCachedGrain();
}

void paintPaper(QPainter& p, const QRectF& paperRect, bool folded, const QString& color)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QImage image = paperImage(paperRect.size(), folded, color, dpr);
    if (!image.isNull()) {
        p.drawImage(paperRect.topLeft() - QPointF(paperShadowMargin, paperShadowMargin), image);
        return;
    }
    // Sizes too big to cache: the paper alone, without grain or shadows.
    if (paperRect.isEmpty() || !paperRect.isValid())
        return;
    p.save();
    p.translate(paperRect.topLeft());
    paintBody(p, paperRect.size(), folded, canonicalColor(color), dpr, false);
    p.restore();
}

} // namespace paint
