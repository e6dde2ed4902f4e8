#include "app/CaptureOverlay.h"

#include "support/Suites.h"

#include <QSignalSpy>

// The selection overlay of the capture child.
class CaptureOverlayTest : public QObject {
    Q_OBJECT

    // A shot whose left half is red and right half blue, at the given pixel ratio.
    static QImage shot(double ratio)
    {
        QImage image(QSize(400, 300) * ratio, QImage::Format_RGB32);
        image.fill(Qt::red);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = image.width() / 2; x < image.width(); ++x) {
                image.setPixel(x, y, qRgb(0, 0, 255));
            }
        }
        image.setDevicePixelRatio(ratio);
        return image;
    }

    static void drag(QWidget* w, QPoint from, QPoint to)
    {
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        QTest::mouseMove(w, (from + to) / 2);
        QTest::mouseMove(w, to);
        QTest::mouseRelease(w, Qt::LeftButton, {}, to);
    }

private Q_SLOTS:
    void aDraggedRegionIsWrittenInDevicePixels_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::newRow("1x") << 1.0;
        QTest::newRow("2x") << 2.0;
    }
    void aDraggedRegionIsWrittenInDevicePixels()
    {
        QFETCH(double, ratio);
        QTemporaryDir dir;
        CaptureOverlay overlay(shot(ratio));
        overlay.resize(400, 300);
        overlay.show();
        QSignalSpy finished(&overlay, &CaptureOverlay::finished);

        // Dragged up and to the left: the rectangle is the same.
        drag(&overlay, QPoint(250, 150), QPoint(150, 100));

        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), true);
        const QString file = dir.filePath(QStringLiteral("shot.png"));
        QVERIFY(overlay.writeSelection(file));
        const QImage written(file);
        QCOMPARE(written.size(), QSize(100, 50) * ratio);
        QCOMPARE(written.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(written.pixel(written.width() - 1, 0), qRgb(0, 0, 255));
    }

    void escapeOrAClickSelectsNothing()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("shot.png"));
        {
            CaptureOverlay overlay(shot(1));
            overlay.resize(400, 300);
            overlay.show();
            QSignalSpy finished(&overlay, &CaptureOverlay::finished);
            QTest::mousePress(&overlay, Qt::LeftButton, {}, QPoint(10, 10));
            QTest::mouseMove(&overlay, QPoint(60, 60));
            QTest::keyClick(&overlay, Qt::Key_Escape);
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished[0][0].toBool(), false);
            QVERIFY(!overlay.writeSelection(file));
        }
        {
            CaptureOverlay overlay(shot(1));
            overlay.resize(400, 300);
            overlay.show();
            QSignalSpy finished(&overlay, &CaptureOverlay::finished);
            QTest::mouseClick(&overlay, Qt::LeftButton, {}, QPoint(40, 40));
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished[0][0].toBool(), false);
            QVERIFY(!overlay.writeSelection(file));
        }
        QVERIFY(!QFile::exists(file));
    }
};

static RegisterSuite<CaptureOverlayTest> registered;

#include "CaptureOverlayTest.moc"
