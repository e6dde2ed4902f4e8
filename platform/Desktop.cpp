#include "platform/Desktop.h"

#include "platform/Backend.h"
#include "platform/QtDesktop.h"
#include "platform/Services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace platform {

void Desktop::readClipboard(QObject* context, int answerMs,
                            std::function<void(ClipboardContent)> done)
{
    Q_UNUSED(answerMs);
    ClipboardContent content;
    content.image = clipboardImage();
    content.kind =
        content.image.isNull() ? ClipboardContent::Kind::Nothing : ClipboardContent::Kind::Image;
    // Without a window system's clipboard (offscreen), the toolkit's own answers at once.
    const QClipboard* own = QGuiApplication::clipboard();
    if (content.image.isNull() && own != nullptr && !own->text().isEmpty()) {
        content = {ClipboardContent::Kind::Text, {}, {}, own->text()};
    }
    deliverClipboard(QPointer<QObject>(context), std::move(done), std::move(content));
}

void Desktop::applyWindowRole(QWidget* window, WindowRole role)
{
    session().applyWindowRole(window, role);
}

void Desktop::setInputShape(QWidget* window, const QRegion& region)
{
    session().setInputShape(window, region);
}

ClipboardContent::Kind Desktop::clipboardKind() const
{
    return clipboardImage().isNull() ? ClipboardContent::Kind::Nothing
                                     : ClipboardContent::Kind::Image;
}

void deliverClipboard(QPointer<QObject> guard, std::function<void(ClipboardContent)> done,
                      ClipboardContent content)
{
    // The hop goes through the application object, which outlives every context; a reading
    // that ends after the program has shut down is dropped.
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        return;
    }
    QMetaObject::invokeMethod(
        application,
        [guard, done = std::move(done), content = std::move(content)] {
            if (guard) {
                done(content);
            }
        },
        Qt::QueuedConnection);
}

Desktop& desktop()
{
    if (Desktop* installed = services().desktop) {
        return *installed;
    }
    static QtDesktop real;
    return real;
}

QRect toQt(const QRectF& yUp, const QRect& main)
{
    const double qtTop = main.top() + main.height() - (yUp.y() + yUp.height());
    const double qtLeft = main.left() + yUp.x();
    return QRectF(qtLeft, qtTop, yUp.width(), yUp.height()).toRect();
}

QRectF fromQt(const QRect& qt, const QRect& main)
{
    const double y = main.top() + main.height() - (qt.y() + qt.height());
    return QRectF(qt.x() - main.left(), y, qt.width(), qt.height());
}

QPointF pointFromQt(const QPointF& qt, const QRect& main)
{
    return QPointF(qt.x() - main.left(), main.top() + main.height() - qt.y());
}

QPointF pointToQt(const QPointF& yUp, const QRect& main)
{
    return QPointF(main.left() + yUp.x(), main.top() + main.height() - yUp.y());
}

QPointF pointerInQt()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect main = screen != nullptr ? screen->geometry() : QRect();
    return pointToQt(desktop().mouseLocation(), main);
}

namespace {
constexpr const char* bleedProperty = "quillhavenBleed";
}

double windowBleed(const QWidget* window)
{
    return window != nullptr ? window->property(bleedProperty).toDouble() : 0;
}

void setWindowBleed(QWidget* window, double sides)
{
    if (window == nullptr || windowBleed(window) == sides) {
        return;
    }
    const QRectF frame = desktop().windowFrame(window);
    window->setProperty(bleedProperty, sides);
    desktop().setWindowFrame(window, frame);
}

QRectF withBleed(const QWidget* window, const QRectF& frame)
{
    const double b = windowBleed(window);
    return frame.adjusted(-b, 0, b, 0);
}

QRectF withoutBleed(const QWidget* window, const QRectF& rect)
{
    const double b = windowBleed(window);
    return rect.adjusted(b, 0, -b, 0);
}

} // namespace platform
