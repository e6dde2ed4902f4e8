#include "noteview/NoteEffects.h"

#include <QImage>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <optional>

namespace noteview {

namespace {

constexpr double kEpsilon = 1e-4;

QTransform about(const QPointF& anchor, const QTransform& t)
{
    return QTransform::fromTranslate(-anchor.x(), -anchor.y()) * t *
           QTransform::fromTranslate(anchor.x(), anchor.y());
}

// A rotation about the horizontal axis seen through a pinhole `distance` in front of the
// plane: the lower part swings towards the viewer and grows.
QTransform curl(double degrees, double distance)
{
    const double a = qDegreesToRadians(degrees);
    return QTransform(1, 0, 0, 0, std::cos(a), -std::sin(a) / distance, 0, 0, 1);
}

} // namespace

bool NoteEffects::isIdentity() const
{
    return std::abs(scale - 1) < kEpsilon && std::abs(peel) < kEpsilon &&
           std::abs(rotation) < kEpsilon && std::abs(opacity - 1) < kEpsilon &&
           std::abs(blur) < kEpsilon;
}

QTransform effectTransform(const NoteEffects& e, const QRectF& paper)
{
    const QPointF centre = paper.center();
    const QPointF topEdge(centre.x(), paper.top());
    const double distance = std::max(paper.width(), paper.height()) / peelPerspective;
    QTransform t = about(centre, QTransform::fromScale(e.scale, e.scale));
    if (std::abs(e.peel) >= kEpsilon && distance > 0) {
        t *= about(topEdge, curl(e.peel, distance));
    }
    if (std::abs(e.rotation) >= kEpsilon) {
        t *= about(centre, QTransform().rotate(e.rotation));
    }
    return t;
}

namespace {

// Height of the bands of rows the curl is drawn in, in points.
constexpr double kBand = 2;

// The curl maps each row of the paper to a row, shrinking or growing it about the anchor's
// x. An exact perspective costs a division per pixel and is slow to paint, so the scaled,
// curled snapshot is drawn into `out` band by band: each band of output rows is one
// axis-aligned scaled copy of the source rows that land there. The in-plane rotation and
// opacity are applied afterwards, to the whole result at once.
void paintCurled(QImage& out, const NoteEffects& e, const QRectF& paper, const QImage& image)
{
    const QPointF c = paper.center();
    const double ay = paper.top();
    const double distance = std::max(paper.width(), paper.height()) / peelPerspective;
    const double a = qDegreesToRadians(e.peel);
    const double sinA = std::sin(a);
    const double cosA = std::cos(a);
    const double dpr = image.devicePixelRatio();
    const double width = image.width() / dpr;
    const double height = image.height() / dpr;

    // Output row -> the row of the scaled paper that lands there (relative to the anchor).
    auto scaledRow = [&](double y) {
        const double yc = y - ay;
        const double denominator = cosA + yc * sinA / distance;
        return denominator > 1e-3 ? std::optional<double>(yc / denominator) : std::nullopt;
    };
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (double y0 = 0; y0 < height; y0 += kBand) {
        const double y1 = std::min(height, y0 + kBand);
        const auto r0 = scaledRow(y0);
        const auto r1 = scaledRow(y1);
        if (!r0 || !r1) {
            continue; // rows behind the eye
        }
        // Back from the scaled paper to the snapshot's own rows.
        const double s0 = c.y() + (ay + *r0 - c.y()) / e.scale;
        const double s1 = c.y() + (ay + *r1 - c.y()) / e.scale;
        if (s1 <= 0 || s0 >= height) {
            continue;
        }
        const double depth = 1 - ((*r0 + *r1) / 2) * sinA / distance;
        const double k = e.scale / depth;
        const QRectF target(c.x() - c.x() * k, y0, width * k, y1 - y0);
        const double top = std::max(0.0, s0);
        const double bottom = std::min(height, s1);
        const double t0 = y0 + (y1 - y0) * (top - s0) / (s1 - s0);
        const double t1 = y0 + (y1 - y0) * (bottom - s0) / (s1 - s0);
        p.drawImage(QRectF(target.x(), t0, target.width(), t1 - t0), image,
                    QRectF(0, top * dpr, width * dpr, (bottom - top) * dpr));
    }
}

QImage& curlBuffer(const QSize& pixels, qreal dpr)
{
    static QImage buffer;
    if (buffer.size() != pixels) {
        buffer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    }
    buffer.setDevicePixelRatio(dpr);
    buffer.fill(Qt::transparent);
    return buffer;
}

} // namespace

void paintThroughEffects(QPainter& p, const NoteEffects& e, const QRectF& paper,
                         const QImage& sharp, const QImage& blurred, double maxBlur)
{
    const double opacity = std::clamp(e.opacity, 0.0, 1.0);
    if (opacity <= 0 || sharp.isNull()) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool curled = std::abs(e.peel) >= kEpsilon;
    if (curled) {
        // Scale and curl go into the buffer; only the rotation is left for the painter.
        NoteEffects rest;
        rest.rotation = e.rotation;
        p.setTransform(effectTransform(rest, paper), true);
    } else {
        p.setTransform(effectTransform(e, paper), true);
    }
    auto paint = [&](const QImage& image) {
        if (curled) {
            QImage& buffer = curlBuffer(image.size(), image.devicePixelRatio());
            paintCurled(buffer, e, paper, image);
            p.drawImage(QPointF(0, 0), buffer);
        } else {
            p.drawImage(QPointF(0, 0), image);
        }
    };
    const double mix =
        blurred.isNull() || maxBlur <= 0 ? 0 : std::clamp(e.blur / maxBlur, 0.0, 1.0);
    if (mix < 1) {
        p.setOpacity(opacity * (1 - mix));
        paint(sharp);
    }
    if (mix > 0) {
        p.setOpacity(opacity * mix);
        paint(blurred);
    }
    p.restore();
}

} // namespace noteview
