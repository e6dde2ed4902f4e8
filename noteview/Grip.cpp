#include "noteview/Grip.h"

#include "paint/Palette.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace noteview {

Grip::Grip(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(side, side);
    setCursor(Qt::SizeFDiagCursor);
}

void Grip::setReveal(double opacity)
{
    if (opacity != reveal_) {
        reveal_ = opacity;
        update();
    }
}

void Grip::paintEvent(QPaintEvent*)
{
    if (reveal_ <= 0) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(std::min(1.0, reveal_));
    p.setPen(QPen(paint::inkAt(0.5), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 8), QPointF(8, 18));
    p.drawLine(QPointF(18, 13), QPointF(13, 18));
}

void Grip::mousePressEvent(QMouseEvent* event)
{
    // The window's resize gesture normally takes these; a stray press stops here rather
    // than reaching the paper below.
    event->accept();
}

} // namespace noteview
