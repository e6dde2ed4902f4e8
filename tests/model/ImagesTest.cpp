#include "model/Images.h"

#include "Suites.h"
#include "model/Store.h"
#include "support/FakeDesktop.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUrl>
#include <QtEndian>
#include <memory>

namespace {

QImage picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    return image;
}

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char ch : bytes) {
        crc ^= static_cast<quint8>(ch);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A small valid PNG whose header claims another size: decoders that trust it allocate that.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray bytes = png(picture(4, 4));
    // Signature (8), IHDR length (4), "IHDR" (4), then width and height.
    qToBigEndian(width, bytes.data() + 16);
    qToBigEndian(height, bytes.data() + 20);
    qToBigEndian(crc32(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

} // namespace

class ImagesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<LogCapture> log;

private Q_SLOTS:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        Store::setUrlForTesting(tmp->filePath(QStringLiteral("notes.json")));
        log = std::make_unique<LogCapture>();
    }

    void cleanup()
    {
        QThreadPool::globalInstance()->waitForDone();
        log.reset();
        Store::setUrlForTesting({});
        tmp.reset();
    }

    void storesPngNoLongerThan2000_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("stored");
        QTest::newRow("wide") << QSize(4000, 1000) << QSize(2000, 500);
        QTest::newRow("tall") << QSize(1000, 4000) << QSize(500, 2000);
        QTest::newRow("nearly square") << QSize(3001, 3000) << QSize(2000, 1999);
        QTest::newRow("just over") << QSize(2105, 10) << QSize(2000, 9);
        QTest::newRow("at the limit") << QSize(2000, 2000) << QSize(2000, 2000);
        QTest::newRow("small") << QSize(800, 600) << QSize(800, 600);
        QTest::newRow("sliver") << QSize(9000, 1) << QSize(2000, 1);
    }

    void storesPngNoLongerThan2000()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, stored);
        const std::optional<QString> name = Images::save(picture(source.width(), source.height()));
        QVERIFY(name);
        QFile file(Images::url(*name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(int(bytes[24]), 8); // bits per sample
        QCOMPARE(int(bytes[25]), 6); // colour type: RGB with alpha
        QCOMPARE(Images::load(*name).size(), stored);
    }

    void keepsPixelsAndTransparency()
    {
        QImage source(10, 10, QImage::Format_ARGB32);
        source.fill(Qt::transparent);
        source.setPixelColor(3, 4, QColor(250, 10, 20));
        const QImage back = Images::load(*Images::save(source));
        QCOMPARE(back.pixelColor(3, 4), QColor(250, 10, 20));
        QCOMPARE(back.pixelColor(0, 0).alpha(), 0);
    }

    void namesAreFreshUpperCaseUuids()
    {
        const QImage image = picture(20, 10);
        const QString first = *Images::save(image);
        const QString second = *Images::save(image);
        QVERIFY(first != second);
        const QRegularExpression form(
            QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png$"));
        QVERIFY(form.match(first).hasMatch());
        QCOMPARE(QFileInfo(Images::url(first)).dir().path(), tmp->filePath("images"));
    }

    void nullImageStoresNothing()
    {
        QVERIFY(!Images::save(QImage()));
        QVERIFY(QDir(Images::dir()).isEmpty());
    }

    void failedWriteLogsAndReturnsNoName()
    {
        // The images folder cannot be made because a file already has its name.
        writeFile(tmp->filePath("other/images"), "in the way");
        Store::setUrlForTesting(tmp->filePath("other/notes.json"));
        QVERIFY(!Images::save(picture(5, 5)));
        QCOMPARE(log->lines.size(), 1);
        QVERIFY(log->lines[0].startsWith("Quillhaven: image save failed: "));
    }

    void deletingForgetsTheCachedImage()
    {
        const QString name = *Images::save(picture(30, 20));
        QVERIFY(!Images::load(name).isNull());
        // Once shown, the image comes from memory even if the file goes away behind our back.
        QVERIFY(QFile::remove(Images::url(name)));
        QVERIFY(!Images::load(name).isNull());
        Images::remove({name, QStringLiteral("never-existed.png")});
        QVERIFY(Images::load(name).isNull());
    }

    void missingFileIsTriedAgainLater()
    {
        const QString name = QStringLiteral("LATER.png");
        QVERIFY(Images::load(name).isNull());
        writeFile(Images::url(name), png(picture(7, 3)));
        QCOMPARE(Images::load(name).size(), QSize(7, 3));
    }

    void namesThatAreNoPlainFileNamesTouchNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("victim"); // relative to the temporary folder
        QTest::newRow("parent") << "../x.png"
                                << "x.png";
        QTest::newRow("sub folder") << "a/b.png"
                                    << "images/a/b.png";
        QTest::newRow("backslash") << "..\\x.png"
                                   << "x.png";
        QTest::newRow("absolute") << "TMP/x.png"
                                  << "x.png";
    }

    void namesThatAreNoPlainFileNamesTouchNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, victim);
        name.replace(QLatin1String("TMP"), tmp->path());
        const QString file = tmp->filePath(victim);
        writeFile(file, png(picture(4, 4)));
        QVERIFY(Images::url(name).isEmpty());
        QVERIFY(Images::load(name).isNull());
        Images::remove({name, QStringLiteral(".."), QStringLiteral("."), QString()});
        QVERIFY(QFile::exists(file));
        QVERIFY(QFile::exists(Images::dir()));
    }

    void hostileOrBrokenFilesDecodeToNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("side over 30000") << pngClaiming(30001, 10);
        QTest::newRow("30000 square") << pngClaiming(30000, 30000);
        QTest::newRow("400 megapixels") << pngClaiming(20000, 20000);
        const QByteArray whole = png(picture(300, 300).convertToFormat(QImage::Format_ARGB32));
        QTest::newRow("truncated") << whole.left(whole.size() / 2);
        QTest::newRow("text") << QByteArray("just some words\n");
        QTest::newRow("empty") << QByteArray();
    }

    void hostileOrBrokenFilesDecodeToNothing()
    {
        QFETCH(QByteArray, bytes);
        const QString name = QStringLiteral("HOSTILE.png");
        writeFile(Images::url(name), bytes);
        QVERIFY(Images::decodeFile(Images::url(name)).isNull());
        QVERIFY(Images::load(name).isNull());
    }

    void droppedFilesArriveOnTheGuiThreadOncePerImage()
    {
        const QString a = tmp->filePath("a.png");
        const QString b = tmp->filePath("b.jpg");
        const QString text = tmp->filePath("notes.txt");
        writeFile(a, png(picture(11, 12)));
        picture(13, 14).save(b, "jpg");
        writeFile(text, "not an image");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(text), QUrl::fromLocalFile(b),
                      QUrl::fromLocalFile(tmp->filePath("missing.png"))});
        QObject context;
        QList<QSize> sizes;
        bool onGuiThread = true;
        loadDroppedImages(&mime, &context, [&](const QImage& image) {
            onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
            sizes << image.size();
        });
        QTRY_COMPARE(sizes.size(), 2);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(sizes.size(), 2);
        QVERIFY(sizes.contains(QSize(11, 12)) && sizes.contains(QSize(13, 14)));
        QVERIFY(onGuiThread);
    }

    void dropsForAGoneReceiverAreDropped()
    {
        const QString a = tmp->filePath("a.png");
        writeFile(a, png(picture(5, 5)));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a)});
        auto context = std::make_unique<QObject>();
        int calls = 0;
        loadDroppedImages(&mime, context.get(), [&](const QImage&) { ++calls; });
        context.reset();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(calls, 0);
    }

    void droppedImageDataArrivesAsIs()
    {
        QMimeData mime;
        mime.setImageData(picture(9, 8));
        QObject context;
        QList<QSize> sizes;
        loadDroppedImages(&mime, &context, [&](const QImage& image) { sizes << image.size(); });
        QTRY_COMPARE(sizes, QList<QSize>{QSize(9, 8)});
    }
};

static RegisterSuite<ImagesTest> registered;
#include "ImagesTest.moc"
