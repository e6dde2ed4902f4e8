#pragma once

#include "platform/Desktop.h"
#include "platform/Log.h"
#include "platform/Services.h"

#include <QHash>
#include <QStringList>

// A desktop the test controls: pointer, screen, clipboard, uptime. Installs itself in the
// services for the lifetime of the object. Window frames are kept both on the widget (through the
// real conversion against `qtScreen`) and in a table the test can read.
class FakeDesktop : public platform::Desktop {
public:
    FakeDesktop();

    QPointF mouse;
    QRectF frame{0, 0, 1440, 900};
    QList<QRectF> moreScreens; // monitors beside the main one
    double statusBar = 24;
    int changeCount = 0;
    QImage clipboard;          // null: no image (or text)
    bool silentOwner = false;  // the clipboard's owner never answers
    bool slowOwner = false;    // answers a paste but was too slow for the first look
    bool stallsOnText = false; // lists text, then never sends it
    bool kindUnknown = false;  // what the clipboard holds is not known yet
    int clipboardReads = 0;
    int haptics = 0;
    double bootSeconds = 1000;
    bool compositor = true;
    std::function<void()> compositorChanged = [] {};
    QImage screen;                         // what grabScreen() returns
    bool pointerOnlyOverOwn = false;       // as on XWayland
    bool motionEvents = false;             // watchPointer() succeeds
    std::function<void()> moved;           // what watchPointer() was given
    void moveMouse(QPointF to);            // with a motion event when watched
    bool crossingReleases = false;         // as XWayland under wlroots: watchPrimaryRelease() works
    std::function<void(quint64)> released; // what watchPrimaryRelease() was given
    bool arrivals = false;                 // watchArrivals() succeeds
    QRectF arrivalArea;                    // what it was given
    std::function<void()> arrived;

    void copyImage(const QImage& image);     // a new clipboard content
    void copyText() { copyImage(QImage()); } // text replaces any image

    QPointF mouseLocation() const override { return mouse; }
    QRectF screenFrame() const override { return frame; }
    QList<QRectF> screenFrames() const override { return QList<QRectF>{frame} + moreScreens; }
    double statusBarThickness() const override { return statusBar; }
    int clipboardChangeCount() const override { return changeCount; }
    QImage clipboardImage() const override { return clipboard; }
    void setClipboardImage(const QImage& image) override { copyImage(image); }
    void readClipboard(QObject* context, int answerMs,
                       std::function<void(platform::ClipboardContent)> done) override;
    platform::ClipboardContent::Kind clipboardKind() const override;
    void haptic() override { ++haptics; }
    double uptime() const override { return bootSeconds; }
    void setWindowFrame(QWidget* window, const QRectF& frame) override;
    QRectF windowFrame(const QWidget* window) const override;
    bool hasCompositor() const override { return compositor; }
    bool watchCompositor(std::function<void()> callback) override
    {
        compositorChanged = std::move(callback);
        return true;
    }
    QImage grabScreen() const override { return screen; }
    bool pointerOnlyOverOwnWindows() const override { return pointerOnlyOverOwn; }
    bool watchPointer(std::function<void()> callback) override;
    bool watchPrimaryRelease(std::function<void(quint64)> callback) override;
    bool watchArrivals(const QRectF& area, std::function<void()> callback) override;

private:
    platform::ServicesGuard installed_;
};

// Collects log lines while alive instead of writing them to stderr and syslog.
class LogCapture {
public:
    LogCapture()
    {
        platform::setLogSink([this](const QString& line) { lines << line; });
    }
    ~LogCapture() { platform::setLogSink({}); }
    QStringList lines;
};
