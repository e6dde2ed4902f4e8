#include "app/CaptureOverlay.h"

#include "platform/WindowRole.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr quint64 kMotionBurstMs = 1;      // motion this close together is one step
constexpr quint64 kPressAfterMotionMs = 5; // a press this soon after a step comes with it

} // namespace

CaptureOverlay::CaptureOverlay(const QImage& shot, QWidget* parent)
    : QWidget(parent, platform::windowRoleFlags(platform::WindowRole::Overlay))
    , shot_(shot)
{
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect CaptureOverlay::selection() const
{
    if (!anchor_) {
        return QRect();
    }
    // The drag covers the points between press and release, whichever way it went.
    const int left = std::min(anchor_->x(), current_.x());
    const int top = std::min(anchor_->y(), current_.y());
    return QRect(left, top, std::abs(current_.x() - anchor_->x()),
                 std::abs(current_.y() - anchor_->y()));
}

QRect CaptureOverlay::pixelRect() const
{
    const QRect points = selection();
    const double ratio = shot_.devicePixelRatio();
    const QRect pixels(qRound(points.x() * ratio), qRound(points.y() * ratio),
                       qRound(points.width() * ratio), qRound(points.height() * ratio));
    return pixels.intersected(QRect(QPoint(0, 0), shot_.size()));
}

bool CaptureOverlay::writeSelection(const QString& file) const
{
    const QRect pixels = pixelRect();
    if (pixels.isEmpty()) {
        return false;
    }
    QImage part = shot_.copy(pixels);
    part.setDevicePixelRatio(1);
    // Written whole or not at all: the parent decodes the file as soon as this process ends.
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && part.save(&out, "PNG") && out.commit();
}

void CaptureOverlay::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Unmanaged: nothing but the program puts it over the windows already there.
    raise();
    activateWindow();
    // X refuses grabs until the window is viewable, which happens a little after show():
    // retry for a while, so that Escape works even where no window manager gives focus.
    auto* retry = new QTimer(this);
    retry->setInterval(30);
    connect(retry, &QTimer::timeout, this, [this, retry, tries = 0]() mutable {
        QWindow* window = windowHandle();
        if (window != nullptr && !keyboardGrabbed_) {
            keyboardGrabbed_ = window->setKeyboardGrabEnabled(true);
        }
        if (window != nullptr && !mouseGrabbed_) {
            mouseGrabbed_ = window->setMouseGrabEnabled(true);
        }
        if ((keyboardGrabbed_ && mouseGrabbed_) || done_ || ++tries > 100) {
            retry->deleteLater();
        }
    });
    retry->start();
}

void CaptureOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), shot_);
    const QRect chosen = selection();
    QRegion dim(rect());
    if (!chosen.isEmpty()) {
        dim -= QRegion(chosen);
    }
    painter.setClipRegion(dim);
    painter.fillRect(rect(), QColor(0, 0, 0, 110));
    painter.setClipping(false);
    if (chosen.isEmpty()) {
        return;
    }
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(chosen.adjusted(0, 0, -1, -1));

    const QRect pixels = pixelRect();
    const QString label = QStringLiteral("%1 \u00D7 %2").arg(pixels.width()).arg(pixels.height());
    QFont font;
    font.setPixelSize(12);
    painter.setFont(font);
    const QRect text = painter.fontMetrics().boundingRect(label).adjusted(-6, -3, 6, 3);
    QRect box(chosen.left(), chosen.bottom() + 6, text.width(), text.height());
    if (box.bottom() > height()) {
        box.moveBottom(chosen.top() - 6);
    }
    if (box.top() < 0) {
        box.moveTop(chosen.top() + 6);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 170));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, label);
}

void CaptureOverlay::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // XWayland follows a jump onto the overlay with a stray motion of its own, within the same
    // millisecond or the next, which leaves the pointer elsewhere until the next real motion: a
    // press that comes at once is reported there. The first position of that burst is where the
    // pointer really is.
    const bool justMoved = moveStart_ && event->timestamp() - moveTime_ <= kPressAfterMotionMs;
    anchor_ = justMoved ? *moveStart_ : event->position().toPoint();
    current_ = *anchor_;
    update();
}

void CaptureOverlay::mouseMoveEvent(QMouseEvent* event)
{
    if (!moveStart_ || event->timestamp() - moveTime_ > kMotionBurstMs) {
        moveStart_ = event->position().toPoint();
        moveTime_ = event->timestamp();
    }
    if (anchor_ && (event->buttons() & Qt::LeftButton)) {
        current_ = event->position().toPoint();
        update();
    }
}

void CaptureOverlay::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !anchor_) {
        return;
    }
    current_ = event->position().toPoint();
    finish(!pixelRect().isEmpty());
}

void CaptureOverlay::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        anchor_.reset();
        finish(false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CaptureOverlay::finish(bool selected)
{
    if (done_) {
        return;
    }
    done_ = true;
    if (QWindow* window = windowHandle()) {
        window->setMouseGrabEnabled(false);
        window->setKeyboardGrabEnabled(false);
    }
    Q_EMIT finished(selected);
}
