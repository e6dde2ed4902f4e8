#include "paint/Shapes.h"

#include <QPainter>
#include <algorithm>

namespace paint {

namespace {

// How far along each side a corner of radius 1 reaches, and the handle length relative to
// that reach, chosen so the curve's mid-point lies where a circular arc's would.
constexpr double kReach = 1.28195;
constexpr double kHandle = 0.72407;

struct Corner {
    double reach;  // distance from the corner point to where the curve leaves the side
    double handle; // control-point distance from that point, along the side
};

Corner corner(double radius, double limit)
{
    const double reach = std::clamp(radius * kReach, 0.0, limit);
    return {reach, reach * kHandle};
}

} // namespace

QPainterPath continuousRect(const QRectF& r, double radius)
{
    return continuousRect(r, radius, radius, radius, radius);
}

QPainterPath continuousRect(const QRectF& rect, double topLeft, double topRight, double bottomRight,
                            double bottomLeft)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const QRectF r = rect.normalized();
    if (r.isEmpty())
        return path;
    const double limit = std::min(r.width(), r.height()) / 2;
    const Corner tl = corner(topLeft, limit);
    const Corner tr = corner(topRight, limit);
    const Corner br = corner(bottomRight, limit);
    const Corner bl = corner(bottomLeft, limit);
    const double x0 = r.left(), x1 = r.right(), y0 = r.top(), y1 = r.bottom();

    path.moveTo(x0 + tl.reach, y0);
    path.lineTo(x1 - tr.reach, y0);
    if (tr.reach > 0)
        path.cubicTo(x1 - tr.reach + tr.handle, y0, x1, y0 + tr.reach - tr.handle, x1,
                     y0 + tr.reach);
    path.lineTo(x1, y1 - br.reach);
    if (br.reach > 0)
        path.cubicTo(x1, y1 - br.reach + br.handle, x1 - br.reach + br.handle, y1, x1 - br.reach,
                     y1);
    path.lineTo(x0 + bl.reach, y1);
    if (bl.reach > 0)
        path.cubicTo(x0 + bl.reach - bl.handle, y1, x0, y1 - bl.reach + bl.handle, x0,
                     y1 - bl.reach);
    path.lineTo(x0, y0 + tl.reach);
    if (tl.reach > 0)
        path.cubicTo(x0, y0 + tl.reach - tl.handle, x0 + tl.reach - tl.handle, y0, x0 + tl.reach,
                     y0);
    path.closeSubpath();
    return path;
}

void strokeInside(QPainter& p, const QRectF& r, double radius, const QPen& pen)
{
    const double half = pen.widthF() / 2;
    p.strokePath(continuousRect(r.adjusted(half, half, -half, -half), std::max(0.0, radius - half)),
                 pen);
}

} // namespace paint
