#include "paint/Glyphs.h"

#include "paint/Shapes.h"
#include "support/Suites.h"

#include <QImage>
#include <QPainter>

namespace {

// The bounds of the pixels painted at all, or an empty rectangle.
QRect inkedBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QImage transparent(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

// Views paint glyphs between their own strokes and text, into boxes laid out around them.
class GlyphsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyGlyphPaintsInsideItsBoxAndLeavesThePainterAsItWas()
    {
        const QRectF box(16, 16, 24, 24);
        // Strokes may reach half their width (and a round cap) past the box.
        const QRect allowed = box.toRect().adjusted(-2, -2, 2, 2);
        for (int i = 0; i <= static_cast<int>(paint::Glyph::PinLeaning); ++i) {
            const auto glyph = static_cast<paint::Glyph>(i);
            QImage image = transparent(56);
            QPainter p(&image);
            const QPen pen(Qt::green, 3);
            p.setPen(pen);
            p.setBrush(Qt::blue);
            p.translate(0.5, 0.5);
            const QTransform transform = p.transform();
            paint::paintGlyph(p, glyph, box, Qt::black);
            QCOMPARE(p.pen(), pen);
            QCOMPARE(p.brush(), QBrush(Qt::blue));
            QCOMPARE(p.transform(), transform);
            QVERIFY(!p.testRenderHint(QPainter::Antialiasing));
            p.end();

            const QRect inked = inkedBounds(image);
            QVERIFY2(!inked.isEmpty(),
                     qPrintable(QStringLiteral("glyph %1 paints nothing").arg(i)));
            QVERIFY2(allowed.contains(inked),
                     qPrintable(QStringLiteral("glyph %1 spills out of its box").arg(i)));
        }
    }

    void iconsHoldTheGlyphAtOneAndTwoPixelsAPoint()
    {
        const QIcon icon = paint::glyphIcon(paint::Glyph::Trash, Qt::red, 16);
        for (const qreal ratio : {1.0, 2.0}) {
            const QPixmap pixmap = icon.pixmap(QSize(16, 16), ratio);
            QCOMPARE(pixmap.size(), QSize(16, 16) * ratio);
            QVERIFY(!inkedBounds(pixmap.toImage()).isEmpty());
        }
    }

    void strokeInsideKeepsTheLineWithinTheShape()
    {
        const QRectF shape(10, 10, 36, 28);
        QImage image = transparent(56);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paint::strokeInside(p, shape, 8, QPen(Qt::black, 3));
        p.end();
        QCOMPARE(inkedBounds(image), shape.toRect());
        // The middle of the top edge carries the line at full strength.
        QCOMPARE(qAlpha(image.pixel(28, 11)), 255);
        QCOMPARE(qAlpha(image.pixel(28, 20)), 0);
    }
};

static RegisterSuite<GlyphsTest> registered;

#include "GlyphsTest.moc"
