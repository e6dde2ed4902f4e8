#include "model/ImageWork.h"
#include "model/Images.h"
#include "platform/Desktop.h"

#include <QMimeData>
#include <QUrl>

QImage clipboardImage()
{
    return platform::desktop().clipboardImage();
}

QList<Images::Source> droppedImages(const QMimeData* mime)
{
    QList<Images::Source> sources;
    if (mime == nullptr) {
        return sources;
    }
    // The drop's data belongs to the drag and is gone once the drop event returns: paths and
    // bytes are copied now, and decoded later on the worker.
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            sources << Images::Source::file(url.toLocalFile());
        }
    }
    if (!sources.isEmpty() || !mime->hasImage()) {
        return sources;
    }
    for (const QString& format : mime->formats()) {
        if (format.startsWith(QLatin1String("image/"))) {
            if (QByteArray bytes = mime->data(format); !bytes.isEmpty()) {
                return {Images::Source::encoded(bytes)};
            }
        }
    }
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    if (!image.isNull()) {
        sources << Images::Source::of(image);
    }
    return sources;
}
