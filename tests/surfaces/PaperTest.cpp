#include "paint/Paper.h"

#include "paint/Palette.h"
#include "paint/Shapes.h"
#include "support/Suites.h"

#include <QPainter>

namespace {

QImage paintedPaper(const QRectF& paper, bool folded, const QString& color, qreal dpr = 1)
{
    const QSizeF canvas(paper.right() + 40, paper.bottom() + 40);
    QImage image((canvas * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paint::paintPaper(p, paper, folded, color);
    return image;
}

} // namespace

class PaperTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Lighter at the top; a name the palette does not know (names are case-sensitive) gets the
    // yellow paper.
    void gradientRunsTopToBottomInTheNamedColour()
    {
        const QLinearGradient pink = paint::paperGradient("pink", QRectF(10, 20, 100, 50));
        QCOMPARE(pink.start(), QPointF(60, 20));
        QCOMPARE(pink.finalStop(), QPointF(60, 70));
        QCOMPARE(pink.stops().size(), 2);
        QVERIFY(pink.stops()[0].second.lightness() > pink.stops()[1].second.lightness());
        const QGradientStops yellow = paint::paperGradient("yellow", QRectF()).stops();
        QVERIFY(pink.stops() != yellow);
        for (const char* name : {"", "Pink"}) {
            QCOMPARE(paint::paperGradient(name, QRectF()).stops(), yellow);
        }
    }

    void continuousCornersStayInsideTheRect()
    {
        const QRectF r(0, 0, 100, 60);
        const QPainterPath path = paint::continuousRect(r, 16);
        QVERIFY(path.contains(r.center()));
        QVERIFY(!path.contains(QPointF(1, 1)));
        QVERIFY(!path.contains(QPointF(99, 59)));
        QVERIFY(path.contains(QPointF(50, 0.5))); // straight middle of each side
        QVERIFY(path.contains(QPointF(0.5, 30)));
        QVERIFY(r.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(path.boundingRect()));
        // Smoother than a circular arc: the rounding begins further along the side.
        QVERIFY(!path.contains(QPointF(14, 0.3))); // an arc would be at y 0.125 there
        // A radius far too large is clamped: a capsule that still spans the rect.
        const QPainterPath capsule = paint::continuousRect(r, 500);
        QCOMPARE(capsule.boundingRect(), r);
        QVERIFY(capsule.contains(QPointF(50, 30)));
        // Corners of their own, square ones included.
        const QPainterPath uneven = paint::continuousRect(QRectF(0, 0, 120, 40), 0, 0, 14, 14);
        QVERIFY(uneven.contains(QPointF(0.2, 0.2)) && uneven.contains(QPointF(119.8, 0.2)));
        QVERIFY(!uneven.contains(QPointF(0.5, 39.5)) && !uneven.contains(QPointF(119.5, 39.5)));
        QVERIFY(paint::continuousRect(QRectF(), 8).isEmpty());
    }

    void shadowFallsBelowAndFoldedCornersAreTighter()
    {
        const QImage image = paintedPaper(QRectF(40, 40, 220, 220), false, "yellow");
        const int below = image.pixelColor(150, 268).alpha();
        const int above = image.pixelColor(150, 32).alpha();
        QVERIFY2(below > 20, qPrintable(QString::number(below)));
        QVERIFY2(above < below / 2, qPrintable(QString::number(above)));
        QCOMPARE(image.pixelColor(150, 268).red(), 0); // black shadow, premultiplied
        QCOMPARE(image.pixelColor(2, 150).alpha(), 0); // nothing beyond the margin's reach

        // At 2x, device pixel (88, 88) sits 4.25 points in from the top-left corner along the
        // diagonal: inside a 12-point continuous corner, outside a 16-point one.
        const QRectF strip(40, 40, 220, 50);
        const QImage folded = paintedPaper(strip, true, "yellow", 2);
        const QImage unfolded = paintedPaper(strip, false, "yellow", 2);
        const QColor onFolded = folded.pixelColor(88, 88);
        const QColor onUnfolded = unfolded.pixelColor(88, 88);
        QVERIFY2(onFolded.alpha() == 255 && onFolded.red() > 200,
                 qPrintable(onFolded.name(QColor::HexArgb)));
        QVERIFY2(onUnfolded.alpha() < 100, qPrintable(onUnfolded.name(QColor::HexArgb)));
        // Away from the corners the two are the same paper.
        QCOMPARE(folded.pixelColor(300, 120), unfolded.pixelColor(300, 120));
    }

    void degeneratePaperPaintsNothingAndDoesNotCrash()
    {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        for (const QRectF paper :
             {QRectF(10, 10, 0, 0), QRectF(10, 10, -20, 30), QRectF(10, 10, qInf(), 30)}) {
            paint::paintPaper(p, paper, false, "yellow");
        }
        QCOMPARE(image.pixelColor(10, 10).alpha(), 0);
        // A paper far too large for the cache is still painted, only plainer.
        paint::paintPaper(p, QRectF(0, 0, 20000, 20000), false, "yellow");
        p.end();
        QCOMPARE(image.pixelColor(50, 50).alpha(), 255);
    }
};

static RegisterSuite<PaperTest> registered;
#include "PaperTest.moc"
