#include "noteview/NoteParts.h"

#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace noteview {

namespace {

QColor inkAt(double alpha)
{
    QColor c = paint::ink;
    c.setAlphaF(static_cast<float>(alpha));
    return c;
}

const QColor hintColor = QColor::fromRgbF(0.42f, 0.33f, 0.0f);

} // namespace

HeaderStrip::HeaderStrip(QWidget* parent)
    : QWidget(parent)
{
}

void HeaderStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule(width() / 2.0 - 17, height / 2.0 - 2, 34, 4);
    p.fillPath(paint::continuousRect(capsule, 2), inkAt(0.16));
}

void HeaderStrip::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Q_EMIT doubleClicked();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

CloseButton::CloseButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFixedSize(side, side);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void CloseButton::setReveal(double opacity)
{
    if (opacity != reveal_) {
        reveal_ = opacity;
        update();
    }
}

void CloseButton::paintEvent(QPaintEvent*)
{
    if (reveal_ <= 0) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(std::min(1.0, reveal_));
    p.setPen(Qt::NoPen);
    p.setBrush(inkAt(over_ ? 0.16 : 0.08));
    p.drawEllipse(QRectF(0, 0, side, side));
    if (over_) {
        // The cross, about the size of a bold 7-point x-mark.
        QPen pen(inkAt(0.6), 1.3, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        const double c = side / 2.0;
        const double r = 2.1;
        p.drawLine(QPointF(c - r, c - r), QPointF(c + r, c + r));
        p.drawLine(QPointF(c + r, c - r), QPointF(c - r, c + r));
    }
}

void CloseButton::enterEvent(QEnterEvent* event)
{
    over_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CloseButton::leaveEvent(QEvent* event)
{
    over_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

Grip::Grip(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(side, side);
    setCursor(Qt::SizeFDiagCursor);
}

void Grip::setReveal(double opacity)
{
    if (opacity != reveal_) {
        reveal_ = opacity;
        update();
    }
}

void Grip::paintEvent(QPaintEvent*)
{
    if (reveal_ <= 0) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(std::min(1.0, reveal_));
    p.setPen(QPen(inkAt(0.5), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 8), QPointF(8, 18));
    p.drawLine(QPointF(18, 13), QPointF(13, 18));
}

void Grip::mousePressEvent(QMouseEvent* event)
{
    // The window's resize gesture normally takes these; a stray press stops here rather
    // than reaching the paper below.
    event->accept();
}

const QString DropHint::label = QStringLiteral("Drop to add image");

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

    // A border that lies wholly inside the shape.
    QPen dash(hintColor, 1.5);
    dash.setDashPattern({5 / 1.5, 4 / 1.5});
    p.strokePath(paint::continuousRect(r.adjusted(0.75, 0.75, -0.75, -0.75), 11.25), dash);

    QFont f = font();
    f.setPixelSize(12);
    f.setWeight(QFont::DemiBold);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const double glyph = 14;
    const double gap = 5;
    const double textW = fm.horizontalAdvance(label);
    const double total = glyph + gap + textW;
    const double left = r.center().x() - total / 2;
    paintPhotoGlyph(p, QRectF(left, r.center().y() - glyph / 2 + 0.5, glyph, glyph - 2), hintColor);
    p.setPen(hintColor);
    p.drawText(QRectF(left + glyph + gap, r.top(), textW + 2, r.height()),
               Qt::AlignLeft | Qt::AlignVCenter, label);
}

void paintPhotoGlyph(QPainter& p, const QRectF& r, const QColor& color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QRectF frame = r.adjusted(0.65, 0.65, -0.65, -0.65);
    p.drawPath(paint::continuousRect(frame, 2));
    // A sun and two hills.
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    const double s = frame.height();
    p.drawEllipse(QPointF(frame.left() + frame.width() * 0.7, frame.top() + s * 0.3), s * 0.11,
                  s * 0.11);
    QPainterPath hills;
    hills.moveTo(frame.left() + 1, frame.bottom() - 1);
    hills.lineTo(frame.left() + frame.width() * 0.38, frame.top() + s * 0.45);
    hills.lineTo(frame.left() + frame.width() * 0.62, frame.top() + s * 0.72);
    hills.lineTo(frame.left() + frame.width() * 0.76, frame.top() + s * 0.58);
    hills.lineTo(frame.right() - 1, frame.bottom() - 1);
    hills.closeSubpath();
    p.drawPath(hills);
    p.restore();
}

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
    p.setPen(inkAt(0.85));
    const QRectF textRect(x, 0, std::max(0.0, width() - padding - x), height());
    const QString line = QFontMetricsF(f).elidedText(title_, Qt::ElideRight, textRect.width());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, line);
}

} // namespace noteview
