#include "dashboard/SwatchButton.h"

#include "paint/Palette.h"

#include <QCoreApplication>
#include <QPainter>

SwatchButton::SwatchButton(const QString& colorName, QWidget* parent)
    : QAbstractButton(parent)
    , name_(colorName)
{
    setFixedSize(18, 18);
    setCursor(Qt::PointingHandCursor);
    setToolTip(paint::colorTitle(name_));
    setAccessibleName(
        QCoreApplication::translate("Dashboard", "%1 color").arg(paint::colorTitle(name_)));
    // Checked is how a screen reader hears which colour is the note's.
    setCheckable(true);
}

void SwatchButton::setCurrent(bool current)
{
    if (current_ != current) {
        current_ = current;
        setChecked(current);
        update();
    }
}

QPen SwatchButton::ring() const
{
    return current_ ? QPen(paint::blackAt(0.55), 2) : QPen(paint::blackAt(0.12), 0.5);
}

void SwatchButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, 18, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(paint::paperGradient(name_, r));
    p.drawEllipse(r);
    const QPen pen = ring();
    const double half = pen.widthF() / 2;
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(half, half, -half, -half));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        p.drawEllipse(r.adjusted(0.75, 0.75, -0.75, -0.75));
    }
}
