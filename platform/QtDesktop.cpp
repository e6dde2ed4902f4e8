#include "platform/QtDesktop.h"

#include "platform/Backend.h"
#include "platform/x11/XClipboard.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <time.h>

namespace platform {

namespace {

// How long the owner may take to say what the clipboard holds before Ctrl+V stops waiting.
constexpr int probeMs = 200;
// A large picture comes in chunks, each within the answer deadline; however fast they come,
// a reading gives up after this long in all.
constexpr int readOverallMs = 30'000;

} // namespace

QtDesktop::QtDesktop()
    : readers_(std::make_unique<QThreadPool>())
{
    // Two readers, so that a probe never queues behind a reading held up by a stuck owner.
    readers_->setMaxThreadCount(2);
    if (auto* clipboard = QGuiApplication::clipboard()) {
        QObject::connect(clipboard, &QClipboard::dataChanged, &watcher_, [this] {
            ++changes_;
            probeClipboard();
        });
    }
    probeClipboard();
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

QList<QRectF> QtDesktop::screenFrames() const
{
    QList<QRectF> frames;
    for (const QScreen* screen : QGuiApplication::screens()) {
        frames << fromQt(screen->geometry(), mainGeometry());
    }
    return frames.isEmpty() ? QList<QRectF>{screenFrame()} : frames;
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

bool QtDesktop::answersLocally() const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return session().x11Connection() == nullptr || clipboard == nullptr ||
           clipboard->ownsClipboard();
}

ClipboardContent QtDesktop::localClipboard() const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (mime == nullptr) {
        return {};
    }
    if (mime->hasText()) {
        ClipboardContent text{ClipboardContent::Kind::Text, {}, {}, mime->text()};
        text.html = mime->hasHtml() ? mime->html() : QString();
        return text;
    }
    if (!mime->hasImage()) {
        return {};
    }
    // Bytes as they were put there are decoded later, on the worker, with its bounds.
    for (const QString& format : mime->formats()) {
        if (format.startsWith(QLatin1String("image/"))) {
            return {ClipboardContent::Kind::Image, mime->data(format), {}};
        }
    }
    return {ClipboardContent::Kind::Image, {}, qvariant_cast<QImage>(mime->imageData())};
}

// Learns what a new clipboard holds, so that Ctrl+V knows whether to wait for an image
// without asking the owner at the moment of the key.
void QtDesktop::probeClipboard()
{
    kind_ = ClipboardContent::Kind::Pending;
    if (answersLocally()) {
        return; // Qt answers clipboardKind() itself
    }
    const int change = changes_;
    const QPointer<QObject> guard(&watcher_);
    readers_->start([this, guard, change] {
        const ClipboardContent content = readXClipboard(false, probeMs, probeMs);
        deliverClipboard(
            guard,
            [this, change](const ClipboardContent& found) {
                if (change == changes_) {
                    kind_ = found.kind;
                }
            },
            content);
    });
}

ClipboardContent::Kind QtDesktop::clipboardKind() const
{
    return answersLocally() ? localClipboard().kind : kind_;
}

void QtDesktop::readClipboard(QObject* context, int answerMs,
                              std::function<void(ClipboardContent)> done)
{
    if (answersLocally()) {
        deliverClipboard(QPointer<QObject>(context), std::move(done), localClipboard());
        return;
    }
    readers_->start([context = QPointer<QObject>(context), answerMs, done = std::move(done)] {
        deliverClipboard(context, done, readXClipboard(true, answerMs, readOverallMs));
    });
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
    return compositor_ ? compositor_->active() : session().hasCompositor();
}

bool QtDesktop::watchCompositor(std::function<void()> changed)
{
    // A Wayland compositor always composites, its X windows included.
    if (session().kind().wayland() || session().x11Connection() == nullptr) {
        return false;
    }
    if (!compositor_) {
        compositor_ = std::make_unique<CompositorWatch>(session().x11Connection());
    }
    return compositor_->watch(std::move(changed));
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

bool QtDesktop::watchPrimaryRelease(std::function<void(quint64 time)> released)
{
    // wlroots gives an unmanaged X window no implicit grab. Mutter and KWin keep the press with
    // the window it began on, so their releases are all real.
    const SessionKind& kind = session().kind();
    if (!kind.wayland() || kind.compositor != Compositor::Sway || !pointer_.watching()) {
        return false;
    }
    pointer_.watchPrimaryRelease(std::move(released));
    return true;
}

bool QtDesktop::watchArrivals(const QRectF& area, std::function<void()> entered)
{
    // An input-only X window has no surface a compositor could give the pointer to.
    if (session().kind().wayland() || !pointer_.position()) {
        return false;
    }
    return pointer_.watchArea(toQt(area, mainGeometry()), std::move(entered));
}

void QtDesktop::holdKeyboard(QWidget* window)
{
    const SessionKind& kind = session().kind();
    if (!kind.wayland() || kind.compositor != Compositor::Sway) {
        return;
    }
    if (keyboard_ == nullptr) {
        keyboard_ = std::make_unique<KeyboardHold>();
        // Another program's window made active must get its keys at once.
        KeyboardHold* hold = keyboard_.get();
        pointer_.watchActiveWindow([hold] { hold->release(); });
    }
    keyboard_->hold(window);
}

bool QtDesktop::pointerOnlyOverOwnWindows() const
{
    return session().kind().wayland();
}

} // namespace platform
