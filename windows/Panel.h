#pragma once

#include "windows/PointerGesture.h"
#include "windows/ResizePhase.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

// The borderless, transparent, always-on-top window used for every note, for the pad and
// (subclassed) for the image viewer; its level picks its role with the window manager. It turns raw
// mouse events into window drags, resize gestures and clicks, and pastes clipboard images.
class Panel : public QWidget {
    Q_OBJECT
public:
    enum class Level { Note = 25, Pad = 26, Viewer = 27 };

    // rect is the frame in the y-up global space.
    explicit Panel(const QRectF& rect, Level level = Level::Note);
    ~Panel() override;

    // Puts a view in the window, filling it.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    // A note's paper lies this far inside the window (its shadow and wobble around it): the
    // resize handle and the text are found from it.
    void setPaperInset(double inset) { paperInset_ = inset; }

    // Clicks pass through to what lies below while set.
    void setIgnoresMouse(bool ignores);
    bool ignoresMouse() const { return ignoresMouse_; }

    // Without a compositing manager X11 paints transparent pixels black, so views hand over
    // the outline of what they paint (window-local Qt coordinates, y down) and the window is
    // cut to it; clicks outside the outline then reach what lies below. An empty region or
    // path cuts the whole window away (nothing painted, nothing shown); clearShapeMask() shows
    // the whole window again. With a compositor, or off X11, these do nothing.
    void setShapeMask(const QRegion& region);
    void setShapeMask(const QPainterPath& outline);
    void clearShapeMask();
    // A compositing manager started or stopped: without one the views cut the window to what
    // they paint again (compositorChanged), with one the cut goes; all is painted anew.
    void followCompositor();
    // The pixels an anti-aliased fill of `outline` covers completely, in a window of `size`.
    static QRegion opaqueRegion(const QPainterPath& outline, const QSize& size);

    // Where the window takes the pointer (window-local, y down), so that presses on the
    // transparent margin around a note's paper reach what lies below. Unset, the whole window
    // takes input. Kept while the window is hidden or ignores the mouse, and applied again
    // whenever the native window could have forgotten it.
    void setInputRegion(const QRegion& region);
    std::optional<QRegion> inputRegion() const { return inputRegion_; }
    // The square at the bottom-right corner of a note's paper (window-local) that starts a
    // resize; it reaches a little into the margin.
    static QRect resizeHandle(const QRectF& paper);

    Level level() const { return level_; }

    // show() + raise() without activating; makeKey() also takes the keyboard.
    void orderFront();
    void makeKey();
    void orderOut();

    QRectF frame() const;                // y-up
    void setFrame(const QRectF& frame);  // y-up
    void setFrameOrigin(QPointF origin); // y-up

    std::function<void(bool moving)> onDrag;
    std::function<void()> onPasteImage;
    // Escape in the window: puts the note away, so the keyboard alone can tuck it.
    std::function<void()> onDismiss;
    std::function<bool(ResizePhase, int clickCount)> resizeHook;
    // Called once the window system has settled the window somewhere else than the program
    // last put it: a window manager that clamps a window or makes room for its frame. frame()
    // then reads where the window really is.
    std::function<void()> onMovedBySystem;
    // The pointer entered (true) or left (false) the window.
    std::function<void(bool inside)> onPointerCrossing;
    // The part of the window its content draws (the pad's island), in window coordinates: an
    // open pad takes the pointer only there, so a note under the rest of its window is reached.
    std::function<QRegion()> drawnRegion;

    bool isResizing() const { return gesture_.state() == PointerGesture::State::Resizing; }
    bool isDragging() const { return gesture_.state() == PointerGesture::State::Dragging; }
    bool hasHeldDown() const { return heldDown_ != nullptr; }
    // Where the held press landed, measured y-up from the window's frame origin: a drag keeps
    // this point of the window under the pointer, however late its first move is reported.
    std::optional<QPointF> heldPressPoint() const;

Q_SIGNALS:
    void compositorChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void raiseInLevelOrder();
    void geometryChanged(bool bySystem);
    void systemGeometrySettled();
    void applyInputRegion();
    bool outsideInputRegion(const QMouseEvent* event) const;

    bool filterMouse(QMouseEvent* event);
    PointerGesture::Input gestureInput(const QMouseEvent* event) const;
    bool filterKey(QKeyEvent* event);
    void replayHeldClick(std::unique_ptr<QMouseEvent> press, QMouseEvent* up);

    QPointer<QWidget> content_;
    Level level_;
    bool ignoresMouse_ = false;
    double paperInset_ = 0;
    PointerGesture gesture_;
    // The press the gesture holds back, kept exactly while it does.
    std::unique_ptr<QMouseEvent> heldDown_;
    bool replaying_ = false;
    std::optional<QRegion> inputRegion_;
    // The last few geometries the program asked for (Qt coordinates): the window system
    // reports each of them back, late, while newer ones are already on their way.
    std::deque<QRect> asked_;
    // A child, named, so that what waits on it can see whether a placement is still settling.
    QTimer systemMoveSettle_{this};
};
