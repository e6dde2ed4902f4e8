#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The light formatting a line of a note's plain text may carry: **bold**, *italic*, ~~strike~~,
// `code` and "# " headings. The markers stay in the text; the views draw the words styled and
// the markers faint. A marker never reaches past its line, a backslash makes the marker
// character after it plain, and nothing inside `code` is a marker.
namespace formatting {

enum class Style { Bold, Italic, Strike, Code };

struct Span {
    Style style = Style::Bold;
    qsizetype start = 0;  // the opening marker's first character
    qsizetype end = 0;    // just past the closing marker
    qsizetype marker = 0; // the length of each of its two markers
    qsizetype wordsStart() const { return start + marker; }
    qsizetype wordsEnd() const { return end - marker; }
};

struct Line {
    int heading = 0;                // 1 to 6 for "# " to "###### "; 0 for none
    qsizetype headingMarker = 0;    // the heading's marker with its space
    std::vector<Span> spans;        // by their start; a span inside another after it
    std::vector<qsizetype> escapes; // the backslashes that make the next character plain
};

// The formatting of one line (no line feeds). A checklist item's or a bullet's marker is left
// alone: formatting starts after it.
Line parse(QStringView line);

// The line's words as a title or a preview reads them: without formatting markers or escaping
// backslashes. A checklist item's or a bullet's marker is kept.
QString plain(QStringView line);

} // namespace formatting
