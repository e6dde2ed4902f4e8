#include "pad/PadGlyphs.h"

#include "paint/Shapes.h"

#include <QPainter>
#include <QPainterPath>

namespace pad {

namespace {

QPen strokePen(const QColor& color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Four outlined rounded squares in an 11-point box.
void paintGrid(QPainter& p, QPointF c, const QColor& color)
{
    constexpr double side = 4.2;
    constexpr double gap = 1.9;
    const double start = -(side + gap / 2);
    p.setPen(strokePen(color, 1.3));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            const QRectF square(c.x() + start + col * (side + gap),
                                c.y() + start + row * (side + gap), side, side);
            p.drawPath(paint::continuousRect(square, 1.1));
        }
    }
}

// Corner brackets framing a small camera.
void paintCamera(QPainter& p, QPointF c, const QColor& color)
{
    constexpr double halfW = 6.5;
    constexpr double halfH = 5.75;
    constexpr double arm = 3.0;
    p.setPen(strokePen(color, 1.3));
    p.setBrush(Qt::NoBrush);
    for (const double sx : {-1.0, 1.0}) {
        for (const double sy : {-1.0, 1.0}) {
            const QPointF corner(c.x() + sx * halfW, c.y() + sy * halfH);
            QPainterPath bracket;
            bracket.moveTo(corner.x(), corner.y() - sy * arm);
            bracket.lineTo(corner);
            bracket.lineTo(corner.x() - sx * arm, corner.y());
            p.drawPath(bracket);
        }
    }
    // The body with its viewfinder bump, and the lens cut out of it.
    QPainterPath body;
    body.setFillRule(Qt::OddEvenFill);
    body.addPath(paint::continuousRect(QRectF(c.x() - 3.4, c.y() - 1.6, 6.8, 4.4), 1));
    body.addPath(paint::continuousRect(QRectF(c.x() - 1.3, c.y() - 2.7, 2.6, 1.4), 0.5));
    body = body.simplified();
    body.setFillRule(Qt::OddEvenFill);
    body.addEllipse(QPointF(c.x(), c.y() + 0.6), 1.15, 1.15);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(body);
}

void paintPlus(QPainter& p, QPointF c, const QColor& color)
{
    constexpr double arm = 4.6;
    p.setPen(strokePen(color, 1.6));
    p.drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
}

// A push pin leaning slightly, about 7 points tall.
void paintPin(QPainter& p, QPointF c, const QColor& color)
{
    p.save();
    p.translate(c);
    p.rotate(35);
    QPainterPath head;
    head.addPath(paint::continuousRect(QRectF(-1.9, -3.6, 3.8, 1.4), 0.5));
    head.moveTo(-1.2, -2.4);
    head.lineTo(1.2, -2.4);
    head.lineTo(2.2, 0.4);
    head.lineTo(-2.2, 0.4);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head.simplified());
    p.setPen(strokePen(color, 0.8));
    p.drawLine(QPointF(0, 0.4), QPointF(0, 3.6));
    p.restore();
}

} // namespace

void paintGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = box.center();
    switch (glyph) {
    case Glyph::Grid:
        paintGrid(p, c, color);
        break;
    case Glyph::Camera:
        paintCamera(p, c, color);
        break;
    case Glyph::Plus:
        paintPlus(p, c, color);
        break;
    case Glyph::Pin:
        paintPin(p, c, color);
        break;
    }
    p.restore();
}

} // namespace pad
