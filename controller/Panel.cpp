#include "controller/Panel.h"

// Placeholder until the window class lands.
Panel::Panel(const QRectF&, Level level)
    : level_(level)
{
}
Panel::~Panel() = default;
bool Panel::event(QEvent* event) { return QWidget::event(event); }
bool Panel::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
