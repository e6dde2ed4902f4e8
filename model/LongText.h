#pragma once

#include <QString>

// Notes of many megabytes (a log file pasted whole) are kept and saved whole, but a text
// editor lays out everything it holds, and megabytes of layout hold up every window for
// minutes. Such a note is shown in part, read-only, with a line saying what is left out.
namespace longtext {

// The most characters an editor holds; far more than any note window or editor shows at once.
constexpr qsizetype editLimit = 100'000;

inline bool tooLongToEdit(qsizetype length)
{
    return length > editLimit;
}

// The beginning of `text` (never half a character), then a line telling how much is not shown.
QString shownPart(const QString& text);

} // namespace longtext
