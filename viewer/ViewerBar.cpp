#include "viewer/ViewerBar.h"

#include "paint/Glyphs.h"
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

ViewerBarButton::ViewerBarButton(const QString& title, paint::Glyph glyph, QColor tint,
                                 bool glyphOnly, QWidget* parent)
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
    if (glyph_ == paint::Glyph::Cross) {
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
    if (glyph_ == paint::Glyph::Cross) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(plate);
        painter.drawEllipse(box);
        paint::paintGlyph(painter, glyph_, box.adjusted(8, 8, -8, -8), QColor(255, 255, 255, 204));
        return;
    }
    painter.fillPath(paint::continuousRect(box, 6), plate);
    const QRectF glyphBox(padding, (box.height() - glyphSide) / 2, glyphSide, glyphSide);
    paint::paintGlyph(painter, glyph_, glyphBox, tint_);
    if (!glyphOnly_) {
        painter.setFont(labelFont(11.5));
        painter.setPen(tint_);
        const QRectF textBox(glyphBox.right() + gap, 0, box.width(), box.height());
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, text());
    }
}
