#include "surfaces/Destructive.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>

namespace surfaces {

QColor destructiveRed()
{
    return QColor(0xE5, 0x3E, 0x3E);
}

QIcon destructiveIcon(int size)
{
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        QPixmap pixmap(QSize(size, size) * dpr);
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QPen pen(destructiveRed(), size / 10.0);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        const QRectF b =
            QRectF(0, 0, size, size).adjusted(size * 0.2, size * 0.15, -size * 0.2, -size * 0.12);
        const double w = b.width();
        const double lid = b.top() + b.height() * 0.18;
        p.drawLine(QPointF(b.left(), lid), QPointF(b.right(), lid));
        p.drawLine(QPointF(b.center().x() - w * 0.18, b.top()),
                   QPointF(b.center().x() + w * 0.18, b.top()));
        p.drawPolyline(QPolygonF{{b.left() + w * 0.12, lid},
                                 {b.left() + w * 0.2, b.bottom()},
                                 {b.right() - w * 0.2, b.bottom()},
                                 {b.right() - w * 0.12, lid}});
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void markDestructive(QAction* action)
{
    if (action == nullptr) {
        return;
    }
    action->setIcon(destructiveIcon());
    action->setIconVisibleInMenu(true);
    action->setProperty("destructive", true);
}

} // namespace surfaces
