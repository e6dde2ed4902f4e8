#include "model/FormatStyle.h"

#include "model/Checklist.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace formatting {

namespace {

QColor faded(QColor ink, double alpha)
{
    ink.setAlphaF(float(alpha));
    return ink;
}

QString markerOf(Style style)
{
    switch (style) {
    case Style::Bold:
        return QStringLiteral("**");
    case Style::Italic:
        return QStringLiteral("*");
    case Style::Strike:
        return QStringLiteral("~~");
    case Style::Code:
        break;
    }
    return QStringLiteral("`");
}

QTextCharFormat styleFormat(Style style, QColor ink)
{
    QTextCharFormat f;
    switch (style) {
    case Style::Bold:
        f.setFontWeight(QFont::Bold);
        break;
    case Style::Italic:
        f.setFontItalic(true);
        break;
    case Style::Strike:
        f.setFontStrikeOut(true);
        break;
    case Style::Code:
        static const QStringList mono =
            QFontDatabase::systemFont(QFontDatabase::FixedFont).families();
        f.setFontFamilies(mono);
        f.setFontFixedPitch(true);
        f.setBackground(faded(ink, 0.07));
        break;
    }
    return f;
}

QTextCharFormat headingFormat(int level, const QFont& base)
{
    constexpr std::array scale{1.5, 1.3, 1.15, 1.0, 1.0, 1.0};
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    const double factor = scale[std::size_t(level - 1)];
    if (base.pixelSize() > 0) {
        f.setProperty(QTextFormat::FontPixelSize, int(std::lround(base.pixelSize() * factor)));
    } else {
        f.setFontPointSize(base.pointSizeF() * factor);
    }
    return f;
}

} // namespace

QList<QTextLayout::FormatRange> formatsOf(QStringView line, QColor ink, const QFont& base)
{
    const Line parsed = parse(line);
    QList<QTextLayout::FormatRange> out;
    if (parsed.heading == 0 && parsed.spans.empty() && parsed.escapes.empty()) {
        return out;
    }
    if (parsed.heading > 0) {
        out.push_back({0, int(line.size()), headingFormat(parsed.heading, base)});
    }
    for (const Span& span : parsed.spans) {
        out.push_back({int(span.wordsStart()), int(span.wordsEnd() - span.wordsStart()),
                       styleFormat(span.style, ink)});
    }
    QTextCharFormat faint;
    faint.setForeground(faded(ink, 0.35));
    if (parsed.headingMarker > 0) {
        out.push_back({0, int(parsed.headingMarker), faint});
    }
    for (const Span& span : parsed.spans) {
        out.push_back({int(span.start), int(span.marker), faint});
        out.push_back({int(span.wordsEnd()), int(span.marker), faint});
    }
    for (const qsizetype at : parsed.escapes) {
        out.push_back({int(at), 1, faint});
    }
    return out;
}

namespace {

struct Toggled {
    int from = 0; // the words' new place in the document
    int to = 0;
    int delta = 0; // how much longer the block became
    int was = 0;   // where the words began before
};

// The style's markers taken from around [from, to) of the block, or put there; positions in
// the block.
Toggled toggleIn(QTextCursor& c, const QTextBlock& block, int from, int to, Style style)
{
    const QString text = block.text();
    // Never around a list's or a heading's marker.
    const Line line = parse(text);
    from = std::max(from, int(std::max(checklist::markerOf(text).length, line.headingMarker)));
    to = std::max(from, to);
    while (from < to && text[from].isSpace()) {
        ++from;
    }
    while (to > from && text[to - 1].isSpace()) {
        --to;
    }
    const int at = block.position();
    if (from == to) {
        return {at + from, at + to, 0, at + from};
    }
    for (const Span& span : line.spans) {
        if (span.style == style && span.start <= from && to <= span.end) {
            const int m = int(span.marker);
            c.setPosition(at + int(span.wordsEnd()));
            c.setPosition(at + int(span.end), QTextCursor::KeepAnchor);
            c.removeSelectedText();
            c.setPosition(at + int(span.start));
            c.setPosition(at + int(span.wordsStart()), QTextCursor::KeepAnchor);
            c.removeSelectedText();
            return {at + int(span.start), at + int(span.wordsEnd()) - m, -2 * m,
                    at + int(span.wordsStart())};
        }
    }
    const QString marker = markerOf(style);
    c.setPosition(at + to);
    c.insertText(marker);
    c.setPosition(at + from);
    c.insertText(marker);
    const int m = int(marker.size());
    return {at + from + m, at + to + m, 2 * m, at + from};
}

} // namespace

void toggle(QTextCursor& c, Style style)
{
    const bool atCaret = !c.hasSelection();
    const int caret = c.position();
    if (atCaret) {
        c.select(QTextCursor::WordUnderCursor);
    }
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    if (start == end) {
        // Nothing at the caret: an empty pair to type into.
        const QString marker = markerOf(style);
        c.insertText(marker + marker);
        c.setPosition(c.position() - int(marker.size()));
        return;
    }
    // From the last line up, so the lines above keep their places.
    const QTextBlock first = c.document()->findBlock(start);
    QTextBlock b = c.document()->findBlock(end);
    int selectionEnd = -1;
    Toggled t;
    c.beginEditBlock();
    for (; b.isValid() && b.blockNumber() >= first.blockNumber(); b = b.previous()) {
        const int from = std::max(start, b.position()) - b.position();
        const int to = std::min(end, b.position() + b.length() - 1) - b.position();
        t = toggleIn(c, b, from, to, style);
        selectionEnd = selectionEnd < 0 ? t.to : selectionEnd + t.delta;
    }
    c.endEditBlock();
    if (atCaret) {
        // The caret stays in the word, where it was.
        c.setPosition(std::clamp(t.from + caret - t.was, t.from, t.to));
        return;
    }
    c.setPosition(t.from);
    c.setPosition(std::max(t.from, selectionEnd), QTextCursor::KeepAnchor);
}

void toggleHeading(const QTextCursor& selection)
{
    QTextDocument* document = selection.document();
    const QTextBlock first = document->findBlock(selection.selectionStart());
    const int last = document->findBlock(selection.selectionEnd()).blockNumber();
    const auto touched = [last](const QTextBlock& b) {
        return b.isValid() && b.blockNumber() <= last;
    };
    bool all = true;
    for (QTextBlock b = first; touched(b); b = b.next()) {
        all = all && parse(b.text()).heading > 0;
    }
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (QTextBlock b = first; touched(b); b = b.next()) {
        const Line line = parse(b.text());
        edit.setPosition(b.position());
        if (all) {
            edit.setPosition(b.position() + int(line.headingMarker), QTextCursor::KeepAnchor);
            edit.removeSelectedText();
        } else if (line.heading == 0 && checklist::markerOf(b.text()).length == 0) {
            edit.insertText(QStringLiteral("# "));
        }
    }
    edit.endEditBlock();
}

void apply(QTextCursor& c, std::optional<Style> style)
{
    if (style) {
        toggle(c, *style);
    } else {
        toggleHeading(c);
    }
}

bool formatKey(QTextCursor& c, const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    std::optional<Style> style;
    if (mods == Qt::ControlModifier && key.key() == Qt::Key_B) {
        style = Style::Bold;
    } else if (mods == Qt::ControlModifier && key.key() == Qt::Key_I) {
        style = Style::Italic;
    } else if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && key.key() == Qt::Key_X) {
        style = Style::Strike;
    }
    if (style) {
        toggle(c, *style);
    }
    return style.has_value();
}

void addFormatMenu(QMenu& menu, bool enabled,
                   const std::function<void(std::optional<Style>)>& apply)
{
    struct Item {
        const char* text;
        std::optional<Style> style;
        QKeySequence keys;
    };
    const std::array items{
        Item{QT_TRANSLATE_NOOP("Note", "Bold"), Style::Bold, QKeySequence(Qt::CTRL | Qt::Key_B)},
        Item{QT_TRANSLATE_NOOP("Note", "Italic"), Style::Italic,
             QKeySequence(Qt::CTRL | Qt::Key_I)},
        Item{QT_TRANSLATE_NOOP("Note", "Strikethrough"), Style::Strike,
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X)},
        Item{QT_TRANSLATE_NOOP("Note", "Code"), Style::Code, {}},
        Item{QT_TRANSLATE_NOOP("Note", "Heading"), std::nullopt, {}},
    };
    QMenu* format = menu.addMenu(QCoreApplication::translate("Note", "Format"));
    format->setEnabled(enabled);
    for (const Item& item : items) {
        QAction* action = format->addAction(QCoreApplication::translate("Note", item.text),
                                            [apply, style = item.style] { apply(style); });
        action->setShortcut(item.keys);
    }
}

} // namespace formatting
