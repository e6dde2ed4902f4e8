#include "noteview/HeaderStrip.h"

#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QMouseEvent>
#include <QPainter>

namespace noteview {

HeaderStrip::HeaderStrip(QWidget* parent)
    : QWidget(parent)
{
}

void HeaderStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule(width() / 2.0 - 17, height / 2.0 - 2, 34, 4);
    p.fillPath(paint::continuousRect(capsule, 2), paint::inkAt(0.16));
}

void HeaderStrip::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Q_EMIT doubleClicked();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace noteview
