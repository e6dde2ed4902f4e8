#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;

namespace paint {

// Corner radius of the paper: 12 when folded, 16 otherwise.
double paperRadius(bool folded);

// The paper's outline for a paper rectangle.
QPainterPath paperPath(const QRectF& rect, bool folded);

// How far the paper's shadows reach beyond the paper on any side (they stay inside `inset`).
inline constexpr int paperShadowMargin = 40;

// Paints one sheet of paper filling `paperRect`: the colour's gradient, the grain, a faint
// darkening of the lower half, a hairline rim (light at the top, dark at the bottom) and two
// drop shadows below it. The result is rendered once per size, fold, colour and device pixel
// ratio and then drawn from a cache, so painting a note at rest costs one image blit.
// `color` is a palette name; unknown names paint yellow.
void paintPaper(QPainter& p, const QRectF& paperRect, bool folded, const QString& color);

// The cached rendering paintPaper draws: the paper with its shadows, extended by
// paperShadowMargin on every side, at the given device pixel ratio. Null for empty or absurd
// sizes.
QImage paperImage(const QSizeF& size, bool folded, const QString& color, qreal devicePixelRatio);

// Drops the cached papers and grain. Windows at rest keep what they painted in their backing
// stores, so an idle program need not hold the pictures too; the next paint renders afresh.
void releaseCachedPapers();

} // namespace paint
