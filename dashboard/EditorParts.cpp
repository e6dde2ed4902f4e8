#include "dashboard/EditorParts.h"

#include "dashboard/Symbols.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QColor black(double alpha)
{
    return QColor::fromRgbF(0, 0, 0, static_cast<float>(alpha));
}

// Strokes `path` so that the line lies wholly inside it.
void strokeInside(QPainter& p, const QRectF& r, double radius, const QPen& pen)
{
    const double half = pen.widthF() / 2;
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(paint::continuousRect(r.adjusted(half, half, -half, -half),
                                        std::max(0.0, radius - half)));
}

QString capitalised(const QString& name)
{
    return name.isEmpty() ? name : name.left(1).toUpper() + name.mid(1);
}

} // namespace

BarWidget::BarWidget(QWidget* parent)
    : QWidget(parent)
{
}

void BarWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgbF(1, 1, 1, 0.42f));
    p.fillRect(QRectF(0, height() - 0.5, width(), 0.5), black(0.1));
}

SwatchButton::SwatchButton(const QString& colorName, QWidget* parent)
    : QAbstractButton(parent)
    , name_(colorName)
{
    setFixedSize(18, 18);
    setCursor(Qt::PointingHandCursor);
    setToolTip(capitalised(name_));
    setAccessibleName(capitalised(name_) + QStringLiteral(" color"));
    setCheckable(false);
}

void SwatchButton::setCurrent(bool current)
{
    if (current_ != current) {
        current_ = current;
        update();
    }
}

QPen SwatchButton::ring() const
{
    return current_ ? QPen(black(0.55), 2) : QPen(black(0.12), 0.5);
}

void SwatchButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, 18, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(paint::paperGradient(name_, r));
    p.drawEllipse(r);
    const QPen pen = ring();
    const double half = pen.widthF() / 2;
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(half, half, -half, -half));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        p.drawEllipse(r.adjusted(0.75, 0.75, -0.75, -0.75));
    }
}

ImageTile::ImageTile(const QImage& image, QWidget* parent)
    : QAbstractButton(parent)
    , image_(image)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("View full size"));
    setAccessibleName(QStringLiteral("Image"));
    setAccessibleDescription(QStringLiteral("View full size"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
        p.setBrush(black(0.1 / 5));
        p.drawPath(paint::continuousRect(r.translated(0, 2).adjusted(-i, -i, i, i), 9 + i));
    }
    p.save();
    p.setClipPath(shape);
    p.drawImage(r, image_);
    if (isDown()) {
        p.fillRect(r, black(0.08));
    }
    p.restore();
    strokeInside(p, r, 9, QPen(black(0.12), 0.5));
}

AddAnotherButton::AddAnotherButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setText(QStringLiteral("Add another image"));
    setAccessibleName(text());
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(30);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize AddAnotherButton::sizeHint() const
{
    return {200, 30};
}

void AddAnotherButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    QPen dash(black(underMouse() ? 0.3 : 0.2), 1.5);
    dash.setDashPattern({5 / 1.5, 4 / 1.5});
    strokeInside(p, r, 8, dash);

    QFont f = font();
    f.setPixelSize(12);
    p.setFont(f);
    const QColor secondary = black(0.5);
    const QFontMetricsF metrics(f);
    const double textW = metrics.horizontalAdvance(text());
    const double total = 12 + 5 + textW;
    const double x = (width() - total) / 2;
    dash::paintSymbol(p, dash::Symbol::Plus, QRectF(x, (height() - 12) / 2.0, 12, 12), secondary);
    p.setPen(secondary);
    p.drawText(QRectF(x + 17, 0, textW + 2, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

DropOverlay::DropOverlay(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Drop to add image"));
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
    strokeInside(p, r, 12, pen);

    QFont f = font();
    f.setPixelSize(15);
    f.setWeight(QFont::DemiBold);
    p.setFont(f);
    const QString label = QStringLiteral("Drop to add image");
    const double textW = QFontMetricsF(f).horizontalAdvance(label);
    const double total = 18 + 6 + textW;
    const double x = (width() - total) / 2;
    const double y = height() / 2.0;
    // The label sits on its own plate: over images the bare text would be lost.
    const QRectF plate(x - 16, y - 22, total + 32, 44);
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.fillPath(paint::continuousRect(plate.translated(0, 1).adjusted(-i, -i, i, i), 12 + i),
                   black(0.05));
    }
    p.fillPath(paint::continuousRect(plate, 12), QColor::fromRgbF(1, 1, 1, 0.92f));
    strokeInside(p, plate, 12, QPen(black(0.1), 0.5));
    dash::paintSymbol(p, dash::Symbol::Photo, QRectF(x, y - 9, 18, 18), accent);
    p.setPen(accent);
    p.drawText(QRectF(x + 24, y - 12, textW + 2, 24), Qt::AlignVCenter | Qt::AlignLeft, label);
}
