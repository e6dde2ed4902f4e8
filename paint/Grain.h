#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QSizeF>

class QPainter;

namespace paint {

// The paper's fixed procedural grain: 1400 specks and 45 short fibres drawn from a generator
// seeded with 7 on every draw, so the pattern depends only on the size it fills.
struct GrainSpeck {
    QPointF topLeft;
    double diameter;
    bool dark; // black at 0.05 when true, white at 0.3 otherwise
};

struct GrainFibre {
    QPointF start;
    double angle; // radians
    double length;
    QPointF end() const;
};

struct GrainPattern {
    QList<GrainSpeck> specks;
    QList<GrainFibre> fibres;
};

GrainPattern grainPattern(const QSizeF& size);

// Draws the grain with its top-left corner at the painter's origin.
void drawGrain(QPainter& p, const QSizeF& size);

// The grain rendered once per size and pixel ratio (premultiplied ARGB, transparent where
// there is no grain); the few most recent sizes are kept. Empty or absurd sizes give a null
// image.
QImage grainImage(const QSizeF& size, qreal devicePixelRatio);
// Forgets the rendered sizes.
void releaseCachedGrain();

} // namespace paint
