#include "paint/Blur.h"

#include "support/Suites.h"

#include <QImage>

// Averages are taken without a divide per pixel; they must still be exact, or shadows and the
// crumple blur drift darker or lighter than the paper they surround.
class BlurTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Sigmas of the contact shadow, the crumple, the ambient shadow, and boxes too wide for
    // 32-bit sums.
    void evenAreasKeepTheirExactLevel()
    {
        for (const double sigma : {0.9, 4.0, 9.0, 80.0}) {
            const int side = static_cast<int>(8 * sigma) + 40;
            for (int level : {0, 1, 37, 128, 200, 254, 255}) {
                QImage image(side, side, QImage::Format_Alpha8);
                image.fill(0);
                // An even square well inside the image; its centre is out of reach of the edges.
                for (int y = side / 8; y < side - side / 8; ++y) {
                    uchar* row = image.scanLine(y);
                    std::fill(row + side / 8, row + side - side / 8, static_cast<uchar>(level));
                }
                paint::gaussianBlur(image, sigma);
                QVERIFY2(int(image.constScanLine(side / 2)[side / 2]) == level,
                         qPrintable(QString("sigma %1, level %2").arg(sigma).arg(level)));
            }
        }
        QImage image(120, 120, QImage::Format_ARGB32_Premultiplied);
        const QRgb colour = qRgba(10, 200, 77, 255);
        image.fill(colour);
        paint::gaussianBlur(image, 4);
        QCOMPARE(image.pixel(60, 60), colour); // every channel
        // Beyond the edges counts as transparent: the border fades, symmetrically.
        QVERIFY(qAlpha(image.pixel(0, 60)) < 255);
        QCOMPARE(qAlpha(image.pixel(0, 60)), qAlpha(image.pixel(119, 60)));
    }
};

static RegisterSuite<BlurTest> registered;
#include "BlurTest.moc"
