#include "StoreFixture.h"
#include "model/ImageWork.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>
#include <utime.h>

// Pictures on disk: stored, named, cached, decoded on the worker for showing, and never read or
// removed outside the images folder.

class ImagesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;

private Q_SLOTS:
    void init() { f = std::make_unique<Fixture>(); }

    void cleanup()
    {
        Fixture::finishImages();
        f.reset();
    }

    void storesRgbaPngNoLongerThan2000_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("stored");
        QTest::newRow("wide") << QSize(4000, 1000) << QSize(2000, 500);
        QTest::newRow("tall") << QSize(1000, 4000) << QSize(500, 2000);
        QTest::newRow("nearly square") << QSize(3001, 3000) << QSize(2000, 1999);
        QTest::newRow("just over") << QSize(2105, 10) << QSize(2000, 9);
        QTest::newRow("small") << QSize(800, 600) << QSize(800, 600);
        QTest::newRow("sliver") << QSize(9000, 1) << QSize(2000, 1);
    }

    // Each under a fresh upper-case UUID name in the images folder.
    void storesRgbaPngNoLongerThan2000()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, stored);
        const QString name = Images::save(flatImage(source)).value_or("");
        QVERIFY(QRegularExpression("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.png$")
                    .match(name)
                    .hasMatch());
        QCOMPARE(Images::url(name), f->dir.filePath("images/" + name));
        QVERIFY(name != Images::save(flatImage({2, 1})).value_or(name));
        const QByteArray bytes = readFile(Images::url(name));
        QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(int(bytes[24]), 8); // bits per sample
        QCOMPARE(int(bytes[25]), 6); // colour type: RGB with alpha
        QCOMPARE(Images::load(name).size(), stored);
    }

    void deletingForgetsTheCachedImageAndMissesAreRetried()
    {
        const QString name = *Images::save(flatImage({30, 20}));
        QVERIFY(!Images::load(name).isNull());
        QVERIFY(QFile::remove(Images::url(name)));
        QVERIFY(!Images::load(name).isNull()); // served from memory
        Images::remove({name, "never-existed.png"});
        QVERIFY(Images::load(name).isNull());
        // A huge one in its place is loaded scaled, and decoded once.
        writeFile(Images::url(name), pngBytes(QSize(5000, 2500)));
        const QImage huge = Images::load(name);
        QCOMPARE(huge.size(), QSize(2000, 1000));
        QCOMPARE(Images::load(name).cacheKey(), huge.cacheKey());

        // A failed write logs and gives no name.
        writeFile(f->dir.filePath("other/images"), "a file where the folder should be");
        f->services().notesFile = f->dir.filePath("other/notes.json");
        QVERIFY(!Images::save(flatImage({5, 5})));
        QCOMPARE(f->log.lines.size(), 1);
        QVERIFY(f->log.lines[0].startsWith("Quillhaven: image save failed: "));
    }

    void picturesForShowingAreDecodedOnTheWorkerOnceForEveryAskerAndFile()
    {
        const QString name = QStringLiteral("SHOWN.png");
        writeFile(Images::url(name), pngBytes(QSize(5000, 2500)));
        // The size comes from the header, scaled as loading scales it, before any decode.
        QCOMPARE(Images::shownSize(name), QSize(2000, 1000));
        QVERIFY(Images::cached(name).isNull());

        QObject a;
        auto b = std::make_unique<QObject>();
        int readyA = 0, readyB = 0;
        QVERIFY(Images::shown(name, &a, [&] { ++readyA; }).isNull());
        QVERIFY(Images::shown(name, &a, [&] { ++readyA; }).isNull());
        QVERIFY(Images::shown(name, b.get(), [&] { ++readyB; }).isNull());
        b.reset(); // an asker that has gone is not called back
        Fixture::finishImages();
        QCOMPARE(readyA, 2);
        QCOMPARE(readyB, 0);
        const QImage image = Images::shown(name, &a, [&] { ++readyA; });
        QCOMPARE(image.size(), QSize(2000, 1000));
        QCOMPARE(Images::cached(name).cacheKey(), image.cacheKey());
        Fixture::finishImages();
        QCOMPARE(readyA, 2); // from memory: nothing asked of the worker

        // A small filled copy is made on the worker too, then kept.
        QVERIFY(Images::shownFilled(name, QSize(30, 20), &a, [&] { ++readyA; }).isNull());
        Fixture::finishImages();
        QCOMPARE(readyA, 3);
        const QImage fill = Images::shownFilled(name, QSize(30, 20), &a, [&] { ++readyA; });
        QCOMPARE(fill.size(), QSize(30, 20));
        QCOMPARE(fill.pixelColor(15, 10), QColor(30, 120, 200));

        // A file that is no picture has no size and is never sent to the worker.
        writeFile(Images::url("WORDS.png"), "just some words\n");
        QVERIFY(!Images::shownSize("WORDS.png").isValid());
        QVERIFY(Images::shown("WORDS.png", &a, [&] { ++readyA; }).isNull());
        QVERIFY(!Images::shownSize("MISSING.png").isValid());
        Fixture::finishImages();
        QCOMPARE(readyA, 3);

        // One that does not decode is not tried again until its file changes.
        const QString cut = QStringLiteral("CUT.png");
        const QByteArray whole =
            pngBytes(flatImage({300, 300}).convertToFormat(QImage::Format_ARGB32));
        writeFile(Images::url(cut), whole.left(whole.size() / 2));
        QVERIFY(Images::shownSize(cut).isValid()); // the header is whole
        int ready = 0;
        // Asking again from `ready`, as a view repainting does, must not loop.
        std::function<void()> again = [&] {
            ++ready;
            Images::shown(cut, &a, again);
        };
        Images::shown(cut, &a, again);
        Fixture::finishImages();
        QCOMPARE(ready, 1);

        QFile::remove(Images::url(cut));
        writeFile(Images::url(cut), whole);
        const utimbuf later{::time(nullptr) + 5, ::time(nullptr) + 5};
        QVERIFY(::utime(QFile::encodeName(Images::url(cut)).constData(), &later) == 0);
        Images::shown(cut, &a, again);
        Fixture::finishImages();
        QCOMPARE(ready, 2);
        QCOMPARE(Images::cached(cut).size(), QSize(300, 300));
    }

    void aDropGivesItsFilesInOrderAndTheWorkerSkipsNonImages()
    {
        writeFile(f->dir.filePath("a.png"), pngBytes(QSize(11, 12)));
        flatImage({13, 14}).save(f->dir.filePath("b.jpg"), "jpg");
        writeFile(f->dir.filePath("notes.txt"), "not an image");
        QMimeData mime;
        for (const char* file : {"a.png", "notes.txt", "b.jpg", "missing.png"}) {
            mime.setUrls(mime.urls() << QUrl::fromLocalFile(f->dir.filePath(file)));
        }
        QObject context;
        QList<QSize> sizes;
        bool onGuiThread = true;
        for (const Images::Source& source : droppedImages(&mime)) {
            Images::store(source, &context, [&](const std::optional<QString>& name) {
                onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
                sizes << (name ? Images::load(*name).size() : QSize());
            });
        }
        Images::waitForWorker();
        QTRY_COMPARE(sizes.size(), 4);
        QCOMPARE(sizes, (QList<QSize>{QSize(11, 12), QSize(), QSize(13, 14), QSize()}));
        QVERIFY(onGuiThread);
    }
};

static RegisterSuite<ImagesTest> registered;
#include "ImagesTest.moc"
