#pragma once

#include <QPainterPath>
#include <QRectF>

class QPainter;
class QPen;

namespace paint {

// Rounded rectangles with continuous ("squircle-like") corners: each corner is one cubic
// whose ends meet the straight sides with little curvature, so the rounding starts further
// along the side than a circular arc would (about 1.28 x radius) and passes through the same
// mid-point as the arc. Every rounded rectangle the program draws goes through here.
// A radius of 0 gives a square corner; corners are clamped to half the shorter side, so a
// radius of half the height makes a capsule.
QPainterPath continuousRect(const QRectF& r, double radius);
QPainterPath continuousRect(const QRectF& r, double topLeft, double topRight, double bottomRight,
                            double bottomLeft);

// Strokes the outline of `continuousRect(r, radius)` with `pen` so that the line lies wholly
// inside it.
void strokeInside(QPainter& p, const QRectF& r, double radius, const QPen& pen);

} // namespace paint
