#include "model/Formatting.h"

#include "model/Checklist.h"

#include <algorithm>
#include <array>

namespace formatting {

namespace {

bool escapable(QChar c)
{
    return c == u'*' || c == u'~' || c == u'`' || c == u'#';
}

qsizetype runOf(QStringView s, qsizetype at, qsizetype to)
{
    qsizetype end = at;
    while (end < to && s[end] == s[at]) {
        ++end;
    }
    return end - at;
}

// The emphasis marker starting at `at`: "**", "*" or "~~", and its style; none elsewhere.
struct Delimiter {
    Style style = Style::Bold;
    qsizetype length = 0;
};

Delimiter delimiterAt(QStringView s, qsizetype at, qsizetype to)
{
    if (s[at] == u'*') {
        return runOf(s, at, to) >= 2 ? Delimiter{Style::Bold, 2} : Delimiter{Style::Italic, 1};
    }
    if (s[at] == u'~' && runOf(s, at, to) >= 2) {
        return {Style::Strike, 2};
    }
    return {};
}

// The closing backtick of a code span opened at `at`, or -1; a span holds at least one
// character.
qsizetype codeEnd(QStringView s, qsizetype at, qsizetype to)
{
    const qsizetype close = s.mid(0, to).indexOf(u'`', at + 2);
    return close > at ? close : -1;
}

// Where the marker closing `open` lies in [from, to): the first one after words that do not
// end in a space, past code spans and escapes; -1 when there is none. In a longer run of the
// same character the closing marker is the run's end, so "***both***" is bold around italic.
qsizetype closerOf(QStringView s, Delimiter open, qsizetype from, qsizetype to)
{
    const QChar sign = open.style == Style::Strike ? u'~' : u'*';
    for (qsizetype at = from; at < to;) {
        if (s[at] == u'\\' && at + 1 < to && escapable(s[at + 1])) {
            at += 2;
            continue;
        }
        if (s[at] == u'`' && codeEnd(s, at, to) > 0) {
            at = codeEnd(s, at, to) + 1;
            continue;
        }
        const qsizetype run = s[at] == sign ? runOf(s, at, to) : 0;
        const bool fits = open.length == 1 ? run == 1 : run >= open.length;
        if (fits && at > from && !s[at - 1].isSpace()) {
            return at + run - open.length;
        }
        at += std::max<qsizetype>(run, 1);
    }
    return -1;
}

void scan(QStringView s, qsizetype from, qsizetype to, Line& out)
{
    // Where the search for each style's closing marker last failed: one starting later fails
    // too, so a line of unclosed markers costs no more than one pass per style.
    std::array<qsizetype, 3> unclosedFrom{to, to, to};
    for (qsizetype at = from; at < to;) {
        if (s[at] == u'\\' && at + 1 < to && escapable(s[at + 1])) {
            out.escapes.push_back(at);
            at += 2;
            continue;
        }
        if (s[at] == u'`') {
            const qsizetype close = codeEnd(s, at, to);
            if (close > 0) {
                out.spans.push_back({Style::Code, at, close + 1, 1});
            }
            at = close > 0 ? close + 1 : at + 1;
            continue;
        }
        const Delimiter open = delimiterAt(s, at, to);
        const qsizetype words = at + open.length;
        qsizetype& unclosed = unclosedFrom[std::size_t(open.style)];
        const bool opens = open.length > 0 && words < to && !s[words].isSpace() && words < unclosed;
        const qsizetype close = opens ? closerOf(s, open, words, to) : -1;
        if (opens && close < 0) {
            unclosed = words;
        }
        if (close < 0) {
            at += std::max<qsizetype>(open.length, 1);
            continue;
        }
        out.spans.push_back({open.style, at, close + open.length, open.length});
        scan(s, words, close, out);
        at = close + open.length;
    }
}

int headingOf(QStringView line)
{
    const qsizetype hashes = line.startsWith(u'#') ? runOf(line, 0, line.size()) : 0;
    return hashes <= 6 && hashes < line.size() && line[hashes] == u' ' ? int(hashes) : 0;
}

} // namespace

Line parse(QStringView line)
{
    Line out;
    // Most lines carry no marker at all: one look at each character says so.
    const auto sign = [](QChar c) {
        return c == u'*' || c == u'~' || c == u'`' || c == u'\\' || c == u'#';
    };
    if (std::none_of(line.begin(), line.end(), sign)) {
        return out;
    }
    qsizetype from = checklist::markerOf(line).length;
    if (from == 0) {
        out.heading = headingOf(line);
        out.headingMarker = out.heading > 0 ? out.heading + 1 : 0;
        from = out.headingMarker;
    }
    scan(line, from, line.size(), out);
    return out;
}

QString plain(QStringView line)
{
    const Line parsed = parse(line);
    if (parsed.spans.empty() && parsed.escapes.empty()) {
        return line.mid(parsed.headingMarker).toString();
    }
    std::vector<bool> drop(std::size_t(line.size()), false);
    const auto dropRange = [&drop](qsizetype from, qsizetype length) {
        std::fill_n(drop.begin() + from, length, true);
    };
    dropRange(0, parsed.headingMarker);
    for (const Span& span : parsed.spans) {
        dropRange(span.start, span.marker);
        dropRange(span.wordsEnd(), span.marker);
    }
    for (const qsizetype at : parsed.escapes) {
        drop[std::size_t(at)] = true;
    }
    QString words;
    words.reserve(line.size());
    for (qsizetype at = 0; at < line.size(); ++at) {
        if (!drop[std::size_t(at)]) {
            words += line[at];
        }
    }
    return words;
}

} // namespace formatting
