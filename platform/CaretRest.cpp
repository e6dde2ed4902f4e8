#include "platform/CaretRest.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace platform {

namespace {
// The flash time every text field reads; -1 gives the desktop's own back.
constexpr int noBlink = 0;
constexpr int desktopBlink = -1;
} // namespace

CaretRest::CaretRest(std::chrono::milliseconds after, QObject* parent)
    : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setInterval(after);
    connect(&timer_, &QTimer::timeout, this, &CaretRest::rest);
    QCoreApplication::instance()->installEventFilter(this);
    timer_.start();
}

CaretRest::~CaretRest()
{
    if (resting_) {
        QGuiApplication::styleHints()->setCursorFlashTime(desktopBlink);
    }
}

bool CaretRest::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
        wake();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CaretRest::wake()
{
    if (resting_) {
        resting_ = false;
        QGuiApplication::styleHints()->setCursorFlashTime(desktopBlink);
    }
    timer_.start();
}

void CaretRest::rest()
{
    resting_ = true;
    QGuiApplication::styleHints()->setCursorFlashTime(noBlink);
}

} // namespace platform
