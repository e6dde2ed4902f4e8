#include "support/FakeDesktop.h"

#include <QWidget>

FakeDesktop::FakeDesktop()
    : installed_([this] {
        platform::Services services = platform::services();
        services.desktop = this;
        return services;
    }())
{
}

void FakeDesktop::copyImage(const QImage& image)
{
    clipboard = image;
    ++changeCount;
}

bool FakeDesktop::watchPointer(std::function<void()> callback)
{
    moved = motionEvents ? std::move(callback) : nullptr;
    return motionEvents;
}

bool FakeDesktop::watchArrivals(const QRectF& area, std::function<void()> callback)
{
    arrivalArea = arrivals ? area : QRectF();
    arrived = arrivals ? std::move(callback) : nullptr;
    return arrivals;
}

bool FakeDesktop::watchPrimaryRelease(std::function<void(quint64)> callback)
{
    released = crossingReleases ? std::move(callback) : nullptr;
    return crossingReleases;
}

void FakeDesktop::moveMouse(QPointF to)
{
    mouse = to;
    if (moved) {
        moved();
    }
}

void FakeDesktop::readClipboard(QObject* context, int answerMs,
                                std::function<void(platform::ClipboardContent)> done)
{
    ++clipboardReads;
    if (!silentOwner && !stallsOnText) {
        platform::Desktop::readClipboard(context, answerMs, std::move(done));
        return;
    }
    platform::deliverClipboard(QPointer<QObject>(context), std::move(done),
                               {platform::ClipboardContent::Kind::Silent, {}, {}});
}

platform::ClipboardContent::Kind FakeDesktop::clipboardKind() const
{
    if (stallsOnText || kindUnknown) {
        return stallsOnText ? platform::ClipboardContent::Kind::Text
                            : platform::ClipboardContent::Kind::Pending;
    }
    return silentOwner || slowOwner ? platform::ClipboardContent::Kind::Silent
                                    : platform::Desktop::clipboardKind();
}

void FakeDesktop::setWindowFrame(QWidget* window, const QRectF& yUp)
{
    const QRect main = frame.toRect();
    window->setGeometry(platform::toQt(platform::withBleed(window, yUp), main));
}

QRectF FakeDesktop::windowFrame(const QWidget* window) const
{
    return platform::withoutBleed(window, platform::fromQt(window->geometry(), frame.toRect()));
}
