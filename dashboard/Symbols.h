#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>

class QPainter;

// The small line glyphs the dashboard uses. Rows paint them directly so they can take the
// row's colour; buttons get an icon from the desktop's theme when it has a monochrome one,
// else the same painted glyph.
namespace dash {

enum class Symbol {
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
};

void paintSymbol(QPainter& p, Symbol symbol, const QRectF& box, const QColor& color);
// `themed` false keeps the painted glyph (for tinted buttons, where a theme icon would clash).
QIcon symbolIcon(Symbol symbol, const QColor& color, int size = 16, bool themed = true);

} // namespace dash
