#include "app/CaptureRegion.h"

#include "app/CaptureOverlay.h"
#include "platform/ImageSources.h"

#include <QApplication>
#include <QDateTime>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {

int failed(const QString& reason)
{
    // Read by the program that started this one, which logs it and tells the user.
    std::fprintf(stdout, "%s\n", qPrintable(reason));
    std::fflush(stdout);
    return imagesources::captureFailedStatus;
}

} // namespace

QImage shotFromFile(const QString& from, const QRect& area, QString* failure)
{
    QImage shot(from);
    if (shot.isNull() || area.width() <= 0) {
        *failure = QStringLiteral("the screen image could not be read (%1)").arg(from);
        return QImage();
    }
    if (imagesources::blankImage(shot)) {
        *failure = QStringLiteral("the screen image is all black");
        return QImage();
    }
    // The desktop's image is in device pixels: a scaled desktop gives more than its points.
    shot.setDevicePixelRatio(double(shot.width()) / area.width());
    return shot;
}

int runCaptureRegion(const QString& file, const QString& from)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return failed(QStringLiteral("there is no screen"));
    }
    QRect area = screen->geometry();
    QImage shot;
    if (from.isEmpty()) {
        shot = screen->grabWindow(0).toImage();
        if (shot.isNull()) {
            return failed(QStringLiteral("the screen could not be grabbed"));
        }
        if (imagesources::blankImage(shot)) {
            return failed(QStringLiteral("the screen image is all black"));
        }
    } else {
        area = screen->virtualGeometry();
        QString failure;
        shot = shotFromFile(from, area, &failure);
        if (shot.isNull()) {
            return failed(failure);
        }
    }
    // Every motion reaches the overlay, not only the last of a burst: the first of a burst is
    // where a press that follows at once really was (CaptureOverlay).
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    CaptureOverlay overlay(shot);
    overlay.setGeometry(area);
    QObject::connect(&overlay, &CaptureOverlay::finished, &overlay, [&](bool selected) {
        // A failed write leaves no file, which the program takes as a cancelled capture.
        if (selected) {
            overlay.writeSelection(file);
        }
        overlay.hide();
        QApplication::exit(0);
    });
    overlay.show();
    overlay.raise();
    // Once the overlay is up: how long the user waited, for the program that asked.
    QTimer::singleShot(0, &overlay, [] {
        std::fprintf(stderr, "%s %lld\n", imagesources::overlayShownWord,
                     static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        std::fflush(stderr);
    });
    QApplication::exec();
    return 0;
}
