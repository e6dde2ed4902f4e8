#include "controller/ClipboardOffer.h"
#include "model/NoteModel.h"
#include "pad/MiniStack.h"
#include "pad/PadHitButton.h"
#include "pad/PadView.h"
#include "pad/PeekCard.h"
#include "paint/Glyphs.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr paint::Glyph buttonGlyphs[pad::buttonCount] = {
    paint::Glyph::Grid, paint::Glyph::CameraSolid, paint::Glyph::PlusBold};
constexpr double offerRadius = 11;
constexpr double offerImageRadius = 5;

// Two lines stacked with one point between them, centred on `rect`'s middle.
struct TwoLines {
    QFont first;
    QFont second;
    double firstBaseline = 0;
    double secondBaseline = 0;
};

TwoLines stackLines(const QFont& first, const QFont& second, const QRectF& rect)
{
    const QFontMetricsF a(first);
    const QFontMetricsF b(second);
    const double top = rect.center().y() - (a.height() + 1 + b.height()) / 2;
    return {first, second, top + a.ascent(), top + a.height() + 1 + b.ascent()};
}

void drawElided(QPainter& p, const QString& text, const QFont& font, double x, double baseline,
                double width, const QColor& color)
{
    p.setFont(font);
    p.setPen(color);
    p.drawText(QPointF(x, baseline),
               QFontMetricsF(font).elidedText(text, Qt::ElideRight, std::max(0.0, width)));
}

} // namespace

void PadView::paintEvent(QPaintEvent*)
{
    const QSizeF island = islandSize();
    if (island.isEmpty() || slide_.value() + island.height() <= 0) {
        return; // hidden above the screen's edge
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // The island swings about its top centre like a hanging sign.
    p.translate(width() / 2.0, slide_.value());
    p.rotate(wobble_.value());
    p.translate(-island.width() / 2, 0);

    const QPainterPath shape = pad::islandPath(island, radius_.value());
    p.fillPath(shape, Qt::black);
    p.setClipPath(shape);
    const double hot = std::clamp(hotness_.value(), 0.0, 1.0);
    if (hot < 1) {
        p.setOpacity(1 - hot);
        paintCollapsed(p, island);
    }
    if (hot > 0) {
        p.setOpacity(hot);
        paintExpanded(p, island);
    }
}

void PadView::paintCollapsed(QPainter& p, const QSizeF& island)
{
    QColor line = paint::paperTop;
    line.setAlphaF(0.9f);
    const QRectF capsule = pad::collapsedLine(island);
    p.fillPath(paint::continuousRect(capsule, capsule.height() / 2), line);
}

void PadView::paintExpanded(QPainter& p, const QSizeF& island)
{
    const pad::ExpandedLayout l = pad::layoutExpanded(island, notchH(), shown_);
    MiniStack::paint(p, l.miniStack);
    paintHeader(p, l);
    if (shown_.clip) {
        paintOffer(p, l);
    }
    const double dpi = logicalDpiY();
    for (int i = 0; i < shown_.cards && i < peek_.size(); ++i) {
        const NoteModel* note = peek_[i];
        if (note == nullptr) {
            continue;
        }
        const auto m = cardMotion_.find(note->id());
        const double hovered = m != cardMotion_.end() ? m->second->hovered.value() : 0;
        const double dimmed = m != cardMotion_.end() ? m->second->dimmed.value() : 0;
        PeekCard(note, std::clamp(hovered, 0.0, 1.2), std::clamp(dimmed, 0.0, 1.0), this)
            .paint(p, l.cards[i], dpi);
        paintFocus(p, cards_[i], l.cards[i], 10);
    }
}

void PadView::paintHeader(QPainter& p, const pad::ExpandedLayout& l)
{
    const double dpi = logicalDpiY();
    const TwoLines lines = stackLines(pad::systemFont(font(), 12, true, dpi),
                                      pad::systemFont(font(), 10.5, false, dpi), l.text);
    drawElided(p, titleText(), lines.first, l.text.left(), lines.firstBaseline, l.text.width(),
               Qt::white);
    const pad::HintLine line = hint();
    drawElided(p, line.text, lines.second, l.text.left(), lines.secondBaseline, l.text.width(),
               line.color);

    if (!shown_.buttons) {
        return;
    }
    for (int i = 0; i < pad::buttonCount; ++i) {
        const QRectF r = l.buttons[i];
        p.setPen(Qt::NoPen);
        p.setBrush(paint::whiteAt(buttons_[i]->isDown() ? 0.22 : 0.12));
        p.drawEllipse(r);
        paint::paintGlyph(p, buttonGlyphs[i], r, paint::whiteAt(0.85));
        paintFocus(p, buttons_[i], r, r.width() / 2);
    }
}

void PadView::paintOffer(QPainter& p, const pad::ExpandedLayout& l)
{
    const QPainterPath background = paint::continuousRect(l.clip, offerRadius);
    p.fillPath(background, paint::whiteAt(offer_->isDown() ? 0.16 : 0.1));
    // The rim lies wholly inside the shape.
    p.setPen(QPen(pad::highlight(0.55), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(paint::continuousRect(l.clip.adjusted(0.5, 0.5, -0.5, -0.5), offerRadius - 0.5));

    const QImage& thumb = clipThumbnail();
    if (!thumb.isNull()) {
        p.save();
        p.setClipPath(paint::continuousRect(l.clipImage, offerImageRadius), Qt::IntersectClip);
        p.drawImage(l.clipImage, thumb);
        p.restore();
    }
    const double dpi = logicalDpiY();
    const TwoLines lines = stackLines(pad::systemFont(font(), 11.5, true, dpi),
                                      pad::systemFont(font(), 10, false, dpi), l.clipText);
    drawElided(p, QCoreApplication::translate("Pad", "Paste screenshot as note"), lines.first,
               l.clipText.left(), lines.firstBaseline, l.clipText.width(), Qt::white);
    drawElided(p, QCoreApplication::translate("Pad", "From your clipboard"), lines.second,
               l.clipText.left(), lines.secondBaseline, l.clipText.width(), paint::whiteAt(0.6));
    paintFocus(p, offer_, l.clip, offerRadius);
}

// Keyboard users see which control Enter would press.
void PadView::paintFocus(QPainter& p, const PadHitButton* control, const QRectF& rect,
                         double radius)
{
    if (control == nullptr || !control->showsFocus()) {
        return;
    }
    p.save();
    p.setPen(QPen(pad::highlight(0.9), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(paint::continuousRect(rect.adjusted(-1.5, -1.5, 1.5, 1.5), radius + 1.5));
    p.restore();
}

// The offered image scaled to fill its 54 x 36 frame, made once per image.
const QImage& PadView::clipThumbnail()
{
    const QImage& clip = app_ ? app_->clipOffer().image() : clipThumb_;
    if (clip.isNull()) {
        clipThumb_ = QImage();
        clipThumbKey_ = 0;
        return clipThumb_;
    }
    if (clip.cacheKey() != clipThumbKey_) {
        const double dpr = devicePixelRatioF();
        const QSize px(static_cast<int>(std::ceil(54 * dpr)),
                       static_cast<int>(std::ceil(36 * dpr)));
        const QImage scaled =
            clip.scaled(px, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        clipThumb_ = scaled.copy((scaled.width() - px.width()) / 2,
                                 (scaled.height() - px.height()) / 2, px.width(), px.height());
        clipThumbKey_ = clip.cacheKey();
    }
    return clipThumb_;
}
