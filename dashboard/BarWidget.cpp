#include "dashboard/BarWidget.h"

#include "paint/Palette.h"

#include <QPainter>

BarWidget::BarWidget(QWidget* parent)
    : QWidget(parent)
{
}

void BarWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgbF(1, 1, 1, 0.42f));
    p.fillRect(QRectF(0, height() - 0.5, width(), 0.5), paint::blackAt(0.1));
}
