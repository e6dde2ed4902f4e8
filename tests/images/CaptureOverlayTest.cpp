#include "app/CaptureOverlay.h"

#include "support/Suites.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>

// The selection overlay of the capture child.
class CaptureOverlayTest : public QObject {
    Q_OBJECT

    static void pointerEvent(QWidget& widget, QEvent::Type type, QPoint at, quint64 time)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget.mapToGlobal(at), button, button, {});
        event.setTimestamp(time);
        QApplication::sendEvent(&widget, &event);
    }

private Q_SLOTS:
    void onlyADraggedRegionIsWrittenInDevicePixels_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QPoint>("to"); // dragged from 250,150
        QTest::addColumn<bool>("escape");
        // A second motion within a millisecond of the pointer's jump onto the overlay, and the
        // press at once where it put the pointer (XWayland's replay of the jump).
        QTest::addColumn<QPoint>("replayedTo");
        // Dragged up and to the left: the rectangle is the same.
        QTest::newRow("2x") << 2.0 << QPoint(150, 100) << false << QPoint();
        QTest::newRow("a click") << 1.0 << QPoint(250, 150) << false << QPoint();
        QTest::newRow("escape") << 1.0 << QPoint(300, 200) << true << QPoint();
        QTest::newRow("replayed jump") << 1.0 << QPoint(150, 100) << false << QPoint(380, 190);
    }
    void onlyADraggedRegionIsWrittenInDevicePixels()
    {
        QFETCH(double, ratio);
        QFETCH(QPoint, to);
        QFETCH(bool, escape);
        QFETCH(QPoint, replayedTo);
        // A shot whose left half is red and right half blue.
        QImage shot(QSize(400, 300) * ratio, QImage::Format_RGB32);
        shot.fill(Qt::red);
        QPainter(&shot).fillRect(shot.width() / 2, 0, shot.width() / 2, shot.height(), Qt::blue);
        shot.setDevicePixelRatio(ratio);
        CaptureOverlay overlay(shot);
        overlay.resize(400, 300);
        overlay.show();
        QSignalSpy finished(&overlay, &CaptureOverlay::finished);
        const QPoint from(250, 150);
        if (replayedTo.isNull()) {
            QTest::mousePress(&overlay, Qt::LeftButton, {}, from);
        } else {
            pointerEvent(overlay, QEvent::MouseMove, from, 1000);
            pointerEvent(overlay, QEvent::MouseMove, replayedTo, 1001);
            pointerEvent(overlay, QEvent::MouseButtonPress, replayedTo, 1002);
        }
        QTest::mouseMove(&overlay, (from + to) / 2);
        QTest::mouseMove(&overlay, to);
        if (escape) {
            QTest::keyClick(&overlay, Qt::Key_Escape);
        } else {
            QTest::mouseRelease(&overlay, Qt::LeftButton, {}, to);
        }

        const bool selected = !escape && to != from;
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), selected);
        QTemporaryDir dir;
        const QString file = dir.filePath("shot.png");
        QCOMPARE(overlay.writeSelection(file), selected);
        QCOMPARE(QFile::exists(file), selected);
        if (selected) {
            const QImage written(file);
            QCOMPARE(written.size(), QSize(100, 50) * ratio);
            QCOMPARE(written.pixel(0, 0), qRgb(255, 0, 0));
            QCOMPARE(written.pixel(written.width() - 1, 0), qRgb(0, 0, 255));
        }
    }
};

static RegisterSuite<CaptureOverlayTest> registered;

#include "CaptureOverlayTest.moc"
