#include "platform/portal/PortalCapture.h"

#include "platform/portal/PortalScreenshot.h"

#include <QCoreApplication>
#include <QImage>
#include <QSaveFile>
#include <QThreadPool>

namespace imagesources {

namespace {

// The region the desktop's picker gave, checked and written whole; the reason when it fails.
QString keepRegion(const QString& shot, const QString& file)
{
    const QImage image(shot);
    if (image.isNull()) {
        return QStringLiteral("the portal's image could not be read (%1)").arg(shot);
    }
    if (blankImage(image)) {
        return QStringLiteral("the screen image is all black");
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
        return QStringLiteral("the image could not be written: ") + out.errorString();
    }
    return QString();
}

// Decoding and encoding a screen-sized PNG takes longer than a frame: done on a worker, and
// the outcome handed back to the main thread.
void keepRegionInBackground(const QString& shot, const QString& file,
                            std::function<void()> finished)
{
    QThreadPool::globalInstance()->start([shot, file, finished] {
        const QString failure = keepRegion(shot, file);
        QCoreApplication* app = QCoreApplication::instance();
        if (app == nullptr) {
            return; // the program is ending
        }
        QMetaObject::invokeMethod(
            app,
            [failure, finished] {
                if (!failure.isEmpty()) {
                    reportCaptureFailure(failure);
                }
                finished();
            },
            Qt::QueuedConnection);
    });
}

void shotTaken(const PortalCapture& how, const QString& file, const portal::Shot& shot,
               std::function<void()> finished)
{
    using Outcome = portal::Response::Outcome;
    if (shot.outcome != Outcome::Success) {
        if (shot.outcome == Outcome::Failed) {
            reportCaptureFailure(QStringLiteral("no screenshot from the desktop portal: ") +
                                 shot.reason);
        }
        finished();
        return;
    }
    if (how.method == CaptureMethod::PortalRegion) {
        keepRegionInBackground(shot.file, file, std::move(finished));
        return;
    }
    const HelperStarter start = how.startHelper ? how.startHelper : startCaptureChild;
    QString error;
    if (!start({QStringLiteral("--capture-region"), file, QStringLiteral("--from"), shot.file},
               finished, &error)) {
        reportCaptureFailure(error);
        finished();
    }
}

} // namespace

void capturePortal(const PortalCapture& how, const QString& file, std::function<void()> finished)
{
    // Asked first, so a desktop without the portal is named at once rather than after the
    // request's long wait, and in words instead of the bus's error.
    const QString screenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
    portal::interfaceVersion(
        how.bus, screenshot, std::chrono::seconds(5), QCoreApplication::instance(),
        [how, file, finished](uint version, const QString&) {
            if (version == 0) {
                reportCaptureFailure(QStringLiteral(
                    "the desktop offers no screenshot portal; install xdg-desktop-portal with "
                    "the backend for this desktop (xdg-desktop-portal-gnome, -kde or -wlr)"));
                finished();
                return;
            }
            const bool interactive = how.method == CaptureMethod::PortalRegion;
            portal::screenshot(how.bus, interactive, how.timeout, QCoreApplication::instance(),
                               [how, file, finished](const portal::Shot& shot) {
                                   shotTaken(how, file, shot, finished);
                               });
        });
}

} // namespace imagesources
