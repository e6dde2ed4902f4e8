#include "dashboard/ImageTile.h"

#include "dashboard/Theme.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

ImageTile::ImageTile(const QImage& image, QWidget* parent)
    : QAbstractButton(parent)
    , image_(image)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QCoreApplication::translate("Dashboard", "View full size"));
    setAccessibleName(QCoreApplication::translate("Dashboard", "Image"));
    setAccessibleDescription(QCoreApplication::translate("Dashboard", "View full size"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QImage ImageTile::placeholder()
{
    QImage grey(160, 120, QImage::Format_ARGB32_Premultiplied);
    grey.fill(QColor::fromRgbF(0, 0, 0, 0.08f));
    return grey;
}

QSizeF ImageTile::fittedSize(double availableWidth) const
{
    if (image_.isNull() || image_.width() <= 0 || image_.height() <= 0) {
        return {};
    }
    const double maxW = std::min(560.0, std::max(1.0, availableWidth));
    const double scale = std::min({maxW / image_.width(), 300.0 / image_.height(), 1e9});
    return {image_.width() * scale, image_.height() * scale};
}

QSize ImageTile::sizeHint() const
{
    const QSizeF s = fittedSize(560);
    return {static_cast<int>(std::ceil(s.width())), static_cast<int>(std::ceil(s.height())) + 8};
}

int ImageTile::heightForWidth(int width) const
{
    return static_cast<int>(std::ceil(fittedSize(width).height())) + 8;
}

void ImageTile::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF r(0, 2, width(), height() - 8);
    const QPainterPath shape = paint::continuousRect(r, 9);
    // A soft shadow: a few widening translucent layers below the tile.
    p.setPen(Qt::NoPen);
    for (int i = 5; i >= 1; --i) {
        p.setBrush(paint::blackAt(0.1 / 5));
        p.drawPath(paint::continuousRect(r.translated(0, 2).adjusted(-i, -i, i, i), 9 + i));
    }
    p.save();
    p.setClipPath(shape);
    p.drawImage(r, image_);
    if (isDown()) {
        p.fillRect(r, paint::blackAt(0.08));
    }
    p.restore();
    paint::strokeInside(p, r, 9, QPen(paint::blackAt(0.12), 0.5));
    if (hasFocus()) {
        dash::paintFocusRing(p, r, 9, palette());
    }
}
