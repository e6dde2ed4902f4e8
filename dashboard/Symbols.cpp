#include "dashboard/Symbols.h"

#include "paint/Destructive.h"
#include "paint/Shapes.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace dash {

namespace {

// Each glyph is drawn in a 16 x 16 box with 1.3-unit strokes, then scaled into place.
void strokeRound(QPainter& p, const QRectF& r, double radius)
{
    p.drawPath(paint::continuousRect(r, radius));
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

const char* themeName(Symbol symbol)
{
    switch (symbol) {
    case Symbol::Folder:
        return "folder-symbolic";
    case Symbol::FolderPlus:
        return "folder-new-symbolic";
    case Symbol::Trash:
        return "user-trash-symbolic";
    case Symbol::Photo:
        return "image-x-generic-symbolic";
    case Symbol::Camera:
        return "camera-photo-symbolic";
    case Symbol::ArrowUpToLine:
        return "go-top-symbolic";
    case Symbol::Compose:
        return "document-new-symbolic";
    case Symbol::Plus:
        return "list-add-symbolic";
    case Symbol::Search:
        return "edit-find-symbolic";
    default:
        return nullptr; // no freedesktop counterpart: always painted
    }
}

} // namespace

void paintSymbol(QPainter& p, Symbol symbol, const QRectF& box, const QColor& color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(box.width(), box.height());
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / 16.0, side / 16.0);
    QPen pen(color, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setCosmetic(false);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (symbol) {
    case Symbol::NoteText:
        noteText(p);
        break;
    case Symbol::Window:
        window(p);
        break;
    case Symbol::Pin:
        pin(p, false);
        break;
    case Symbol::PinFill:
        pin(p, true);
        break;
    case Symbol::Folder:
        folder(p, false);
        break;
    case Symbol::FolderPlus:
        folder(p, true);
        break;
    case Symbol::Number:
        number(p);
        break;
    case Symbol::Trash:
        paint::strokeTrashGlyph(p);
        break;
    case Symbol::Photo:
        photo(p);
        break;
    case Symbol::Camera:
        camera(p);
        break;
    case Symbol::ArrowUpToLine:
        arrowUpToLine(p);
        break;
    case Symbol::TwoWindows:
        twoWindows(p);
        break;
    case Symbol::Compose:
        compose(p);
        break;
    case Symbol::Plus:
        plus(p);
        break;
    case Symbol::Search:
        search(p);
        break;
    }
    p.restore();
}

QIcon symbolIcon(Symbol symbol, const QColor& color, int size, bool themed)
{
    const char* name = themed ? themeName(symbol) : nullptr;
    if (name && QIcon::hasThemeIcon(QString::fromLatin1(name))) {
        return QIcon::fromTheme(QString::fromLatin1(name));
    }
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        paintSymbol(p, symbol, QRectF(0, 0, size, size), color);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace dash
