#include "app/CaptureRegion.h"

#include "app/CaptureOverlay.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>

int runCaptureRegion(const QString& file)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 1;
    }
    const QImage shot = screen->grabWindow(0).toImage();
    if (shot.isNull()) {
        return 1;
    }
    CaptureOverlay overlay(shot);
    overlay.setGeometry(screen->geometry());
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
    QApplication::exec();
    return 0;
}
