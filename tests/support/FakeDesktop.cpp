#include "support/FakeDesktop.h"

#include <QWidget>

FakeDesktop::FakeDesktop(QRectF frame, double statusBar)
    : frame(frame)
    , statusBar(statusBar)
    , installed_([this] {
        platform::Services services = platform::services();
        services.desktop = this;
        return services;
    }())
{
}

FakeDesktop::~FakeDesktop() = default;

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
