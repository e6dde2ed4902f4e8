#include "paint/Destructive.h"

#include <QAbstractButton>
#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace paint {

void strokeTrashGlyph(QPainter& p)
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

namespace {

void paintTrash(QPainter& p, double side, const QColor& color)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 16.0, side / 16.0);
    p.setPen(QPen(color, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    strokeTrashGlyph(p);
}

} // namespace

QColor destructiveRed()
{
    return QColor(200, 38, 30);
}

QIcon destructiveIcon(int size)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        paintTrash(p, size, destructiveRed());
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void markDestructive(QAction* action)
{
    action->setIcon(destructiveIcon());
    action->setIconVisibleInMenu(true);
    action->setProperty("destructive", true); // for styles, and for tests to ask
}

void markDestructive(QAbstractButton* button)
{
    button->setIcon(destructiveIcon());
    QPalette red = button->palette();
    red.setColor(QPalette::ButtonText, destructiveRed());
    button->setPalette(red);
}

} // namespace paint
