#pragma once

#include <QString>

// Notes of many megabytes (a log file pasted whole) are kept and saved whole, but a text
// editor lays out everything it holds, and megabytes of layout hold up every window for
// minutes. Such a note is shown in part, read-only, under a line saying so.
namespace longtext {

// The most characters an editor holds; far more than any note window or editor shows at once.
constexpr qsizetype editLimit = 100'000;

inline bool tooLongToEdit(qsizetype length)
{
    return length > editLimit;
}

// A line telling how much of `text` is shown, then its beginning (never half a character).
QString shownPart(const QString& text);

} // namespace longtext
