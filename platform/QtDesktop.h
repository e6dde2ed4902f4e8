#pragma once

#include "platform/Desktop.h"
#include "platform/PointerProbe.h"

#include <QObject>

namespace platform {

// The real desktop: Qt on X11 (or XWayland), plus the kernel's boot clock.
class QtDesktop : public Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;

    QPointF mouseLocation() const override;
    QRectF screenFrame() const override;
    QRectF visibleFrame() const override;
    double statusBarThickness() const override;
    int clipboardChangeCount() const override;
    QImage clipboardImage() const override;
    void setClipboardImage(const QImage& image) override;
    void haptic() override { ++haptics_; }
    int hapticCount() const override { return haptics_; }
    double uptime() const override;
    void setWindowFrame(QWidget* window, const QRectF& frame) override;
    QRectF windowFrame(const QWidget* window) const override;
    bool hasCompositor() const override;
    QImage grabScreen() const override;
    bool pointerOnlyOverOwnWindows() const override;
    bool watchPointer(std::function<void()> moved) override;

private:
    QRect mainGeometry() const;

    PointerProbe pointer_;
    QObject watcher_;
    int changes_ = 0;
    int haptics_ = 0;
};

} // namespace platform
