#pragma once

#include <QRectF>

class QPainter;

// The icon at the left of the pad's header: three small paper squares fanned out, the back
// ones darker. It never changes, so it is drawn once per pixel ratio and reused.
class MiniStack {
public:
    static constexpr double side = 26;

    // Paints the icon into the 26 x 26 box.
    static void paint(QPainter& p, const QRectF& box);
};
