#pragma once

#include "platform/Desktop.h"
#include "platform/x11/CompositorWatch.h"
#include "platform/x11/KeyboardHold.h"
#include "platform/x11/PointerProbe.h"

#include <QObject>
#include <QThreadPool>
#include <memory>

namespace platform {

// The real desktop: Qt on X11 (or XWayland), plus the kernel's boot clock.
class QtDesktop : public Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;

    QPointF mouseLocation() const override;
    QRectF screenFrame() const override;
    QList<QRectF> screenFrames() const override;
    QRectF visibleFrame() const override;
    double statusBarThickness() const override;
    int clipboardChangeCount() const override;
    QImage clipboardImage() const override;
    void setClipboardImage(const QImage& image) override;
    void readClipboard(QObject* context, int answerMs,
                       std::function<void(ClipboardContent)> done) override;
    ClipboardContent::Kind clipboardKind() const override;
    void haptic() override {}
    double uptime() const override;
    void setWindowFrame(QWidget* window, const QRectF& frame) override;
    QRectF windowFrame(const QWidget* window) const override;
    bool hasCompositor() const override;
    bool watchCompositor(std::function<void()> changed) override;
    QImage grabScreen() const override;
    bool pointerOnlyOverOwnWindows() const override;
    bool watchPointer(std::function<void()> moved) override;
    bool watchPrimaryRelease(std::function<void(quint64 time)> released) override;
    void holdKeyboard(QWidget* window) override;
    bool watchArrivals(const QRectF& area, std::function<void()> entered) override;

private:
    QRect mainGeometry() const;
    // Whether Qt can answer without asking another program: the clipboard is ours, or this
    // is no X session.
    bool answersLocally() const;
    ClipboardContent localClipboard() const;
    void probeClipboard();

    PointerProbe pointer_;
    std::unique_ptr<CompositorWatch> compositor_; // once followed
    std::unique_ptr<KeyboardHold> keyboard_;
    QObject watcher_;
    int changes_ = 0;
    ClipboardContent::Kind kind_ = ClipboardContent::Kind::Pending;
    // Declared last, so it finishes its readings before what they report to goes.
    std::unique_ptr<QThreadPool> readers_;
};

} // namespace platform
