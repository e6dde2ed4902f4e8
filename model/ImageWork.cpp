#include "model/ImageWork.h"

#include "model/Images.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <algorithm>

namespace Images {

namespace {

QThreadPool& worker()
{
    // Never destroyed: a picture still in work when the program ends is simply dropped.
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

// Runs `fn` on the GUI thread; the hop goes through the application object, which outlives
// every context. Work that ends after the program has shut down is dropped.
template <typename Fn> void onGuiThread(Fn fn)
{
    if (QCoreApplication* application = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(application, std::move(fn), Qt::QueuedConnection);
    }
}

} // namespace

QImage decode(const Source& source, int longest)
{
    if (!source.image.isNull()) {
        return source.image;
    }
    if (!source.bytes.isEmpty()) {
        return decodeBytes(source.bytes, longest);
    }
    return source.path.isEmpty() ? QImage() : decodeFile(source.path, longest);
}

void store(Source source, QObject* context, std::function<void(std::optional<QString>)> done,
           DisplaySize displaySize)
{
    const QString folder = dir();
    const QPointer<QObject> guard(context);
    worker().start([folder, guard, source = std::move(source), done = std::move(done),
                    displaySize = std::move(displaySize)] {
        QImage stored;
        std::optional<QString> name = saveIn(folder, decode(source, maxStoredSide), &stored);
        QImage shown;
        if (name && displaySize) {
            shown = filled(stored, displaySize(stored.size()));
        }
        onGuiThread([folder, guard, done, name = std::move(name), stored = std::move(stored),
                     shown = std::move(shown)] {
            if (guard) {
                if (name && folder == dir()) {
                    remember(*name, stored);
                    rememberDisplayCopy(*name, shown);
                }
                done(name);
            } else if (name) {
                removeIn(folder, {*name});
            }
        });
    });
}

void thumbnail(Source source, int side, QObject* context, std::function<void(QImage)> done)
{
    const QPointer<QObject> guard(context);
    worker().start([side, guard, source = std::move(source), done = std::move(done)] {
        QImage image = decode(source, side);
        if (std::max(image.width(), image.height()) > side) {
            image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        onGuiThread([guard, done, image = std::move(image)] {
            if (guard) {
                done(image);
            }
        });
    });
}

void setWorkerThreads(int count)
{
    worker().setMaxThreadCount(std::max(1, count));
}

void waitForWorker()
{
    worker().waitForDone();
}

} // namespace Images
