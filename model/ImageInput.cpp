#include "model/Images.h"
#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

namespace {

// Runs `onImage` on the GUI thread, unless `context` has gone in the meantime. The hop goes
// through the application object, which outlives every context.
void deliver(QPointer<QObject> context, std::function<void(const QImage&)> onImage, QImage image)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [context, onImage = std::move(onImage), image = std::move(image)] {
            if (context) {
                onImage(image);
            }
        },
        Qt::QueuedConnection);
}

} // namespace

QImage clipboardImage()
{
    return platform::desktop().clipboardImage();
}

void loadDroppedImages(const QMimeData* mime, QObject* context,
                       std::function<void(const QImage&)> onImage)
{
    if (!mime || !onImage) {
        return;
    }
    // The drop's data belongs to the drag and is gone once the drop event returns, so the
    // paths are copied before any work leaves this thread.
    QStringList paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    const QPointer<QObject> guard(context);
    if (!paths.isEmpty()) {
        for (const QString& path : std::as_const(paths)) {
            QThreadPool::globalInstance()->start([guard, onImage, path] {
                QImage image = Images::decodeFile(path);
                if (!image.isNull()) {
                    deliver(guard, onImage, std::move(image));
                }
            });
        }
        return;
    }
    if (mime->hasImage()) {
        QImage image = qvariant_cast<QImage>(mime->imageData());
        if (!image.isNull()) {
            deliver(guard, std::move(onImage), std::move(image));
        }
    }
}
