#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>

class QPainter;

// Every symbol the program draws for itself. They are painted rather than taken from an icon
// theme, so they look the same on every desktop and take whatever colour the caller gives.
namespace paint {

enum class Glyph {
    // Line symbols on a 16-unit grid, scaled to the box's shorter side and centred in it; the
    // strokes (1.3 units) scale with them.
    NoteText,
    Window,
    Pin,
    PinFill,
    Folder,
    FolderPlus,
    Number,
    Trash,
    Photo,
    Camera,
    ArrowUpToLine,
    TwoWindows,
    Compose,
    Plus,
    Search,
    Clock,
    // Line symbols stretched to fill the box, with 1.4-wide strokes whatever its size.
    ChevronLeft,
    ChevronRight,
    Copy,
    SaveDown,
    TrashPlain,
    // Two strokes from corner to corner of the box, 1.8 wide.
    Cross,
    // A framed landscape whose sun and hills are filled, fitted to the box; a 1.3-wide frame.
    PhotoSolid,
    // At the size they have next to 11-point text, centred in the box whatever its size (the
    // leaning pin: next to 7-point text).
    Grid,
    CameraSolid,
    PlusBold,
    PinLeaning,
};

// `stroke`, when above 0, replaces the width of every line the glyph strokes (in the glyph's
// own units: a sixteenth of the box on the grid).
void paintGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color,
                double stroke = 0);

// The glyph as a `size`-point square icon, sharp at one and at two device pixels a point.
QIcon glyphIcon(Glyph glyph, const QColor& color, int size = 16, double stroke = 0);

} // namespace paint
