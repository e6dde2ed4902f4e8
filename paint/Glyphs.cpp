#include "paint/Glyphs.h"

#include "paint/Shapes.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace paint {

namespace {

QPen linePen(const QColor& color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// --- Line symbols on the 16-unit grid, drawn with the painter's pen.

void strokeRound(QPainter& p, const QRectF& r, double radius)
{
    p.drawPath(continuousRect(r, radius));
}

void noteText(QPainter& p)
{
    strokeRound(p, QRectF(2.5, 1.5, 11, 13), 2);
    for (double y : {5.0, 8.0, 11.0}) {
        p.drawLine(QPointF(5, y), QPointF(y == 11.0 ? 8.5 : 11, y));
    }
}

void window(QPainter& p)
{
    strokeRound(p, QRectF(1.5, 2.5, 13, 11), 2);
    p.drawLine(QPointF(1.5, 5.5), QPointF(14.5, 5.5));
}

void pin(QPainter& p, bool filled)
{
    QPainterPath head;
    head.moveTo(5, 1.5);
    head.lineTo(11, 1.5);
    head.lineTo(10, 3);
    head.lineTo(10, 6.5);
    head.lineTo(12.5, 9.5);
    head.lineTo(3.5, 9.5);
    head.lineTo(6, 6.5);
    head.lineTo(6, 3);
    head.closeSubpath();
    if (filled) {
        p.setBrush(p.pen().color());
    }
    p.drawPath(head);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(8, 9.5), QPointF(8, 14.5));
}

QPainterPath folderPath()
{
    QPainterPath path;
    path.moveTo(1.5, 4);
    path.quadTo(1.5, 2.5, 3, 2.5);
    path.lineTo(6, 2.5);
    path.lineTo(7.5, 4.5);
    path.lineTo(13, 4.5);
    path.quadTo(14.5, 4.5, 14.5, 6);
    path.lineTo(14.5, 12);
    path.quadTo(14.5, 13.5, 13, 13.5);
    path.lineTo(3, 13.5);
    path.quadTo(1.5, 13.5, 1.5, 12);
    path.closeSubpath();
    return path;
}

void folder(QPainter& p, bool plus)
{
    p.drawPath(folderPath());
    if (plus) {
        p.drawLine(QPointF(8, 7), QPointF(8, 12));
        p.drawLine(QPointF(5.5, 9.5), QPointF(10.5, 9.5));
    }
}

void number(QPainter& p)
{
    p.drawLine(QPointF(6, 2), QPointF(4.5, 14));
    p.drawLine(QPointF(11.5, 2), QPointF(10, 14));
    p.drawLine(QPointF(2.5, 6), QPointF(14, 6));
    p.drawLine(QPointF(2, 10.5), QPointF(13.5, 10.5));
}

void trash(QPainter& p)
{
    p.drawLine(QPointF(2, 4), QPointF(14, 4));
    p.drawPolyline(QPolygonF{{6, 4}, {6.5, 2}, {9.5, 2}, {10, 4}});
    QPainterPath can;
    can.moveTo(3.5, 4);
    can.lineTo(4.5, 13.2);
    can.quadTo(4.7, 14.5, 6, 14.5);
    can.lineTo(10, 14.5);
    can.quadTo(11.3, 14.5, 11.5, 13.2);
    can.lineTo(12.5, 4);
    p.drawPath(can);
    p.drawLine(QPointF(6.7, 6.5), QPointF(6.9, 12));
    p.drawLine(QPointF(9.3, 6.5), QPointF(9.1, 12));
}

void photo(QPainter& p)
{
    strokeRound(p, QRectF(1.5, 2.5, 13, 11), 2);
    QPainterPath hills;
    hills.moveTo(2, 12);
    hills.lineTo(6, 8);
    hills.lineTo(9, 11);
    hills.lineTo(11, 9);
    hills.lineTo(14, 12);
    p.drawPath(hills);
    p.drawEllipse(QPointF(10.5, 6), 1.2, 1.2);
}

void camera(QPainter& p)
{
    // Viewfinder corners around a lens.
    const double a = 1.5, b = 14.5, l = 4;
    p.drawPolyline(QPolygonF({{a, a + l}, {a, a}, {a + l, a}}));
    p.drawPolyline(QPolygonF({{b - l, a}, {b, a}, {b, a + l}}));
    p.drawPolyline(QPolygonF({{b, b - l}, {b, b}, {b - l, b}}));
    p.drawPolyline(QPolygonF({{a + l, b}, {a, b}, {a, b - l}}));
    p.drawEllipse(QPointF(8, 8), 3, 3);
}

void arrowUpToLine(QPainter& p)
{
    p.drawLine(QPointF(2.5, 2), QPointF(13.5, 2));
    p.drawLine(QPointF(8, 5), QPointF(8, 14.5));
    p.drawPolyline(QPolygonF({{3.5, 9.5}, {8, 5}, {12.5, 9.5}}));
}

void twoWindows(QPainter& p)
{
    strokeRound(p, QRectF(4.5, 1.5, 10, 8), 1.5);
    QPainterPath back;
    back.moveTo(4.5, 5.5);
    back.lineTo(3, 5.5);
    back.quadTo(1.5, 5.5, 1.5, 7);
    back.lineTo(1.5, 13);
    back.quadTo(1.5, 14.5, 3, 14.5);
    back.lineTo(10, 14.5);
    back.quadTo(11.5, 14.5, 11.5, 13);
    back.lineTo(11.5, 9.5);
    p.drawPath(back);
}

void compose(QPainter& p)
{
    QPainterPath box;
    box.moveTo(8, 2.5);
    box.lineTo(3.5, 2.5);
    box.quadTo(1.5, 2.5, 1.5, 4.5);
    box.lineTo(1.5, 12.5);
    box.quadTo(1.5, 14.5, 3.5, 14.5);
    box.lineTo(11.5, 14.5);
    box.quadTo(13.5, 14.5, 13.5, 12.5);
    box.lineTo(13.5, 8);
    p.drawPath(box);
    p.drawLine(QPointF(6.5, 9.5), QPointF(14, 2));
    p.drawLine(QPointF(6.5, 9.5), QPointF(6, 10));
}

void plus(QPainter& p)
{
    p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
    p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
}

void search(QPainter& p)
{
    p.drawEllipse(QPointF(7, 7), 4.5, 4.5);
    p.drawLine(QPointF(10.3, 10.3), QPointF(14, 14));
}

// A clock face, its hands at twelve and three.
void clock(QPainter& p)
{
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 8));
}

void paintOnGrid(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color, double stroke)
{
    const double side = std::min(box.width(), box.height());
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / 16.0, side / 16.0);
    QPen pen = linePen(color, stroke > 0 ? stroke : 1.3);
    pen.setCosmetic(false);
    p.setPen(pen);
    switch (glyph) {
    case Glyph::NoteText:
        noteText(p);
        break;
    case Glyph::Window:
        window(p);
        break;
    case Glyph::Pin:
        pin(p, false);
        break;
    case Glyph::PinFill:
        pin(p, true);
        break;
    case Glyph::Folder:
        folder(p, false);
        break;
    case Glyph::FolderPlus:
        folder(p, true);
        break;
    case Glyph::Number:
        number(p);
        break;
    case Glyph::Trash:
        trash(p);
        break;
    case Glyph::Photo:
        photo(p);
        break;
    case Glyph::Camera:
        camera(p);
        break;
    case Glyph::ArrowUpToLine:
        arrowUpToLine(p);
        break;
    case Glyph::TwoWindows:
        twoWindows(p);
        break;
    case Glyph::Compose:
        compose(p);
        break;
    case Glyph::Plus:
        plus(p);
        break;
    case Glyph::Search:
        search(p);
        break;
    case Glyph::Clock:
        clock(p);
        break;
    default:
        break;
    }
}

// --- Line symbols stretched over the box, drawn with the painter's pen.

void paintStretched(QPainter& p, Glyph glyph, const QRectF& b)
{
    const double l = b.left(), r = b.right(), t = b.top(), btm = b.bottom(), cx = b.center().x(),
                 cy = b.center().y(), w = b.width();
    switch (glyph) {
    case Glyph::ChevronLeft:
        p.drawPolyline(QPolygonF{{cx + w / 6, t}, {cx - w / 6, cy}, {cx + w / 6, btm}});
        break;
    case Glyph::ChevronRight:
        p.drawPolyline(QPolygonF{{cx - w / 6, t}, {cx + w / 6, cy}, {cx - w / 6, btm}});
        break;
    case Glyph::Copy:
        p.drawRoundedRect(QRectF(l + w * 0.3, t, w * 0.7, w * 0.7), 1.5, 1.5);
        p.drawPolyline(QPolygonF{{l + w * 0.2, t + w * 0.3},
                                 {l, t + w * 0.3},
                                 {l, btm},
                                 {l + w * 0.7, btm},
                                 {l + w * 0.7, btm - w * 0.2}});
        break;
    case Glyph::SaveDown:
        p.drawLine(QPointF(cx, t), QPointF(cx, cy + w * 0.15));
        p.drawPolyline(QPolygonF{
            {cx - w * 0.25, cy - w * 0.1}, {cx, cy + w * 0.15}, {cx + w * 0.25, cy - w * 0.1}});
        p.drawPolyline(QPolygonF{{l, cy}, {l, btm}, {r, btm}, {r, cy}});
        break;
    case Glyph::TrashPlain:
        p.drawLine(QPointF(l, t + w * 0.2), QPointF(r, t + w * 0.2));
        p.drawLine(QPointF(cx - w * 0.15, t), QPointF(cx + w * 0.15, t));
        p.drawPolyline(QPolygonF{{l + w * 0.15, t + w * 0.2},
                                 {l + w * 0.22, btm},
                                 {r - w * 0.22, btm},
                                 {r - w * 0.15, t + w * 0.2}});
        break;
    case Glyph::Cross:
        p.drawLine(b.topLeft(), b.bottomRight());
        p.drawLine(b.topRight(), b.bottomLeft());
        break;
    default:
        break;
    }
}

// A framed landscape: the frame stroked, a sun and two hills filled.
void photoSolid(QPainter& p, const QRectF& r, const QColor& color, double stroke)
{
    p.setPen(linePen(color, stroke > 0 ? stroke : 1.3));
    const QRectF frame = r.adjusted(0.65, 0.65, -0.65, -0.65);
    p.drawPath(continuousRect(frame, 2));
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    const double s = frame.height();
    p.drawEllipse(QPointF(frame.left() + frame.width() * 0.7, frame.top() + s * 0.3), s * 0.11,
                  s * 0.11);
    QPainterPath hills;
    hills.moveTo(frame.left() + 1, frame.bottom() - 1);
    hills.lineTo(frame.left() + frame.width() * 0.38, frame.top() + s * 0.45);
    hills.lineTo(frame.left() + frame.width() * 0.62, frame.top() + s * 0.72);
    hills.lineTo(frame.left() + frame.width() * 0.76, frame.top() + s * 0.58);
    hills.lineTo(frame.right() - 1, frame.bottom() - 1);
    hills.closeSubpath();
    p.drawPath(hills);
}

// --- Glyphs of a fixed size about the centre `c`.

// Four outlined rounded squares in an 11-point box.
void grid(QPainter& p, QPointF c, const QColor& color, double width)
{
    constexpr double side = 4.2;
    constexpr double gap = 1.9;
    const double start = -(side + gap / 2);
    p.setPen(linePen(color, width > 0 ? width : 1.3));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            const QRectF square(c.x() + start + col * (side + gap),
                                c.y() + start + row * (side + gap), side, side);
            p.drawPath(continuousRect(square, 1.1));
        }
    }
}

// Corner brackets framing a small camera.
void cameraSolid(QPainter& p, QPointF c, const QColor& color, double width)
{
    constexpr double halfW = 6.5;
    constexpr double halfH = 5.75;
    constexpr double arm = 3.0;
    p.setPen(linePen(color, width > 0 ? width : 1.3));
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
    body.addPath(continuousRect(QRectF(c.x() - 3.4, c.y() - 1.6, 6.8, 4.4), 1));
    body.addPath(continuousRect(QRectF(c.x() - 1.3, c.y() - 2.7, 2.6, 1.4), 0.5));
    body = body.simplified();
    body.setFillRule(Qt::OddEvenFill);
    body.addEllipse(QPointF(c.x(), c.y() + 0.6), 1.15, 1.15);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(body);
}

void plusBold(QPainter& p, QPointF c, const QColor& color, double width)
{
    constexpr double arm = 4.6;
    p.setPen(linePen(color, width > 0 ? width : 1.6));
    p.drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
}

// A push pin leaning slightly, about 7 points tall.
void pinLeaning(QPainter& p, QPointF c, const QColor& color, double width)
{
    p.translate(c);
    p.rotate(35);
    QPainterPath head;
    head.addPath(continuousRect(QRectF(-1.9, -3.6, 3.8, 1.4), 0.5));
    head.moveTo(-1.2, -2.4);
    head.lineTo(1.2, -2.4);
    head.lineTo(2.2, 0.4);
    head.lineTo(-2.2, 0.4);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head.simplified());
    p.setPen(linePen(color, width > 0 ? width : 0.8));
    p.drawLine(QPointF(0, 0.4), QPointF(0, 3.6));
}

} // namespace

void paintGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color, double stroke)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::ChevronLeft:
    case Glyph::ChevronRight:
    case Glyph::Copy:
    case Glyph::SaveDown:
    case Glyph::TrashPlain:
        p.setPen(linePen(color, stroke > 0 ? stroke : 1.4));
        paintStretched(p, glyph, box);
        break;
    case Glyph::Cross:
        p.setPen(linePen(color, stroke > 0 ? stroke : 1.8));
        paintStretched(p, glyph, box);
        break;
    case Glyph::PhotoSolid:
        photoSolid(p, box, color, stroke);
        break;
    case Glyph::Grid:
        grid(p, box.center(), color, stroke);
        break;
    case Glyph::CameraSolid:
        cameraSolid(p, box.center(), color, stroke);
        break;
    case Glyph::PlusBold:
        plusBold(p, box.center(), color, stroke);
        break;
    case Glyph::PinLeaning:
        pinLeaning(p, box.center(), color, stroke);
        break;
    default:
        paintOnGrid(p, glyph, box, color, stroke);
        break;
    }
    p.restore();
}

QIcon glyphIcon(Glyph glyph, const QColor& color, int size, double stroke)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        paintGlyph(p, glyph, QRectF(0, 0, size, size), color, stroke);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace paint
