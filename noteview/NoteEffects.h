#pragma once

#include <QRectF>
#include <QTransform>

class QImage;
class QPainter;

namespace noteview {

// The visual effects a note's presentation fields turn into, as drawn this frame.
struct NoteEffects {
    double scale = 1;    // about the paper's centre
    double peel = 0;     // degrees of curl about the paper's top edge, towards the viewer
    double rotation = 0; // degrees in the plane, about the paper's centre
    double opacity = 1;
    double blur = 0; // radius in points

    // At identity the note shows its live widgets; otherwise a snapshot is painted.
    bool isIdentity() const;
};

// How strongly the peel's perspective foreshortens: the eye stands at the paper's longer
// side divided by this.
inline constexpr double peelPerspective = 0.5;

// The one transform of a note snapshot: scale about the centre, then the perspective curl
// about the top edge, then the in-plane rotation about the centre. `paper` is the paper's
// rectangle in the coordinates the snapshot is painted in.
QTransform effectTransform(const NoteEffects& effects, const QRectF& paper);

// Paints `sharp` (and, cross-faded by blur / maxBlur, its pre-blurred copy) through the
// effects' transform and opacity. Both images cover the painter's whole target at the origin.
void paintThroughEffects(QPainter& p, const NoteEffects& effects, const QRectF& paper,
                         const QImage& sharp, const QImage& blurred, double maxBlur);

} // namespace noteview
