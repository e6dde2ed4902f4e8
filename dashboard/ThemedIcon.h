#pragma once

#include "paint/Glyphs.h"

#include <QColor>
#include <QIcon>

namespace dash {

// The dashboard's buttons take the desktop theme's monochrome icon for a glyph when the theme
// has one, so they sit well beside the rest of the desktop; else the painted glyph.
QIcon themedIcon(paint::Glyph glyph, const QColor& color, int size = 16);

} // namespace dash
