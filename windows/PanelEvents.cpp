#include "model/Images.h"
#include "model/NoteGeometry.h"
#include "platform/Desktop.h"
#include "windows/Panel.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>
#include <cmath>

// The panel watches its native window, so it sees every mouse and key event before any of its
// widgets does (and before Qt moves the keyboard focus on a click). A single mouse-down is
// held back until it is clear whether it starts a window drag or is a click; a click is
// replayed to the widgets as a normal press and release.

namespace {

constexpr double dragThreshold = 3;   // points the pointer must travel before a drag starts
constexpr double textStripDepth = 30; // the top strip of the paper drags even while editing
constexpr double handleInside = 30;   // the resize handle reaches this far into the paper...
constexpr double handleOutside = 8;   // ...and this far into the margin

bool isPasteKey(const QKeyEvent* key)
{
    const auto mods = key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                          Qt::AltModifier | Qt::MetaModifier);
    return mods == Qt::ControlModifier && key->key() == Qt::Key_V;
}

bool isTextEditor(const QWidget* w)
{
    return qobject_cast<const QTextEdit*>(w) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(w) != nullptr;
}

// Whether the window's focus (kept while the window is inactive) sits in a text editor.
bool editingText(const QWidget* window)
{
    for (const QWidget* w = window->focusWidget(); w != nullptr && w != window;
         w = w->parentWidget()) {
        if (isTextEditor(w)) {
            return true;
        }
    }
    return false;
}

// Window-local Qt position (y down) inside the handle square at the paper's bottom-right. The
// paper is `inset` inside the window's frame, which any bleed widens on both sides.
bool inResizeHandle(const QWidget* window, QPointF pos)
{
    const double side = geometry::inset + platform::windowBleed(window);
    const QRectF paper =
        QRectF(window->rect()).adjusted(side, geometry::inset, -side, -geometry::inset);
    return QRectF(Panel::resizeHandle(paper)).contains(pos);
}

} // namespace

QRect Panel::resizeHandle(const QRectF& paper)
{
    const double side = handleInside + handleOutside;
    return QRectF(paper.right() - handleInside, paper.bottom() + handleOutside - side, side, side)
        .toRect();
}

bool Panel::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WinIdChange:
        // Re-installing only moves the filter to the front; a recreated native window gets
        // it again here.
        if (QWindow* handle = windowHandle()) {
            handle->installEventFilter(this);
        }
        applyInputRegion();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // Spontaneous: the window system reports where the window is (X11's ConfigureNotify).
        geometryChanged(event->spontaneous());
        break;
    case QEvent::ShortcutOverride:
        // Reached when no widget claimed the key: keep an application-wide Paste shortcut
        // from taking Ctrl+V while an image waits to be pasted onto this note.
        if (filterKey(static_cast<QKeyEvent*>(event))) {
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool Panel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != windowHandle() || replaying_) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        // Qt itself picks the widget under the pointer when an event is delivered or replayed.
        return filterMouse(this, static_cast<QMouseEvent*>(event));
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        return filterKey(static_cast<QKeyEvent*>(event));
    default:
        return QWidget::eventFilter(watched, event);
    }
}

// Returns true when the event is consumed here.
bool Panel::filterMouse(QWidget* /*window*/, QMouseEvent* event)
{
    const QEvent::Type type = event->type();
    const bool leftButton = event->button() == Qt::LeftButton;
    const bool leftHeld = (event->buttons() & Qt::LeftButton) != 0;
    const bool down =
        leftButton && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick);
    // Where the window manager or server does not honour the input shape, a press on the
    // transparent margin still does nothing rather than drag the note.
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && !heldDown_ &&
        !resizing_ && outsideInputRegion(event)) {
        return true;
    }

    if (resizeHook) {
        using Kind = MouseEvent;
        if (type == QEvent::MouseMove && leftHeld && resizing_) {
            resizeHook(Kind::Dragged, 0);
            return true;
        }
        if (type == QEvent::MouseButtonRelease && leftButton && resizing_) {
            resizing_ = false;
            resizeHook(Kind::Up, 0);
            return true;
        }
        if (down) {
            resizing_ = false;
            // Qt reports the second press of a double click as a press and then a double
            // click: the latter is the press with a click count of 2.
            const int clicks = type == QEvent::MouseButtonDblClick ? 2 : 1;
            if (inResizeHandle(this, event->position()) && resizeHook(Kind::Down, clicks)) {
                resizing_ = true;
                heldDown_.reset();
                dragging_ = false;
                return true;
            }
        }
    }

    if (!onDrag) {
        heldDown_.reset();
        dragging_ = false;
        return false;
    }

    switch (type) {
    case QEvent::MouseButtonPress:
        if (!leftButton) {
            return false;
        }
        if (editingText(this) && event->position().y() >= geometry::inset + textStripDepth) {
            return false;
        }
        heldDown_.reset(static_cast<QMouseEvent*>(event->clone()));
        dragging_ = false;
        return true;
    case QEvent::MouseButtonDblClick:
        if (!leftButton) {
            return false;
        }
        // The press of this double click is still held: it goes first, then the double click.
        if (heldDown_) {
            replayHeldClick(nullptr);
        }
        return false;
    case QEvent::MouseMove: {
        if (!heldDown_ || !leftHeld) {
            return false;
        }
        if (!dragging_) {
            const QPointF moved = event->position() - heldDown_->position();
            if (std::hypot(moved.x(), moved.y()) < dragThreshold) {
                return true;
            }
            dragging_ = true;
        }
        const auto notify = onDrag;
        notify(true);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!leftButton || !heldDown_) {
            return false;
        }
        if (dragging_) {
            heldDown_.reset();
            dragging_ = false;
            const auto notify = onDrag;
            notify(false);
            return true;
        }
        replayHeldClick(event);
        return true;
    default:
        return false;
    }
}

// Delivers the held press, then `up` if given, through the window as one ordinary click, so
// that Qt routes them (and the rest of the gesture) to the widget under the pointer and moves
// the keyboard focus as a click does.
void Panel::replayHeldClick(QMouseEvent* up)
{
    const std::unique_ptr<QMouseEvent> press = std::move(heldDown_);
    dragging_ = false;
    QWindow* handle = windowHandle();
    if (!press || handle == nullptr) {
        return;
    }
    const std::unique_ptr<QMouseEvent> release(
        up != nullptr ? static_cast<QMouseEvent*>(up->clone()) : nullptr);
    const QPointer<Panel> self(this);
    replaying_ = true;
    QCoreApplication::sendEvent(handle, press.get());
    if (self && release) {
        QCoreApplication::sendEvent(handle, release.get());
    }
    if (self) {
        replaying_ = false;
    }
}

bool Panel::filterKey(QKeyEvent* event)
{
    if (!onPasteImage || !isPasteKey(event)) {
        return false;
    }
    const QImage image = clipboardImage();
    if (image.isNull()) {
        return false;
    }
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        const auto paste = onPasteImage;
        paste(image);
    }
    return true;
}
