#include "dashboard/Placeholder.h"

#include <QPainter>

Placeholder::Placeholder(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Placeholder::set(paint::Glyph symbol, const QString& title, const QString& description)
{
    symbol_ = symbol;
    title_ = title;
    description_ = description;
    setAccessibleName(title);
    setAccessibleDescription(description);
    update();
}

void Placeholder::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);
    QColor dim = text;
    dim.setAlphaF(0.45f);

    QFont titleFont = font();
    titleFont.setPixelSize(18);
    titleFont.setWeight(QFont::Bold);
    QFont bodyFont = font();
    bodyFont.setPixelSize(13);

    const double iconSide = 44;
    const double width = std::max(120, this->width() - 40);
    const QFontMetricsF titleMetrics(titleFont);
    const QFontMetricsF bodyMetrics(bodyFont);
    const QRectF bodyBounds =
        description_.isEmpty()
            ? QRectF()
            : bodyMetrics.boundingRect(QRectF(0, 0, width, 1000),
                                       Qt::AlignHCenter | Qt::TextWordWrap, description_);
    const double total = iconSide + 14 + titleMetrics.height() +
                         (description_.isEmpty() ? 0 : 6 + bodyBounds.height());
    double y = (height() - total) / 2;

    paint::paintGlyph(p, symbol_, QRectF((this->width() - iconSide) / 2, y, iconSide, iconSide),
                      dim);
    y += iconSide + 14;
    p.setFont(titleFont);
    QColor titleColor = text;
    titleColor.setAlphaF(0.7f);
    p.setPen(titleColor);
    p.drawText(QRectF(20, y, width, titleMetrics.height()), Qt::AlignHCenter, title_);
    y += titleMetrics.height() + 6;
    if (!description_.isEmpty()) {
        p.setFont(bodyFont);
        p.setPen(dim);
        p.drawText(QRectF(20, y, width, bodyBounds.height()), Qt::AlignHCenter | Qt::TextWordWrap,
                   description_);
    }
}
