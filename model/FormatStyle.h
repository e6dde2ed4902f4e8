#pragma once

#include "model/Formatting.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QTextLayout>
#include <functional>
#include <optional>

class QKeyEvent;
class QMenu;
class QTextCursor;

// How any editor of a note's text draws and edits its light formatting.
namespace formatting {

// What to lay over a line's own formats, in order, each merged over what is there: headings
// larger and bold, words bold, italic, struck or monospace, the markers faint in the ink.
QList<QTextLayout::FormatRange> formatsOf(QStringView line, QColor ink, const QFont& base);

// Markers around the selection, or the word at the caret, line by line: taken away where its
// words have that style already, else put there. One edit; the words stay selected, or the
// caret where it was in its word.
void toggle(QTextCursor& c, Style style);
// "# " at the start of the lines the selection touches, or taken away when all have one.
void toggleHeading(const QTextCursor& selection);
// A style toggled as above, or a heading for none.
void apply(QTextCursor& c, std::optional<Style> style);

// Ctrl+B, Ctrl+I and Ctrl+Shift+X at the caret `c`; false for any other key.
bool formatKey(QTextCursor& c, const QKeyEvent& key);
// The "Format" submenu of an editor's context menu; `apply` is given the chosen style, or
// none for "Heading".
void addFormatMenu(QMenu& menu, bool enabled,
                   const std::function<void(std::optional<Style>)>& apply);

} // namespace formatting
