#include "viewer/ViewerBar.h"

#include "paint/Shapes.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr double plateH = 26;
constexpr double padding = 9;
constexpr double glyphSide = 12;
constexpr double gap = 5;

QFont labelFont(double pixels, QFont::Weight weight = QFont::Normal)
{
    QFont font;
    font.setPixelSize(qRound(pixels));
    font.setWeight(weight);
    return font;
}

} // namespace

ViewerBarButton::ViewerBarButton(const QString& title, Glyph glyph, QColor tint, bool glyphOnly,
                                 QWidget* parent)
    : QAbstractButton(parent)
    , glyph_(glyph)
    , tint_(tint)
    , glyphOnly_(glyphOnly)
{
    setText(title);
    setAccessibleName(title);
    setToolTip(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

QSize ViewerBarButton::sizeHint() const
{
    if (glyph_ == Glyph::Close) {
        return QSize(26, 26);
    }
    double width = 2 * padding + glyphSide;
    if (!glyphOnly_) {
        width += gap + QFontMetricsF(labelFont(11.5)).horizontalAdvance(text());
    }
    return QSize(qCeil(width), qRound(plateH));
}

void ViewerBarButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();
    const QColor plate(255, 255, 255, qRound(255 * (isDown() ? 0.24 : 0.14)));
    if (glyph_ == Glyph::Close) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(plate);
        painter.drawEllipse(box);
        paintGlyph(painter, box.adjusted(8, 8, -8, -8));
        return;
    }
    painter.fillPath(paint::continuousRect(box, 6), plate);
    const QRectF glyphBox(padding, (box.height() - glyphSide) / 2, glyphSide, glyphSide);
    paintGlyph(painter, glyphBox);
    if (!glyphOnly_) {
        painter.setFont(labelFont(11.5));
        painter.setPen(tint_);
        const QRectF textBox(glyphBox.right() + gap, 0, box.width(), box.height());
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, text());
    }
}

void ViewerBarButton::paintGlyph(QPainter& painter, const QRectF& b) const
{
    QPen pen(glyph_ == Glyph::Close ? QColor(255, 255, 255, 204) : tint_, 1.4);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double l = b.left(), r = b.right(), t = b.top(), btm = b.bottom(), cx = b.center().x(),
                 cy = b.center().y(), w = b.width();
    switch (glyph_) {
    case Glyph::ChevronLeft:
        painter.drawPolyline(QPolygonF{{cx + w / 6, t}, {cx - w / 6, cy}, {cx + w / 6, btm}});
        break;
    case Glyph::ChevronRight:
        painter.drawPolyline(QPolygonF{{cx - w / 6, t}, {cx + w / 6, cy}, {cx - w / 6, btm}});
        break;
    case Glyph::Copy:
        painter.drawRoundedRect(QRectF(l + w * 0.3, t, w * 0.7, w * 0.7), 1.5, 1.5);
        painter.drawPolyline(QPolygonF{{l + w * 0.2, t + w * 0.3},
                                       {l, t + w * 0.3},
                                       {l, btm},
                                       {l + w * 0.7, btm},
                                       {l + w * 0.7, btm - w * 0.2}});
        break;
    case Glyph::SaveDown:
        painter.drawLine(QPointF(cx, t), QPointF(cx, cy + w * 0.15));
        painter.drawPolyline(QPolygonF{
            {cx - w * 0.25, cy - w * 0.1}, {cx, cy + w * 0.15}, {cx + w * 0.25, cy - w * 0.1}});
        painter.drawPolyline(QPolygonF{{l, cy}, {l, btm}, {r, btm}, {r, cy}});
        break;
    case Glyph::Trash:
        painter.drawLine(QPointF(l, t + w * 0.2), QPointF(r, t + w * 0.2));
        painter.drawLine(QPointF(cx - w * 0.15, t), QPointF(cx + w * 0.15, t));
        painter.drawPolyline(QPolygonF{{l + w * 0.15, t + w * 0.2},
                                       {l + w * 0.22, btm},
                                       {r - w * 0.22, btm},
                                       {r - w * 0.15, t + w * 0.2}});
        break;
    case Glyph::Close:
        pen.setWidthF(1.8);
        painter.setPen(pen);
        painter.drawLine(b.topLeft(), b.bottomRight());
        painter.drawLine(b.topRight(), b.bottomLeft());
        break;
    }
}
