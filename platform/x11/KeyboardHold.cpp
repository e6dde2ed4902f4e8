#include "platform/x11/KeyboardHold.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform {

KeyboardHold::KeyboardHold()
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &KeyboardHold::focusWindowChanged);
}

void KeyboardHold::hold(QWidget* window)
{
    // Once the click that asked has been delivered: it is what moves the focus inside.
    QTimer::singleShot(0, this, [this, guard = QPointer<QWidget>(window)] {
        QWidget* window = guard.data();
        if (window == nullptr || !window->isVisible()) {
            return;
        }
        QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
        target->grabKeyboard();
        holder_ = target;
    });
}

void KeyboardHold::release()
{
    if (holder_ != nullptr && QWidget::keyboardGrabber() == holder_) {
        holder_->releaseKeyboard();
    }
    holder_ = nullptr;
}

void KeyboardHold::focusWindowChanged(QWindow* window)
{
    if (holder_ != nullptr && window != nullptr && window != holder_->window()->windowHandle()) {
        release();
    }
}

} // namespace platform
