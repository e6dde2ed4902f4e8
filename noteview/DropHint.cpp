#include "noteview/DropHint.h"

#include "paint/Glyphs.h"
#include "paint/Shapes.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

namespace noteview {

namespace {

const QColor hintColor = QColor::fromRgbF(0.42f, 0.33f, 0.0f);

} // namespace

QString DropHint::label()
{
    return QCoreApplication::translate("Note", "Drop to add image");
}

DropHint::DropHint(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DropHint::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    const QPainterPath shape = paint::continuousRect(r, 12);
    p.fillPath(shape, QColor::fromRgbF(1, 1, 1, 0.35f));

    QPen dash(hintColor, 1.5);
    dash.setDashPattern({5 / 1.5, 4 / 1.5});
    paint::strokeInside(p, r, 12, dash);

    QFont f = font();
    f.setPixelSize(12);
    f.setWeight(QFont::DemiBold);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const double glyph = 14;
    const double gap = 5;
    const double textW = fm.horizontalAdvance(label());
    const double total = glyph + gap + textW;
    const double left = r.center().x() - total / 2;
    paint::paintGlyph(p, paint::Glyph::PhotoSolid,
                      QRectF(left, r.center().y() - glyph / 2 + 0.5, glyph, glyph - 2), hintColor);
    p.setPen(hintColor);
    p.drawText(QRectF(left + glyph + gap, r.top(), textW + 2, r.height()),
               Qt::AlignLeft | Qt::AlignVCenter, label());
}

} // namespace noteview
