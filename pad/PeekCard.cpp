#include "pad/PeekCard.h"

#include "model/Images.h"
#include "model/NoteModel.h"
#include "model/RelativeTime.h"
#include "pad/PadText.h"
#include "paint/Glyphs.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QApplication>
#include <QCache>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr double radius = 10;
constexpr double stripH = 42;
constexpr double rimWidth = 1.5;
const QColor pinColor = QColor::fromRgbF(0.54f, 0.43f, 0.0f);

QFont cardFont(double size, bool semibold, double dpi)
{
    return pad::systemFont(QApplication::font(), size, semibold, dpi);
}

// Scaled to fill `size` device pixels, cropped about the centre.
QImage fill(const QImage& image, QSize size)
{
    const QImage scaled =
        image.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled.copy((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2,
                       size.width(), size.height());
}

// Strips are small; a name that fails to load is remembered as a null image, so a missing
// file is not decoded again at every frame (only looked for, as it may come back).
QCache<QString, QImage>& stripCache()
{
    static QCache<QString, QImage> cache(48);
    return cache;
}

// One line of text at the top of `rect`, cut with an ellipsis when too long; returns its height.
double drawLine(QPainter& p, const QString& text, const QFont& font, const QRectF& rect)
{
    const QFontMetricsF fm(font);
    p.setFont(font);
    const QString shown = fm.elidedText(text, Qt::ElideRight, rect.width());
    p.drawText(QPointF(rect.left(), rect.top() + fm.ascent()), shown);
    return fm.height();
}

// Wraps `text` into at most `maxLines` lines, the last one cut with an ellipsis.
void drawWrapped(QPainter& p, const QString& text, const QFont& font, const QRectF& rect,
                 int maxLines)
{
    const QFontMetricsF fm(font);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QList<QPair<int, int>> lines; // start, length
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(rect.width());
        lines.append({line.textStart(), line.textLength()});
    }
    layout.endLayout();
    p.setFont(font);
    double y = rect.top() + fm.ascent();
    for (int i = 0; i < lines.size() && i < maxLines; ++i) {
        const bool last = i == maxLines - 1 && lines.size() > maxLines;
        const QString part =
            last ? text.mid(lines[i].first) : text.mid(lines[i].first, lines[i].second).trimmed();
        p.drawText(QPointF(rect.left(), y), fm.elidedText(part, Qt::ElideRight, rect.width()));
        y += fm.lineSpacing();
    }
}

} // namespace

PeekCard::PeekCard(const NoteModel* note, double hovered, double dimmed)
    : note_(note)
    , hovered_(hovered)
    , dimmed_(dimmed)
{
}

void PeekCard::paint(QPainter& p, const QRectF& frame, double dpi) const
{
    if (note_ == nullptr) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setOpacity(p.opacity() * (1 - 0.45 * dimmed_));
    const QPointF c = frame.center();
    const double s = 1 + 0.07 * hovered_;
    p.translate(c.x(), c.y() - 3 * hovered_);
    p.scale(s, s);
    p.translate(-c);

    const QPainterPath shape = paint::continuousRect(frame, radius);
    p.fillPath(shape, paint::paperGradient(note_->color(), frame));
    const QImage image = strip(p.device() != nullptr ? p.device()->devicePixelRatioF() : 1.0);
    if (!image.isNull()) {
        p.save();
        p.setClipPath(shape, Qt::IntersectClip);
        imageCard(p, frame, image, dpi);
        p.restore();
    } else {
        textCard(p, frame, dpi);
    }
    if (hovered_ > 0) {
        paint::strokeInside(p, frame, radius,
                            QPen(paint::whiteAt(0.85 * std::min(1.0, hovered_)), rimWidth));
    }
    p.restore();
}

void PeekCard::imageCard(QPainter& p, const QRectF& frame, const QImage& strip, double dpi) const
{
    p.drawImage(QRectF(frame.left(), frame.top(), frame.width(), stripH), strip);
    constexpr double side = 7;
    p.setPen(paint::ink);
    const QRectF title(frame.left() + side, frame.top() + stripH + 2 + 3, frame.width() - 2 * side,
                       20);
    drawLine(p, note_->title(), cardFont(11, true, dpi), title);
    paintAge(p, frame.adjusted(side, 0, -side, -side), dpi);
}

void PeekCard::textCard(QPainter& p, const QRectF& frame, double dpi) const
{
    constexpr double padding = 8;
    constexpr double pinW = 6;
    constexpr double pinSpacing = 2;
    const QRectF content = frame.adjusted(padding, padding, -padding, -padding);

    const QFont titleFont = cardFont(11, true, dpi);
    const double titleW = content.width() - (note_->pinned() ? pinW + pinSpacing : 0);
    p.setPen(paint::ink);
    const double titleH =
        drawLine(p, note_->title(), titleFont, QRectF(content.topLeft(), QSizeF(titleW, 20)));
    if (note_->pinned()) {
        // The pin sits at the top of the title line, as tall as 7-point type.
        const QRectF pin(content.right() - pinW, content.top() + 1, pinW, 8);
        paint::paintGlyph(p, paint::Glyph::PinLeaning, pin, pinColor);
    }

    p.setPen(paint::inkAt(0.7));
    const QRectF preview(content.left(), content.top() + titleH + 3, content.width(), 30);
    drawWrapped(p, note_->preview(), cardFont(10, false, dpi), preview, 2);
    paintAge(p, content, dpi);
}

// The age, at the bottom of the content.
void PeekCard::paintAge(QPainter& p, const QRectF& content, double dpi) const
{
    const QFont font = cardFont(9.5, false, dpi);
    const QFontMetricsF fm(font);
    p.setPen(paint::inkAt(0.6));
    p.setFont(font);
    const QString age =
        fm.elidedText(relativeTime(note_->modified()), Qt::ElideRight, content.width());
    p.drawText(QPointF(content.left(), content.bottom() - fm.descent()), age);
}

QImage PeekCard::strip(double devicePixelRatio) const
{
    if (note_->images().isEmpty()) {
        return {};
    }
    const QString name = note_->images().first();
    const QSize px(static_cast<int>(std::ceil(width * devicePixelRatio)),
                   static_cast<int>(std::ceil(stripH * devicePixelRatio)));
    if (Images::awaited(name)) {
        // Grey until the picture arrives from another computer; not cached, so it shows then.
        QImage grey(px, QImage::Format_ARGB32_Premultiplied);
        grey.fill(QColor::fromRgbF(0, 0, 0, 0.08f));
        return grey;
    }
    const QString key = name + QLatin1Char('@') + QString::number(devicePixelRatio);
    if (const QImage* cached = stripCache().object(key)) {
        if (!cached->isNull() || !QFileInfo::exists(Images::url(name))) {
            return *cached;
        }
    }
    const QImage image = Images::load(name);
    QImage scaled;
    if (!image.isNull()) {
        scaled = fill(image, px);
    }
    stripCache().insert(key, new QImage(scaled));
    return scaled;
}
