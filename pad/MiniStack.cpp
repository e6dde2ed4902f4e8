#include "pad/MiniStack.h"

#include "paint/Blur.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr double squareSide = 18;
constexpr double squareRadius = 3.5;
constexpr double margin = 3; // room for the shadows and the tilted corners around the icon

struct Square {
    double rotation;
    double dx;
    double dy;
};
// Back to front.
constexpr Square squares[] = {{-10, -2, 1}, {6, 2, 0}, {0, 0, -1}};

QColor brighter(const QColor& c, double delta)
{
    const auto channel = [delta](float v) {
        return static_cast<float>(std::clamp(static_cast<double>(v) + delta, 0.0, 1.0));
    };
    return QColor::fromRgbF(channel(c.redF()), channel(c.greenF()), channel(c.blueF()), c.alphaF());
}

// Places the painter at the centre of square i, turned by its angle.
void placeSquare(QPainter& p, int i)
{
    const double c = margin + MiniStack::side / 2;
    p.translate(c + squares[i].dx, c + squares[i].dy);
    p.rotate(squares[i].rotation);
}

// The shadow of one square: black at 0.4, blurred by one point, one point down.
QImage squareShadow(int i, double dpr)
{
    const int px = static_cast<int>(std::ceil((MiniStack::side + 2 * margin) * dpr));
    QImage shadow(px, px, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    QPainter p(&shadow);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(dpr, dpr);
    p.translate(0, 1);
    placeSquare(p, i);
    const QRectF square(-squareSide / 2, -squareSide / 2, squareSide, squareSide);
    p.fillPath(paint::continuousRect(square, squareRadius), QColor::fromRgbF(0, 0, 0, 0.4f));
    p.end();
    paint::gaussianBlur(shadow, 0.5 * dpr);
    return shadow;
}

QImage render(double dpr)
{
    const int px = static_cast<int>(std::ceil((MiniStack::side + 2 * margin) * dpr));
    QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        p.drawImage(QRectF(0, 0, px, px), squareShadow(i, dpr));
        p.save();
        p.scale(dpr, dpr);
        placeSquare(p, i);
        const QRectF square(-squareSide / 2, -squareSide / 2, squareSide, squareSide);
        const double delta = (i - 2) * 0.06;
        QLinearGradient fill(square.topLeft(), square.bottomLeft());
        fill.setColorAt(0, brighter(paint::paperTop, delta));
        fill.setColorAt(1, brighter(paint::paperBottom, delta));
        p.fillPath(paint::continuousRect(square, squareRadius), fill);
        p.restore();
    }
    return image;
}

} // namespace

void MiniStack::paint(QPainter& p, const QRectF& box)
{
    static QImage cached;
    static double cachedRatio = 0;
    const double dpr = p.device() != nullptr ? p.device()->devicePixelRatioF() : 1.0;
    if (cached.isNull() || cachedRatio != dpr) {
        cached = render(dpr);
        cachedRatio = dpr;
    }
    const QRectF target(box.center().x() - side / 2 - margin, box.center().y() - side / 2 - margin,
                        side + 2 * margin, side + 2 * margin);
    p.drawImage(target, cached);
}
