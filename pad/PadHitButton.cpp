#include "pad/PadHitButton.h"

#include <QKeyEvent>

PadHitButton::PadHitButton(const QString& name, QWidget* parent)
    : QAbstractButton(parent)
{
    setAccessibleName(name);
    setMouseTracking(true);
    // Reachable with Tab once the pad has the keyboard; a click does not take it.
    setFocusPolicy(Qt::TabFocus);
    hide();
}

void PadHitButton::paintEvent(QPaintEvent*) {}

void PadHitButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    Q_EMIT pointerOver();
}

void PadHitButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    Q_EMIT pointerGone();
}

void PadHitButton::mouseMoveEvent(QMouseEvent* event)
{
    QAbstractButton::mouseMoveEvent(event);
    if (rect().contains(event->position().toPoint())) {
        Q_EMIT pointerOver();
    }
}

void PadHitButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

// The pad draws the focus ring, so it repaints when the focus comes or goes. A window that
// becomes active hands its focus to the first button it finds: no ring for that.
void PadHitButton::focusInEvent(QFocusEvent* event)
{
    QAbstractButton::focusInEvent(event);
    keyboardFocus_ =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (parentWidget() != nullptr) {
        parentWidget()->update();
    }
}

void PadHitButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    keyboardFocus_ = false;
    if (parentWidget() != nullptr) {
        parentWidget()->update();
    }
}
