#include "surfaces/NoteEffects.h"

#include <QImage>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace surfaces {

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

// Rows of the snapshot drawn with one affine transform each while the paper is curled.
constexpr double kStripHeight = 6;

// The curl maps each row of the paper to a row, shrinking or growing it about the anchor's
// x: an exact perspective is a per-pixel division, far slower to paint than affine images,
// so the snapshot is drawn in thin strips, each with the affine map that agrees with the
// perspective at its top and bottom edges.
void paintCurled(QPainter& p, const NoteEffects& e, const QRectF& paper, const QImage& image)
{
    const QPointF c = paper.center();
    const QPointF anchor(c.x(), paper.top());
    const double distance = std::max(paper.width(), paper.height()) / peelPerspective;
    const double a = qDegreesToRadians(e.peel);
    const double sinA = std::sin(a);
    const double cosA = std::cos(a);
    const QTransform after = std::abs(e.rotation) >= kEpsilon
                                 ? about(c, QTransform().rotate(e.rotation))
                                 : QTransform();
    const QTransform base = p.transform();
    const double dpr = image.devicePixelRatio();
    const double width = image.width() / dpr;
    const double height = image.height() / dpr;
    // Scaled row -> curled row, and its horizontal scale about the anchor.
    auto depth = [&](double ys) { return 1 - (ys - anchor.y()) * sinA / distance; };
    auto curledY = [&](double ys) { return anchor.y() + (ys - anchor.y()) * cosA / depth(ys); };

    for (double y0 = 0; y0 < height; y0 += kStripHeight) {
        const double y1 = std::min(height, y0 + kStripHeight);
        const double ys0 = c.y() + e.scale * (y0 - c.y());
        const double ys1 = c.y() + e.scale * (y1 - c.y());
        const double wMid = depth((ys0 + ys1) / 2);
        if (depth(ys0) <= 0.05 || depth(ys1) <= 0.05) {
            continue; // behind the eye: nothing sensible to draw
        }
        const double k = e.scale / wMid;
        const double yA = curledY(ys0);
        const double yB = curledY(ys1);
        const double m22 = (yB - yA) / (y1 - y0);
        const double dx = anchor.x() + (c.x() * (1 - e.scale) - anchor.x()) / wMid;
        const QTransform strip(k, 0, 0, m22, dx, yA - y0 * m22);
        p.setTransform(strip * after * base);
        p.drawImage(QRectF(0, y0, width, y1 - y0), image,
                    QRectF(0, y0 * dpr, width * dpr, (y1 - y0) * dpr));
    }
    p.setTransform(base);
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
    if (!curled) {
        p.setTransform(effectTransform(e, paper), true);
    }
    auto paint = [&](const QImage& image) {
        if (curled) {
            paintCurled(p, e, paper, image);
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

} // namespace surfaces
