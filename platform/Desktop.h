#pragma once

#include "platform/WindowRole.h"

#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QString>
#include <functional>

class QObject;
class QRegion;
class QWidget;

namespace platform {

// What the clipboard holds, as far as pictures go.
struct ClipboardContent {
    // Pending: not known yet. Silent: its owner did not answer in time.
    enum class Kind { Nothing, Text, Image, Pending, Silent };
    ClipboardContent(Kind kind = Kind::Nothing, QByteArray bytes = {}, QImage image = {},
                     QString text = {})
        : kind(kind)
        , bytes(std::move(bytes))
        , image(std::move(image))
        , text(std::move(text))
    {
    }
    Kind kind = Kind::Nothing;
    QByteArray bytes; // an image as its owner encoded it (PNG, JPEG, ...)
    QImage image;     // or one already decoded (the program's own clipboard, test desktops)
    QString text;     // text, when read for its data
    QString html;     // and the same as rich text, when its owner offers it
};

// Everything the program reads from or does to the desktop goes through this seam, so that
// tests can place the pointer, resize the screen and watch the clipboard and haptics.
// Positions and rectangles are in the program's global space: origin at the bottom-left of
// the main screen, y pointing up, lengths in device-independent pixels.
class Desktop {
public:
    virtual ~Desktop() = default;

    virtual QPointF mouseLocation() const = 0;
    // Frame of the main screen in the y-up space (origin usually 0,0).
    virtual QRectF screenFrame() const = 0;
    // The part of the main screen that panels and docks leave to windows, y-up.
    virtual QRectF visibleFrame() const { return screenFrame(); }
    // Frames of every screen (monitor), the main one included, in the y-up space.
    virtual QList<QRectF> screenFrames() const { return {screenFrame()}; }
    // Height of a top panel when there is one, else 24: stands in for the notch.
    virtual double statusBarThickness() const = 0;

    // Counts every clipboard change, including the program's own writes.
    virtual int clipboardChangeCount() const = 0;
    // The clipboard's image, or a null image when it holds text or no image (text wins).
    virtual QImage clipboardImage() const = 0;
    virtual void setClipboardImage(const QImage& image) = 0;
    // Reads the clipboard without holding up the GUI thread: `done` runs later on the GUI
    // thread, unless `context` has gone, with Kind::Silent when the owner did not answer
    // within `answerMs`. The default reads clipboardImage().
    virtual void readClipboard(QObject* context, int answerMs,
                               std::function<void(ClipboardContent)> done);
    // What the clipboard was last seen to hold, without asking its owner now.
    virtual ClipboardContent::Kind clipboardKind() const;

    // The tap that confirms a gesture; Linux desktops have no trackpad haptics to give it.
    virtual void haptic() = 0;

    // Seconds since the machine booted.
    virtual double uptime() const = 0;

    // The window's role and input shape, written by the session's backend (see Backend).
    virtual void applyWindowRole(QWidget* window, WindowRole role);
    virtual void setInputShape(QWidget* window, const QRegion& region);

    // Places a top-level window's frame, given in the y-up space.
    virtual void setWindowFrame(QWidget* window, const QRectF& frame) = 0;
    // A top-level window's frame in the y-up space.
    virtual QRectF windowFrame(const QWidget* window) const = 0;

    // Whether a compositing manager runs. Without one X11 paints translucent pixels black, so
    // a full-screen window must paint something opaque.
    virtual bool hasCompositor() const = 0;
    // Calls `changed` on the main thread when a compositing manager starts or stops, after
    // hasCompositor() has taken the new answer. False where it cannot change or be followed.
    virtual bool watchCompositor(std::function<void()> changed)
    {
        Q_UNUSED(changed);
        return false;
    }
    // The main screen as it looks now, top row first, with its device pixel ratio set; null
    // when the screen cannot be read.
    virtual QImage grabScreen() const = 0;

    // Whether the pointer is only seen while it is over one of the program's own windows: an
    // X client of XWayland reads a stale position once the pointer is over native Wayland
    // windows. Then a window that hides must keep a sliver taking input where the pointer is
    // expected, and the pointer leaving a window means "elsewhere".
    virtual bool pointerOnlyOverOwnWindows() const { return false; }

    // Calls `moved` on the main thread whenever the pointer moves, from the window system's
    // own motion events, so a still pointer costs nothing. False where motion cannot be
    // watched: the caller then reads the pointer on a timer.
    virtual bool watchPointer(std::function<void()> moved)
    {
        (void)moved;
        return false;
    }

    // Calls `entered` on the main thread when the pointer arrives in `area` (y-up), however it
    // got there: raw motion misses faked input and warps. False where this cannot be watched;
    // under XWayland a window of the program's own must take the pointer there instead.
    virtual bool watchArrivals(const QRectF& area, std::function<void()> entered)
    {
        (void)area;
        (void)entered;
        return false;
    }

    // Whether the window system lets go of a held button when a new window of the program
    // appears under the pointer, and reports the real release only as raw input: XWayland
    // under compositors that give X windows no implicit grab (wlroots). Then `released` is
    // called on the main thread for each release of the primary button, from raw input, with
    // the window system's time of it: the release that let go comes as raw input too, at the
    // same time as the window's own.
    virtual bool watchPrimaryRelease(std::function<void(quint64 time)> released)
    {
        (void)released;
        return false;
    }

    // Keeps the keys going to `window` (to its focused widget) until another window takes
    // them, where the window system would not: under sway an unmanaged X window gets the
    // compositor's keyboard focus but never the X focus, so its keys would go nowhere.
    // Elsewhere activating the window is enough and this does nothing.
    virtual void holdKeyboard(QWidget* window) { (void)window; }
};

// Hands a clipboard reading to `done` on the GUI thread, unless `context` has gone by then.
// Safe to call from any thread; the guard must have been made on the GUI thread.
void deliverClipboard(QPointer<QObject> context, std::function<void(ClipboardContent)> done,
                      ClipboardContent content);

// A window may be drawn wider than its frame, by `sides` on the left and on the right (a note
// curling towards the viewer spills past its margin). Frames read and set through the desktop
// never include it, so the rest of the program keeps thinking in frames.
void setWindowBleed(QWidget* window, double sides);
double windowBleed(const QWidget* window);
// For desktops: a frame widened by the window's bleed, and a window's rectangle without it.
QRectF withBleed(const QWidget* window, const QRectF& frame);
QRectF withoutBleed(const QWidget* window, const QRectF& rect);

// The desktop in the services (platform/Services.h); the real one, created on first use,
// when they name none.
Desktop& desktop();

// The one conversion between the y-up space and Qt's y-down space. `main` is the main
// screen's geometry in Qt coordinates.
QRect toQt(const QRectF& yUp, const QRect& main);
QRectF fromQt(const QRect& qt, const QRect& main);
QPointF pointFromQt(const QPointF& qt, const QRect& main);
QPointF pointToQt(const QPointF& yUp, const QRect& main);
// The desktop's pointer in Qt's global coordinates, for mapping into widgets.
QPointF pointerInQt();

} // namespace platform
