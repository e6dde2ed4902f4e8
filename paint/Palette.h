#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QMap>
#include <QRectF>
#include <QString>
#include <QStringList>

// The colour vocabulary every surface shares. All colours are sRGB, opaque.
namespace paint {

// The default (yellow) paper, used where a note's own colour is not at hand.
inline const QColor paperTop = QColor::fromRgbF(1.0f, 0.95f, 0.68f);
inline const QColor paperBottom = QColor::fromRgbF(0.99f, 0.9f, 0.55f);
// Writing and glyphs on paper; callers apply their own opacity.
inline const QColor ink = QColor::fromRgbF(0.16f, 0.14f, 0.1f);

// The ink, black and white at an opacity from 0 to 1: the translucent strokes and washes
// every surface lays over paper, glass and images.
QColor inkAt(double alpha);
QColor blackAt(double alpha);
QColor whiteAt(double alpha);

struct PaperStops {
    QColor top;
    QColor bottom;
};

// The note colours in the order pickers show them.
const QStringList& colorNames();
// Colour name -> the two gradient stops.
const QMap<QString, PaperStops>& palette();
// The stops for a colour name; unknown or empty names give yellow.
PaperStops paperStops(const QString& name);

// A colour's name as labels show it: "yellow" gives "Yellow".
QString colorTitle(const QString& name);

// A two-stop vertical gradient from the top centre to the bottom centre of `rect`.
QLinearGradient paperGradient(const QString& name, const QRectF& rect);

} // namespace paint
