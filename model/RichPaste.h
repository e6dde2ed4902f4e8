#pragma once

#include <QString>

class QMimeData;

namespace formatting {

// Rich text from another program as a note's plain text: bold, italic and struck words get
// their markers, headings "# ", list items "- " and checkboxes "- [ ] " or "- [x] "; all else
// is kept as its plain text. A null string when the rich text is too long to convert on a key
// (the plain text is pasted then).
QString fromHtml(const QString& html);
// What a paste or a drop of `source` puts in a note: its rich text converted, else its text.
QString pastedText(const QMimeData& source);

} // namespace formatting
