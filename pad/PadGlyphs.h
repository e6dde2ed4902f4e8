#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The few symbols the pad draws. They are painted rather than taken from an icon theme, so the
// pad looks the same on every desktop.
namespace pad {

enum class Glyph { Grid, Camera, Plus, Pin };

// Paints the glyph centred in `box`, at the size it has next to 11-point text (the pin: next to
// 7-point text).
void paintGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color);

} // namespace pad
