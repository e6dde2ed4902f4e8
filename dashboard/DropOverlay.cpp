#include "dashboard/DropOverlay.h"

#include "paint/Glyphs.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QCoreApplication>
#include <QPainter>

DropOverlay::DropOverlay(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QCoreApplication::translate("Dashboard", "Drop to add image"));
}

void DropOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = palette().color(QPalette::Highlight);
    const QRectF r = QRectF(rect()).adjusted(10, 10, -10, -10);
    QColor wash = accent;
    wash.setAlphaF(0.06f);
    p.fillPath(paint::continuousRect(r, 12), wash);
    QPen pen(accent, 2);
    pen.setDashPattern({6 / 2.0, 5 / 2.0});
    paint::strokeInside(p, r, 12, pen);

    QFont f = font();
    f.setPixelSize(15);
    f.setWeight(QFont::DemiBold);
    p.setFont(f);
    const QString label = QCoreApplication::translate("Dashboard", "Drop to add image");
    const double textW = QFontMetricsF(f).horizontalAdvance(label);
    const double total = 18 + 6 + textW;
    const double x = (width() - total) / 2;
    const double y = height() / 2.0;
    // The label sits on its own plate: over images the bare text would be lost.
    const QRectF plate(x - 16, y - 22, total + 32, 44);
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.fillPath(paint::continuousRect(plate.translated(0, 1).adjusted(-i, -i, i, i), 12 + i),
                   paint::blackAt(0.05));
    }
    p.fillPath(paint::continuousRect(plate, 12), QColor::fromRgbF(1, 1, 1, 0.92f));
    paint::strokeInside(p, plate, 12, QPen(paint::blackAt(0.1), 0.5));
    paint::paintGlyph(p, paint::Glyph::Photo, QRectF(x, y - 9, 18, 18), accent);
    p.setPen(accent);
    p.drawText(QRectF(x + 24, y - 12, textW + 2, 24), Qt::AlignVCenter | Qt::AlignLeft, label);
}
