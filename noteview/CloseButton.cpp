#include "noteview/CloseButton.h"

#include "paint/Glyphs.h"
#include "paint/Palette.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

namespace noteview {

CloseButton::CloseButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFixedSize(side, side);
    // Reached with Tab from the note, never by a click: a press here must not take the
    // keyboard from the text.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
    setAccessibleName(QCoreApplication::translate("Note", "Move to Recently Deleted"));
}

void CloseButton::setReveal(double opacity)
{
    if (opacity != reveal_) {
        reveal_ = opacity;
        update();
    }
}

void CloseButton::paintEvent(QPaintEvent*)
{
    const bool focused = hasFocus();
    if (reveal_ <= 0 && !focused) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(focused ? 1.0 : std::min(1.0, reveal_));
    p.setPen(focused ? QPen(palette().color(QPalette::Highlight), 1.5) : Qt::NoPen);
    p.setBrush(paint::inkAt(over_ || focused ? 0.16 : 0.08));
    p.drawEllipse(QRectF(0.75, 0.75, side - 1.5, side - 1.5));
    if (over_ || focused) {
        // The cross, about the size of a bold 7-point x-mark.
        const double c = side / 2.0;
        const double r = 2.1;
        paint::paintGlyph(p, paint::Glyph::Cross, QRectF(c - r, c - r, 2 * r, 2 * r),
                          paint::inkAt(0.6), 1.3);
    }
}

void CloseButton::enterEvent(QEnterEvent* event)
{
    over_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CloseButton::leaveEvent(QEvent* event)
{
    over_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace noteview
