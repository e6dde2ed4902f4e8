#pragma once

#include <QString>
#include <functional>

class QMimeData;
class QObject;

namespace formatting {

// Rich text from another program as a note's plain text: bold, italic and struck words get
// their markers, headings "# ", list items "- " and checkboxes "- [ ] " or "- [x] "; all else
// is kept as its plain text. A null string when the rich text is too long to convert (the plain
// text is pasted then).
QString fromHtml(const QString& html);
// Hands `insert` what a paste or a drop of `source` puts in a note: its rich text converted,
// else its text. Short rich text is converted at once; longer is converted on a worker and
// handed over later on this thread, unless `context` is gone by then.
void paste(QObject* context, const QMimeData& source, std::function<void(const QString&)> insert);

} // namespace formatting
