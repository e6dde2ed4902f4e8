#include "platform/Desktop.h"
#include "windows/Panel.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>

// The panel watches its native window, so it sees every mouse and key event before any of its
// widgets does (and before Qt moves the keyboard focus on a click). A single mouse-down is
// held back until it is clear whether it starts a window drag or is a click; a click is
// replayed to the widgets as a normal press and release.

namespace {

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
bool inResizeHandle(const QWidget* window, double inset, QPointF pos)
{
    const double side = inset + platform::windowBleed(window);
    const QRectF paper = QRectF(window->rect()).adjusted(side, inset, -side, -inset);
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
        if (level_ != Level::Pad) {
            // A click is how a window takes the keyboard; some desktops need help with it.
            platform::desktop().holdKeyboard(this);
        }
        return filterMouse(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        // Qt itself picks the widget under the pointer when an event is delivered or replayed.
        return filterMouse(static_cast<QMouseEvent*>(event));
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        return filterKey(static_cast<QKeyEvent*>(event));
    case QEvent::Enter:
    case QEvent::Leave:
        if (onPointerCrossing) {
            onPointerCrossing(event->type() == QEvent::Enter);
        }
        return QWidget::eventFilter(watched, event);
    default:
        return QWidget::eventFilter(watched, event);
    }
}

PointerGesture::Input Panel::gestureInput(const QMouseEvent* event) const
{
    using Kind = PointerGesture::Kind;
    PointerGesture::Input input;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        input.kind = Kind::Press;
        break;
    case QEvent::MouseButtonDblClick:
        input.kind = Kind::DoubleClick;
        break;
    case QEvent::MouseButtonRelease:
        input.kind = Kind::Release;
        break;
    default:
        input.kind = Kind::Move;
        break;
    }
    input.leftButton = event->button() == Qt::LeftButton;
    input.leftHeld = (event->buttons() & Qt::LeftButton) != 0;
    input.position = event->position();
    input.resizable = static_cast<bool>(resizeHook);
    input.draggable = static_cast<bool>(onDrag);
    // Where a press lands is all the gesture asks about; moves come too often to look.
    if (input.kind == Kind::Press || input.kind == Kind::DoubleClick) {
        input.outsideInputRegion = outsideInputRegion(event);
        input.inResizeHandle = inResizeHandle(this, paperInset_, input.position);
        input.inTextWhileEditing =
            editingText(this) && input.position.y() >= paperInset_ + textStripDepth;
    }
    return input;
}

// Returns true when the event is consumed here.
bool Panel::filterMouse(QMouseEvent* event)
{
    using Action = PointerGesture::Action;
    PointerGesture::Step step = gesture_.feed(gestureInput(event));
    if (step.action == Action::OfferResize) {
        step = gesture_.answerResize(resizeHook(ResizePhase::Down, step.clickCount));
    }
    // The copy of a press lives exactly as long as the gesture holds the press back.
    std::unique_ptr<QMouseEvent> letGo = gesture_.holdsPress() ? nullptr : std::move(heldDown_);
    switch (step.action) {
    case Action::PassThrough:
        return false;
    case Action::Consume:
    case Action::OfferResize: // answered above
        return true;
    case Action::HoldPress:
        heldDown_.reset(static_cast<QMouseEvent*>(event->clone()));
        return true;
    case Action::ResizeDrag:
        resizeHook(ResizePhase::Dragged, 0);
        return true;
    case Action::ResizeUp:
        resizeHook(ResizePhase::Up, 0);
        return true;
    case Action::DragStart:
    case Action::DragMove:
    case Action::DragEnd: {
        // A copy: the handler may replace itself.
        const auto notify = onDrag;
        notify(step.action != Action::DragEnd);
        return true;
    }
    case Action::ReplayPress:
        replayHeldClick(std::move(letGo), nullptr);
        return false;
    case Action::ReplayClick:
        replayHeldClick(std::move(letGo), event);
        return true;
    }
    return false;
}

std::optional<QPointF> Panel::heldPressPoint() const
{
    if (!heldDown_) {
        return std::nullopt;
    }
    const QPointF at = heldDown_->position();
    return QPointF(at.x(), height() - at.y());
}

// Delivers the held press, then `up` if given, through the window as one ordinary click, so
// that Qt routes them (and the rest of the gesture) to the widget under the pointer and moves
// the keyboard focus as a click does.
void Panel::replayHeldClick(std::unique_ptr<QMouseEvent> press, QMouseEvent* up)
{
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
    if (onDismiss && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            const auto dismiss = onDismiss;
            dismiss();
        }
        return true;
    }
    if (!onPasteImage || !isPasteKey(event)) {
        return false;
    }
    // Known without asking the owner now. One that did not answer in time would hold up the
    // text paste as well, so the key is taken; its picture is still asked for, off this
    // thread and bounded, since an owner only slow (on a loaded machine) answers the second time.
    using Kind = platform::ClipboardContent::Kind;
    const Kind kind = platform::desktop().clipboardKind();
    if (kind != Kind::Image && kind != Kind::Silent) {
        return false;
    }
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        const auto paste = onPasteImage;
        paste();
    }
    return true;
}
