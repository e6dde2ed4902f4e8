#include "noteview/FoldedRow.h"

#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace noteview {

FoldedRow::FoldedRow(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FoldedRow::setContent(const QImage& thumbnail, const QString& title)
{
    thumbnail_ = thumbnail;
    title_ = title;
    update();
}

QFont FoldedRow::titleFont() const
{
    QFont f = font();
    f.setPixelSize(13);
    f.setWeight(QFont::DemiBold);
    return f;
}

int FoldedRow::rowHeight() const
{
    const int line = static_cast<int>(std::ceil(QFontMetricsF(titleFont()).height()));
    return std::max(thumbnail_.isNull() ? 0 : 18, line);
}

void FoldedRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    constexpr double padding = 14;
    constexpr double thumb = 18;
    double x = padding;
    const double mid = height() / 2.0;
    if (!thumbnail_.isNull()) {
        const QRectF target(x, mid - thumb / 2, thumb, thumb);
        // Fill the square, cropping the longer side.
        const double k = std::max(thumb / thumbnail_.width(), thumb / thumbnail_.height());
        const QSizeF drawn(thumbnail_.width() * k, thumbnail_.height() * k);
        p.save();
        p.setClipPath(paint::continuousRect(target, 4));
        p.drawImage(QRectF(target.center() - QPointF(drawn.width() / 2, drawn.height() / 2), drawn),
                    thumbnail_);
        p.restore();
        x += thumb + 7;
    }
    const QFont f = titleFont();
    p.setFont(f);
    p.setPen(paint::inkAt(0.85));
    const QRectF textRect(x, 0, std::max(0.0, width() - padding - x), height());
    const QString line = QFontMetricsF(f).elidedText(title_, Qt::ElideRight, textRect.width());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, line);
}

} // namespace noteview
