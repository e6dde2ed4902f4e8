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

void paintThroughEffects(QPainter& p, const NoteEffects& e, const QRectF& paper,
                         const QImage& sharp, const QImage& blurred, double maxBlur)
{
    const double opacity = std::clamp(e.opacity, 0.0, 1.0);
    if (opacity <= 0 || sharp.isNull()) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setTransform(effectTransform(e, paper), true);
    const double mix = blurred.isNull() || maxBlur <= 0 ? 0 : std::clamp(e.blur / maxBlur, 0.0, 1.0);
    if (mix < 1) {
        p.setOpacity(opacity * (1 - mix));
        p.drawImage(QPointF(0, 0), sharp);
    }
    if (mix > 0) {
        p.setOpacity(opacity * mix);
        p.drawImage(QPointF(0, 0), blurred);
    }
    p.restore();
}

} // namespace surfaces
