#include "model/ImageWork.h"

#include "model/Images.h"

#include <QCache>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
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

struct Asker {
    QPointer<QObject> context;
    std::function<void()> ready;
};

// Pictures being made ready for showing, by key (the name, or the name and a size), with who
// asked.
QHash<QString, QList<Asker>>& asking()
{
    static QHash<QString, QList<Asker>> askers;
    return askers;
}

// Pictures that did not decode, with their file's time then.
QHash<QString, QDateTime>& undecodable()
{
    static QHash<QString, QDateTime> files;
    return files;
}

// Small copies filled to a size (the pad's cards, the dashboard's rows), in kilobytes.
QCache<QString, QImage>& fills()
{
    static QCache<QString, QImage> copies(4 * 1024);
    return copies;
}

void prepare(const QString& key, const QString& name, QSize pixels)
{
    const QString folder = dir();
    const QString path = url(name);
    const QImage known = cached(name);
    worker().start([key, name, pixels, folder, path, known] {
        const QImage image = known.isNull() ? decodeFile(path, maxStoredSide) : known;
        const QDateTime stamp = QFileInfo(path).lastModified();
        const QImage fill = pixels.isValid() ? filled(image, pixels) : QImage();
        onGuiThread([key, name, folder, stamp, image, fill] {
            if (folder == dir() && image.isNull()) {
                undecodable().insert(name, stamp);
            } else if (folder == dir()) {
                remember(name, image);
                if (!fill.isNull()) {
                    fills().insert(key, new QImage(fill),
                                   std::max<qsizetype>(1, fill.sizeInBytes() / 1024));
                }
            }
            for (const Asker& asker : asking().take(key)) {
                if (asker.context) {
                    asker.ready();
                }
            }
        });
    });
}

QImage ask(const QString& key, const QString& name, QSize pixels, QObject* context,
           std::function<void()> ready)
{
    if (!shownSize(name).isValid()) {
        return {};
    }
    if (const auto failed = undecodable().constFind(name); failed != undecodable().cend()) {
        if (*failed == QFileInfo(url(name)).lastModified()) {
            return {};
        }
        undecodable().erase(failed);
    }
    QList<Asker>& askers = asking()[key];
    askers.append({context, std::move(ready)});
    if (askers.size() == 1) {
        prepare(key, name, pixels);
    }
    return {};
}

} // namespace

QImage shown(const QString& name, QObject* context, std::function<void()> ready)
{
    if (QImage image = cached(name); !image.isNull()) {
        return image;
    }
    return ask(name, name, {}, context, std::move(ready));
}

QImage shownFilled(const QString& name, QSize pixels, QObject* context, std::function<void()> ready)
{
    if (pixels.isEmpty()) {
        return {};
    }
    const QString key =
        QStringLiteral("%1@%2x%3").arg(name).arg(pixels.width()).arg(pixels.height());
    if (const QImage* fill = fills().object(key)) {
        return *fill;
    }
    return ask(key, name, pixels, context, std::move(ready));
}

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
