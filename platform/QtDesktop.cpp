#include "platform/QtDesktop.h"

#include "platform/Backend.h"
#include "platform/Session.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QWidget>
#include <time.h>

namespace platform {

QtDesktop::QtDesktop()
{
    if (auto* clipboard = QGuiApplication::clipboard()) {
        QObject::connect(clipboard, &QClipboard::dataChanged, &watcher_, [this] { ++changes_; });
    }
}

QtDesktop::~QtDesktop() = default;

QRect QtDesktop::mainGeometry() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 1440, 900);
}

QPointF QtDesktop::mouseLocation() const
{
    const std::optional<QPoint> probed = pointer_.position();
    return pointFromQt(probed ? *probed : QCursor::pos(), mainGeometry());
}

QRectF QtDesktop::screenFrame() const
{
    return fromQt(mainGeometry(), mainGeometry());
}

QRectF QtDesktop::visibleFrame() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? fromQt(screen->availableGeometry(), mainGeometry()) : screenFrame();
}

double QtDesktop::statusBarThickness() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 24;
    }
    const int panel = screen->availableGeometry().top() - screen->geometry().top();
    return panel > 0 ? panel : 24;
}

int QtDesktop::clipboardChangeCount() const
{
    return changes_;
}

QImage QtDesktop::clipboardImage() const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (mime == nullptr || mime->hasText() || !mime->hasImage()) {
        return {};
    }
    return qvariant_cast<QImage>(mime->imageData());
}

void QtDesktop::setClipboardImage(const QImage& image)
{
    if (auto* clipboard = QGuiApplication::clipboard()) {
        clipboard->setImage(image);
        // dataChanged also fires for our own write on most platforms; count the write
        // explicitly only where it does not, so the counter moves exactly once.
    }
}

double QtDesktop::uptime() const
{
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) {
        return 0;
    }
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void QtDesktop::setWindowFrame(QWidget* window, const QRectF& frame)
{
    window->setGeometry(toQt(withBleed(window, frame), mainGeometry()));
}

QRectF QtDesktop::windowFrame(const QWidget* window) const
{
    return withoutBleed(window, fromQt(window->geometry(), mainGeometry()));
}

bool QtDesktop::hasCompositor() const
{
    return session().hasCompositor();
}

QImage QtDesktop::grabScreen() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    // Window 0 is the whole screen, whatever windows lie on it; Qt sets the pixel ratio.
    return screen->grabWindow(0).toImage();
}

bool QtDesktop::watchPointer(std::function<void()> moved)
{
    return pointer_.watchMotion(std::move(moved));
}

bool QtDesktop::pointerOnlyOverOwnWindows() const
{
    return sessionKind().wayland();
}

} // namespace platform
