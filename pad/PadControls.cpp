#include "pad/PadControls.h"

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

// The pad draws the focus ring, so it repaints when the focus comes or goes.
void PadHitButton::focusInEvent(QFocusEvent* event)
{
    QAbstractButton::focusInEvent(event);
    if (parentWidget() != nullptr) {
        parentWidget()->update();
    }
}

void PadHitButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    if (parentWidget() != nullptr) {
        parentWidget()->update();
    }
}
