#include "support/FakeDesktop.h"

#include <QWidget>

FakeDesktop::FakeDesktop(QRectF frame, double statusBar)
    : frame(frame)
    , statusBar(statusBar)
{
    platform::setDesktop(this);
}

FakeDesktop::~FakeDesktop()
{
    platform::setDesktop(nullptr);
}

void FakeDesktop::copyImage(const QImage& image)
{
    clipboard = image;
    ++changeCount;
}

void FakeDesktop::copyText()
{
    clipboard = QImage();
    ++changeCount;
}

void FakeDesktop::setClipboardImage(const QImage& image)
{
    copyImage(image);
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

LogCapture::LogCapture()
{
    platform::setLogSink([this](const QString& line) { lines << line; });
}

LogCapture::~LogCapture()
{
    platform::setLogSink({});
}
